#include "origin/plan_texts.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#include <numeric>

#include "catalogue/catalogue.h"
#include "core/code_page.h"
#include "core/text.h"

namespace pv::origin {
namespace {

const std::string kSeparator(39, '-');
const std::string kCrLf = "\r\n";
// The label of the detail page that no plan reads; no plan name or other label contains it.
const std::string kUnreadPageLabel = "佚名";

enum class Style { Numbers, Digits, Dan, OddEven, BigSmall, DragonTiger };

struct PlanKind {
    Style style = Style::Numbers;
    int first = 2;   // 0-based position of the part's first digit; 0 is the ten-thousands
    int length = 3;  // digits in the part
    int pick = 500;  // numbers, digits or words named for a period
};

bool has(const std::string& t, const char* s) {
    return findText(t, s) != -1;
}

// The decimal number written right before `unit` ("4码", "48注"); -1 when there is none.
int numberBefore(const std::string& t, const char* unit) {
    const int at = findText(t, unit);
    if (at == -1) return -1;
    const std::size_t end = static_cast<std::size_t>(at - 1);
    std::size_t begin = end;
    while (begin > 0 && t[begin - 1] >= '0' && t[begin - 1] <= '9')
        --begin;
    return begin == end ? -1 : std::stoi(t.substr(begin, end - begin));
}

// A number of three or more digits that ends the caption ("前三550"); -1 when there is none.
int trailingCount(const std::string& t) {
    std::size_t begin = t.size();
    while (begin > 0 && t[begin - 1] >= '0' && t[begin - 1] <= '9')
        --begin;
    return t.size() - begin >= 3 ? std::stoi(t.substr(begin)) : -1;
}

int power10(int n) {
    int v = 1;
    while (n-- > 0)
        v *= 10;
    return v;
}

// What a fetched plan publishes, read from its caption: the part of the draw it covers and
// whether it names numbers, digits per position, a lucky digit or a word.
PlanKind kindFromCaption(const std::string& caption) {
    static const char* const positions[] = {"万位", "千位", "百位", "十位"};
    int position = -1;
    for (int i = 0; i < 4; ++i)
        if (has(caption, positions[i])) position = i;
    if (has(caption, "后一")) position = 4;

    PlanKind k;
    if (has(caption, "单双") || has(caption, "大小")) {
        k.style = has(caption, "单双") ? Style::OddEven : Style::BigSmall;
        k.first = position < 0 ? 4 : position;
        k.length = 1;
        k.pick = 1;
        return k;
    }
    if (has(caption, "龙虎")) return {Style::DragonTiger, 0, 5, 1};

    k.length = has(caption, "五星")                         ? 5
               : has(caption, "四")                         ? 4
               : has(caption, "三") || has(caption, "直选") ? 3
               : has(caption, "二")                         ? 2
               : position >= 0                              ? 1
                                                            : 3;
    const bool front = has(caption, "前二") || has(caption, "前三") || has(caption, "前四");
    k.first = k.length == 1 ? (position < 0 ? 4 : position) : front ? 0 : 5 - k.length;

    if (has(caption, "胆")) {
        k.style = Style::Dan;
        k.pick = has(caption, "胆码") ? 2 : 1;
    } else if (const int digits = numberBefore(caption, "码"); digits > 0 || has(caption, "杀码")) {
        k.style = Style::Digits;
        k.pick = std::clamp(digits > 0 ? digits : 9, 1, 9);
    } else {
        k.style = Style::Numbers;
        int count = numberBefore(caption, "注");
        if (count <= 0) count = trailingCount(caption);
        const int defaults[] = {0, 5, 50, 500, 5000, 50000};
        k.pick = std::clamp(count > 0 ? count : defaults[k.length], 1, power10(k.length) - 1);
    }
    return k;
}

std::string partName(const PlanKind& k) {
    static const char* const positions[] = {"万位", "千位", "百位", "十位", "个位"};
    static const char* const counts[] = {"", "一", "二", "三", "四", "五"};
    if (k.length == 1) return positions[k.first];
    if (k.length == 5) return "五星";
    return std::string(k.first == 0 ? "前" : "后") + counts[k.length];
}

std::string kindText(const PlanKind& k) {
    switch (k.style) {
        case Style::Numbers:
            return partName(k) + std::to_string(k.pick) + "注";
        case Style::Digits:
            return partName(k) + std::to_string(k.pick) + "码";
        case Style::Dan:
            return partName(k) + (k.pick == 1 ? "独胆" : "双胆");
        case Style::OddEven:
            return partName(k) + "单双";
        case Style::BigSmall:
            return partName(k) + "大小";
        case Style::DragonTiger:
            return "龙虎";
    }
    return {};
}

int universe(const PlanKind& k) {
    switch (k.style) {
        case Style::Numbers:
            return power10(k.length);
        case Style::Digits:
        case Style::Dan:
            return 10;
        default:
            return 2;
    }
}

// `pick` values of 0 .. universe-1, ascending, drawn from the plan and the period it starts at.
std::vector<int> pickValues(const std::string& planKey, const std::string& firstIssue,
                            int universeSize, int pick) {
    std::vector<int> all(static_cast<std::size_t>(universeSize));
    std::iota(all.begin(), all.end(), 0);
    std::uint64_t state = hashKey(planKey + "/" + firstIssue);
    for (int i = 0; i < pick; ++i) {
        const int j =
            i + static_cast<int>(nextRandom(state) % static_cast<std::uint64_t>(universeSize - i));
        std::swap(all[static_cast<std::size_t>(i)], all[static_cast<std::size_t>(j)]);
    }
    all.resize(static_cast<std::size_t>(pick));
    std::sort(all.begin(), all.end());
    return all;
}

int partValue(const Draw& d, int first, int length) {
    int v = 0;
    for (int i = first; i < first + length; ++i)
        v = v * 10 + d.digits[static_cast<std::size_t>(i)];
    return v;
}

bool isHit(const PlanKind& k, const std::vector<int>& picks, const Draw& d) {
    const auto picked = [&](int v) { return std::binary_search(picks.begin(), picks.end(), v); };
    const auto part = [&](auto&& pred) {
        int count = 0;
        for (int i = k.first; i < k.first + k.length; ++i)
            count += pred(d.digits[static_cast<std::size_t>(i)]) ? 1 : 0;
        return count;
    };
    const int digit = d.digits[static_cast<std::size_t>(k.first)];
    switch (k.style) {
        case Style::Numbers:
            return picked(partValue(d, k.first, k.length));
        case Style::Digits:
            return part(picked) == k.length;
        case Style::Dan:
            return part(picked) > 0;
        case Style::OddEven:
            return (digit % 2 == 1) == (picks[0] == 0);
        case Style::BigSmall:
            return (digit >= 5) == (picks[0] == 0);
        case Style::DragonTiger:
            return picks[0] == 0 ? d.digits[0] > d.digits[4] : d.digits[0] < d.digits[4];
    }
    return false;
}

std::string pickLines(const PlanKind& k, const std::vector<int>& picks) {
    std::string out;
    switch (k.style) {
        case Style::Numbers: {
            const std::size_t perLine = picks.size() <= 100 ? 10 : 20;
            for (std::size_t i = 0; i < picks.size(); ++i) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "%0*d", k.length, picks[i]);
                out += buf;
                out += (i + 1) % perLine == 0 || i + 1 == picks.size() ? kCrLf : " ";
            }
            return out;
        }
        case Style::Digits:
        case Style::Dan:
            if (k.style == Style::Dan) out = "胆码：";
            for (std::size_t i = 0; i < picks.size(); ++i)
                out += (i ? " " : "") + std::to_string(picks[i]);
            return out + kCrLf;
        case Style::OddEven:
            return (picks[0] == 0 ? "单" : "双") + kCrLf;
        case Style::BigSmall:
            return (picks[0] == 0 ? "大" : "小") + kCrLf;
        case Style::DragonTiger:
            return (picks[0] == 0 ? "龙" : "虎") + kCrLf;
    }
    return out;
}

