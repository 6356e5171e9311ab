// Text operations on GBK byte strings. Positions are 1-based and count bytes; -1 means "not
// found". Searches step over two-byte characters (a byte of 0x80 or above starts one) so that a
// match never begins on a trail byte; the cutting operations count plain bytes.
#pragma once

#include <climits>
#include <string>
#include <string_view>
#include <vector>

namespace pv {

using TextArray = std::vector<std::string>;

// Length in bytes of the character that starts at `i` (2 for a lead byte with a byte after it).
inline std::size_t charWidth(std::string_view t, std::size_t i) {
    return (static_cast<unsigned char>(t[i]) >= 0x80 && i + 1 < t.size()) ? 2 : 1;
}

int textLength(std::string_view t);
std::string leftText(std::string_view t, int n);
std::string rightText(std::string_view t, int n);
std::string midText(std::string_view t, int start, int n);

int findText(std::string_view t, std::string_view sought, int start = 1, bool ignoreCase = false);
// findText for walking a text hit by hit: `knownStart` (<= start) is a position the caller
// knows to begin a character (1, or a position a search returned), so the characters before it
// are not counted again. `findTextFrom(t, s, p + 1, p)` after a hit at p gives the next one.
int findTextFrom(std::string_view t, std::string_view sought, int start, int knownStart,
                 bool ignoreCase = false);
// Last occurrence lying wholly inside the first (start - 1) bytes; the whole text when `start`
// is left out or beyond the end.
int findTextBackward(std::string_view t, std::string_view sought, int start = INT_MAX,
                     bool ignoreCase = false);

// `count` below 0 replaces every occurrence.
std::string replaceText(std::string_view t, std::string_view sought,
                        std::string_view replacement = {}, int start = 1, int count = -1,
                        bool caseSensitive = true);

// A negative maxCount counts as 0, which gives an empty array.
TextArray splitText(std::string_view t, std::string_view separator = ",", int maxCount = INT_MAX);

template <typename... Ts>
std::string joinTexts(const Ts&... parts) {
    std::string out;
    (out.append(std::string_view(parts)), ...);
    return out;
}

std::string repeatText(int n, std::string_view t);
std::string spaceText(int n);
std::string charText(int byteValue);

// A blank is the byte 0x20 or the full-width blank A1 A1.
std::string trimLeft(std::string_view t);
std::string trimRight(std::string_view t);
std::string trimBoth(std::string_view t);
std::string removeBlanks(std::string_view t);

std::string upperText(std::string_view t);
std::string lowerText(std::string_view t);

// Byte order, ASCII letters folded when not case-sensitive; negative, 0 or positive.
int compareText(std::string_view a, std::string_view b, bool caseSensitive = true);

}  // namespace pv
