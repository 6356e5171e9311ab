#include "core/text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace pv {
namespace {

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char asciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool matchesAt(std::string_view t, std::size_t pos, std::string_view sought, bool ignoreCase) {
    if (pos + sought.size() > t.size()) return false;
    if (!ignoreCase) return t.compare(pos, sought.size(), sought) == 0;
    for (std::size_t k = 0; k < sought.size(); ++k) {
        if (asciiLower(t[pos + k]) != asciiLower(sought[k])) return false;
    }
    return true;
}

bool high(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}

// Start of the run of high bytes that ends just before `pos`, looking no further back than
// `floor`.
[[gnu::noinline]] std::size_t longHighRunStart(std::string_view t, std::size_t floor,
                                               std::size_t pos) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    std::size_t k = pos;
    while (k - floor >= 8) {
        std::uint64_t w;
        std::memcpy(&w, t.data() + k - 8, 8);
        if ((w & kHighBits) != kHighBits) break;
        k -= 8;
    }
    while (k > floor && high(t[k - 1]))
        --k;
    return k;
}

inline std::size_t highRunStart(std::string_view t, std::size_t floor, std::size_t pos) {
    if (pos == floor || !high(t[pos - 1])) return pos;
    if (pos - floor == 1 || !high(t[pos - 2])) return pos - 1;
    return longHighRunStart(t, floor, pos);
}

// The first character start at or after `pos`, on the grid that starts at `known` (<= pos).
// A byte below 0x80 is either a whole character or the trail of one, so the byte after it
// always starts a character: only the run of high bytes just before `pos` needs counting.
std::size_t alignForward(std::string_view t, std::size_t known, std::size_t pos) {
    const std::size_t k = highRunStart(t, known, pos);
    // [k, pos) are lead and trail bytes in turn; a lead byte at the very end stands alone.
    return (pos - k) % 2 == 0 || pos >= t.size() ? pos : pos + 1;
}

// Positions p where t[p] == a and t[p + 1] == b, sixteen at a time: far fewer candidates than
// those of the first byte alone when that byte is common (the lead byte of a frequent character,
// the first byte of every line).
constexpr std::size_t kNoPair = std::string_view::npos;

// The first such p in [from, last]; last + 1 < t.size().
std::size_t pairFrom(std::string_view t, char a, char b, std::size_t from, std::size_t last) {
    const char* s = t.data();
    std::size_t p = from;
#ifdef __SSE2__
    const __m128i wantA = _mm_set1_epi8(a);
    const __m128i wantB = _mm_set1_epi8(b);
    for (; p <= last && p + 17 <= t.size(); p += 16) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + p));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + p + 1));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(here, wantA)) &
                                              _mm_movemask_epi8(_mm_cmpeq_epi8(next, wantB)));
        if (last - p < 15) mask &= (1u << (last - p + 1)) - 1;
        if (mask) return p + static_cast<std::size_t>(__builtin_ctz(mask));
    }
#endif
    for (; p <= last; ++p)
        if (s[p] == a && s[p + 1] == b) return p;
    return kNoPair;
}

// The last such p below `end`, with p + 1 < t.size().
std::size_t pairBefore(std::string_view t, char a, char b, std::size_t end) {
    const char* s = t.data();
    std::size_t hi = std::min(end, t.size() - 1);
#ifdef __SSE2__
    const __m128i wantA = _mm_set1_epi8(a);
    const __m128i wantB = _mm_set1_epi8(b);
    for (; hi >= 16; hi -= 16) {
        const std::size_t p = hi - 16;
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + p));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + p + 1));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(here, wantA)) &
                                                    _mm_movemask_epi8(_mm_cmpeq_epi8(next, wantB)));
        if (mask) return p + 31 - static_cast<std::size_t>(__builtin_clz(mask));
    }
#endif
    while (hi-- > 0)
        if (s[hi] == a && s[hi + 1] == b) return hi;
    return kNoPair;
}

// Whether the bytes at `p`, whose first two match, go on as sought does. Most words sought are
// one or two characters: no call for those.
inline bool restMatches(const char* p, std::string_view sought) {
    const std::size_t m = sought.size();
    if (m <= 4) {
        for (std::size_t k = 2; k < m; ++k)
            if (p[k] != sought[k]) return false;
        return true;
    }
    return std::memcmp(p + 2, sought.data() + 2, m - 2) == 0;
}

