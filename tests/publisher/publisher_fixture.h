// Handlers on fake controls and a fake desktop, talking to a site served on loopback by path.
#pragma once

#include <map>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "app/layout_table.h"
#include "core/program_state.h"
#include "support/fake_controls.h"
#include "support/fake_desktop.h"
#include "support/loopback_server.h"

namespace pv::test {

// The path of a request line "GET /a?b HTTP/1.1".
inline std::string pathOf(const std::string& request) {
    const std::string line = requestLine(request);
    const std::size_t start = line.find(' ') + 1;
    return line.substr(start, line.rfind(' ') - start);
}

// Serves each path its reply; any other path gets a 404 page.
inline std::unique_ptr<LoopbackServer> site(std::map<std::string, Reply> pages) {
    return std::make_unique<LoopbackServer>([pages = std::move(pages)](const std::string& request) {
        const auto it = pages.find(pathOf(request));
        return it != pages.end() ? it->second : httpReply("HTTP/1.1 404 Not Found", "");
    });
}

inline Reply page(const std::string& body) {
    return httpReply("HTTP/1.1 200 OK", body);
}

struct Handlers {
    ~Handlers() { EXPECT_EQ(controls.unknownNames(), std::vector<std::string>()); }
    FakeControls controls{layoutTable()};
    FakeDesktop desktop;
    ProgramState state;
    App app{controls, desktop, Settings{}, state};
};

}  // namespace pv::test
