#include "core/text.h"

#include <algorithm>

namespace pv {
namespace {

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool matchesAt(std::string_view t, std::size_t pos, std::string_view sought, bool ignoreCase) {
    if (pos + sought.size() > t.size()) return false;
    if (!ignoreCase) return t.compare(pos, sought.size(), sought) == 0;
    for (std::size_t k = 0; k < sought.size(); ++k) {
        if (asciiLower(t[pos + k]) != asciiLower(sought[k])) return false;
    }
    return true;
}

bool blankAt(std::string_view t, std::size_t i) {
    if (t[i] == ' ') return true;
    return static_cast<unsigned char>(t[i]) == 0xA1 && i + 1 < t.size() &&
           static_cast<unsigned char>(t[i + 1]) == 0xA1;
}

std::string mapLetters(std::string_view t, char (*map)(char)) {
    std::string out(t);
    for (std::size_t i = 0; i < out.size();) {
        std::size_t w = charWidth(out, i);
        if (w == 1) out[i] = map(out[i]);
        i += w;
    }
    return out;
}

char asciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

int textLength(std::string_view t) {
    return static_cast<int>(t.size());
}

std::string leftText(std::string_view t, int n) {
    if (n <= 0) return {};
    return std::string(t.substr(0, static_cast<std::size_t>(n)));
}

std::string rightText(std::string_view t, int n) {
    if (n <= 0) return {};
    std::size_t k = std::min(t.size(), static_cast<std::size_t>(n));
    return std::string(t.substr(t.size() - k));
}

std::string midText(std::string_view t, int start, int n) {
    if (start < 1 || n <= 0 || static_cast<std::size_t>(start) > t.size()) return {};
    return std::string(t.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(n)));
}

int findText(std::string_view t, std::string_view sought, int start, bool ignoreCase) {
    std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
    if (from >= t.size()) return -1;
    if (sought.empty()) return 1;
    // Characters are counted from the beginning of the whole text, so that a start position
    // that falls on a trail byte does not shift the character grid.
    std::size_t i = 0;
    while (i < from)
        i += charWidth(t, i);
    if (!ignoreCase) {
        // Jump from candidate to candidate, keeping the character grid up to each one.
        while (i + sought.size() <= t.size()) {
            std::size_t candidate = t.find(sought, i);
            if (candidate == std::string_view::npos) return -1;
            while (i < candidate)
                i += charWidth(t, i);
            if (i == candidate) return static_cast<int>(i + 1);
        }
        return -1;
    }
    for (; i + sought.size() <= t.size(); i += charWidth(t, i)) {
        if (matchesAt(t, i, sought, ignoreCase)) return static_cast<int>(i + 1);
    }
    return -1;
}

int findTextBackward(std::string_view t, std::string_view sought, int start, bool ignoreCase) {
    std::size_t limit = t.size();
    if (start <= static_cast<int>(t.size()))
        limit = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
    std::string_view part = t.substr(0, limit);
    if (part.empty()) return -1;
    if (sought.empty()) return 1;
    int found = -1;
    for (std::size_t i = 0; i + sought.size() <= part.size(); i += charWidth(part, i)) {
        if (matchesAt(part, i, sought, ignoreCase)) found = static_cast<int>(i + 1);
    }
    return found;
}

std::string replaceText(std::string_view t, std::string_view sought, std::string_view replacement,
                        int start, int count, bool caseSensitive) {
    if (start < 1) start = 1;
    if (t.empty() || sought.empty() || static_cast<std::size_t>(start - 1) >= t.size() ||
        count == 0) {
        return std::string(t);
    }
    std::string out(t.substr(0, static_cast<std::size_t>(start - 1)));
    std::size_t i = static_cast<std::size_t>(start - 1);
    while (i + sought.size() <= t.size()) {
        if (matchesAt(t, i, sought, !caseSensitive)) {
            out.append(replacement);
            i += sought.size();
            if (count > 0 && --count == 0) break;
        } else {
            std::size_t w = charWidth(t, i);
            out.append(t.substr(i, w));
            i += w;
        }
    }
    out.append(t.substr(std::min(i, t.size())));
    return out;
}

TextArray splitText(std::string_view t, std::string_view separator, int maxCount) {
    TextArray out;
    if (maxCount < 0) maxCount = 0;
    if (t.empty() || maxCount == 0) return out;
    if (separator.empty()) return {std::string(t)};
    std::size_t cut = 0;
    std::size_t i = 0;
    while (i + separator.size() <= t.size()) {
        if (t.compare(i, separator.size(), separator) == 0) {
            out.emplace_back(t.substr(cut, i - cut));
            if (static_cast<int>(out.size()) == maxCount) return out;
            i += separator.size();
            cut = i;
        } else {
            i += charWidth(t, i);
        }
    }
    if (cut < t.size()) out.emplace_back(t.substr(cut));
    return out;
}

std::string repeatText(int n, std::string_view t) {
    std::string out;
    if (n <= 0) return out;
    out.reserve(t.size() * static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k)
        out.append(t);
    return out;
}

std::string spaceText(int n) {
    return n <= 0 ? std::string() : std::string(static_cast<std::size_t>(n), ' ');
}

std::string charText(int byteValue) {
    char c = static_cast<char>(byteValue & 0xFF);
    return c == 0 ? std::string() : std::string(1, c);
}

std::string trimLeft(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size() && blankAt(t, i))
        i += t[i] == ' ' ? 1 : 2;
    return std::string(t.substr(i));
}

std::string trimRight(std::string_view t) {
    // Walk forward so that A1 A1 is only taken where it really is a character.
    std::size_t keep = 0;
    for (std::size_t i = 0; i < t.size();) {
        std::size_t w = charWidth(t, i);
        if (!blankAt(t, i)) keep = i + w;
        i += w;
    }
    return std::string(t.substr(0, keep));
}

std::string trimBoth(std::string_view t) {
    return trimRight(trimLeft(t));
}

std::string removeBlanks(std::string_view t) {
    std::string out;
    out.reserve(t.size());
    for (std::size_t i = 0; i < t.size();) {
        std::size_t w = charWidth(t, i);
        if (!blankAt(t, i)) out.append(t.substr(i, w));
        i += w;
    }
    return out;
}

std::string upperText(std::string_view t) {
    return mapLetters(t, asciiUpper);
}
std::string lowerText(std::string_view t) {
    return mapLetters(t, asciiLower);
}

int compareText(std::string_view a, std::string_view b, bool caseSensitive) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(caseSensitive ? a[i] : asciiLower(a[i]));
        unsigned char y = static_cast<unsigned char>(caseSensitive ? b[i] : asciiLower(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace pv
