// The in-progress lines of a plan box: every kept line ends in "\r\n" and none is blank, counted
// in characters as the program counts them (a lead byte takes the byte after it, even a CR).
#include "killplans/status_lines.h"
#include "core/text.h"
#include "harness.h"

using namespace pv;

void fuzzOne(std::string_view data) {
    const std::string lines = statusLines(data);
    FUZZ_CHECK(lines.empty() || lines.ends_with("\r\n"));
    FUZZ_CHECK(findText(lines, "\r\n\r\n") == -1 && !lines.starts_with("\r\n"));
}
