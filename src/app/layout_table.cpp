#include "app/layout_table.h"

#include <iterator>
#include <stdexcept>
#include <unordered_map>

#include "catalogue/catalogue.h"
#include "plans/page_cache.h"

namespace pv {
namespace {

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kPaper = 0xECECEC;  // RGB 236,236,236
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

// A figure of this size is about 21 px tall and its line fits the 35 px height of its label.
constexpr int kDigitPixelSize = 32;

constexpr ControlName kWindow;  // container of the top-level controls
constexpr ControlName kShapeBox = ctl::kDrawPanel;
constexpr ControlName kMainTabs = ctl::kMainTabs;
constexpr ControlName kPlanTabs = ctl::kPlanTabs;

// A control's identifier is its kind's base plus the number in its name (按钮25 is 1025), so it
// is unique and stays the same when the table is reordered.
struct KindInfo {
    const char* word;
    std::uint32_t idBase;
};

KindInfo kindInfo(ControlKind kind) {
    switch (kind) {
        case ControlKind::Button:
            return {"按钮", 1000};
        case ControlKind::Timer:
            return {"时钟", 2000};
        case ControlKind::Label:
            return {"标签", 3000};
        case ControlKind::EditBox:
            return {"编辑框", 4000};
        case ControlKind::TabControl:
            return {"选择夹", 5000};
        case ControlKind::TransparentLabel:
            return {"透明标签", 6000};
        case ControlKind::ListView:
            return {"超级列表框", 7000};
        case ControlKind::Grid:
            return {"高级表格", 8000};
        case ControlKind::ShapeBox:
            return {"外形框", 9000};
        case ControlKind::HyperlinkBox:
            return {"超级链接框", 10000};
    }
    return {"", 0};
}

void setColors(ControlSpec& c, std::uint32_t text, std::uint32_t back) {
    c.textColor = text;
    c.backColor = back;
    c.hasColors = true;
}

// The large plan and text boxes: red on light grey, multi-line, with a vertical scroll bar.
void planBoxLook(ControlSpec& c, int pixelSize) {
    setColors(c, kRed, kPaper);
    c.multiLine = true;
    c.verticalScrollBar = true;
    if (pixelSize > 0) c.font = {"微软雅黑", pixelSize, false};
}

// The five latest digits: one bold figure that fills its 43 x 35 cell, in the middle of it.
void digitLook(ControlSpec& c) {
    c.font = {"微软雅黑", kDigitPixelSize, true};
    c.centred = true;
}

// `first` + i/(n-1) of the way to `last`, rounded half up: the rows of a column whose text gives
// only its first and last top.
int spread(int first, int last, int n, int i) {
    return first + (2 * i * (last - first) + (n - 1)) / (2 * (n - 1));
}

// The button grids of 选择夹2. "第一页" and the first two rows of "第二页" share six 38-wide
// columns; a height of 28 fits the closest rows (30 apart) and matches 按钮23.
constexpr int kNarrowLefts[6] = {8, 46, 84, 122, 160, 198};
constexpr int kFirstPageTops[12] = {8, 42, 76, 106, 143, 176, 209, 242, 274, 308, 341, 374};
constexpr int kSecondPageWideLefts[4] = {8, 64, 120, 176};
constexpr int kSecondPageTops[12] = {8, 42, 74, 103, 139, 172, 206, 240, 272, 304, 336, 368};
constexpr int kThirdPageLefts[3] = {0, 72, 160};
constexpr int kThirdPageWidths[3] = {72, 88, 80};

LayoutRect fetchButtonRect(const FetchedPlan& p) {
    switch (p.subPage) {
        case 0:
            return {kNarrowLefts[p.column], kFirstPageTops[p.row], 38, 28};
        case 1:
            if (p.row < 2) return {kNarrowLefts[p.column], kSecondPageTops[p.row], 38, 28};
            return {kSecondPageWideLefts[p.column], kSecondPageTops[p.row], 56, 28};
        default:
            return {kThirdPageLefts[p.column], 32 * p.row, kThirdPageWidths[p.column], 32};
    }
}

// Two columns of plan buttons per group, filled row by row in page-cache order. The back-three
// column runs from top 24 to 389 over ten rows, the back-two one from 34 to 352 over nine.
LayoutRect cachedButtonRect(int indexInGroup, PlanGroup group) {
    const int row = indexInGroup / 2, column = indexInGroup % 2;
    if (group == PlanGroup::BackThree)
        return {column == 0 ? 424 : 496, spread(24, 389, 10, row), 64, 32};
    return {column == 0 ? 408 : 513, spread(34, 352, 9, row), 80, 32};
}

constexpr int kKillTops[10] = {24, 63, 106, 148, 188, 228, 268, 308, 347, 388};

void addTopLevel(TableBuilder& b) {
    b.add(ctl::kDrawPanel, kWindow, 0, {0, 0, 224, 88});
    digitLook(b.add(ctl::kDrawDigit1, kShapeBox, 0, {2, 28, 43, 35}, "6"));
    digitLook(b.add(ctl::kDrawDigit2, kShapeBox, 0, {46, 28, 43, 35}, "6"));
    digitLook(b.add(ctl::kDrawDigit3, kShapeBox, 0, {90, 28, 43, 35}, "6"));
    b.add(ctl::kDrawPanelCaption, kShapeBox, 0, {11, 2, 200, 24});
    b.timers({ctl::kCountdownTimer}, kShapeBox, 0);
    digitLook(b.add(ctl::kDrawDigit4, kWindow, 0, {134, 28, 43, 35}, "6"));
    digitLook(b.add(ctl::kDrawDigit5, kWindow, 0, {178, 28, 43, 35}, "6"));
    planBoxLook(b.add(ctl::kAnnouncementBox, kWindow, 0, {232, 0, 608, 96}), 14);
    b.hidden(ctl::kDownloadAddressLabel, kWindow, {232, 0, 100, 40});
    b.hidden(ctl::kDownloadLink, kWindow, {320, 2, 120, 24});
    b.hidden(ctl::kUnusedLabel, kWindow, {264, 32, 80, 24});
    b.hidden(ctl::kVersionLabel, kWindow, {520, 48, 72, 40});
    b.add(ctl::kCountdownCaption, kWindow, 0, {15, 75, 112, 24}, "开奖倒计时");
    b.add(ctl::kCountdownLabel, kWindow, 0, {132, 75, 67, 24});
    b.timers({ctl::kNightTimer}, kWindow, 0);
    b.add(ctl::kRefreshPeriodCaption, kWindow, 0, {664, 96, 80, 24}, "自动刷新时间");
    setColors(b.add(ctl::kRefreshPeriodBox, kWindow, 0, {746, 97, 32, 24}, "30"), kBlack, kWhite);
    b.add(ctl::kRefreshPeriodUnit, kWindow, 0, {787, 97, 24, 24}, "秒");
    b.add(ctl::kDrawHistoryGrid, kWindow, 0, {0, 104, 192, 464});
    b.add(ctl::kMainTabs, kWindow, 0, {200, 103, 640, 481}).pageCaptions = {
        "后三700大底", "后二60注", "岚枫阁计划", "博客地址更新", "纯人工计划"};

    ControlSpec& cache = b.hidden(ctl::kPageCacheList, kWindow, {184, 400, 392, 72});
    cache.columnHeaders = {"网址", "操作", "返回信息"};
    cache.columnWidths = {200, 80, 250};
    for (int page : pageCacheDetailPages()) {
        std::vector<std::string>& row = cache.rows.emplace_back(PageCacheList::kColumns);
        row[PageCacheList::kAddressColumn] = detailPath(page);
        row[PageCacheList::kFactorColumn] = "3";
    }

    b.hidden(ctl::kPageCachePassLog, kWindow, {144, 568, 40, 24}).multiLine = true;
    b.hidden(ctl::kCounterWorkLabel, kWindow, {8, 576, 136, 24});
}

void addCachedPlanButtons(TableBuilder& b, PlanGroup group, int page) {
    int index = 0;
    for (const CachedPlan& p : cachedPlans())
        if (p.group == group)
            b.add(p.button, kMainTabs, page, cachedButtonRect(index++, group), p.caption);
}

void addBackThreePage(TableBuilder& b) {
    planBoxLook(b.add(ctl::kBackThreePlanBox, kMainTabs, 0, {3, 24, 413, 384}), 12);
    // Created after the plan box so that it lies over it.
    ControlSpec& refresh =
        b.add(ctl::kRefreshPageCacheButton, kMainTabs, 0, {72, 65, 256, 56}, "请先点击我更新数据 ");
    refresh.font = {"微软雅黑", 19, true};
    addCachedPlanButtons(b, PlanGroup::BackThree, 0);
    for (const KillPlan& k : killPlans())
        b.add(k.button, kMainTabs, 0, {568, kKillTops[k.position], 64, 32}, k.caption);
    b.add(ctl::kCopyBackThreePlanButton, kMainTabs, 0, {216, 421, 104, 36}, "复制计划");
    b.add(ctl::kCopyBackThreeNumbersButton, kMainTabs, 0, {320, 421, 104, 36}, "复制号码");
    b.add(ctl::kBackThreeNumbersBox, kMainTabs, 0, {6, 416, 120, 41}, "\r\n挂机直接采集专用")
        .multiLine = true;
    b.timers(groupTimers(PlanGroup::BackThree), kMainTabs, 0);
}

void addBackTwoPage(TableBuilder& b) {
    planBoxLook(b.add(ctl::kBackTwoPlanBox, kMainTabs, 1, {0, 25, 392, 392}), 12);
    addCachedPlanButtons(b, PlanGroup::BackTwo, 1);
    b.add(ctl::kCopyBackTwoPlanButton, kMainTabs, 1, {256, 423, 80, 32}, "复制计划");
    b.add(ctl::kCopyBackTwoNumbersButton, kMainTabs, 1, {352, 423, 80, 32}, "复制号码");
    b.timers(groupTimers(PlanGroup::BackTwo), kMainTabs, 1);
}

void addFetchedPlanPage(TableBuilder& b) {
    planBoxLook(b.add(ctl::kFetchedPlanBox, kMainTabs, 2, {8, 24, 368, 392}), 12);
    ControlSpec& planTabs = b.add(ctl::kPlanTabs, kMainTabs, 2, {384, 21, 256, 428});
    planTabs.pageCaptions = {"第一页", "第二页", "第三页"};
    b.add(ctl::kCopyFetchedPlanButton, kMainTabs, 2, {152, 417, 80, 32}, "一键复制");
    for (const FetchedPlan& p : fetchedPlans()) {
        b.add(p.button, kPlanTabs, p.subPage, fetchButtonRect(p), p.caption);
        // 按钮23 fills the gap at the end of the second row of "第二页".
        if (p.subPage == 1 && p.row == 1 && p.column == 3)
            b.add(ctl::kPlanlessFetchButton, kPlanTabs, 1, {176, 40, 56, 28}, "后一6码");
    }
}

void addLastPages(TableBuilder& b) {
    planBoxLook(b.add(ctl::kBlogPlansBox, kMainTabs, 3, {8, 33, 448, 392}), 0);
    b.add(ctl::kUpdateBlogPlansButton, kMainTabs, 3, {488, 49, 80, 32}, "一键更新");
    b.add(ctl::kCopyBlogPlansButton, kMainTabs, 3, {490, 97, 80, 32}, "复制");
    b.add(ctl::kBlogStatusLabel, kMainTabs, 3, {25, 427, 559, 24});

    ControlSpec& idea =
        b.add(ctl::kIdeaBox, kMainTabs, 4, {0, 25, 328, 240}, "\r\n\r\n期待你更好的思路……");
    setColors(idea, kRed, kWhite);
    idea.multiLine = true;
    b.add(ctl::kNotesBox, kMainTabs, 4, {0, 161, 328, 296}).multiLine = true;
    b.add(ctl::kBlankButton, kMainTabs, 4, {352, 73, 80, 32});
}

}  // namespace

ControlSpec& TableBuilder::add(ControlKind kind, int number, ControlName container, int page,
                               LayoutRect r, std::string text) {
    const KindInfo info = kindInfo(kind);
    ControlSpec& c = table_.emplace_back();
    c.name = ControlName(info.word + std::to_string(number));
    c.kind = kind;
    c.id = info.idBase + static_cast<std::uint32_t>(number);
    c.container = container;
    c.page = page;
    c.left = r.left;
    c.top = r.top;
    c.width = r.width;
    c.height = r.height;
    c.text = std::move(text);
    return c;
}

ControlSpec& TableBuilder::hidden(ControlKind kind, int number, ControlName container,
                                  LayoutRect r) {
    ControlSpec& c = add(kind, number, container, 0, r);
    c.visible = false;
    return c;
}

void TableBuilder::timers(int first, int last, ControlName container, int page) {
    for (int n = first; n <= last; ++n)
        add(ControlKind::Timer, n, container, page, {}).visible = false;
}

ControlSpec& TableBuilder::add(ControlName name, ControlName container, int page, LayoutRect r,
                               std::string text) {
    const std::string bytes = name;
    const std::optional<ControlKind> kind = kindOfName(bytes);
    const std::size_t word = kind ? std::string(kindInfo(*kind).word).size() : 0;
    if (!kind || bytes.find_first_not_of("0123456789", word) != std::string::npos)
        throw std::invalid_argument("not a kind and a number: " + bytes);
    ControlSpec& c = add(*kind, std::stoi(bytes.substr(word)), container, page, r, std::move(text));
    if (c.name != bytes) throw std::invalid_argument("not a kind and a number: " + bytes);
    return c;
}

ControlSpec& TableBuilder::hidden(ControlName name, ControlName container, LayoutRect r) {
    ControlSpec& c = add(name, container, 0, r);
    c.visible = false;
    return c;
}

void TableBuilder::timers(const std::vector<ControlName>& names, ControlName container, int page) {
    for (ControlName name : names)
        add(name, container, page, {}).visible = false;
}

std::vector<ControlSpec> TableBuilder::take() {
    std::vector<ControlSpec> table(std::make_move_iterator(table_.begin()),
                                   std::make_move_iterator(table_.end()));
    table_.clear();
    return table;
}

std::optional<ControlKind> kindOfName(const std::string& name) {
    for (int k = 0; k <= int(ControlKind::HyperlinkBox); ++k) {
        const std::string word = kindInfo(ControlKind(k)).word;
        if (name.compare(0, word.size(), word) == 0) return ControlKind(k);
    }
    return std::nullopt;
}

const WindowSpec& windowSpec() {
    static const WindowSpec spec{"岚枫阁免费版+大底v1.41"};
    return spec;
}

const std::vector<ControlSpec>& layoutTable() {
    static const std::vector<ControlSpec> table = [] {
        TableBuilder b;
        addTopLevel(b);
        addBackThreePage(b);
        addBackTwoPage(b);
        addFetchedPlanPage(b);
        addLastPages(b);
        return b.take();
    }();
    return table;
}

const ControlSpec* findControl(ControlName name) {
    static const auto index = [] {
        std::unordered_map<ControlName, const ControlSpec*> byName;
        for (const ControlSpec& c : layoutTable())
            byName.emplace(c.name, &c);
        return byName;
    }();
    auto it = index.find(name);
    return it == index.end() ? nullptr : it->second;
}

}  // namespace pv
