// planviewer-origin: plays every outside site of the viewer on 127.0.0.1.
//
//   planviewer-origin [--port-base N] [--clock "YYYY-MM-DD HH:MM:SS"]
//
// The sites listen on N .. N+5 (default 2200): plan server, plan page site, draw-results site,
// publisher's site, counter service, blog. Without --clock the data follows the local wall
// clock; with it the clock stands still until a control request moves it (origin_server.h).
// Prints one line once every site accepts connections, and serves until SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "origin/origin_server.h"

namespace {

int usage(const char* message) {
    std::fprintf(stderr,
                 "planviewer-origin: %s\n"
                 "usage: planviewer-origin [--port-base N] [--clock \"YYYY-MM-DD HH:MM:SS\"]\n",
                 message);
    return 2;
}

bool parsePortBase(const std::string& text, int& out) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    out = std::stoi(text);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pv::origin;
    OriginOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
        } else if (arg == "--port-base" || arg == "--clock") {
            if (i + 1 >= argc) return usage(("missing value of " + arg).c_str());
            value = argv[++i];
        }
        if (arg == "--port-base") {
            if (!parsePortBase(value, options.portBase)) return usage("bad port base");
        } else if (arg == "--clock") {
            options.clock = parseClock(value);
            if (!options.clock) return usage("bad clock, expected \"YYYY-MM-DD HH:MM:SS\"");
        } else if (arg == "--help" || arg == "-h") {
            usage("the viewer's outside sites on loopback");
            return 0;
        } else {
            return usage(("unknown option " + arg).c_str());
        }
    }

    // Every thread the server starts inherits the mask, so the signals reach sigwait alone.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    OriginServer server(options);
    if (!server.start()) {
        std::fprintf(stderr, "planviewer-origin: %s\n", server.error().c_str());
        return 1;
    }
    std::printf("planviewer-origin: serving on 127.0.0.1 ports %d-%d, clock %s%s\n",
                server.port(Site::PlanServer), server.port(Site::Blog),
                formatClock(server.clock().now()).c_str(), options.clock ? " (fixed)" : "");
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    server.stop();
    return 0;
}
