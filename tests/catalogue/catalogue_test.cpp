#include "catalogue/catalogue.h"

#include <algorithm>
#include <set>
#include <string_view>

#include <gtest/gtest.h>

#include "core/code_page.h"
#include "core/text.h"

using namespace pv;

namespace {

// The catalogue as published, copied verbatim (UTF-8) and parsed here, so that a slip in the
// program's own table shows up as a difference. The three sub-pages follow each other; each
// starts again at row 1.
constexpr char8_t kFetched[] =
    u8R"(
| 1 | `按钮50` 黄金 97 | `按钮43` 天地 101 | `按钮42` 宰相 111 | `按钮41` 乾坤 112 | `按钮40` 灵柩 113 | `按钮39` 局宴 114 |
| 2 | `按钮56` 金喜 116 | `按钮55` 联盟 117 | `按钮54` 明珠 118 | `按钮53` 虞姬 119 | `按钮52` 宫廷 120 | `按钮51` 鲤锦 121 |
| 3 | `按钮62` 貔貅 122 | `按钮61` 至尊 123 | `按钮60` 帝国 124 | `按钮59` 佛咒 125 | `按钮58` 夏娃 126 | `按钮114` 皇家 46287 |
| 4 | `按钮68` 御风 128 | `按钮67` Redfo 129 | `按钮66` 财富 130 | `按钮65` 财经 131 | `按钮64` 谷歌 132 | `按钮63` 共赢 133 |
| 5 | `按钮74` 炫音 134 | `按钮73` 宝马 135 | `按钮72` 战警 136 | `按钮71` 先锋 137 | `按钮70` 凯歌 138 | `按钮69` 木马 139 |
| 6 | `按钮80` 鹰击 140 | `按钮79` 妙玉 141 | `按钮78` 霞飞 142 | `按钮77` 缘江 143 | `按钮76` 金凌 144 | `按钮75` 喜鹊 145 |
| 7 | `按钮86` 黑客 146 | `按钮85` 红颜 147 | `按钮84` 哈妮 148 | `按钮83` 百合 149 | `按钮82` 蔷薇 150 | `按钮81` 蝶恋 151 |
| 8 | `按钮92` 元芳 152 | `按钮91` 彩中 153 | `按钮90` 沫沫 164 | `按钮89` 紫光 165 | `按钮88` 精英 167 | `按钮87` 聚财 169 |
| 9 | `按钮98` 魔方 170 | `按钮97` 东风 174 | `按钮96` 白蛇 175 | `按钮95` 鸿图 185 | `按钮94` 盈利 186 | `按钮93` 小鸟 12844 |
| 10 | `按钮104` 紫气 12847 | `按钮103` 吉星 12848 | `按钮102` 绿叶 12849 | `按钮101` 梦菲 12850 | `按钮100` 辣椒 12851 | `按钮99` 天蓬 12852 |
| 11 | `按钮110` 荷花 12853 | `按钮109` 问心 13458 | `按钮108` 平安 43532 | `按钮107` 浮雕 43533 | `按钮106` 繁荣 43534 | `按钮105` 通天 43535 |
| 12 | `按钮116` 生辉 43536 | `按钮115` 涅阳 13461 | `按钮57` 神农 127 | `按钮113` 代言 46288 | `按钮112` 沁沁 1032522 | `按钮111` 南海 1032530 |
| 1 | `按钮122` 天使 1032531 | `按钮121` 御婆 1032532 | `按钮120` 果果 1032533 | `按钮119` 桃桃 1032534 | `按钮118` 魔幻 1032537 | `按钮117` 客官 1032538 |
| 2 | `按钮128` 狼人 1032539 | `按钮127` 星光 1032540 | `按钮126` 银蛇 1032541 | `按钮125` 秒杀 1032514 | `按钮23` 后一6码, no handler |
| 3 | `按钮129` 胜火后一 14610 | `按钮124` 后一4码 12840 | `按钮123` 后一5码 12841 | `按钮47` 后一6码 12839 |
| 4 | `按钮137` 后一7码 12842 | `按钮136` 后一8码 14606 | `按钮135` 前二48注 13465 | `按钮134` 前二55注 43550 |
| 5 | `按钮141` 前二66注 43551 | `按钮140` 前二77注 43552 | `按钮139` 前二88注 45514 | `按钮138` 踏雪前二 43549 |
| 6 | `按钮145` 宸亦后二 13464 | `按钮144` 白梅后二 13466 | `按钮143` 白慕后二 13467 | `按钮142` 天猫后二 14601 |
| 7 | `按钮149` 白薇后二 14602 | `按钮148` 宝妹后二 21598 | `按钮147` 后二3期 14608 | `按钮146` 后二杀跨 43529 |
| 8 | `按钮153` 万位5码 166 | `按钮152` 千位5码 163 | `按钮151` 百位5码 173 | `按钮150` 十位5码 14607 |
| 9 | `按钮157` 万位单双 43526 | `按钮156` 千位单双 43528 | `按钮155` 百位单双 43524 | `按钮154` 十位单双 43523 |
| 10 | `按钮161` 后一单双 43525 | `按钮160` 彩神组三 1032513 | `按钮159` 福星组六 1032521 | `按钮158` 金玉杀码 43538 |
| 11 | `按钮165` 神州杀码 43527 | `按钮164` 舒心龙虎 43530 | `按钮163` 千位大小 12846 | `按钮162` 十位大小 187 |
| 12 | `按钮169` 前三550 13460 | `按钮168` 前三480 13463 | `按钮167` 前三660 13462 | `按钮166` 前三770 14604 |
| 1 | `按钮171` 后三独胆 43531 | `按钮170` 后四胆码 43537 | `按钮133` 五星独胆 1032507 |
| 2 | `按钮174` 二星组选1 176 | `按钮173` 二星组选2 177 | `按钮172` 二星组选3 178 |
| 3 | `按钮177` 直选8码 180 | `按钮176` 直选7码 1032508 | `按钮175` 直选9码 184 |
| 4 | `按钮180` 三星组选1 13468 | `按钮179` 三星组选2 14600 | `按钮178` 三星组选3 12845 |
| 5 | `按钮183` 青龙前三 14603 | `按钮182` 舞阳后三 43540 | `按钮181` 天瑜后三 45515 |
| 6 | `按钮186` 幼菱后三 43543 | `按钮185` 龙猫后三 43545 | `按钮184` 狸妹后三 43546 |
| 7 | `按钮194` 后三500注 43548 | `按钮193` 甜甜后三2 1032536 | `按钮192` 小甜甜后三 1032535 |
| 8 | `按钮196` 双喜前四 14605 | `按钮195` 锦绣前四 43544 | `按钮188` 前四 5500注 1032512 |
| 9 | `按钮199` 猛虎前四 1032509 | `按钮198` 丹凤前四 1032510 | `按钮197` 华夏前四 1032511 |
| 10 | `按钮202` 后四5500注 1032520 | `按钮201` 前程后四 1032515 | `按钮200` 千金后四 1032516 |
| 11 | `按钮205` 腾飞后四 1032517 | `按钮204` 金蛇后四 1032518 | `按钮203` 财源后四 1032519 |
| 12 | `按钮208` 神马后三 43547 | `按钮207` 生气前三 43549 | `按钮206` 后三7码3期 179 |
)";

