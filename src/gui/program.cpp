#include "gui/program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "core/log.h"
#include "core/threads.h"
#include "gui/qt_text.h"
#include "gui/settings_file.h"
#include "web/curl_global.h"

namespace pv {
namespace {

// Worker threads may outlive the window by a little, and detached ones even main(); what they
// reach stays alive for the whole process.
Runtime* g_runtime = nullptr;

// Messages of the Qt-free libraries join Qt's own log.
void logToQt(std::string_view message) {
    qWarning().noquote() << toQString(message);
}

void exitHook() {
    if (g_runtime) g_runtime->state.releaseAtExit();
}

// Waits for the workers while the window thread keeps serving whatever they queued.
bool waitForWorkersServing(std::chrono::milliseconds budget) {
    QElapsedTimer clock;
    clock.start();
    while (liveWorkers() > 0 && clock.elapsed() < budget.count()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        waitForWorkers(std::chrono::milliseconds(10));
    }
    return liveWorkers() == 0;
}

}  // namespace

int runPlanViewer(int& argc, char** argv, const ProgramOptions& options) {
    // A write to a connection whose peer has gone fails with EPIPE instead of ending the program.
    std::signal(SIGPIPE, SIG_IGN);
    // Before any other thread exists; a failure is logged and leaves every fetch empty.
    initCurl();
    std::atexit(exitHook);
    std::at_quick_exit(exitHook);

    QApplication qapp(argc, argv);
    setLogSink(logToQt);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setFont(programFont());
    // The addresses come from the settings file once, here; its messages join Qt's log.
    g_runtime = new Runtime(loadSettings());

    bool clean = true;
    {
        MainWindow window(*g_runtime);
        QObject::connect(&window, &MainWindow::closed, &qapp, [] { QCoreApplication::exit(0); });
        window.show();
        StartupSequence steps = StartupSequence::defaults();
        if (options.adjustStartup) options.adjustStartup(steps);
        window.runStartup(steps);
        if (options.started) options.started(window, *g_runtime);
        if (!window.hasClosed()) qapp.exec();
        clean = waitForWorkersServing(options.workerWait);
    }
    if (!clean) {
        // A worker stuck beyond the wait must not meet the process's own teardown.
        std::fflush(nullptr);
        std::quick_exit(0);
    }
    return 0;
}

}  // namespace pv
