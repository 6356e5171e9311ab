// The clock and the draws of the demo origin. Everything here is a pure function of the local
// time, so a given date and time always yields the same draws.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pv::origin {

// Local wall time in seconds since 1970-01-01 00:00:00, with no time zone: the origin keeps the
// clock the viewer reads, so both see the same hour and minute.
using Seconds = std::int64_t;

constexpr Seconds kDay = 86400;

struct CivilTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

Seconds toSeconds(const CivilTime& t);
CivilTime toCivil(Seconds s);
// "YYYY-MM-DD HH:MM:SS"; nullopt for any other form or an impossible date or time.
std::optional<Seconds> parseClock(std::string_view text);
std::string formatClock(Seconds s);
// "YYYY-MM-DD", zero-padded.
std::string formatDate(Seconds s);
Seconds wallClock();

struct Draw {
    Seconds time = 0;
    std::string issue;  // yymmdd and the three-digit number of the draw within its day
    std::array<int, 5> digits{};
};

// The minutes of a day on which a draw falls, ascending: 00:00 to 02:00 every 5 minutes,
// 10:00 to 22:00 every 10 minutes, 22:05 to 23:55 every 5 minutes.
const std::vector<int>& drawMinutes();
// The latest draw at or before `t` (there is always one: 00:00 is a draw).
Seconds latestDrawTime(Seconds t);
// The first draw strictly after `t`.
Seconds nextDrawTime(Seconds t);
// The draw that falls at `drawTime`, which must be a draw time.
Draw drawAt(Seconds drawTime);
// The draws of the calendar day of `t`, in time order.
std::vector<Draw> drawsOfDay(Seconds t);
// The `count` latest draws at or before `now`, newest first.
std::vector<Draw> recentDraws(Seconds now, int count);
// The digits as the trend page writes them: "1,2,3,4,5".
std::string digitsText(const Draw& d, std::string_view separator = ",");

// A 64-bit mix of `key`: the seed of every generated value.
std::uint64_t hashKey(std::string_view key);
// The next value of a splitmix64 sequence.
std::uint64_t nextRandom(std::uint64_t& state);

}  // namespace pv::origin