constexpr char8_t kCached[] =
    u8R"(
| 0 | 1193 | `按钮2` | 乾坤后三 | 乾坤 | back-three | `时钟6` | extract-first | back-three |
| 1 | 1191 | `按钮4` | 爷们后三 | 爷们 | back-three | `时钟5` | extract-first | back-three |
| 2 | 1194 | `按钮6` | 天天后三 | 天天 | back-three | `时钟7` | extract-first | back-three |
| 3 | 1196 | `按钮5` | 豆豆后三 | 豆豆 | back-three | `时钟8` | extract-first | back-three |
| 4 | 1197 | `按钮8` | 黑马后三 | 黑马 | back-three | `时钟9` | extract-first | back-three |
| 5 | 1198 | `按钮7` | 红马后三 | 红马 | back-three | `时钟10` | extract-first | back-three |
| 6 | 1201 | `按钮10` | 欧亿后三 | 欧亿 | back-three | `时钟11` | extract-first | back-three |
| 7 | 1205 | `按钮9` | 远博后三 | 远博 | back-three | `时钟12` | extract-first | back-three |
| 8 | 1206 | `按钮12` | 红馆黑钱 | 红馆迪拜黑钱 | back-three | `时钟3` | extract-first | back-three |
| 9 | 1209 | `按钮11` | 博牛黑钱 | 博牛黑钱 | back-three | `时钟4` | extract-first | back-three |
| 10 | 1203 | `按钮14` | 欢乐城黑 | 欢乐城黑钱 | back-three | `时钟13` | extract-first | back-three |
| 11 | 1204 | `按钮13` | 彩天堂黑 | 彩天堂黑钱 | back-three | `时钟14` | extract-first | back-three |
| 12 | 1199 | `按钮16` | 宝宝后三 | 宝宝 | back-three | `时钟15` | extract-first | back-three |
| 13 | 1192 | `按钮15` | 荷花后三 | 荷花 | back-three | `时钟16` | extract-first | back-three |
| 14 | 1208 | `按钮18` | 玫瑰后三 | 玫瑰 | back-three | `时钟17` | extract-first | back-three |
| 15 | 1202 | `按钮17` | 兰花后三 | 兰花 | back-three | `时钟18` | extract-first | back-three |
| 16 | 1210 | `按钮20` | 老哥后三 | 老哥 | back-three | `时钟19` | extract-first | back-three |
| 17 | 1207 | `按钮19` | 发财后三 | 发财 | back-three | `时钟20` | extract-first | back-three |
| 18 | 1200 | `按钮22` | 清华后三 | 清华 | back-three | `时钟21` | extract-first | back-three |
| 19 | 1195 | `按钮21` | 北大后三 | 北大 | back-three | `时钟22` | extract-first | back-three |
| 20 | 1214 | `按钮28` | 爷们后二 | 爷们 | back-two | `时钟23` | extract-first | keeps-own-timer |
| 21 | 1226 | `按钮30` | 乾坤后二 | 乾坤 | back-two | `时钟24` | extract-first | keeps-own-timer |
| 22 | 1215 | `按钮36` | 天天后二 | 天天 | back-two | `时钟25` | extract-first | full stop |
| 23 | 1216 | `按钮35` | 糊涂后二 | 糊涂 | back-two | `时钟26` | extract-first | full stop |
| 24 | 1217 | `按钮38` | 天龙后二 | 天龙 | back-two | `时钟27` | extract-first | full stop |
| 25 | 1218 | `按钮37` | 淘宝后二 | 淘宝 | back-two | `时钟28` | extract-first | full stop |
| 26 | 1212 | `按钮45` | 天马后二 | 天马 | back-two | `时钟29` | extract-first | full stop |
| 27 | 1213 | `按钮44` | 金金后二 | 金金 | back-two | `时钟30` | extract-first | full stop |
| 28 | 1220 | `按钮130` | 疯狂后二 | 疯狂 | back-two | `时钟31` | replace-first | replace-first |
| 29 | 1219 | `按钮49` | 锦江后二 | 锦江 | back-two | `时钟32` | replace-first | replace-first |
| 30 | 1228 | `按钮132` | 爱国后二 | 爱国 | back-two | `时钟33` | replace-first | replace-first |
| 31 | 1223 | `按钮131` | 青春后二 | 青春 | back-two | `时钟34` | replace-first | replace-first |
| 32 | 1211 | `按钮189` | 网红后二 | 网红 | back-two | `时钟35` | replace-first | replace-first |
| 33 | 1221 | `按钮187` | 连天后二 | 连天 | back-two | `时钟36` | replace-first | replace-first |
| 34 | 1222 | `按钮191` | 逆天后二 | 逆天 | back-two | `时钟37` | replace-first | replace-first |
| 35 | 1225 | `按钮190` | 人气后二 | 人气 | back-two | `时钟38` | replace-first | replace-first |
| 36 | 1229 | `按钮31` | 蓝天后二 | 蓝天 | back-two | `时钟39` | replace-first | replace-first |
| 37 | 1224 | `按钮32` | 白云后二 | 白云 | back-two | `时钟40` | replace-first | replace-first |
)";

