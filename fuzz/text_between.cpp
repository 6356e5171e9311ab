// textBetween with fuzzed markers, start positions and letter case: the result is always a
// piece of the source that stands right behind a start marker.
#include "core/text_between.h"

#include "core/text.h"
#include "harness.h"

using namespace pv;

void fuzzOne(std::string_view data) {
    Draw draw(data);
    const bool caseInsensitive = draw.flag();
    const int startByte = draw.byte();
    const std::string_view startMarker = draw.text();
    const std::string_view endMarker = draw.text();
    const std::string_view source = draw.rest();
    const int start = startByte % (textLength(source) + 4) - 1;
    const std::string between = textBetween(source, startMarker, endMarker, start, caseInsensitive);
    if (!between.empty()) FUZZ_CHECK(source.find(between) != std::string_view::npos);
}