// Next position at or after `from` where the bytes match sought[0] (either letter case when
// `ignoreCase`) and the rest of sought fits and matches; npos when none.
class Candidates {
  public:
    Candidates(std::string_view t, std::string_view sought, bool ignoreCase)
        : t_(t), sought_(sought), ignoreCase_(ignoreCase) {
        lower_ = asciiLower(sought[0]);
        upper_ = asciiUpper(sought[0]);
        folded_ = ignoreCase && lower_ != upper_;
    }

    std::size_t next(std::size_t from) {
        if (!ignoreCase_) return findBytes(from);
        while (from + sought_.size() <= t_.size()) {
            std::size_t p =
                folded_ ? std::min(cached(lowerAt_, lower_, from), cached(upperAt_, upper_, from))
                        : t_.find(lower_, from);
            if (p == std::string_view::npos || p + sought_.size() > t_.size()) break;
            if (matchesAt(t_, p, sought_, true)) return p;
            from = p + 1;
        }
        return std::string_view::npos;
    }

  private:
    // string_view::find, with the bytes after the first compared in line: most candidates fail
    // on their second byte.
    std::size_t findBytes(std::size_t from) const {
        const std::size_t m = sought_.size();
        if (from + m > t_.size()) return std::string_view::npos;
        if (pairs_) return pairsFrom(from);
        const char* const base = t_.data();
        const char* const last = base + (t_.size() - m);
        for (const char* p = base + from; p <= last; ++p) {
            p = static_cast<const char*>(std::memchr(p, sought_[0], last - p + 1));
            if (!p) break;
            if (m >= 2 && p[1] != sought_[1]) {
                // The first byte is common here: look for the first two together from now on.
                pairs_ = true;
                return pairsFrom(static_cast<std::size_t>(p - base) + 1);
            }
            std::size_t k = 1;
            while (k < m && p[k] == sought_[k])
                ++k;
            if (k == m) return static_cast<std::size_t>(p - base);
        }
        return std::string_view::npos;
    }

    std::size_t pairsFrom(std::size_t from) const {
        const std::size_t m = sought_.size();
        if (from + m > t_.size()) return std::string_view::npos;
        for (const std::size_t last = t_.size() - m;;) {
            const std::size_t p = pairFrom(t_, sought_[0], sought_[1], from, last);
            if (p == kNoPair) return std::string_view::npos;
            if (restMatches(t_.data() + p, sought_)) return p;
            from = p + 1;
        }
    }

    // The next occurrence of `c`, remembered so that a rare letter case is not searched for
    // again from every candidate of the common one.
    std::size_t cached(std::size_t& at, char c, std::size_t from) {
        if (at == kUnknown || (at != std::string_view::npos && at < from)) at = t_.find(c, from);
        return at;
    }

    static constexpr std::size_t kUnknown = std::string_view::npos - 1;
    std::string_view t_;
    std::string_view sought_;
    bool ignoreCase_;
    bool folded_;
    mutable bool pairs_ = false;
    char lower_;
    char upper_;
    std::size_t lowerAt_ = kUnknown;
    std::size_t upperAt_ = kUnknown;
};

// First match at or after `from` that begins on a character of the grid that starts at
// `known` (<= from); npos when none. Each stretch of the text is walked at most twice.
std::size_t nextHit(std::string_view t, Candidates& candidates, std::size_t known,
                    std::size_t from) {
    std::size_t i = alignForward(t, known, from);
    for (;;) {
        const std::size_t c = candidates.next(i);
        if (c == std::string_view::npos) return c;
        const std::size_t start = alignForward(t, i, c);
        if (start == c) return c;
        i = start;
    }
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
    return findTextFrom(t, sought, start, 1, ignoreCase);
}

int findTextFrom(std::string_view t, std::string_view sought, int start, int knownStart,
                 bool ignoreCase) {
    const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
    if (from >= t.size()) return -1;
    if (sought.empty()) return 1;
    std::size_t known = knownStart < 1 ? 0 : static_cast<std::size_t>(knownStart - 1);
    if (known > from) known = 0;
    Candidates candidates(t, sought, ignoreCase);
    const std::size_t hit = nextHit(t, candidates, known, from);
    return hit == std::string_view::npos ? -1 : static_cast<int>(hit + 1);
}