constexpr char8_t kKill[] =
    u8R"(
| `按钮46` | "乾坤杀合" | 112 | "[0-9]{3,}期 【乾坤】.+杀尾.+" |
| `按钮48` | "金喜杀合" | 116 | "[0-9]{3,}-[0-9]{3,}期 【金囍】.+尾.+" |
| `按钮209` | "皇家杀合" | 46287 | "[0-9]{3,}期 【皇家】.+尾.+" |
| `按钮210` | "盈利杀合" | 186 | "[0-9]{3,}期 【盈利】.+尾.+" |
| `按钮211` | "局宴杀跨" | 114 | "[0-9]{3,}期 【局宴】.+跨.+" |
| `按钮212` | "明珠杀跨" | 118 | "[0-9]{3,}-[0-9]{3,}期 【明珠】.+跨.+" |
| `按钮213` | "盈利杀跨" | 186 | "[0-9]{3,}期 【盈利】.+跨.+" |
| `按钮214` | "佛咒杀合" | 125 | "[0-9]{3,}期 【佛咒】.+尾.+" |
| `按钮215` | "虞姬杀合" | 119 | "[0-9]{3,}期 【虞姬】.+尾.+" |
| `按钮216` | "貔貅杀合" | 122 | "[0-9]{3,}期 【貔貅】.+尾.+" |
)";

