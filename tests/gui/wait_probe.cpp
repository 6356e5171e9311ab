// The program's own start-up against a publisher's site (and every other site) that takes each
// request and then stays silent ("silent") or answers one byte a second ("trickle"): the subject
// of the fetch-wait window test. It prints "key value" lines: when the window first painted and
// a timer first ticked (ms since main began), which request was waiting then, and, once it has
// closed the window the way the window manager does and answered Yes, "closing".
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstring>

#include "gui/program.h"
#include "support/loopback_server.h"

using namespace pv;
using namespace std::chrono_literals;

namespace {

QElapsedTimer g_sinceStart;

void print(const char* key, const std::string& value) {
    std::printf("%s %s\n", key, value.c_str());
    std::fflush(stdout);
}

MainWindow* mainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<MainWindow*>(w)) return window;
    return nullptr;
}

// Prints the time of the window's first paint.
class PaintWatch final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            print("painted", std::to_string(g_sinceStart.elapsed()));
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool painted_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    g_sinceStart.start();
    const bool trickle = argc > 1 && std::strcmp(argv[1], "trickle") == 0;
    test::LoopbackServer site([trickle](const std::string&) {
        if (!trickle) return test::Reply{"", true};
        return test::tricklingReply(
            "", "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n" + std::string(600, ' '),
            1000ms);
    });

    QtDesktop* desktop = nullptr;
    ProgramOptions options;
    options.adjustStartup = [&](StartupSequence& steps) {
        MainWindow* window = mainWindow();
        window->installEventFilter(new PaintWatch(window));
        auto announcement = steps.loadAnnouncement;
        steps.loadAnnouncement = [&, window, announcement](App& app) {
            app.settings.publisherSite = app.settings.counterSite = app.settings.drawSite =
                app.settings.counterImagePrefix = site.url("");
            desktop = &dynamic_cast<QtDesktop&>(app.desktop);
            // A timer of the program's own, as the window manager's close arrives: both come
            // while the announcement waits.
            auto* poll = new QTimer(window);
            QObject::connect(poll, &QTimer::timeout, window, [=, &site] {
                static bool ticked = false;
                if (!ticked) print("ticked", std::to_string(g_sinceStart.elapsed()));
                ticked = true;
                if (site.requests().empty() || g_sinceStart.elapsed() < 300) return;
                poll->stop();
                print("waiting", test::requestLine(site.requests().front()));
                desktop->answerNextMessageBox(kAnswerYes);
                print("closing", std::to_string(g_sinceStart.elapsed()));
                window->windowHandle()->close();
            });
            poll->start(10);
            announcement(app);
        };
    };
    const int code = runPlanViewer(argc, argv, options);
    if (desktop)
        for (const std::string& message : desktop->answeredMessages())
            print("asked", message);
    return code;
}
