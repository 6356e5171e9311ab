// RegexObject with fuzzed patterns, subjects and options; every reader is called on the result.
#include "core/regex_object.h"
#include "harness.h"

using namespace pv;

void fuzzOne(std::string_view data) {
    Draw draw(data);
    const int options = draw.byte();
    const std::string_view pattern = draw.text();
    const std::string_view replacement = draw.text();
    const std::string_view subject = draw.rest();
    RegexObject re;
    const bool created =
        re.create(pattern, subject, options & 1, options & 2, options & 4, options & 8);
    const int count = re.matchCount();
    FUZZ_CHECK(count >= 0 && (created || count == 0));
    for (int i = 0; i <= count + 1; ++i) {
        (void)re.matchText(i);
        for (int g = 0; g <= re.subMatchCount() + 1; ++g)
            (void)re.subMatchText(i, g);
    }
    (void)re.pattern();
    (void)re.replace(replacement);
}
