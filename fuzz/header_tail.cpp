// headerTail, headerLines and collectSetCookies on fuzzed header text.
#include "core/header_text.h"

#include "core/text.h"
#include "harness.h"

using namespace pv;

void fuzzOne(std::string_view data) {
    const std::string tail = headerTail(data);
    FUZZ_CHECK(tail.size() <= data.size());
    FUZZ_CHECK(tail.empty() || data.find(':') != std::string_view::npos);
    for (const std::string& line : headerLines(data)) {
        FUZZ_CHECK(!line.empty());
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
    }
    (void)collectSetCookies(data);
}