int findTextBackward(std::string_view t, std::string_view sought, int start, bool ignoreCase) {
    std::size_t limit = t.size();
    if (start <= static_cast<int>(t.size()))
        limit = start < 1 ? 0 : static_cast<std::size_t>(start - 1);
    if (limit == 0) return -1;
    if (sought.empty()) return 1;
    if (sought.size() > limit) return -1;
    const char a = ignoreCase ? asciiLower(sought[0]) : sought[0];
    const char b = ignoreCase ? asciiUpper(sought[0]) : sought[0];
    // The last occurrence of `c` before `end`, remembered between calls; npos when none.
    constexpr std::size_t kNone = std::string_view::npos;
    auto before = [&](std::size_t& at, char c, std::size_t end) {
        if (at != kNone && at >= end) {
            const void* p = memrchr(t.data(), c, end);
            at = p ? static_cast<std::size_t>(static_cast<const char*>(p) - t.data()) : kNone;
        }
        return at;
    };
    std::size_t atA = limit;
    std::size_t atB = limit;
    // Candidates come from the right. Whether one starts a character follows from the run of
    // high bytes in front of it; the last run is remembered, so the text is walked once.
    std::size_t runStart = limit;
    bool pairs = false;
    for (std::size_t end = limit - sought.size() + 1; end > 0;) {
        std::size_t c;
        if (pairs) {
            c = pairBefore(t, sought[0], sought[1], end);
            if (c == kNoPair) return -1;
            end = c;
            if (!restMatches(t.data() + c, sought)) continue;
            if (c < runStart) runStart = highRunStart(t, 0, c);
            if ((c - runStart) % 2 == 0) return static_cast<int>(c + 1);
            continue;
        }
        c = before(atA, a, end);
        // A common first byte: the first two bytes together from now on.
        if (!ignoreCase && sought.size() >= 2 && c != kNone && t[c + 1] != sought[1]) pairs = true;
        if (b != a) {
            const std::size_t other = before(atB, b, end);
            if (c == kNone || (other != kNone && other > c)) c = other;
        }
        if (c == kNone) return -1;
        end = c;
        if (!matchesAt(t, c, sought, ignoreCase)) continue;
        if (c < runStart) runStart = highRunStart(t, 0, c);
        if ((c - runStart) % 2 == 0) return static_cast<int>(c + 1);
    }
    return -1;
}

std::string replaceText(std::string_view t, std::string_view sought, std::string_view replacement,
                        int start, int count, bool caseSensitive) {
    if (start < 1) start = 1;
    if (t.empty() || sought.empty() || static_cast<std::size_t>(start - 1) >= t.size() ||
        count == 0) {
        return std::string(t);
    }
    // The character grid starts at `start` and again behind every replacement.
    Candidates candidates(t, sought, !caseSensitive);
    std::string out;
    out.reserve(t.size());
    std::size_t i = static_cast<std::size_t>(start - 1);
    out.append(t.substr(0, i));
    for (;;) {
        const std::size_t hit = nextHit(t, candidates, i, i);
        if (hit == std::string_view::npos) break;
        out.append(t.data() + i, hit - i).append(replacement.data(), replacement.size());
        i = hit + sought.size();
        if (count > 0 && --count == 0) break;
    }
    out.append(t.substr(i));
    return out;
}

TextArray splitText(std::string_view t, std::string_view separator, int maxCount) {
    TextArray out;
    if (maxCount < 0) maxCount = 0;
    if (t.empty() || maxCount == 0) return out;
    if (separator.empty()) return {std::string(t)};
    // The character grid starts again behind every separator.
    Candidates candidates(t, separator, false);
    std::size_t cut = 0;
    for (std::size_t hit; (hit = nextHit(t, candidates, cut, cut)) != std::string_view::npos;) {
        out.emplace_back(t.substr(cut, hit - cut));
        if (static_cast<int>(out.size()) == maxCount) return out;
        cut = hit + separator.size();
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