// One run of a plan: the periods it announced and how far they are drawn.
struct Cycle {
    std::vector<Draw> draws;  // the periods of the day the run covers
    std::string lastIssue;    // the last period announced, which may be the next day's first
    int played = 0;
    int hitAt = 0;  // 1-based period of the first hit; 0 for none
    bool closed = false;
};

using HitRule = std::function<bool(const Draw& first, const Draw& d)>;

// Runs restart with each day's first draw and last `length` periods, or end at the first hit
// with `stopOnHit`. Only the first `drawn` draws of the day count as drawn.
std::vector<Cycle> dayCycles(const std::vector<Draw>& day, std::size_t drawn, std::size_t length,
                             bool stopOnHit, const HitRule& hit) {
    std::vector<Cycle> out;
    std::size_t start = 0;
    while (start < day.size()) {
        Cycle c;
        const std::size_t end = std::min(day.size(), start + length);
        c.draws.assign(day.begin() + static_cast<std::ptrdiff_t>(start),
                       day.begin() + static_cast<std::ptrdiff_t>(end));
        // A two-period run cut by the end of the day still announces two periods.
        c.lastIssue = c.draws.size() == length ? c.draws.back().issue
                                               : drawAt(nextDrawTime(c.draws.back().time)).issue;
        while (!c.closed && start + static_cast<std::size_t>(c.played) < std::min(end, drawn)) {
            const Draw& d = c.draws[static_cast<std::size_t>(c.played++)];
            if (c.hitAt == 0 && hit(c.draws.front(), d)) {
                c.hitAt = c.played;
                c.closed = stopOnHit;
            }
        }
        c.closed = c.closed || start + static_cast<std::size_t>(c.played) == end;
        out.push_back(c);
        if (!c.closed) break;
        start += static_cast<std::size_t>(c.played);
    }
    return out;
}