constexpr char8_t kCacheRows[] =
    u8R"(
| 0 | /detail/1193.html | 13 | /detail/1192.html | 26 | /detail/1212.html |
| 1 | /detail/1191.html | 14 | /detail/1208.html | 27 | /detail/1213.html |
| 2 | /detail/1194.html | 15 | /detail/1202.html | 28 | /detail/1220.html |
| 3 | /detail/1196.html | 16 | /detail/1210.html | 29 | /detail/1219.html |
| 4 | /detail/1197.html | 17 | /detail/1207.html | 30 | /detail/1228.html |
| 5 | /detail/1198.html | 18 | /detail/1200.html | 31 | /detail/1223.html |
| 6 | /detail/1201.html | 19 | /detail/1195.html | 32 | /detail/1211.html |
| 7 | /detail/1205.html | 20 | /detail/1214.html | 33 | /detail/1221.html |
| 8 | /detail/1206.html | 21 | /detail/1226.html | 34 | /detail/1222.html |
| 9 | /detail/1209.html | 22 | /detail/1215.html | 35 | /detail/1225.html |
| 10 | /detail/1203.html | 23 | /detail/1216.html | 36 | /detail/1229.html |
| 11 | /detail/1204.html | 24 | /detail/1217.html | 37 | /detail/1224.html |
| 12 | /detail/1199.html | 25 | /detail/1218.html | 38 | /detail/1227.html |
)";

std::string gbk(std::string_view utf8) {
    return utf8ToGbk(utf8);
}

// The trimmed cells of each table line, in UTF-8.
std::vector<std::vector<std::string>> parseTable(const char8_t* table) {
    std::vector<std::vector<std::string>> lines;
    std::string_view rest(reinterpret_cast<const char*>(table));
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.size() < 2) continue;
        std::vector<std::string> cells;
        for (size_t p = 1, q; (q = line.find('|', p)) != std::string_view::npos; p = q + 1) {
            std::string_view cell = line.substr(p, q - p);
            while (!cell.empty() && cell.front() == ' ')
                cell.remove_prefix(1);
            while (!cell.empty() && cell.back() == ' ')
                cell.remove_suffix(1);
            cells.emplace_back(cell);
        }
        lines.push_back(cells);
    }
    return lines;
}

