#pragma once

#include <cstdint>

// Dates are counted in seconds since 1970-01-01 00:00:00 *local* time, so a
// date value shows the same wall-clock reading as the user's clock.

struct LocalDateTime {
  int year = 1970;
  int month = 1;   // 1..12
  int day = 1;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;
  int second = 0;
};

// The local date and time now, as a date value.
int64_t localNowSeconds();

// The local wall-clock reading now.
LocalDateTime localDateTime();

// Conversions between date values and the system's UTC seconds (time zone from TZ).
int64_t utcToLocalSeconds(int64_t utcSeconds);
int64_t localToUtcSeconds(int64_t localSeconds);

// Milliseconds of a monotonic clock, for durations.
int64_t monotonicMillis();

// A uniformly drawn integer in lo..hi inclusive.
int32_t randomInteger(int32_t lo, int32_t hi);