struct PlanHistory {
    Cycle open;                 // the run the next draw belongs to
    std::vector<Cycle> closed;  // newest first
};

PlanHistory planHistory(Seconds now, std::size_t length, bool stopOnHit, const HitRule& hit,
                        int count) {
    const Seconds next = nextDrawTime(now);
    const std::vector<Draw> today = drawsOfDay(next);
    const auto drawn = static_cast<std::size_t>(
        std::count_if(today.begin(), today.end(), [&](const Draw& d) { return d.time <= now; }));
    std::vector<Cycle> cycles = dayCycles(today, drawn, length, stopOnHit, hit);
    PlanHistory h;
    h.open = cycles.back();  // the next draw is today's, so the last run is still open
    cycles.pop_back();
    h.closed.assign(cycles.rbegin(), cycles.rend());
    if (h.closed.size() < static_cast<std::size_t>(count)) {
        const std::vector<Cycle> yesterday =
            dayCycles(drawsOfDay(next - kDay), std::numeric_limits<std::size_t>::max(), length,
                      stopOnHit, hit);
        h.closed.insert(h.closed.end(), yesterday.rbegin(), yesterday.rend());
    }
    if (h.closed.size() > static_cast<std::size_t>(count))
        h.closed.resize(static_cast<std::size_t>(count));
    return h;
}

// "170305041期", or "170305041-042期" for a run of two periods.
std::string periodText(const Cycle& c) {
    std::string t = c.draws.front().issue;
    if (c.lastIssue != t) t += "-" + c.lastIssue.substr(c.lastIssue.size() - 3);
    return t + "期";
}

std::string lastResult(const Cycle& c) {
    return "开奖：" + digitsText(c.draws[static_cast<std::size_t>(c.played - 1)], "");
}

std::string header(const std::string& title, Seconds now) {
    return title + kCrLf + "更新时间：" + formatClock(latestDrawTime(now)) + kCrLf;
}

// A plan that names its numbers for runs of two periods and stops a run at its first hit.
struct NumberPlan {
    std::string key;  // seeds the plan's numbers
    PlanKind kind;

