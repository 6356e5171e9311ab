// The program with 39 busy workers, closed as soon as they all run: the exit test's subject.
// "straggler" adds workers that never notice the shutdown. Before the workers start it reports
// how start-up left the process.
#include <curl/curl.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTimer>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>

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

const std::thread::id g_mainThread = std::this_thread::get_id();
std::atomic<int> g_curlSetUps{0};
std::atomic<bool> g_curlSetUpElsewhere{false};

void reportStartUp() {
    int ends[2];
    if (pipe(ends) != 0) return;
    close(ends[0]);
    // Without SIGPIPE ignored, this write ends the process.
    if (write(ends[1], "x", 1) < 0 && errno == EPIPE) std::printf("sigpipe ignored\n");
    close(ends[1]);
    if (g_curlSetUps.load() == 1 && !g_curlSetUpElsewhere.load())
        std::printf("curl set up once, on the main thread\n");
}

// Like a page worker: writes its row, then waits on the slow server while it may.
void pageLikeWorker(App& app, const sockaddr_in& server, int row) {
    const int fd = connectTo(server);
    bool counted = false;
    while (!shuttingDown()) {
        app.controls.setItemText(ctl::kPageCacheList, row, 2, std::string(20000, 'x'));
        app.controls.appendText(ctl::kPageCachePassLog, "3\r\n");
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

// Counts the program's calls of libcurl's global set-up on their way to the library.
extern "C" CURLcode curl_global_init(long flags) {
    using Init = CURLcode (*)(long);
    static const auto real = reinterpret_cast<Init>(dlsym(RTLD_NEXT, "curl_global_init"));
    ++g_curlSetUps;
    if (std::this_thread::get_id() != g_mainThread) g_curlSetUpElsewhere = true;
    return real ? real(flags) : CURLE_FAILED_INIT;
}

int main(int argc, char** argv) {
    // The test process may ignore SIGPIPE, and children inherit that: the program must do it.
    std::signal(SIGPIPE, SIG_DFL);
    const bool straggler = argc > 1 && std::strcmp(argv[1], "straggler") == 0;
    static sockaddr_in server;
    static const int serverFd = slowServer(server);
    if (serverFd < 0) return 3;

    ProgramOptions options;
    options.adjustStartup = [](StartupSequence& steps) {
        steps = StartupSequence{};  // no network, no pinning: only the countdown and the look
    };
    options.started = [straggler](MainWindow& window, Runtime& runtime) {
        reportStartUp();
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
                    app.controls.setText(ctl::kBackThreePlanBox, "late");
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
