#include "origin_viewer.h"

#include <QPushButton>
#include <stdexcept>

#include "core/code_page.h"
#include "core/shutdown.h"
#include "core/text.h"
#include "origin/plan_texts.h"
#include "origin/site_pages.h"
#include "plans/catalogue.h"
#include "window_support.h"

namespace pv::testing {

DateTime dateTimeOf(origin::Seconds t) {
    const origin::CivilTime c = origin::toCivil(t);
    return {c.year, c.month, c.day, c.hour, c.minute, c.second};
}

origin::Seconds at(const char* clock) {
    const auto t = origin::parseClock(clock);
    if (!t) throw std::invalid_argument(std::string("not a clock: ") + clock);
    return *t;
}

Settings settingsFor(const origin::OriginServer& o) {
    using origin::Site;
    Settings s = Settings::defaults();
    s.planServer = "127.0.0.1";
    s.planServerPort = o.port(Site::PlanServer);
    s.planPageSite = o.address(Site::PlanPages);
    s.drawSite = o.address(Site::Draws);
    s.publisherSite = o.address(Site::Publisher);
    s.counterSite = o.address(Site::Counter);
    s.counterImagePrefix = o.address(Site::Counter);
    s.blogSite = o.address(Site::Blog);
    return s;
}

std::string originCachedPage(int detailPage, origin::Seconds now) {
    std::string page = utf8ToGbk(origin::planPage(detailPage, now));
    page = replaceText(page, "等待1", " 1 进行中");
    return replaceText(page, "等待2", " 2 进行中");
}

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

std::string inProgressLines(const std::string& planText) {
    const int start = findText(planText, "进行中");
    if (start == -1) return {};
    const int end = findText(planText, std::string(39, '-'), start);
    if (end == -1) return {};
    std::string lines;
    for (const std::string& line : splitText(midText(planText, start + 6, end - start - 6), "\r\n"))
        if (!trimBoth(line).empty()) lines += trimBoth(line) + "\r\n";
    return lines;
}

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

OriginViewer::OriginViewer(origin::Seconds start, long long counterStart)
    : origin_({.anyPorts = true, .clock = start, .counterStart = counterStart}) {
    ensureApplication();
    resetShutdownForTesting();
    if (!origin_.start()) throw std::runtime_error("origin: " + origin_.error());
    runtime_ = std::make_unique<Runtime>(settingsFor(origin_));
    window_ = std::make_unique<MainWindow>(*runtime_);
    window_->show();
    StartupSequence steps = StartupSequence::defaults();
    steps.pinProcessor = nullptr;
    startupMessages_ = messagesDuring([&] { window_->runStartup(steps); });
    // From here on the countdown ticks only with the origin's time, driven by the test. A night
    // tick of the wall clock during start-up may have started 时钟2: stopped too.
    runtime_->controls.setPeriod(ctl::kCountdownTimer, 0);
    runtime_->controls.setPeriod(ctl::kNightTimer, 0);
}

OriginViewer::~OriginViewer() {
    close();
    window_.reset();
    runtime_.reset();
    origin_.stop();
    resetShutdownForTesting();
}

void OriginViewer::click(const std::string& button) {
    auto* b = qobject_cast<QPushButton*>(window_->control(button));
    if (!b) throw std::invalid_argument("no button " + button);
    b->click();
}

std::vector<std::string> OriginViewer::messagesDuring(const std::function<void()>& f) {
    QtDesktop& desktop = runtime_->desktop;
    const std::size_t before = desktop.answeredMessages().size();
    desktop.answerNextMessageBox(kAnswerOk);
    f();
    std::vector<std::string> asked = desktop.answeredMessages();
    asked.erase(asked.begin(), asked.begin() + static_cast<std::ptrdiff_t>(before));
    // Nothing asked: the answer is still waiting, and this box takes it without being shown.
    if (asked.empty()) desktop.messageBox("");
    return asked;
}

bool OriginViewer::waitForWorkersToEnd(int seconds) {
    return waitUntil([] { return liveWorkers() == 0; }, std::chrono::seconds(seconds));
}

void OriginViewer::close() {
    if (window_ && !window_->hasClosed()) {
        runtime_->desktop.answerNextMessageBox(kAnswerYes);
        window_->close();
    }
    waitForWorkersToEnd();
}

}  // namespace pv::testing
