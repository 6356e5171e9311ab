// A day of draws in minutes. The program's window runs against the demo origin in this process;
// a simulated clock moves second by second through the day and drives the countdown with it, so
// every draw's trigger starts a scrape and refreshes the page cache. Every wait of the program
// passes in simulated time: a pause of the window thread lets that many simulated seconds go by
// (with their countdown ticks, re-entrantly, as on the real clock), a worker's pause is shortened
// by the same ratio. Threads, descriptors, locks and resident memory are counted after the first
// hour and at the end; the run fails when any of them grew (memory: by more than the slack).
#include <dirent.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "catalogue/catalogue.h"
#include "core/code_page.h"
#include "core/shutdown.h"
#include "core/text.h"
#include "core/threads.h"
#include "draw/countdown.h"
#include "draw/draw_history.h"
#include "origin/plan_texts.h"
#include "origin/site_pages.h"
#include "origin_viewer.h"
#include "plans/page_cache.h"
#include "support/window_support.h"

using namespace pv;
using namespace pv::test;

namespace {

// The soak checks at any time of the day, so its expectations come from the origin's data.

// What the page cache keeps of a detail page the origin serves at `now` (GBK).
std::string originCachedPage(int detailPage, origin::Seconds now) {
    std::string page = utf8ToGbk(origin::planPage(detailPage, now));
    page = replaceText(page, "等待1", " 1 进行中");
    return replaceText(page, "等待2", " 2 进行中");
}

// The text a cached plan shows from that page: the planinfo block with the plan's name in place
// of its source label.
std::string expectedPlanDisplay(int cacheRow, origin::Seconds now) {
    const CachedPlan& plan = cachedPlans().at(static_cast<std::size_t>(cacheRow));
    const std::string page = originCachedPage(plan.detailPage, now);
    const std::string start = " id=\"planinfo\">", end = " </textarea>\r";
    const std::size_t from = page.find(start);
    if (from == std::string::npos) return {};
    const std::size_t to = page.find(end, from + start.size());
    if (to == std::string::npos) return {};
    return replaceText(page.substr(from + start.size(), to - from - start.size()), plan.sourceLabel,
                       plan.planName);
}

// The draw grid the origin's trend page gives at `now`: header row, then the newest draw first.
GridRows expectedDrawGrid(origin::Seconds now) {
    GridRows rows{{"期号", "万", "千", "百", "十", "个"}};
    for (const origin::Draw& d : origin::recentDraws(now, origin::kTrendDraws)) {
        std::vector<std::string> row{d.issue.substr(d.issue.size() - 3) + "期"};
        for (int digit : d.digits)
            row.push_back(std::to_string(digit));
        rows.push_back(row);
    }
    return rows;
}

struct Options {
    origin::Seconds start = 0;
    int hours = 24;
    int msPerSecond = 20;   // real time of one simulated second while the program waits
    double slackMiB = 5.0;  // below 0: not checked
};

struct Census {
    int threads = 0;
    int descriptors = 0;        // the program's own
    int originDescriptors = 0;  // the origin's sockets, listening or serving a request
    int locks = 0;
    long rssKiB = 0;
};

int entriesOf(const char* dir) {
    DIR* d = opendir(dir);
    if (!d) return -1;
    int n = 0;
    while (const dirent* e = readdir(d))
        n += e->d_name[0] != '.';
    closedir(d);
    return n;
}

long rssKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// The inodes of the TCP sockets whose local port is one of `ports`.
std::set<std::string> socketsOnPorts(const std::set<int>& ports) {
    std::ifstream table("/proc/self/net/tcp");
    std::string line;
    std::getline(table, line);  // the heading
    std::set<std::string> inodes;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
        fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
            timeout >> inode;
        const std::size_t colon = local.find(':');
        if (colon != std::string::npos &&
            ports.count(int(std::strtol(local.c_str() + colon + 1, nullptr, 16))))
            inodes.insert(inode);
    }
    return inodes;
}

