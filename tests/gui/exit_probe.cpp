// The program with 39 busy workers, closed as soon as they all run: the exit test's subject.
// "straggler" adds workers that never notice the shutdown.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTimer>
#include <atomic>
#include <cstdio>
#include <cstring>

#include "core/shutdown.h"
#include "core/threads.h"
#include "gui/program.h"

using namespace pv;

namespace {

// A server that takes connections and never answers.
int slowServer(sockaddr_in& address) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, 128) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return -1;
    return fd;
}

int connectTo(const sockaddr_in& address) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd >= 0 && connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

std::atomic<int> g_running{0};

// Like a page worker: writes its row, then waits on the slow server while it may.
void pageLikeWorker(App& app, const sockaddr_in& server, int row) {
    const int fd = connectTo(server);
    bool counted = false;
    while (!shuttingDown()) {
        app.controls.setItemText("超级列表框1", row, 2, std::string(20000, 'x'));
        app.controls.appendText("编辑框9", "3\r\n");
        if (!counted) {
            counted = true;
            ++g_running;
        }
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 50);
        app.desktop.delay(20);
    }
    if (fd >= 0) close(fd);
}

}  // namespace

int main(int argc, char** argv) {
    const bool straggler = argc > 1 && std::strcmp(argv[1], "straggler") == 0;
    static sockaddr_in server;
    static const int serverFd = slowServer(server);
    if (serverFd < 0) return 3;

    ProgramOptions options;
    options.adjustStartup = [](StartupSequence& steps) {
        steps = StartupSequence{};  // no network, no pinning: only the countdown and the look
    };
    options.started = [straggler](MainWindow& window, Runtime& runtime) {
        App& app = runtime.app;
        for (int row = 0; row < 39; ++row)
            startThread([&app](int r) { pageLikeWorker(app, server, r); }, row);
        if (straggler) {
            // One blocks in a read that never returns, one keeps writing to the window regardless.
            startThread([](int) {
                const int fd = connectTo(server);
                char byte;
                while (recv(fd, &byte, 1, 0) != 0) {
                }
            });
            startThread([&app](int) {
                for (;;) {
                    app.controls.setText("编辑框2", "late");
                    app.desktop.delay(5);
                }
            });
        }
        auto* poll = new QTimer(&window);
        QObject::connect(poll, &QTimer::timeout, &window, [&window, &runtime, poll] {
            if (g_running.load() < 39) return;
            poll->stop();
            std::printf("closing\n");
            std::fflush(stdout);
            runtime.desktop.answerNextMessageBox(kAnswerYes);
            window.close();
        });
        poll->start(10);
    };
    return runPlanViewer(argc, argv, options);
}
