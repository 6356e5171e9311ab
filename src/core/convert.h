// Conversions between values and text, and the local date-time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pv {

struct DateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// A byte string: the bytes up to the first zero byte. Any other text: a copy.
std::string toText(std::string_view bytesOrText);
inline std::string toText(const char* t) {
    return toText(std::string_view(t ? t : ""));
}
inline std::string toText(const std::string& t) {
    return toText(std::string_view(t));
}
std::string toText(std::int32_t v);
std::string toText(std::int64_t v);
inline std::string toText(std::int16_t v) {
    return toText(static_cast<std::int32_t>(v));
}
inline std::string toText(std::int8_t v) {
    return toText(static_cast<std::int32_t>(v));
}
std::string toText(double v);  // "%.13g"
std::string toText(float v);   // "%.6g"
std::string toText(bool v);    // "真" / "假"
std::string toText(const DateTime& v);

// Leading decimal integer: blanks skipped, optional sign, digits; no digits give 0.
std::int32_t toInteger(std::string_view t);
inline std::int32_t toInteger(const char* t) {
    return toInteger(std::string_view(t ? t : ""));
}
inline std::int32_t toInteger(const std::string& t) {
    return toInteger(std::string_view(t));
}
std::int32_t toInteger(double v);
inline std::int32_t toInteger(std::int32_t v) {
    return v;
}
inline std::int32_t toInteger(bool v) {
    return v ? 1 : 0;
}

// Leading decimal number with an optional fraction and exponent; no digits give 0.
double toNumber(std::string_view t);
inline double toNumber(const char* t) {
    return toNumber(std::string_view(t ? t : ""));
}
inline double toNumber(const std::string& t) {
    return toNumber(std::string_view(t));
}
inline double toNumber(std::int32_t v) {
    return v;
}
inline double toNumber(std::int64_t v) {
    return static_cast<double>(v);
}
inline double toNumber(double v) {
    return v;
}
inline double toNumber(bool v) {
    return v ? 1.0 : 0.0;
}

inline std::string toBytes(std::string_view t) {
    return std::string(t);
}

// Makes room for `size` bytes. Room for megabytes is asked to be backed by huge pages: filling
// it 4 KiB page by page can cost more in page faults than the writing itself.
void reserveBytes(std::string& bytes, std::size_t size);

DateTime now();
inline int yearOf(const DateTime& d) {
    return d.year;
}
inline int monthOf(const DateTime& d) {
    return d.month;
}
inline int dayOf(const DateTime& d) {
    return d.day;
}
inline int hourOf(const DateTime& d) {
    return d.hour;
}
inline int minuteOf(const DateTime& d) {
    return d.minute;
}
inline int secondOf(const DateTime& d) {
    return d.second;
}

}  // namespace pv
