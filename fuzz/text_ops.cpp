// The searching and cutting text operations from random start positions, each checked against
// a plain walk over the characters from the first byte.
#include <algorithm>

#include "core/text.h"
#include "harness.h"

using namespace pv;

namespace {

bool matchAt(std::string_view t, std::size_t i, std::string_view s, bool ignoreCase) {
    return i + s.size() <= t.size() && compareText(t.substr(i, s.size()), s, !ignoreCase) == 0;
}

int walkFind(std::string_view t, std::string_view s, int start, bool ignoreCase, bool backward) {
    const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
    const std::size_t end = backward ? std::min(from, t.size()) : t.size();
    if (end == 0 || (!backward && from >= t.size())) return -1;
    if (s.empty()) return 1;
    int found = -1;
    for (std::size_t i = 0; i < end; i += charWidth(t, i)) {
        if (i + s.size() > end || (!backward && i < from)) continue;
        if (matchAt(t.substr(0, end), i, s, ignoreCase)) {
            found = static_cast<int>(i + 1);
            if (!backward) break;
        }
    }
    return found;
}

std::string walkReplace(std::string_view t, std::string_view s, std::string_view r, int start,
                        int count, bool ignoreCase) {
    if (t.empty() || s.empty() || count == 0 || static_cast<std::size_t>(start - 1) >= t.size())
        return std::string(t);
    std::size_t i = static_cast<std::size_t>(start - 1);
    std::string out(t.substr(0, i));
    while (i + s.size() <= t.size() && count != 0) {
        if (matchAt(t, i, s, ignoreCase)) {
            out.append(r);
            i += s.size();
            --count;
        } else {
            out.append(t.substr(i, charWidth(t, i)));
            i += charWidth(t, i);
        }
    }
    return out.append(t.substr(i));
}

}  // namespace

void fuzzOne(std::string_view data) {
    Draw draw(data);
    const bool ignoreCase = draw.flag();
    const int count = draw.number(-1, 3);
    const std::string_view sought = draw.text();
    const std::string_view replacement = draw.text();
    const int startByte = draw.byte();
    const int maxCount = draw.number(-1, 8);
    // The checks walk the text once per hit: longer texts would only slow the search down.
    const std::string_view t = draw.rest().substr(0, 2048);
    const int n = textLength(t);
    const int start = startByte % (n + 4) - 1;  // from -1 to past the end

    FUZZ_CHECK(findText(t, sought, start, ignoreCase) ==
               walkFind(t, sought, start, ignoreCase, false));
    FUZZ_CHECK(findTextBackward(t, sought, start, ignoreCase) ==
               walkFind(t, sought, start, ignoreCase, true));
    FUZZ_CHECK(replaceText(t, sought, replacement, std::max(start, 1), count, !ignoreCase) ==
               walkReplace(t, sought, replacement, std::max(start, 1), count, ignoreCase));
    // Walking hit by hit from known character starts finds what single searches find.
    int walked = 0;
    for (int p = findText(t, sought, 1, ignoreCase); p != -1 && !sought.empty();
         p = findTextFrom(t, sought, p + 1, p, ignoreCase)) {
        FUZZ_CHECK(p == walkFind(t, sought, p, ignoreCase, false));
        FUZZ_CHECK(++walked <= n);
    }

    const TextArray pieces = splitText(t, sought, maxCount);
    std::size_t total = 0;
    for (const std::string& piece : pieces)
        total += piece.size();
    FUZZ_CHECK(total <= t.size());
    const int k = std::clamp(start, 0, n);
    FUZZ_CHECK(leftText(t, k) + midText(t, k + 1, n) == t);
    FUZZ_CHECK(rightText(t, start).size() == static_cast<std::size_t>(k));
    const std::string trimmed = trimBoth(t);
    FUZZ_CHECK(trimmed.size() <= t.size() && trimBoth(trimmed) == trimmed);
    FUZZ_CHECK(removeBlanks(t).size() <= t.size());
    FUZZ_CHECK(upperText(t).size() == t.size() && lowerText(upperText(t)) == lowerText(t));
}
