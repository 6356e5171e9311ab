// The program's own window against the demo origin, both in this process: the origin serves every
// site on free loopback ports with a clock that only the test moves, and the window's settings
// point at it. The countdown's 时钟1 is stopped after start-up, so the wall clock never reaches
// the window; tests drive the countdown with the origin's time instead.
#pragma once

#include <memory>
#include <string>

#include "core/convert.h"
#include "core/threads.h"
#include "gui/main_window.h"
#include "origin/origin_server.h"

namespace pv::test {

// The origin's time as the viewer's handlers take it.
DateTime dateTimeOf(origin::Seconds t);
origin::Seconds at(const char* clock);  // "YYYY-MM-DD HH:MM:SS"

// Every site of the viewer at the origin's addresses.
Settings settingsFor(const origin::OriginServer& origin);

class OriginViewer {
  public:
    // Starts the origin at `start`, builds the window and runs its start-up sequence (without
    // pinning the test process to one processor).
    explicit OriginViewer(origin::Seconds start, long long counterStart = 1000);
    ~OriginViewer();

    origin::OriginServer& origin() { return origin_; }
    Runtime& runtime() { return *runtime_; }
    App& app() { return runtime_->app; }
    Controls& controls() { return runtime_->controls; }
    MainWindow& window() { return *window_; }
    origin::Seconds now() { return origin_.clock().now(); }
    // Moves the origin's clock; the window learns of it only through its own fetches.
    void setTime(origin::Seconds t) { origin_.clock().set(t); }

    void click(ControlName button);
    // Runs f with an answer ready for one message box, so that an unexpected box fails the test
    // instead of waiting for a user; returns the texts of the boxes f raised.
    std::vector<std::string> messagesDuring(const std::function<void()>& f);
    // The message boxes of the start-up sequence (the update check's, if any).
    const std::vector<std::string>& startupMessages() const { return startupMessages_; }
    // Serves window events until no worker thread is left; false after the timeout.
    bool waitForWorkersToEnd(int seconds = 30);
    // Closes the window, answering the closing question with Yes, and waits for the workers.
    void close();

  private:
    origin::OriginServer origin_;
    std::unique_ptr<Runtime> runtime_;
    std::unique_ptr<MainWindow> window_;
    std::vector<std::string> startupMessages_;
};

}  // namespace pv::test
