#include "app/layout_table.h"

#include <map>
#include <set>

#include <gtest/gtest.h>

#include "catalogue/catalogue.h"

using namespace pv;

namespace {

const ControlSpec& control(ControlName name) {
    const ControlSpec* c = findControl(name);
    if (c == nullptr) ADD_FAILURE() << "no control " << name;
    static const ControlSpec none;
    return c ? *c : none;
}

void expectRect(ControlName name, int left, int top, int width, int height) {
    const ControlSpec& c = control(name);
    EXPECT_EQ((std::vector<int>{c.left, c.top, c.width, c.height}),
              (std::vector<int>{left, top, width, height}))
        << name;
}

bool overlaps(const ControlSpec& a, const ControlSpec& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

}  // namespace

// A control is filled in through the reference add() gave, after any number of later controls.
TEST(LayoutTable, BuilderReferencesStayValid) {
    TableBuilder b;
    ControlSpec& first = b.add(ControlKind::EditBox, 6, ControlName{}, 0, {746, 97, 32, 24});
    for (int n = 1; n <= 1000; ++n)
        b.add(ControlKind::Button, n, ControlName{}, 0, {});
    first.text = "30";
    const std::vector<ControlSpec> table = b.take();
    ASSERT_EQ(table.size(), 1001u);
    EXPECT_EQ(table[0].name, ctl::kRefreshPeriodBox);
    EXPECT_EQ(table[0].text, "30");
    EXPECT_EQ(table[1000].id, 2000u);
}

TEST(LayoutTable, CountsNamesIdentifiersAndContainers) {
    const auto& table = layoutTable();
    EXPECT_EQ(table.size(), 287u);
    std::map<ControlKind, int> perKind;
    std::set<std::string> names;
    std::set<std::uint32_t> ids;
    std::map<std::string, size_t> position;
    for (size_t i = 0; i < table.size(); ++i) {
        const ControlSpec& c = table[i];
        SCOPED_TRACE(c.name);
        ++perKind[c.kind];
        EXPECT_TRUE(names.insert(c.name).second);
        EXPECT_TRUE(ids.insert(c.id).second);
        EXPECT_NE(c.id, 0u);
        EXPECT_EQ(kindOfName(c.name), c.kind);
        position[c.name] = i;
        if (c.container.empty()) {
            EXPECT_EQ(c.page, 0);
            continue;
        }
        // The container exists, comes first, has the page, and holds the control whole.
        ASSERT_TRUE(position.count(c.container));
        const ControlSpec& box = table[position[c.container]];
        if (box.kind == ControlKind::TabControl) {
            EXPECT_GE(c.page, 0);
            EXPECT_LT(c.page, static_cast<int>(box.pageCaptions.size()));
        } else {
            EXPECT_EQ(box.kind, ControlKind::ShapeBox);
            EXPECT_EQ(c.page, 0);
        }
        EXPECT_LE(c.left + c.width, box.width);
        EXPECT_LE(c.top + c.height, box.height);
    }
    using K = ControlKind;
    EXPECT_EQ(perKind, (std::map<K, int>{{K::Button, 216},
                                         {K::Timer, 40},
                                         {K::Label, 13},
                                         {K::EditBox, 10},
                                         {K::TabControl, 2},
                                         {K::TransparentLabel, 2},
                                         {K::ListView, 1},
                                         {K::Grid, 1},
                                         {K::ShapeBox, 1},
                                         {K::HyperlinkBox, 1}}));
    // 按钮25 is made after the plan box it lies over.
    EXPECT_GT(position[ctl::kRefreshPageCacheButton], position[ctl::kBackThreePlanBox]);
}

TEST(LayoutTable, ButtonsTakeTheirCaptionsFromTheCatalogue) {
    std::set<std::string> expected = {
        ctl::kCopyBackThreeNumbersButton, ctl::kCopyBackThreePlanButton,
        ctl::kCopyFetchedPlanButton,      ctl::kCopyBackTwoPlanButton,
        ctl::kCopyBackTwoNumbersButton,   ctl::kCopyBlogPlansButton,
        ctl::kRefreshPageCacheButton,     ctl::kUpdateBlogPlansButton,
        ctl::kPlanlessFetchButton,        ctl::kBlankButton};
    for (const FetchedPlan& p : fetchedPlans()) {
        expected.insert(p.button);
        EXPECT_EQ(control(p.button).text, p.caption);
        EXPECT_EQ(control(p.button).container, ctl::kPlanTabs);
        EXPECT_EQ(control(p.button).page, p.subPage);
    }
    for (const CachedPlan& p : cachedPlans()) {
        expected.insert(p.button);
        EXPECT_EQ(control(p.button).text, p.caption);
        EXPECT_EQ(control(p.button).page, p.group == PlanGroup::BackThree ? 0 : 1);
    }
    const int killTops[] = {24, 63, 106, 148, 188, 228, 268, 308, 347, 388};
    for (const KillPlan& k : killPlans()) {
        expected.insert(k.button);
        EXPECT_EQ(control(k.button).text, k.caption);
        expectRect(k.button, 568, killTops[k.position], 64, 32);
    }
    std::set<std::string> buttons;
    for (const ControlSpec& c : layoutTable())
        if (c.kind == ControlKind::Button) buttons.insert(c.name);
    EXPECT_EQ(buttons, expected);
    EXPECT_EQ(expected.size(), 216u);

    // No two buttons of one page sit on each other.
    for (const ControlSpec& a : layoutTable()) {
        for (const ControlSpec& b : layoutTable()) {
            if (&a != &b && a.kind == ControlKind::Button && b.kind == ControlKind::Button &&
                a.container == b.container && a.page == b.page) {
                EXPECT_FALSE(overlaps(a, b)) << a.name << " " << b.name;
            }
        }
    }

    expectRect(ctl::button(50), 8, 8, 38, 28);
    expectRect(ctl::button(111), 198, 374, 38, 28);
    expectRect(ctl::kPlanlessFetchButton, 176, 40, 56, 28);
    expectRect(ctl::button(129), 8, 74, 56, 28);
    expectRect(ctl::button(206), 160, 352, 80, 32);
    expectRect(ctl::button(2), 424, 24, 64, 32);
    expectRect(ctl::button(21), 496, 389, 64, 32);
    expectRect(ctl::button(28), 408, 34, 80, 32);
    expectRect(ctl::button(32), 513, 352, 80, 32);
    EXPECT_EQ(control(ctl::kPlanlessFetchButton).text, "后一6码");
    EXPECT_EQ(control(ctl::kBlankButton).text, "");
    EXPECT_EQ(control(ctl::kCopyBackTwoNumbersButton).text, "复制号码");
}

TEST(LayoutTable, InitialContentsLooksAndVisibility) {
    const ControlSpec& refresh = control(ctl::kRefreshPageCacheButton);
    EXPECT_EQ(refresh.text, "请先点击我更新数据 ");
    EXPECT_EQ(refresh.font.family, "微软雅黑");
    EXPECT_EQ(refresh.font.pixelSize, 19);
    EXPECT_TRUE(refresh.font.bold);
    expectRect(ctl::kRefreshPageCacheButton, 72, 65, 256, 56);

    const ControlSpec& news = control(ctl::kAnnouncementBox);
    expectRect(ctl::kAnnouncementBox, 232, 0, 608, 96);
    EXPECT_EQ(news.text, "");
    EXPECT_EQ(news.font.pixelSize, 14);
    EXPECT_TRUE(news.hasColors && news.multiLine && news.verticalScrollBar);
    EXPECT_EQ(news.textColor, 0xFF0000u);
    EXPECT_EQ(news.backColor, 0xECECECu);
    for (ControlName box : {ctl::kBackThreePlanBox, ctl::kBackTwoPlanBox, ctl::kFetchedPlanBox}) {
        EXPECT_EQ(control(box).font.pixelSize, 12) << box;
        EXPECT_EQ(control(box).backColor, 0xECECECu) << box;
    }

    const ControlSpec& period = control(ctl::kRefreshPeriodBox);
    EXPECT_EQ(period.text, "30");
    EXPECT_FALSE(period.multiLine);
    EXPECT_EQ(period.textColor, 0x000000u);
    EXPECT_EQ(period.backColor, 0xFFFFFFu);
    EXPECT_EQ(control(ctl::kBackThreeNumbersBox).text, "\r\n挂机直接采集专用");
    EXPECT_EQ(control(ctl::kIdeaBox).text, "\r\n\r\n期待你更好的思路……");
    EXPECT_EQ(control(ctl::kIdeaBox).backColor, 0xFFFFFFu);
    EXPECT_EQ(control(ctl::kCountdownCaption).text, "开奖倒计时");
    EXPECT_EQ(control(ctl::kDrawDigit1).text, "6");
    EXPECT_EQ(control(ctl::kDrawDigit1).container, ctl::kDrawPanel);
    EXPECT_EQ(control(ctl::kDrawDigit5).container, "");
    EXPECT_EQ(control(ctl::kMainTabs).pageCaptions,
              (std::vector<std::string>{"后三700大底", "后二60注", "岚枫阁计划", "博客地址更新",
                                        "纯人工计划"}));
    EXPECT_EQ(control(ctl::kPlanTabs).pageCaptions,
              (std::vector<std::string>{"第一页", "第二页", "第三页"}));
    EXPECT_EQ(control(ctl::kPlanTabs).page, 2);
    EXPECT_EQ(windowSpec().caption, "岚枫阁免费版+大底v1.41");

    const std::set<std::string> hidden = {
        ctl::kPageCacheList, ctl::kPageCachePassLog,     ctl::kUnusedLabel, ctl::kCounterWorkLabel,
        ctl::kVersionLabel,  ctl::kDownloadAddressLabel, ctl::kDownloadLink};
    for (const ControlSpec& c : layoutTable()) {
        const bool timer = c.kind == ControlKind::Timer;
        EXPECT_EQ(c.visible, !timer && hidden.count(c.name) == 0) << c.name;
        EXPECT_EQ(c.period, 0) << c.name;
    }
    EXPECT_EQ(control(ctl::kCountdownTimer).container, ctl::kDrawPanel);
    EXPECT_EQ(control(ctl::kNightTimer).container, "");
    for (const CachedPlan& p : cachedPlans()) {
        EXPECT_EQ(control(p.refreshTimer).container, ctl::kMainTabs);
        EXPECT_EQ(control(p.refreshTimer).page, p.group == PlanGroup::BackThree ? 0 : 1);
    }
}

TEST(LayoutTable, PageCacheListHoldsThePathsOfItsRows) {
    const ControlSpec& cache = control(ctl::kPageCacheList);
    expectRect(ctl::kPageCacheList, 184, 400, 392, 72);
    EXPECT_EQ(cache.columnHeaders, (std::vector<std::string>{"网址", "操作", "返回信息"}));
    EXPECT_EQ(cache.columnWidths, (std::vector<int>{200, 80, 250}));
    ASSERT_EQ(cache.rows.size(), 39u);
    for (size_t r = 0; r < cache.rows.size(); ++r) {
        const std::string path = detailPath(pageCacheDetailPages()[r]);
        EXPECT_EQ(cache.rows[r], (std::vector<std::string>{path, "3", ""})) << r;
    }
    EXPECT_EQ(cache.rows.front()[0], "/detail/1193.html");
    EXPECT_EQ(cache.rows.back()[0], "/detail/1227.html");
}