// The origin shares the process; an origin thread closes a connection only once it has seen the
// viewer close its end, so its sockets are counted apart from the program's.
Census takeCensus(const std::set<int>& originPorts) {
    Census c{entriesOf("/proc/self/task"), 0, 0, liveLocks(), rssKiB()};
    const std::set<std::string> origin = socketsOnPorts(originPorts);
    DIR* d = opendir("/proc/self/fd");
    if (!d) return c;
    const int own = dirfd(d);
    while (const dirent* e = readdir(d)) {
        if (e->d_name[0] == '.' || std::atoi(e->d_name) == own) continue;
        char target[256] = {};
        const std::string path = std::string("/proc/self/fd/") + e->d_name;
        const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
        const std::string link(target, n > 0 ? std::size_t(n) : 0);
        const bool ofOrigin =
            link.rfind("socket:[", 0) == 0 && origin.count(link.substr(8, link.size() - 9));
        ++(ofOrigin ? c.originDescriptors : c.descriptors);
    }
    closedir(d);
    return c;
}

void print(const char* when, const Census& c) {
    std::printf(
        "%-12s threads %d, descriptors %d (and the origin's %d), live locks %d, resident %.1f "
        "MiB\n",
        when, c.threads, c.descriptors, c.originDescriptors, c.locks, c.rssKiB / 1024.0);
}

// The window's controls, except that the night trigger timer 时钟2 runs on the simulated clock.
class SoakControls final : public Controls {
  public:
    explicit SoakControls(Controls& real) : real_(real) {}
    bool nightTimerRunning() const { return nightPeriod_.load() > 0; }

    std::string text(ControlName n) override { return real_.text(n); }
    void setText(ControlName n, const std::string& t) override { real_.setText(n, t); }
    void appendText(ControlName n, const std::string& t) override { real_.appendText(n, t); }
    bool visible(ControlName n) override { return real_.visible(n); }
    void setVisible(ControlName n, bool v) override { real_.setVisible(n, v); }
    int period(ControlName n) override {
        return n == kNightTimer ? nightPeriod_.load() : real_.period(n);
    }
    void setPeriod(ControlName n, int ms) override {
        if (n == kNightTimer)
            nightPeriod_ = ms < 0 ? 0 : ms;
        else
            real_.setPeriod(n, ms);
    }
    int itemCount(ControlName n) override { return real_.itemCount(n); }
    std::string itemText(ControlName n, int row, int column) override {
        return real_.itemText(n, row, column);
    }
    void setItemText(ControlName n, int row, int column, const std::string& t) override {
        real_.setItemText(n, row, column, t);
    }
    void setGridRows(ControlName n, const GridRows& rows) override { real_.setGridRows(n, rows); }
    GridRows gridRows(ControlName n) override { return real_.gridRows(n); }
    void setGridColumnWidth(ControlName n, int column, int width) override {
        real_.setGridColumnWidth(n, column, width);
    }

  private:
    static constexpr ControlName kNightTimer = ctl::kNightTimer;
    Controls& real_;
    std::atomic<int> nightPeriod_{0};
};

class Simulation;

// The window's desktop, with every pause passing in simulated time.
class SoakDesktop final : public Desktop {
  public:
    SoakDesktop(QtDesktop& real, WindowGate& gate, Simulation& sim)
        : real_(real), gate_(gate), sim_(sim) {}

    int messageBox(const std::string& text, int style, const std::string& caption) override {
        return real_.messageBox(text, style, caption);
    }
    bool setClipboardText(const std::string& text) override { return real_.setClipboardText(text); }
    void delay(int ms) override;
    bool openAddress(const std::string& address) override { return real_.openAddress(address); }
    void closeMainWindow() override { real_.closeMainWindow(); }

  private:
    QtDesktop& real_;
    WindowGate& gate_;
    Simulation& sim_;
};

class Simulation {
  public:
    Simulation(OriginViewer& viewer, const Options& options)
        : v_(viewer),
          options_(options),
          controls_(viewer.controls()),
          desktop_(viewer.runtime().desktop, viewer.runtime().gate, *this),
          app_{controls_, desktop_, viewer.app().settings, viewer.runtime().state},
          now_(options.start) {}

    int msPerSecond() const { return options_.msPerSecond; }
    std::set<int> originPorts() {
        std::set<int> ports;
        for (int site = 0; site < origin::kSiteCount; ++site)
            ports.insert(v_.origin().port(static_cast<origin::Site>(site)));
        return ports;
    }