std::string unquote(const std::string& s, char mark) {
    return s.size() >= 2 && s.front() == mark && s.back() == mark ? s.substr(1, s.size() - 2) : s;
}

}  // namespace

TEST(Catalogue, FetchedPlansFollowThePublishedGrids) {
    size_t next = 0;
    int subPage = -1;
    for (const auto& cells : parseTable(kFetched)) {
        const int row = std::stoi(cells[0]) - 1;
        if (row == 0) ++subPage;
        for (size_t col = 1; col < cells.size(); ++col) {
            const std::string& cell = cells[col];
            if (cell.find("no handler") != std::string::npos) continue;
            // "`按钮50` 黄金 97": the caption runs from behind the button to the last blank.
            const size_t close = cell.find('`', 1), last = cell.rfind(' ');
            SCOPED_TRACE(cell);
            ASSERT_LT(next, fetchedPlans().size());
            const FetchedPlan& p = fetchedPlans()[next++];
            EXPECT_EQ(p.button, gbk(cell.substr(1, close - 1)));
            EXPECT_EQ(p.caption, gbk(cell.substr(close + 2, last - close - 2)));
            EXPECT_EQ(p.contentId, std::stoi(cell.substr(last + 1)));
            EXPECT_EQ(p.subPage, subPage);
            EXPECT_EQ(p.row, row);
            EXPECT_EQ(p.column, static_cast<int>(col) - 1);
            EXPECT_EQ(findFetchedPlan(p.button), &p);
        }
    }
    EXPECT_EQ(next, 158u);
    EXPECT_EQ(fetchedPlans().size(), 158u);

    EXPECT_EQ(findFetchedPlan(ctl::kPlanlessFetchButton), nullptr);
    ASSERT_NE(findFetchedPlan(ctl::button(47)), nullptr);
    EXPECT_EQ(findFetchedPlan(ctl::button(47))->caption, "后一6码");
    EXPECT_EQ(findFetchedPlan(ctl::button(47))->contentId, 12839);
    EXPECT_EQ(findFetchedPlan(ctl::button(188))->caption, "前四 5500注");
    // Shared content ids keep one entry per button.
    EXPECT_EQ(findFetchedPlan(ctl::button(138))->contentId, 43549);
    EXPECT_EQ(findFetchedPlan(ctl::button(207))->contentId, 43549);
    EXPECT_EQ(findFetchedPlan(ctl::button(94))->contentId, 186);
}

TEST(Catalogue, CachedPlansFollowThePublishedTable) {
    const auto lines = parseTable(kCached);
    ASSERT_EQ(lines.size(), 38u);
    ASSERT_EQ(cachedPlans().size(), 38u);
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto& c = lines[i];
        const CachedPlan& p = cachedPlans()[i];
        SCOPED_TRACE(c[2]);
        EXPECT_EQ(p.cacheRow, std::stoi(c[0]));
        EXPECT_EQ(p.detailPage, std::stoi(c[1]));
        EXPECT_EQ(p.button, gbk(unquote(c[2], '`')));
        EXPECT_EQ(p.caption, gbk(c[3]));
        EXPECT_EQ(p.planName, gbk(c[4]));
        EXPECT_EQ(p.group == PlanGroup::BackThree ? "back-three" : "back-two", c[5]);
        EXPECT_EQ(p.refreshTimer, gbk(unquote(c[6], '`')));
        EXPECT_EQ(p.order == SubstitutionOrder::ExtractFirst ? "extract-first" : "replace-first",
                  c[7]);
        const char* variant[] = {"back-three", "full stop", "keeps-own-timer", "replace-first"};
        EXPECT_EQ(variant[static_cast<int>(p.variant)], c[8]);
        EXPECT_EQ(findCachedPlanByButton(p.button), &p);
    }
}

