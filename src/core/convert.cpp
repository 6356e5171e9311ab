#include "core/convert.h"

#include <sys/mman.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <limits>

namespace pv {
namespace {

// to_chars with a precision renders exactly as printf's %g does, but never with the
// decimal comma of a user's locale.
std::string general(double v, int precision) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, precision);
    return std::string(buf, res.ptr);
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipBlanks(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size() && isSpace(t[i]))
        ++i;
    return i;
}

}  // namespace

std::string toText(std::string_view bytes) {
    std::size_t zero = bytes.find('\0');
    return std::string(zero == std::string_view::npos ? bytes : bytes.substr(0, zero));
}

std::string toText(std::int32_t v) {
    return std::to_string(v);
}
std::string toText(std::int64_t v) {
    return std::to_string(v);
}
std::string toText(double v) {
    return general(v, 13);
}
std::string toText(float v) {
    return general(static_cast<double>(v), 6);
}
std::string toText(bool v) {
    return v ? "真" : "假";
}

std::string toText(const DateTime& d) {
    std::string out = toText(d.year) + "年" + toText(d.month) + "月" + toText(d.day) + "日";
    if (d.second != 0) {
        out += toText(d.hour) + "时" + toText(d.minute) + "分" + toText(d.second) + "秒";
    } else if (d.minute != 0) {
        out += toText(d.hour) + "时" + toText(d.minute) + "分";
    } else if (d.hour != 0) {
        out += toText(d.hour) + "时";
    }
    return out;
}

std::int32_t toInteger(std::string_view t) {
    std::size_t i = skipBlanks(t);
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    std::int64_t value = 0;
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < t.size() && isDigit(t[i]); ++i) {
        value = std::min<std::int64_t>(value * 10 + (t[i] - '0'), limit);
    }
    if (negative) value = -value;
    // Out-of-range text saturates instead of wrapping into a number of the other sign.
    value = std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(value);
}

std::int32_t toInteger(double v) {
    if (std::isnan(v)) return 0;
    double t = std::trunc(v);
    if (t >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (t <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(t);
}

double toNumber(std::string_view t) {
    std::size_t begin = skipBlanks(t);
    std::size_t i = begin;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < t.size() && isDigit(t[i]))
        ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && isDigit(t[i]))
            ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        std::size_t e = i + 1;
        if (e < t.size() && (t[e] == '+' || t[e] == '-')) ++e;
        if (e < t.size() && isDigit(t[e])) {
            while (e < t.size() && isDigit(t[e]))
                ++e;
            i = e;
        }
    }
    std::string_view number = t.substr(begin, i - begin);
    bool negative = !number.empty() && number[0] == '-';
    if (!number.empty() && (number[0] == '+' || number[0] == '-')) number.remove_prefix(1);
    double value = 0.0;
    auto res = std::from_chars(number.data(), number.data() + number.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        value = number.find_first_of("123456789") == std::string_view::npos
                    ? 0.0
                    : std::numeric_limits<double>::infinity();
        // A tiny magnitude underflows to 0; a huge one to infinity.
        std::size_t ePos = number.find_first_of("eE");
        if (ePos != std::string_view::npos && ePos + 1 < number.size() && number[ePos + 1] == '-')
            value = 0.0;
    }
    return negative ? -value : value;
}

DateTime now() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

void reserveBytes(std::string& bytes, std::size_t size) {
    bytes.reserve(size);
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(bytes.data());
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (begin + bytes.capacity()) & ~(kHugePage - 1);
    // Only advice: where it is not taken the memory is the same, merely slower to fill.
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

}  // namespace pv