    // Runs the day; false when any check failed.
    bool run() {
        QElapsedTimer clock;
        clock.start();
        const origin::Seconds end = options_.start + options_.hours * 3600;
        Census afterFirstHour;
        showPlans();
        print("start", takeCensus(originPorts()));
        origin::Seconds nextHour = options_.start + 3600;
        while (now_ < end) {
            tick();
            QCoreApplication::processEvents();
            if (now_ < nextHour) continue;
            const int hour = int((nextHour - options_.start) / 3600);
            nextHour += 3600;
            userActions(hour);
            if (!settle()) fail("workers still running at hour " + std::to_string(hour));
            const Census c = takeCensus(originPorts());
            std::printf("hour %2d  %s  triggers %3d (scrapes %3d)  resident %.1f MiB  %.0f s\n",
                        hour, origin::formatClock(now_).c_str(), refreshes_, scrapes_.load(),
                        c.rssKiB / 1024.0, clock.elapsed() / 1000.0);
            std::fflush(stdout);
            if (hour == 1) afterFirstHour = c;
        }
        const Census last = takeCensus(originPorts());
        print("first hour", afterFirstHour);
        print("end", last);
        std::printf("resident memory after the first hour to the end: %+.1f MiB (bound %.1f)\n",
                    (last.rssKiB - afterFirstHour.rssKiB) / 1024.0, options_.slackMiB);
        endOfDayChecks(afterFirstHour, last);
        std::printf(
            "%d triggers (%d day, %d night), %d scrapes, %d page passes, %d plan ticks; "
            "%d checks failed; %.0f s real for %d simulated hours\n",
            refreshes_, dayTriggers_, refreshes_ - dayTriggers_, scrapes_.load(), passes_.load(),
            planTicks_, failures_, clock.elapsed() / 1000.0, options_.hours);
        return failures_ == 0;
    }

    // One simulated second: the night timer's tick (when it ran through the second), then the
    // countdown's, as 时钟2 and 时钟1 would deliver them.
    void tick() {
        ++now_;
        v_.setTime(now_);
        if (controls_.nightTimerRunning()) runNightTriggerTick(app_, trigger_);
        runCountdownTick(app_, dateTimeOf(now_), trigger_);
    }

    void countPass() { ++passes_; }

  private:
    void fail(const std::string& what) {
        ++failures_;
        if (failures_ <= 20)
            std::printf("FAILED at %s: %s\n", origin::formatClock(now_).c_str(), what.c_str());
    }

    // Serves the window until the workers of the last trigger have ended.
    bool settle() { return v_.waitForWorkersToEnd(60); }

    // Two plans on timers that tick through the day, one per group.
    void showPlans() {
        v_.controls().setText(ctl::kRefreshPeriodBox, "0.2");
        v_.click(backThree().button);
        v_.click(backTwo().button);
        planTimer_ = v_.window().timer(backThree().refreshTimer);
        QObject::connect(planTimer_, &QTimer::timeout, [this] { ++planTicks_; });
    }
    static const CachedPlan& backThree() { return cachedPlans().front(); }
    static const CachedPlan& backTwo() { return cachedPlans().back(); }

    // Once an hour a user fetches a plan, lists a kill plan, shows the back-three plan again
    // (the kill plan stopped its timer) and copies its numbers.
    void userActions(int hour) {
        const auto& fetched = fetchedPlans();
        v_.click(fetched[std::size_t(hour) % fetched.size()].button);
        v_.click(killPlans()[std::size_t(hour) % killPlans().size()].button);
        v_.click(backThree().button);
        v_.click(ctl::kCopyBackThreeNumbersButton);
    }

    // After each trigger: the scrape shows the draw that set it off, every row holds the page
    // the origin serves now, and no draw triggers twice.
    void afterTrigger() {
        if (!settle()) fail("workers still running after the trigger");
        if (v_.controls().gridRows(ctl::kDrawHistoryGrid) != expectedDrawGrid(now_))
            fail("the grid is not the latest scrape");
        const std::string issue = origin::drawAt(origin::latestDrawTime(now_)).issue;
        if (!triggered_.insert(issue).second) fail("a second trigger for the draw " + issue);
        Controls& c = v_.controls();
        for (int row = 0; row < c.itemCount(ctl::kPageCacheList); ++row)
            if (c.itemText(ctl::kPageCacheList, row, 2) !=
                originCachedPage(pageCacheDetailPages()[std::size_t(row)], now_))
                fail("page-cache row " + std::to_string(row) + " is not the origin's page");
        lastRefresh_ = now_;
    }

