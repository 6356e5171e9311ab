#include "core/code_page.h"

#include <iconv.h>
#include <cerrno>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

namespace pv {
namespace {

// iconv descriptors are costly to open and not shareable across threads: keep one per thread
// and direction.
iconv_t descriptor(const std::string& to, const std::string& from) {
    struct Cache {
        std::map<std::pair<std::string, std::string>, iconv_t> open;
        ~Cache() {
            for (auto& [key, cd] : open)
                iconv_close(cd);
        }
    };
    thread_local Cache cache;
    auto key = std::make_pair(to, from);
    auto it = cache.open.find(key);
    if (it != cache.open.end()) {
        iconv(it->second, nullptr, nullptr, nullptr, nullptr);
        return it->second;
    }
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return cd;
    cache.open.emplace(key, cd);
    return cd;
}

bool validDescriptor(iconv_t cd) {
    return cd != reinterpret_cast<iconv_t>(-1);
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
        if (iconv(probe, &src, &left, &dst, &room) != static_cast<std::size_t>(-1) && left == 0 &&
            dst != point) {
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
    iconv_t cd = descriptor(to, from);
    if (!validDescriptor(cd)) return false;
    iconv_t probe = descriptor("UTF-32LE", from);
    if (!validDescriptor(probe)) return false;
    const std::string_view fallback = replacementFor(to);
    std::string result;
    result.resize(in.size() * 2 + 16);
    std::size_t used = 0;
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    auto room = [&] {
        if (result.size() - used < 64) result.resize(result.size() * 2);
    };
    for (;;) {
        room();
        char* dst = result.data() + used;
        std::size_t free = result.size() - used;
        // A final call with no input flushes a shift sequence a stateful target may owe.
        std::size_t r = left > 0 ? iconv(cd, &src, &left, &dst, &free)
                                 : iconv(cd, nullptr, nullptr, &dst, &free);
        used = static_cast<std::size_t>(dst - result.data());
        if (r != static_cast<std::size_t>(-1)) {
            if (left == 0) break;
            continue;
        }
        if (errno == E2BIG) {
            result.resize(result.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL: either the input is broken here, or it holds a character the target
        // cannot represent. Both become one replacement; the conversion goes on behind it.
        std::size_t skip = validCharacterLength(probe, std::string_view(src, left));
        if (skip == 0) skip = 1;
        result.replace(used, fallback.size(), fallback);
        used += fallback.size();
        src += skip;
        left -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
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
// pass.
std::string utf8ToGbk(std::string_view text) {
    std::string out;
    convertCharset(upToZero(text), codePageName(kCodePageUtf8), codePageName(kCodePageGbk), out);
    return std::string(upToZero(out));
}

std::string gbkToUtf8(std::string_view text) {
    std::string out;
    convertCharset(upToZero(text), codePageName(kCodePageGbk), codePageName(kCodePageUtf8), out);
    return std::string(upToZero(out));
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
    std::string out;
    // A "//" suffix would pass options to iconv; a page does not get to choose those.
    if (charset.empty() || charset.find('/') != std::string::npos ||
        !convertCharset(body, charset, codePageName(kCodePageGbk), out)) {
        return std::string(body);
    }
    return std::string(upToZero(out));
}

}  // namespace pv
