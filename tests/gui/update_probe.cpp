// The program finding a new version at start-up: the subject of the update check's window test.
// It serves the publisher's pages itself, answers the message box, keeps the desktop's browser
// out of it, and prints what happened as "key value" lines.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>

#include "gui/program.h"
#include "publisher/announcement.h"
#include "support/loopback_server.h"

using namespace pv;

namespace {

MainWindow* mainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<MainWindow*>(w)) return window;
    return nullptr;
}

void print(const char* key, const std::string& value) {
    std::printf("%s %s\n", key, value.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const int waitMs = argc > 1 ? std::atoi(argv[1]) : 2500;
    test::LoopbackServer server([](const std::string& request) {
        const std::string line = test::requestLine(request);
        if (line.find(" /ruanjian/gengxin.htm ") != std::string::npos)
            return test::httpReply("HTTP/1.1 200 OK", "岚枫阁免费版+大底v1.42");
        if (line.find(" /ruanjian/xzlj.htm ") != std::string::npos)
            return test::httpReply("HTTP/1.1 200 OK", "http://dl.example/new\r\n");
        return test::httpReply("HTTP/1.1 404 Not Found", "");
    });

    ProgramOptions options;
    options.adjustStartup = [&](StartupSequence& steps) {
        steps = StartupSequence{};  // the countdown, the look and the update check alone
        steps.checkForUpdate = [&](App& app) {
            MainWindow* window = mainWindow();
            auto& desktop = dynamic_cast<QtDesktop&>(app.desktop);
            desktop.answerNextMessageBox(kAnswerOk);
            desktop.setAddressOpener([](const QUrl& url) {
                print("opened", url.toString().toStdString());
                return true;
            });
            int ticks = 0, ticksAtNotice = -1;
            window->setEventObserver([&](const std::string& name, ControlEvent event) {
                if (event == ControlEvent::Tick && name == ctl::kCountdownTimer) ++ticks;
                if (event == ControlEvent::ContentChanged && name == ctl::kBackThreePlanBox) {
                    ticksAtNotice = ticks;
                    print("notice", app.controls.text(ctl::kBackThreePlanBox));
                }
            });
            app.settings.publisherSite = server.url("");
            QElapsedTimer clock;
            clock.start();
            runUpdateCheck(app, waitMs);
            for (const std::string& message : desktop.answeredMessages())
                print("message", message);
            print("waited", std::to_string(clock.elapsed()));
            print("ticks", std::to_string(ticks - ticksAtNotice));
            print("closed", window->hasClosed() ? "yes" : "no");
        };
    };
    return runPlanViewer(argc, argv, options);
}
