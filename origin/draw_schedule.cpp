#include "origin/draw_schedule.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace pv::origin {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}

std::uint64_t mix(std::uint64_t z) {
    z += 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

}  // namespace

Seconds toSeconds(const CivilTime& t) {
    return daysFromCivil(t.year, t.month, t.day) * kDay + t.hour * 3600 + t.minute * 60 + t.second;
}

CivilTime toCivil(Seconds s) {
    const std::int64_t days = floorDiv(s, kDay);
    const std::int64_t rest = s - days * kDay;
    CivilTime t;
    civilFromDays(days, t.year, t.month, t.day);
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

std::optional<Seconds> parseClock(std::string_view text) {
    // Exactly "YYYY-MM-DD HH:MM:SS": 19 characters, digits where digits belong.
    static constexpr std::string_view shape = "dddd-dd-dd dd:dd:dd";
    if (text.size() != shape.size()) return std::nullopt;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (shape[i] == 'd' ? !digit : text[i] != shape[i]) return std::nullopt;
    }
    const auto num = [&](std::size_t at, std::size_t n) {
        int v = 0;
        for (std::size_t i = at; i < at + n; ++i)
            v = v * 10 + (text[i] - '0');
        return v;
    };
    CivilTime t{num(0, 4), num(5, 2), num(8, 2), num(11, 2), num(14, 2), num(17, 2)};
    if (t.year < 1970 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > daysInMonth(t.year, t.month) || t.hour > 23 || t.minute > 59 || t.second > 59)
        return std::nullopt;
    return toSeconds(t);
}

std::string formatClock(Seconds s) {
    const CivilTime t = toCivil(s);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return buf;
}

std::string formatDate(Seconds s) {
    return formatClock(s).substr(0, 10);
}

Seconds wallClock() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return toSeconds(
        {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec});
}

const std::vector<int>& drawMinutes() {
    static const std::vector<int> minutes = [] {
        std::vector<int> v;
        for (int m = 0; m < 24 * 60; ++m) {
            const bool night = (m <= 2 * 60 || m > 22 * 60) && m % 5 == 0;
            const bool day = m >= 10 * 60 && m <= 22 * 60 && m % 10 == 0;
            if (night || day) v.push_back(m);
        }
        return v;
    }();
    return minutes;
}

Seconds latestDrawTime(Seconds t) {
    const Seconds dayStart = floorDiv(t, kDay) * kDay;
    const auto& minutes = drawMinutes();
    const auto after = std::upper_bound(minutes.begin(), minutes.end(), (t - dayStart) / 60);
    // 00:00 is a draw, so some draw of the day lies at or before t.
    return dayStart + static_cast<Seconds>(*std::prev(after)) * 60;
}

Seconds nextDrawTime(Seconds t) {
    const Seconds dayStart = floorDiv(t, kDay) * kDay;
    for (int m : drawMinutes())
        if (dayStart + m * 60 > t) return dayStart + m * 60;
    return dayStart + kDay;
}

Draw drawAt(Seconds drawTime) {
    const Seconds dayStart = floorDiv(drawTime, kDay) * kDay;
    const auto& minutes = drawMinutes();
    const auto it = std::lower_bound(minutes.begin(), minutes.end(), (drawTime - dayStart) / 60);
    const int number = static_cast<int>(it - minutes.begin()) + 1;
    const CivilTime c = toCivil(drawTime);
    char issue[40];
    std::snprintf(issue, sizeof issue, "%02d%02d%02d%03d", c.year % 100, c.month, c.day, number);
    Draw d{drawTime, issue, {}};
    std::uint64_t h = hashKey(d.issue);
    for (int& digit : d.digits) {
        h = mix(h);
        digit = static_cast<int>(h % 10);
    }
    return d;
}

std::vector<Draw> drawsOfDay(Seconds t) {
    const Seconds dayStart = floorDiv(t, kDay) * kDay;
    std::vector<Draw> v;
    for (int m : drawMinutes())
        v.push_back(drawAt(dayStart + m * 60));
    return v;
}

std::vector<Draw> recentDraws(Seconds now, int count) {
    std::vector<Draw> v;
    Seconds t = latestDrawTime(now);
    for (int i = 0; i < count; ++i) {
        v.push_back(drawAt(t));
        t = latestDrawTime(t - 1);
    }
    return v;
}

std::string digitsText(const Draw& d, std::string_view separator) {
    std::string s;
    for (std::size_t i = 0; i < d.digits.size(); ++i) {
        if (i > 0) s += separator;
        s += static_cast<char>('0' + d.digits[i]);
    }
    return s;
}

std::uint64_t nextRandom(std::uint64_t& state) {
    state += 0x9e3779b97f4a7c15ULL;
    return mix(state);
}

std::uint64_t hashKey(std::string_view key) {
    std::uint64_t h = 0xcbf29ce484222325ULL;  // FNV-1a, then mixed
    for (unsigned char c : key) {
        h ^= c;
        h *= 0x100000001b3ULL;
    }
    return mix(h);
}

}  // namespace pv::origin
