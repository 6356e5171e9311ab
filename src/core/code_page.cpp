#include "core/code_page.h"

#include "core/convert.h"

#include <iconv.h>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

namespace pv {
namespace {

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);
constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

// iconv descriptors are costly to open and not shareable across threads, so each thread keeps
// the ones it used last. Pages spell their charsets as they like: the cache is bounded, or a
// stream of new spellings would keep opening descriptors for the thread's whole life.
class DescriptorCache {
  public:
    static constexpr std::size_t kSize = 8;

    DescriptorCache() = default;
    DescriptorCache(const DescriptorCache&) = delete;
    DescriptorCache& operator=(const DescriptorCache&) = delete;
    ~DescriptorCache() {
        for (Entry& e : entries_)
            iconv_close(e.cd);
    }

    // A descriptor in its initial state, or kNoDescriptor when iconv does not know a name.
    iconv_t get(const std::string& to, const std::string& from) {
        for (Entry& e : entries_) {
            if (e.to == to && e.from == from) {
                e.lastUse = ++uses_;
                iconv(e.cd, nullptr, nullptr, nullptr, nullptr);
                return e.cd;
            }
        }
        iconv_t cd = iconv_open(to.c_str(), from.c_str());
        if (cd == kNoDescriptor) return cd;
        if (entries_.size() == kSize) {
            auto oldest = std::min_element(
                entries_.begin(), entries_.end(),
                [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
            iconv_close(oldest->cd);
            entries_.erase(oldest);
        }
        entries_.push_back({to, from, cd, ++uses_});
        return cd;
    }

    std::size_t size() const { return entries_.size(); }

  private:
    struct Entry {
        std::string to;
        std::string from;
        iconv_t cd;
        std::uint64_t lastUse;
    };
    std::vector<Entry> entries_;
    std::uint64_t uses_ = 0;
};

DescriptorCache& descriptors() {
    thread_local DescriptorCache cache;
    return cache;
}

// Length of the one valid character at the start of `in`, or 0 when the bytes there are not a
// valid character of `from`.
std::size_t validCharacterLength(iconv_t probe, std::string_view in) {
    for (std::size_t len = 1; len <= std::min<std::size_t>(in.size(), 6); ++len) {
        iconv(probe, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t left = len;
        char point[8];
        char* dst = point;
        std::size_t room = sizeof point;
        if (iconv(probe, &src, &left, &dst, &room) != kFailed && left == 0 && dst != point) {
            return len;
        }
        if (errno != EINVAL) return 0;  // invalid, not merely incomplete
    }
    return 0;
}

// What stands in for a character that cannot be converted: U+FFFD where the target is a
// Unicode form, "?" in a code page.
std::string_view replacementFor(const std::string& target) {
    if (target == "UTF-8") return "\xEF\xBF\xBD";
    if (target == "UTF-16LE") return std::string_view("\xFD\xFF", 2);
    if (target == "UTF-16BE") return std::string_view("\xFF\xFD", 2);
    return "?";
}

std::string_view upToZero(std::string_view t) {
    std::size_t z = t.find('\0');
    return z == std::string_view::npos ? t : t.substr(0, z);
}

std::string_view wideUpToTerminator(std::string_view wide) {
    std::size_t n = wide.size() & ~std::size_t{1};
    for (std::size_t i = 0; i < n; i += 2) {
        if (wide[i] == 0 && wide[i + 1] == 0) return wide.substr(0, i);
    }
    return wide.substr(0, n);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

// GBK and UTF-8 are converted on every page, so they go through tables instead of iconv's
// per-call machinery. The tables are read out of iconv itself once, so both ways give the same
// bytes, broken input included.
struct GbkTables {
    bool ok = false;
    std::array<char16_t, 128> single{};  // a byte of 0x80 or above that stands alone
    std::vector<char16_t> pair;          // (lead - 0x80) * 256 + trail; 0 where there is none
    std::vector<std::uint16_t> encode;   // code point to GBK: 0 none, below 0x100 one byte
};

// The one code point `bytes` decode to, or 0 when they are not exactly one character.
char32_t decodeOne(iconv_t cd, const char* bytes, std::size_t size) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(bytes);
    std::size_t left = size;
    char32_t point[2] = {0, 0};
    char* dst = reinterpret_cast<char*>(point);
    std::size_t room = sizeof point;
    if (iconv(cd, &src, &left, &dst, &room) == kFailed || left != 0 || room != sizeof(char32_t))
        return 0;
    return point[0];
}

const GbkTables& decodeTables() {
    static const GbkTables tables = [] {
        GbkTables t;
        iconv_t cd = iconv_open("UTF-32LE", "CP936");
        if (cd == kNoDescriptor) return t;
        bool ok = true;
        for (int b = 1; b < 0x80; ++b) {
            const char c = static_cast<char>(b);
            ok = ok && decodeOne(cd, &c, 1) == static_cast<char32_t>(b);
        }
        t.pair.assign(128 * 256, 0);
        for (int lead = 0x80; lead < 0x100; ++lead) {
            const char c = static_cast<char>(lead);
            char32_t alone = decodeOne(cd, &c, 1);
            ok = ok && alone <= 0xFFFF;
            t.single[lead - 0x80] = static_cast<char16_t>(alone);
            if (alone) continue;
            for (int trail = 0; trail < 0x100; ++trail) {
                const char bytes[2] = {c, static_cast<char>(trail)};
                char32_t point = decodeOne(cd, bytes, 2);
                ok = ok && point <= 0xFFFF;
                t.pair[(lead - 0x80) * 256 + trail] = static_cast<char16_t>(point);
            }
        }
        iconv_close(cd);
        t.ok = ok;
        return t;
    }();
    return tables;
}

const GbkTables& encodeTables() {
    static const GbkTables tables = [] {
        GbkTables t;
        iconv_t cd = iconv_open("CP936", "UTF-32LE");
        if (cd == kNoDescriptor) return t;
        bool ok = true;
        t.encode.assign(0x10000, 0);
        for (char32_t point = 1; point < 0x10000; ++point) {
            if (point >= 0xD800 && point < 0xE000) continue;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            char* src = reinterpret_cast<char*>(&point);
            std::size_t left = sizeof point;
            unsigned char bytes[8];
            char* dst = reinterpret_cast<char*>(bytes);
            std::size_t room = sizeof bytes;
            if (iconv(cd, &src, &left, &dst, &room) == kFailed) continue;
            const std::size_t n = sizeof bytes - room;
            if (n == 1) t.encode[point] = bytes[0];
            if (n == 2) t.encode[point] = static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
            ok = ok && (n == 1 || n == 2) && (point >= 0x80 || (n == 1 && bytes[0] == point));
        }
        iconv_close(cd);
        t.ok = ok;
        return t;
    }();
    return tables;
}

// Input is converted in blocks into a buffer on the stack and appended from there, so the
// result is neither zero-filled nor copied again.
constexpr std::size_t kBlock = 4096;

bool eightAscii(const unsigned char* s) {
    std::uint64_t w;
    std::memcpy(&w, s, 8);
    return (w & 0x8080808080808080u) == 0;
}

char* putUtf8(char* d, char32_t c) {
    if (c < 0x80) {
        *d++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *d++ = static_cast<char>(0xC0 | c >> 6);
        *d++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *d++ = static_cast<char>(0xE0 | c >> 12);
        *d++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        *d++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return d;
}

// The UTF-8 of every GBK character, packed for one unaligned store: the bytes in the low 24
// bits (first byte lowest), the length in bits 24-25, and bit 31 set where the way back to GBK
// does not give the same bytes (a broken byte, a character that maps to another one's code).
struct Utf8Tables {
    bool ok = false;
    std::array<std::uint32_t, 128> single{};  // a byte of 0x80 or above that stands alone
    std::vector<std::uint32_t> pair;          // (lead - 0x80) * 256 + trail; 0 where none
};

constexpr std::uint32_t kLossy = 0x80000000u;

std::uint32_t packUtf8(char32_t point) {
    char bytes[4] = {};
    const auto n = static_cast<std::uint32_t>(putUtf8(bytes, point) - bytes);
    std::uint32_t v = n << 24;
    for (std::uint32_t k = 0; k < n; ++k)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[k])) << (8 * k);
    return v;
}

const Utf8Tables& utf8Tables() {
    static const Utf8Tables tables = [] {
        Utf8Tables u;
        const GbkTables& d = decodeTables();
        const GbkTables& e = encodeTables();
        if (!d.ok || !e.ok) return u;
        auto pack = [&](char32_t point, std::uint16_t gbk) {
            return packUtf8(point) | (e.encode[point] == gbk ? 0 : kLossy);
        };
        for (unsigned b = 0x80; b < 0x100; ++b) {
            if (char32_t point = d.single[b - 0x80])
                u.single[b - 0x80] = pack(point, static_cast<std::uint16_t>(b));
        }
        u.pair.assign(d.pair.size(), 0);
        for (std::size_t k = 0; k < d.pair.size(); ++k) {
            if (char32_t point = d.pair[k])
                u.pair[k] =
                    pack(point, static_cast<std::uint16_t>((k / 256 + 0x80) << 8 | k % 256));
        }
        u.ok = true;
        return u;
    }();
    return tables;
}

// Converts in blocks through a buffer on the stack, appended from there, so the result is
// neither zero-filled nor copied again. Returns the packed flags of every character, whose
// kLossy bit tells whether the way back is exact.
std::uint32_t gbkToUtf8Tables(std::string_view text, const Utf8Tables& t, std::string& out) {
    static_assert(std::endian::native == std::endian::little);
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    out.clear();
    // Two bytes never give more than three; room for more is only taken by broken text.
    if (out.capacity() < n + n / 2 + 16) reserveBytes(out, n + n / 2 + 16);
    const std::uint32_t broken = packUtf8(0xFFFD) | kLossy;
    std::uint32_t seen = 0;
    char buffer[kBlock * 3 + 8];
    for (std::size_t i = 0; i < n;) {
        const std::size_t end = std::min(n, i + kBlock);
        char* d = buffer;
        while (i < end) {
            if (end - i >= 8 && eightAscii(s + i)) {
                std::memcpy(d, s + i, 8);
                d += 8;
                i += 8;
                continue;
            }
            const unsigned b = s[i];
            if (b < 0x80) {
                *d++ = static_cast<char>(b);
                ++i;
                continue;
            }
            std::uint32_t code = t.single[b - 0x80];
            std::size_t width = 1;
            if (!code && i + 1 < n) {
                code = t.pair[(b - 0x80) * 256 + s[i + 1]];
                width = 2;
            }
            if (!code) {
                // A broken lead byte: replaced, and its next byte is read afresh.
                code = broken;
                width = 1;
            }
            std::memcpy(d, &code, 4);
            d += code >> 24 & 3;
            seen |= code;
            i += width;
        }
        out.append(buffer, static_cast<std::size_t>(d - buffer));
    }
    return seen;
}

// The code point of the well-formed UTF-8 sequence at `s` (of `left` bytes) and its length, or
// a length of 0 when the bytes there are not one.
std::size_t readUtf8(const unsigned char* s, std::size_t left, char32_t& point) {
    auto tail = [&](std::size_t k) { return (s[k] & 0xC0) == 0x80; };
    const unsigned b = s[0];
    if (b >= 0xC2 && b <= 0xDF && left >= 2 && tail(1)) {
        point = (b & 0x1F) << 6 | (s[1] & 0x3F);
        return 2;
    }
    if (b >= 0xE0 && b <= 0xEF && left >= 3 && tail(1) && tail(2)) {
        point = (b & 0x0F) << 12 | (s[1] & 0x3F) << 6 | (s[2] & 0x3F);
        if (point < 0x800 || (point >= 0xD800 && point < 0xE000)) return 0;
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4 && left >= 4 && tail(1) && tail(2) && tail(3)) {
        point = (b & 0x07) << 18 | (s[1] & 0x3F) << 12 | (s[2] & 0x3F) << 6 | (s[3] & 0x3F);
        if (point < 0x10000 || point > 0x10FFFF) return 0;
        return 4;
    }
    return 0;
}

std::string utf8ToGbkTables(std::string_view text, const GbkTables& t) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::string out;
    reserveBytes(out, n);  // no character grows
    char buffer[kBlock + 8];
    for (std::size_t i = 0; i < n;) {
        const std::size_t end = std::min(n, i + kBlock);
        char* d = buffer;
        while (i < end) {
            if (end - i >= 8 && eightAscii(s + i)) {
                std::memcpy(d, s + i, 8);
                d += 8;
                i += 8;
                continue;
            }
            if (s[i] < 0x80) {
                *d++ = static_cast<char>(s[i++]);
                continue;
            }
            char32_t point = 0;
            const std::size_t width = readUtf8(s + i, n - i, point);
            // A broken byte is replaced on its own; a whole character GBK lacks, at once.
            const std::uint16_t code = width && point < 0x10000 ? t.encode[point] : 0;
            if (code >= 0x100) *d++ = static_cast<char>(code >> 8);
            *d++ = code ? static_cast<char>(code & 0xFF) : '?';
            i += width ? width : 1;
        }
        out.append(buffer, static_cast<std::size_t>(d - buffer));
    }
    return out;
}

bool namesUtf8(std::string_view charset) {
    return equalsIgnoringCase(charset, "utf-8") || equalsIgnoringCase(charset, "utf8");
}

}  // namespace

std::string codePageName(int codePage) {
    switch (codePage) {
        case 0:  // the system's ANSI code page
        case 936:
            return "CP936";
        case 65001:
            return "UTF-8";
        case 1200:
            return "UTF-16LE";
        case 1201:
            return "UTF-16BE";
        case 54936:
            return "GB18030";
        case 950:
            return "CP950";
        case 20127:
            return "ASCII";
        case 28591:
            return "ISO-8859-1";
        default:
            return "CP" + std::to_string(codePage);
    }
}

bool convertCharset(std::string_view in, const std::string& from, const std::string& to,
                    std::string& out) {
    DescriptorCache& cache = descriptors();
    iconv_t cd = cache.get(to, from);
    if (cd == kNoDescriptor) return false;
    iconv_t probe = cache.get("UTF-32LE", from);
    if (probe == kNoDescriptor) return false;
    const std::string_view fallback = replacementFor(to);
    std::string result(in.size() + in.size() / 2 + 64, '\0');
    std::size_t used = 0;
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    // Runs iconv over the rest of the input, or with `flush` writes the sequence that takes a
    // stateful target back to its initial state. False when the input is broken where it
    // stopped, or holds a character the target cannot represent.
    auto run = [&](bool flush) {
        for (;;) {
            char* dst = result.data() + used;
            std::size_t room = result.size() - used;
            const std::size_t r = flush ? iconv(cd, nullptr, nullptr, &dst, &room)
                                        : iconv(cd, &src, &left, &dst, &room);
            used = static_cast<std::size_t>(dst - result.data());
            if (r != kFailed) return true;
            if (errno != E2BIG) return false;
            result.resize(result.size() * 2);
        }
    };
    while (!run(false)) {
        // Either becomes one replacement and the conversion goes on behind it. Some decoders
        // take in an incomplete last character before they report it, so nothing may be left.
        const std::size_t valid = validCharacterLength(probe, std::string_view(src, left));
        const std::size_t skip = std::min(left, std::max<std::size_t>(valid, 1));
        src += skip;
        left -= skip;
        run(true);
        if (result.size() - used < fallback.size()) result.resize(result.size() * 2);
        std::memcpy(result.data() + used, fallback.data(), fallback.size());
        used += fallback.size();
        if (left == 0) break;
    }
    run(true);
    result.resize(used);
    out = std::move(result);
    return true;
}

std::string toWide(std::string_view text, int codePage) {
    std::string out;
    convertCharset(upToZero(text), codePageName(codePage), "UTF-16LE", out);
    out.append(2, '\0');
    return out;
}

std::string fromWide(std::string_view wide, int codePage) {
    std::string out;
    convertCharset(wideUpToTerminator(wide), "UTF-16LE", codePageName(codePage), out);
    return std::string(upToZero(out));
}

// Straight from one code page to the other: the same result as going through UTF-16, in one
// pass. Text without a zero byte never converts to one.
std::string utf8ToGbk(std::string_view text) {
    text = upToZero(text);
    const GbkTables& tables = encodeTables();
    if (tables.ok) return utf8ToGbkTables(text, tables);
    std::string out;
    convertCharset(text, codePageName(kCodePageUtf8), codePageName(kCodePageGbk), out);
    return out;
}

std::string gbkToUtf8(std::string_view text) {
    std::string out;
    gbkToUtf8Into(text, out);
    return out;
}

bool gbkToUtf8Into(std::string_view text, std::string& out) {
    const std::string_view cut = upToZero(text);
    const Utf8Tables& tables = utf8Tables();
    if (tables.ok)
        return !(gbkToUtf8Tables(cut, tables, out) & kLossy) && cut.size() == text.size();
    convertCharset(cut, codePageName(kCodePageGbk), codePageName(kCodePageUtf8), out);
    return false;
}

std::string gbkToWide(std::string_view text, bool dropTerminator) {
    if (text.empty()) return {};
    std::string out = toWide(text, kCodePageGbk);
    if (dropTerminator) out.resize(out.size() - 2);
    return out;
}

std::string wideToGbk(std::string_view wide) {
    return fromWide(wide, kCodePageGbk);
}

std::string recodeToGbk(std::string_view body, const std::string& charset) {
    if (namesUtf8(charset)) return utf8ToGbk(body);
    std::string out;
    // A "//" suffix would pass options to iconv; a page does not get to choose those.
    if (charset.empty() || charset.find('/') != std::string::npos ||
        !convertCharset(body, charset, codePageName(kCodePageGbk), out)) {
        return std::string(body);
    }
    return std::string(upToZero(out));
}

std::size_t iconvDescriptorsOpenForTesting() {
    return descriptors().size();
}

}  // namespace pv
