#include "web/code_page.h"

#include <iconv.h>
#include <cerrno>

#include <map>
#include <memory>
#include <utility>

namespace pv {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

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

// Decodes to code points. Each invalid or incomplete input byte becomes U+FFFD.
bool decode(std::string_view in, const std::string& from, std::u32string& out) {
    iconv_t cd = descriptor("UTF-32LE", from);
    if (!validDescriptor(cd)) return false;
    out.clear();
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    char buf[4096];
    auto flush = [&](char* end) {
        for (char* p = buf; p + 4 <= end; p += 4) {
            const auto* b = reinterpret_cast<const unsigned char*>(p);
            out.push_back(static_cast<char32_t>(b[0] | b[1] << 8 | b[2] << 16 |
                                                static_cast<char32_t>(b[3]) << 24));
        }
    };
    while (left > 0) {
        char* dst = buf;
        std::size_t room = sizeof buf;
        std::size_t r = iconv(cd, &src, &left, &dst, &room);
        flush(dst);
        if (r != static_cast<std::size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL: replace one byte and go on behind it.
        out.push_back(kReplacement);
        ++src;
        --left;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return true;
}

// Encodes code points; a character the target cannot represent becomes `fallback`.
bool encode(const std::u32string& in, const std::string& to, std::string_view fallback,
            std::string& out) {
    iconv_t cd = descriptor(to, "UTF-32LE");
    if (!validDescriptor(cd)) return false;
    out.clear();
    std::string wide;
    wide.reserve(in.size() * 4);
    for (char32_t c : in) {
        for (int k = 0; k < 4; ++k)
            wide.push_back(static_cast<char>((c >> (8 * k)) & 0xFF));
    }
    char* src = wide.data();
    std::size_t left = wide.size();
    char buf[4096];
    while (left > 0) {
        char* dst = buf;
        std::size_t room = sizeof buf;
        std::size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buf, static_cast<std::size_t>(dst - buf));
        if (r != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        out.append(fallback);
        src += 4;
        left -= left >= 4 ? 4 : left;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // Stateful encodings may owe a closing shift sequence.
    char* dst = buf;
    std::size_t room = sizeof buf;
    iconv(cd, nullptr, nullptr, &dst, &room);
    out.append(buf, static_cast<std::size_t>(dst - buf));
    return true;
}

bool isUtf16(const std::string& name) {
    return name.rfind("UTF-16", 0) == 0;
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
    std::u32string points;
    if (!decode(in, from, points)) return false;
    std::string result;
    if (!encode(points, to, isUtf16(to) ? std::string_view("\xFD\xFF", 2) : "?", result)) {
        return false;
    }
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

std::string utf8ToGbk(std::string_view text) {
    return fromWide(toWide(text, kCodePageUtf8), kCodePageGbk);
}

std::string gbkToUtf8(std::string_view text) {
    return fromWide(toWide(text, kCodePageGbk), kCodePageUtf8);
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