    void endOfDayChecks(const Census& first, const Census& last) {
        if (refreshes_ == 0) fail("no trigger fired");
        if (scrapes_.load() != refreshes_) fail("a trigger without its scrape");
        if (last.threads != first.threads) fail("threads changed");
        if (last.descriptors != first.descriptors) fail("descriptors changed");
        if (last.locks != 0 || first.locks != 0) fail("locks left alive");
        // A sanitizer's quarantine holds freed memory: its runs leave the bound out.
        if (options_.slackMiB >= 0 && (last.rssKiB - first.rssKiB) / 1024.0 > options_.slackMiB)
            fail("resident memory grew by more than the slack");
        if (planTicks_ == 0) fail("the plan timer never ticked");
        // The running plan shows the cache of the last refresh.
        if (lastRefresh_ && !waitUntil([&] {
                return v_.controls().text(ctl::kBackThreePlanBox) ==
                       expectedPlanDisplay(backThree().cacheRow, lastRefresh_);
            }))
            fail("the back-three plan does not show the last refresh");
    }

    OriginViewer& v_;
    Options options_;
    SoakControls controls_;
    SoakDesktop desktop_;
    App app_;
    origin::Seconds now_;
    origin::Seconds lastRefresh_ = 0;
    QTimer* planTimer_ = nullptr;
    int refreshes_ = 0, dayTriggers_ = 0, planTicks_ = 0, failures_ = 0;
    std::atomic<int> scrapes_{0}, passes_{0};
    std::set<std::string> triggered_;
    DrawTrigger trigger_{[this](App& app) {
                             ++scrapes_;
                             scrapeDrawHistory(app);
                         },
                         [this](App& app) {
                             ++refreshes_;
                             const int hour = origin::toCivil(now_).hour;
                             dayTriggers_ += hour >= 10 && hour < 22;
                             refreshPageCache(app);
                             afterTrigger();
                         }};
};

void SoakDesktop::delay(int ms) {
    if (ms <= 0) return;
    if (!gate_.onWindowThread()) {
        // A worker's pause after its fetch: counted, and shortened like the simulated second.
        sim_.countPass();
        real_.delay(std::max(1, int(static_cast<long long>(ms) * sim_.msPerSecond() / 1000)));
        return;
    }
    // The refresh's wait: its seconds pass with their ticks while the window serves events.
    for (int s = 0; s < ms / 1000 && !gate_.closed(); ++s) {
        real_.delay(sim_.msPerSecond());
        sim_.tick();
    }
}

bool parse(int argc, char** argv, Options& o) {
    o.start = at("2017-03-05 00:00:00");
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i], value = argv[i + 1];
        if (key == "--start") {
            const auto t = origin::parseClock(value);
            if (!t) return false;
            o.start = *t;
        } else if (key == "--hours") {
            o.hours = std::atoi(value.c_str());
        } else if (key == "--ms-per-second") {
            o.msPerSecond = std::atoi(value.c_str());
        } else if (key == "--slack-mib") {
            o.slackMiB = std::atof(value.c_str());
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && o.hours >= 2 && o.msPerSecond >= 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s [--start \"YYYY-MM-DD HH:MM:SS\"] [--hours N>=2] "
                     "[--ms-per-second N] [--slack-mib X]\n",
                     argv[0]);
        return 2;
    }
    bool ok = false;
    {
        OriginViewer viewer(options.start);
        if (!viewer.startupMessages().empty()) {
            std::printf("FAILED: a message at start: %s\n", viewer.startupMessages()[0].c_str());
            return 1;
        }
        Simulation sim(viewer, options);
        ok = sim.run();
        viewer.close();
        if (liveWorkers() != 0) {
            std::printf("FAILED: %d workers left after closing\n", liveWorkers());
            ok = false;
        }
    }
    std::printf("%s\n", ok ? "soak passed" : "soak FAILED");
    return ok ? 0 : 1;
}