    HitRule hitRule() const {
        // Both periods of a run test the same numbers; keep the last run's.
        return [this, issue = std::string(), picks = std::vector<int>()](const Draw& first,
                                                                         const Draw& d) mutable {
            if (first.issue != issue) {
                issue = first.issue;
                picks = pickValues(key, issue, universe(kind), kind.pick);
            }
            return isHit(kind, picks, d);
        };
    }
    std::vector<int> picks(const Cycle& c) const {
        return pickValues(key, c.draws.front().issue, universe(kind), kind.pick);
    }
};

std::string outcome(const Cycle& c) {
    return c.hitAt ? "第" + std::to_string(c.hitAt) + "期中" : std::string("挂");
}

std::string fetchedPlanFile(const FetchedPlan& plan, Seconds now) {
    const NumberPlan p{"content/" + std::to_string(plan.contentId), kindFromCaption(plan.caption)};
    const PlanHistory h = planHistory(now, 2, true, p.hitRule(), kFileHistory);
    const std::string name = "【" + plan.caption + "】" + kindText(p.kind);
    std::string out = header(plan.caption + "计划", now);
    out += "进行中" + kCrLf;
    out += periodText(h.open) + " " + name + " 第" + std::to_string(h.open.played + 1) + "期等开" +
           kCrLf;
    out += pickLines(p.kind, p.picks(h.open));
    out += kSeparator + kCrLf;
    for (const Cycle& c : h.closed)
        out += periodText(c) + " " + name + " " + outcome(c) + " " + lastResult(c) + kCrLf;
    return out + kSeparator + kCrLf;
}

// A kill-plan row: the label and word its pattern asks for, and whether it wants a range.
struct KillRow {
    std::string label;  // 金囍, written as the pattern writes it
    std::string word;   // "杀尾" or "杀跨"
    bool range = false;
    std::string key;

    explicit KillRow(const KillPlan& k) {
        const int open = findText(k.pattern, "【");
        const int close = findText(k.pattern, "】", open);
        label = midText(k.pattern, open + 2, close - open - 2);
        word = has(k.pattern, "跨") ? "杀跨" : "杀尾";
        range = has(k.pattern, "]{3,}-[");
        key = "kill/" + std::to_string(k.contentId) + "/" + word;
    }
    int killed(const Cycle& c) const {
        return static_cast<int>(hashKey(key + c.draws[0].issue) % 10);
    }
    // A run fails when the killed sum tail or span turns up.
    HitRule failRule() const {
        return [this](const Draw& first, const Draw& d) {
            const int v = static_cast<int>(hashKey(key + first.issue) % 10);
            const int a = d.digits[2], b = d.digits[3], c = d.digits[4];
            if (word == "杀尾") return (a + b + c) % 10 == v;
            return std::max({a, b, c}) - std::min({a, b, c}) == v;
        };
    }
    std::string line(const std::string& period, const Cycle& c, const std::string& result) const {
        return period + " 【" + label + "】后三" + word + "：" + std::to_string(killed(c)) + " " +
               result + kCrLf;
    }
};

std::string killPlanFile(const std::string& caption, const std::vector<const KillPlan*>& rows,
                         Seconds now) {
    std::vector<KillRow> kills;
    for (const KillPlan* k : rows)
        kills.emplace_back(*k);
    std::vector<PlanHistory> histories;
    for (const KillRow& k : kills)
        histories.push_back(planHistory(now, k.range ? 2 : 1, true, k.failRule(), kFileHistory));

    std::string out = header(caption + "杀号计划", now);
    out += "进行中" + kCrLf;
    for (std::size_t i = 0; i < kills.size(); ++i)
        out += kills[i].line(periodText(histories[i].open), histories[i].open, "等开");
    out += kSeparator + kCrLf;
    for (std::size_t i = 0; i < kills.size(); ++i)
        for (const Cycle& c : histories[i].closed)
            out += kills[i].line(periodText(c), c, c.hitAt ? "错" : "中");
    out += kSeparator + kCrLf;

    // Shorthand lines of the latest run, as authors also write them; the listing passes over
    // every one of them.
    out += "往期简写" + kCrLf;
    for (std::size_t i = 0; i < kills.size(); ++i) {
        const KillRow& k = kills[i];
        const Cycle& c = histories[i].closed.empty() ? histories[i].open : histories[i].closed[0];
        const std::string& first = c.draws.front().issue;
        const std::string& last = c.lastIssue;
        const std::string twoDigits = first.substr(first.size() - 2) +
                                      (k.range ? "-" + last.substr(last.size() - 2) : "") + "期";
        const std::string label = "【" + k.label + "】后三";
        const std::string kill = "：" + std::to_string(k.killed(c)) + kCrLf;
        out += twoDigits + " " + label + k.word + kill;             // a period of two digits
        out += periodText(c) + label + k.word + kill;               // no blank behind the period
        out += periodText(c) + " " + label + "定胆" + kill;         // not the row's word
        if (k.range) out += first + "期 " + label + k.word + kill;  // one period for a range
    }
    return out;
}

