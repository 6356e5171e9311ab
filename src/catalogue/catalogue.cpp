#include "catalogue/catalogue.h"

namespace pv {
namespace {

struct FetchCell {
    int button = 0;  // 0: no fetch button in this cell
    const char* caption = "";
    int contentId = 0;
};

// The button grids of the three sub-pages of 选择夹2, row by row, left to right. "第二页" has
// six columns in its first two rows and four below; "第三页" has three.
// clang-format off
constexpr FetchCell kFetchGrid[3][12][6] = {
    {
        {{50, "黄金", 97}, {43, "天地", 101}, {42, "宰相", 111}, {41, "乾坤", 112}, {40, "灵柩", 113}, {39, "局宴", 114}},
        {{56, "金喜", 116}, {55, "联盟", 117}, {54, "明珠", 118}, {53, "虞姬", 119}, {52, "宫廷", 120}, {51, "鲤锦", 121}},
        {{62, "貔貅", 122}, {61, "至尊", 123}, {60, "帝国", 124}, {59, "佛咒", 125}, {58, "夏娃", 126}, {114, "皇家", 46287}},
        {{68, "御风", 128}, {67, "Redfo", 129}, {66, "财富", 130}, {65, "财经", 131}, {64, "谷歌", 132}, {63, "共赢", 133}},
        {{74, "炫音", 134}, {73, "宝马", 135}, {72, "战警", 136}, {71, "先锋", 137}, {70, "凯歌", 138}, {69, "木马", 139}},
        {{80, "鹰击", 140}, {79, "妙玉", 141}, {78, "霞飞", 142}, {77, "缘江", 143}, {76, "金凌", 144}, {75, "喜鹊", 145}},
        {{86, "黑客", 146}, {85, "红颜", 147}, {84, "哈妮", 148}, {83, "百合", 149}, {82, "蔷薇", 150}, {81, "蝶恋", 151}},
        {{92, "元芳", 152}, {91, "彩中", 153}, {90, "沫沫", 164}, {89, "紫光", 165}, {88, "精英", 167}, {87, "聚财", 169}},
        {{98, "魔方", 170}, {97, "东风", 174}, {96, "白蛇", 175}, {95, "鸿图", 185}, {94, "盈利", 186}, {93, "小鸟", 12844}},
        {{104, "紫气", 12847}, {103, "吉星", 12848}, {102, "绿叶", 12849}, {101, "梦菲", 12850}, {100, "辣椒", 12851}, {99, "天蓬", 12852}},
        {{110, "荷花", 12853}, {109, "问心", 13458}, {108, "平安", 43532}, {107, "浮雕", 43533}, {106, "繁荣", 43534}, {105, "通天", 43535}},
        {{116, "生辉", 43536}, {115, "涅阳", 13461}, {57, "神农", 127}, {113, "代言", 46288}, {112, "沁沁", 1032522}, {111, "南海", 1032530}},
    },
    {
        {{122, "天使", 1032531}, {121, "御婆", 1032532}, {120, "果果", 1032533}, {119, "桃桃", 1032534}, {118, "魔幻", 1032537}, {117, "客官", 1032538}},
        // The fifth cell of this row holds 按钮23, a button without a plan.
        {{128, "狼人", 1032539}, {127, "星光", 1032540}, {126, "银蛇", 1032541}, {125, "秒杀", 1032514}},
        {{129, "胜火后一", 14610}, {124, "后一4码", 12840}, {123, "后一5码", 12841}, {47, "后一6码", 12839}},
        {{137, "后一7码", 12842}, {136, "后一8码", 14606}, {135, "前二48注", 13465}, {134, "前二55注", 43550}},
        {{141, "前二66注", 43551}, {140, "前二77注", 43552}, {139, "前二88注", 45514}, {138, "踏雪前二", 43549}},
        {{145, "宸亦后二", 13464}, {144, "白梅后二", 13466}, {143, "白慕后二", 13467}, {142, "天猫后二", 14601}},
        {{149, "白薇后二", 14602}, {148, "宝妹后二", 21598}, {147, "后二3期", 14608}, {146, "后二杀跨", 43529}},
        {{153, "万位5码", 166}, {152, "千位5码", 163}, {151, "百位5码", 173}, {150, "十位5码", 14607}},
        {{157, "万位单双", 43526}, {156, "千位单双", 43528}, {155, "百位单双", 43524}, {154, "十位单双", 43523}},
        {{161, "后一单双", 43525}, {160, "彩神组三", 1032513}, {159, "福星组六", 1032521}, {158, "金玉杀码", 43538}},
        {{165, "神州杀码", 43527}, {164, "舒心龙虎", 43530}, {163, "千位大小", 12846}, {162, "十位大小", 187}},
        {{169, "前三550", 13460}, {168, "前三480", 13463}, {167, "前三660", 13462}, {166, "前三770", 14604}},
    },
    {
        {{171, "后三独胆", 43531}, {170, "后四胆码", 43537}, {133, "五星独胆", 1032507}},
        {{174, "二星组选1", 176}, {173, "二星组选2", 177}, {172, "二星组选3", 178}},
        {{177, "直选8码", 180}, {176, "直选7码", 1032508}, {175, "直选9码", 184}},
        {{180, "三星组选1", 13468}, {179, "三星组选2", 14600}, {178, "三星组选3", 12845}},
        {{183, "青龙前三", 14603}, {182, "舞阳后三", 43540}, {181, "天瑜后三", 45515}},
        {{186, "幼菱后三", 43543}, {185, "龙猫后三", 43545}, {184, "狸妹后三", 43546}},
        {{194, "后三500注", 43548}, {193, "甜甜后三2", 1032536}, {192, "小甜甜后三", 1032535}},
        {{196, "双喜前四", 14605}, {195, "锦绣前四", 43544}, {188, "前四 5500注", 1032512}},
        {{199, "猛虎前四", 1032509}, {198, "丹凤前四", 1032510}, {197, "华夏前四", 1032511}},
        {{202, "后四5500注", 1032520}, {201, "前程后四", 1032515}, {200, "千金后四", 1032516}},
        {{205, "腾飞后四", 1032517}, {204, "金蛇后四", 1032518}, {203, "财源后四", 1032519}},
        {{208, "神马后三", 43547}, {207, "生气前三", 43549}, {206, "后三7码3期", 179}},
    },
};
// clang-format on

constexpr auto E = SubstitutionOrder::ExtractFirst;
constexpr auto R = SubstitutionOrder::ReplaceFirst;

struct CachedRow {
    int button;
    const char* caption;
    int timer;
    SubstitutionOrder order;
    ClickVariant variant;
    const char* sourceLabel;
    const char* planName = nullptr;  // nullptr: the caption without its group suffix
};

// One entry per page-cache row, row 0 first. Rows 0-19 are the back-three group, 20-37 the
// back-two group. The source labels are pen names that no plan and no other label uses, so a
// substitution can never touch another plan's text.
// clang-format off
const CachedRow kCachedRows[] = {
    {2, "乾坤后三", 6, E, ClickVariant::BackThree, "青松"},
    {4, "爷们后三", 5, E, ClickVariant::BackThree, "明月"},
    {6, "天天后三", 7, E, ClickVariant::BackThree, "晓风"},
    {5, "豆豆后三", 8, E, ClickVariant::BackThree, "春雨"},
    {8, "黑马后三", 9, E, ClickVariant::BackThree, "秋水"},
    {7, "红马后三", 10, E, ClickVariant::BackThree, "寒梅"},
    {10, "欧亿后三", 11, E, ClickVariant::BackThree, "竹影"},
    {9, "远博后三", 12, E, ClickVariant::BackThree, "松涛"},
    {12, "红馆黑钱", 3, E, ClickVariant::BackThree, "听雨", "红馆迪拜黑钱"},
    {11, "博牛黑钱", 4, E, ClickVariant::BackThree, "望舒", "博牛黑钱"},
    {14, "欢乐城黑", 13, E, ClickVariant::BackThree, "流云", "欢乐城黑钱"},
    {13, "彩天堂黑", 14, E, ClickVariant::BackThree, "清泉", "彩天堂黑钱"},
    {16, "宝宝后三", 15, E, ClickVariant::BackThree, "落霞"},
    {15, "荷花后三", 16, E, ClickVariant::BackThree, "星河"},
    {18, "玫瑰后三", 17, E, ClickVariant::BackThree, "晨曦"},
    {17, "兰花后三", 18, E, ClickVariant::BackThree, "暮雪"},
    {20, "老哥后三", 19, E, ClickVariant::BackThree, "远山"},
    {19, "发财后三", 20, E, ClickVariant::BackThree, "静湖"},
    {22, "清华后三", 21, E, ClickVariant::BackThree, "云舒"},
    {21, "北大后三", 22, E, ClickVariant::BackThree, "墨竹"},
    {28, "爷们后二", 23, E, ClickVariant::KeepsOwnTimer, "朝阳"},
    {30, "乾坤后二", 24, E, ClickVariant::KeepsOwnTimer, "夕照"},
    {36, "天天后二", 25, E, ClickVariant::FullStop, "长风"},
    {35, "糊涂后二", 26, E, ClickVariant::FullStop, "碧波"},
    {38, "天龙后二", 27, E, ClickVariant::FullStop, "紫烟"},
    {37, "淘宝后二", 28, E, ClickVariant::FullStop, "疏影"},
    {45, "天马后二", 29, E, ClickVariant::FullStop, "飞鸿"},
    {44, "金金后二", 30, E, ClickVariant::FullStop, "孤帆"},
    {130, "疯狂后二", 31, R, ClickVariant::ReplaceFirst, "雁南"},
    {49, "锦江后二", 32, R, ClickVariant::ReplaceFirst, "初雪"},
    {132, "爱国后二", 33, R, ClickVariant::ReplaceFirst, "微澜"},
    {131, "青春后二", 34, R, ClickVariant::ReplaceFirst, "归燕"},
    {189, "网红后二", 35, R, ClickVariant::ReplaceFirst, "晴川"},
    {187, "连天后二", 36, R, ClickVariant::ReplaceFirst, "若水"},
    {191, "逆天后二", 37, R, ClickVariant::ReplaceFirst, "梧桐"},
    {190, "人气后二", 38, R, ClickVariant::ReplaceFirst, "杏林"},
    {31, "蓝天后二", 39, R, ClickVariant::ReplaceFirst, "芦笙"},
    {32, "白云后二", 40, R, ClickVariant::ReplaceFirst, "石泉"},
};
// clang-format on
constexpr int kBackThreeRows = 20;

struct KillRow {
    int button;
    const char* caption;
    int contentId;
    const char* pattern;
};

// The 金喜 plan writes its label with "囍".
// clang-format off
const KillRow kKillRows[] = {
    {46, "乾坤杀合", 112, "[0-9]{3,}期 【乾坤】.+杀尾.+"},
    {48, "金喜杀合", 116, "[0-9]{3,}-[0-9]{3,}期 【金囍】.+尾.+"},
    {209, "皇家杀合", 46287, "[0-9]{3,}期 【皇家】.+尾.+"},
    {210, "盈利杀合", 186, "[0-9]{3,}期 【盈利】.+尾.+"},
    {211, "局宴杀跨", 114, "[0-9]{3,}期 【局宴】.+跨.+"},
    {212, "明珠杀跨", 118, "[0-9]{3,}-[0-9]{3,}期 【明珠】.+跨.+"},
    {213, "盈利杀跨", 186, "[0-9]{3,}期 【盈利】.+跨.+"},
    {214, "佛咒杀合", 125, "[0-9]{3,}期 【佛咒】.+尾.+"},
    {215, "虞姬杀合", 119, "[0-9]{3,}期 【虞姬】.+尾.+"},
    {216, "貔貅杀合", 122, "[0-9]{3,}期 【貔貅】.+尾.+"},
};
// clang-format on

ControlName buttonName(int n) {
    return ctl::button(n);
}
ControlName timerName(int n) {
    return ctl::timer(n);
}

std::string derivedPlanName(const std::string& caption) {
    for (const std::string suffix : {"后三", "后二"})
        if (caption.size() > suffix.size() && caption.ends_with(suffix))
            return caption.substr(0, caption.size() - suffix.size());
    return caption;
}

template <typename T>
const T* findIn(const std::vector<T>& plans, ControlName key, ControlName T::*field) {
    for (const T& p : plans)
        if (p.*field == key) return &p;
    return nullptr;
}

}  // namespace

const std::vector<FetchedPlan>& fetchedPlans() {
    static const std::vector<FetchedPlan> plans = [] {
        std::vector<FetchedPlan> v;
        for (int page = 0; page < 3; ++page)
            for (int row = 0; row < 12; ++row)
                for (int col = 0; col < 6; ++col) {
                    const FetchCell& c = kFetchGrid[page][row][col];
                    if (c.button != 0)
                        v.push_back({buttonName(c.button), c.caption, c.contentId, page, row, col});
                }
        return v;
    }();
    return plans;
}

const std::vector<CachedPlan>& cachedPlans() {
    static const std::vector<CachedPlan> plans = [] {
        std::vector<CachedPlan> v;
        int row = 0;
        for (const CachedRow& r : kCachedRows) {
            CachedPlan p;
            p.button = buttonName(r.button);
            p.caption = r.caption;
            p.planName = r.planName ? r.planName : derivedPlanName(r.caption);
            p.group = row < kBackThreeRows ? PlanGroup::BackThree : PlanGroup::BackTwo;
            p.cacheRow = row;
            p.detailPage = pageCacheDetailPages().at(row);
            p.refreshTimer = timerName(r.timer);
            p.order = r.order;
            p.variant = r.variant;
            p.sourceLabel = r.sourceLabel;
            v.push_back(std::move(p));
            ++row;
        }
        return v;
    }();
    return plans;
}

const std::vector<KillPlan>& killPlans() {
    static const std::vector<KillPlan> plans = [] {
        std::vector<KillPlan> v;
        for (const KillRow& r : kKillRows)
            v.push_back({buttonName(r.button), r.caption, r.contentId, r.pattern,
                         static_cast<int>(v.size())});
        return v;
    }();
    return plans;
}

const FetchedPlan* findFetchedPlan(ControlName button) {
    return findIn(fetchedPlans(), button, &FetchedPlan::button);
}

const CachedPlan* findCachedPlanByButton(ControlName button) {
    return findIn(cachedPlans(), button, &CachedPlan::button);
}

const CachedPlan* findCachedPlanByTimer(ControlName timer) {
    return findIn(cachedPlans(), timer, &CachedPlan::refreshTimer);
}

const KillPlan* findKillPlan(ControlName button) {
    return findIn(killPlans(), button, &KillPlan::button);
}

const ControlName& groupTextBox(PlanGroup group) {
    static const ControlName backThree = ctl::kBackThreePlanBox, backTwo = ctl::kBackTwoPlanBox;
    return group == PlanGroup::BackThree ? backThree : backTwo;
}

const std::vector<ControlName>& groupTimers(PlanGroup group) {
    const auto timers = [](int first, int last) {
        std::vector<ControlName> v;
        for (int n = first; n <= last; ++n)
            v.push_back(timerName(n));
        return v;
    };
    static const std::vector<ControlName> backThree = timers(3, 22), backTwo = timers(23, 40);
    return group == PlanGroup::BackThree ? backThree : backTwo;
}

const std::vector<int>& pageCacheDetailPages() {
    static const std::vector<int> pages = {
        1193, 1191, 1194, 1196, 1197, 1198, 1201, 1205, 1206, 1209,  // rows 0-9
        1203, 1204, 1199, 1192, 1208, 1202, 1210, 1207, 1200, 1195,  // rows 10-19
        1214, 1226, 1215, 1216, 1217, 1218, 1212, 1213, 1220, 1219,  // rows 20-29
        1228, 1223, 1211, 1221, 1222, 1225, 1229, 1224, 1227,        // rows 30-38
    };
    return pages;
}

std::string detailPath(int detailPage) {
    return "/detail/" + std::to_string(detailPage) + ".html";
}

}  // namespace pv