TEST(Catalogue, PlanNamesButtonsAndTimersPairUp) {
    const std::set<std::string> blackMoney = {"欢乐城黑钱", "彩天堂黑钱", "红馆迪拜黑钱",
                                              "博牛黑钱"};
    std::set<std::string> timers, labels;
    for (const CachedPlan& p : cachedPlans()) {
        SCOPED_TRACE(p.button);
        // The name is the caption without its group suffix, except for the four 黑钱 plans.
        if (blackMoney.count(p.planName) == 0) {
            EXPECT_EQ(p.planName + (p.group == PlanGroup::BackThree ? "后三" : "后二"), p.caption);
        }
        // Each button owns a timer of its own group, and that timer leads back to it.
        const auto& own = groupTimers(p.group);
        EXPECT_NE(std::find(own.begin(), own.end(), p.refreshTimer), own.end());
        EXPECT_EQ(findCachedPlanByTimer(p.refreshTimer), &p);
        EXPECT_TRUE(timers.insert(p.refreshTimer).second);
        // A label of two GBK characters that no other plan's label or name can be taken for.
        EXPECT_EQ(p.sourceLabel.size(), 4u);
        EXPECT_TRUE(static_cast<unsigned char>(p.sourceLabel[0]) >= 0x81 &&
                    static_cast<unsigned char>(p.sourceLabel[2]) >= 0x81);
        EXPECT_TRUE(labels.insert(p.sourceLabel).second);
        for (const CachedPlan& other : cachedPlans()) {
            EXPECT_EQ(findText(other.planName, p.sourceLabel), -1) << other.planName;
            EXPECT_EQ(findText(other.caption, p.sourceLabel), -1) << other.caption;
        }
    }
    EXPECT_EQ(timers.size(), 38u);
    EXPECT_EQ(groupTimers(PlanGroup::BackThree).size(), 20u);
    EXPECT_EQ(groupTimers(PlanGroup::BackThree).front(), ctl::timer(3));
    EXPECT_EQ(groupTimers(PlanGroup::BackTwo).size(), 18u);
    EXPECT_EQ(groupTimers(PlanGroup::BackTwo).back(), ctl::timer(40));
    EXPECT_EQ(groupTextBox(PlanGroup::BackThree), ctl::kBackThreePlanBox);
    EXPECT_EQ(groupTextBox(PlanGroup::BackTwo), ctl::kBackTwoPlanBox);
    EXPECT_EQ(findCachedPlanByTimer(ctl::kCountdownTimer), nullptr);
    EXPECT_EQ(findCachedPlanByButton(ctl::kRefreshPageCacheButton), nullptr);
}

TEST(Catalogue, KillPlansAndPageCacheRowsFollowThePublishedTables) {
    const auto lines = parseTable(kKill);
    ASSERT_EQ(killPlans().size(), lines.size());
    std::set<int> fetchedIds;
    for (const FetchedPlan& f : fetchedPlans())
        fetchedIds.insert(f.contentId);
    for (size_t i = 0; i < lines.size(); ++i) {
        const KillPlan& k = killPlans()[i];
        EXPECT_EQ(k.button, gbk(unquote(lines[i][0], '`')));
        EXPECT_EQ(k.caption, gbk(unquote(lines[i][1], '"')));
        EXPECT_EQ(k.contentId, std::stoi(lines[i][2]));
        EXPECT_EQ(k.pattern, gbk(unquote(lines[i][3], '"')));
        EXPECT_EQ(k.position, static_cast<int>(i));
        EXPECT_EQ(findKillPlan(k.button), &k);
        // Every kill plan reads a file that a fetch button also shows.
        EXPECT_EQ(fetchedIds.count(k.contentId), 1u) << k.contentId;
    }
    EXPECT_EQ(findKillPlan(ctl::button(94)), nullptr);

    // Rows come in three columns of pairs: row, path.
    std::vector<std::string> paths(39);
    for (const auto& c : parseTable(kCacheRows))
        for (size_t i = 0; i + 1 < c.size(); i += 2)
            paths.at(std::stoi(c[i])) = c[i + 1];
    ASSERT_EQ(pageCacheDetailPages().size(), 39u);
    for (size_t r = 0; r < paths.size(); ++r)
        EXPECT_EQ(detailPath(pageCacheDetailPages()[r]), paths[r]) << r;
}
