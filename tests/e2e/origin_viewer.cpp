#include "origin_viewer.h"

#include <QPushButton>
#include <stdexcept>

#include "core/shutdown.h"
#include "core/threads.h"
#include "support/window_support.h"

namespace pv::test {

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

void OriginViewer::click(ControlName button) {
    auto* b = qobject_cast<QPushButton*>(window_->control(button));
    if (!b) throw std::invalid_argument("no button " + button.str());
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

}  // namespace pv::test