const CachedPlan* planOfPage(int detailPage) {
    for (const CachedPlan& p : cachedPlans())
        if (p.detailPage == detailPage) return &p;
    return nullptr;
}

}  // namespace

std::string planFile(int contentId, Seconds now) {
    std::vector<const KillPlan*> rows;
    for (const KillPlan& k : killPlans())
        if (k.contentId == contentId) rows.push_back(&k);
    for (const FetchedPlan& f : fetchedPlans()) {
        if (f.contentId != contentId) continue;
        return rows.empty() ? fetchedPlanFile(f, now) : killPlanFile(f.caption, rows, now);
    }
    return rows.empty() ? std::string() : killPlanFile(rows.front()->caption, rows, now);
}

std::vector<int> servedContentIds() {
    std::vector<int> ids;
    for (const FetchedPlan& f : fetchedPlans())
        ids.push_back(f.contentId);
    for (const KillPlan& k : killPlans())
        ids.push_back(k.contentId);
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

std::string pageSourceLabel(int detailPage) {
    const CachedPlan* plan = planOfPage(detailPage);
    return plan ? plan->sourceLabel : kUnreadPageLabel;
}

std::string planPage(int detailPage, Seconds now) {
    const auto& pages = pageCacheDetailPages();
    if (std::find(pages.begin(), pages.end(), detailPage) == pages.end()) return {};
    const CachedPlan* plan = planOfPage(detailPage);
    const bool backTwo = plan && plan->group == PlanGroup::BackTwo;
    const NumberPlan p{
        "detail/" + std::to_string(detailPage),
        backTwo ? PlanKind{Style::Numbers, 3, 2, 60} : PlanKind{Style::Numbers, 2, 3, 700}};
    const PlanHistory h = planHistory(now, 2, true, p.hitRule(), kPageHistory);
    const std::string label = pageSourceLabel(detailPage);
    const std::string name = label + partName(p.kind);

    // The block opens right behind the tag and closes with " </textarea>" and CR LF.
    std::string block = kCrLf + header(name + std::to_string(p.kind.pick) + "注 二期计划", now);
    block += periodText(h.open) + " " + name + " 等待" + std::to_string(h.open.played + 1) + kCrLf;
    block += pickLines(p.kind, p.picks(h.open));
    block += kSeparator + kCrLf;
    for (const Cycle& c : h.closed)
        block += periodText(c) + " " + name + " " + outcome(c) + " " + lastResult(c) + kCrLf;

    std::string page = "<!DOCTYPE html>" + kCrLf + "<html>" + kCrLf + "<head>" + kCrLf;
    page += "<meta charset=\"utf-8\" />" + kCrLf;
    page += "<title>" + name + "计划 - 计划详情</title>" + kCrLf + "</head>" + kCrLf;
    page += "<body>" + kCrLf + "<div class=\"author\">作者：" + label + "</div>" + kCrLf;
    page += "<textarea class=\"plan\" rows=\"30\" cols=\"80\" readonly id=\"planinfo\">" + block;
    page += " </textarea>" + kCrLf + "</body>" + kCrLf + "</html>" + kCrLf;
    return gbkToUtf8(page);
}

}  // namespace pv::origin
