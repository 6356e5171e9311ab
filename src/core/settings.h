// Addresses of the outside sites. The program uses the values compiled in from the build
// configuration; components take a Settings value so that tests can point them elsewhere.
#pragma once

#include <string>

namespace pv {

struct Settings {
    std::string planServer;    // host of the plan server, port planServerPort
    std::string planPageSite;  // scheme://host[:port]
    std::string drawSite;
    std::string publisherSite;
    std::string counterSite;
    std::string counterId;
    std::string counterImagePrefix;  // scheme://host[:port] of the counter's digit images
    std::string blogSite;
    // The plan server listens on 2200; only tests point it at a port of their own.
    int planServerPort = 2200;

    static Settings defaults();
};

}  // namespace pv
