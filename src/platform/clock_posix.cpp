#include "platform/clock.h"

#include <ctime>
#include <mutex>
#include <random>

namespace {

// Seconds east of UTC in force at the UTC instant t.
int64_t utcOffsetAt(time_t t) {
  struct tm local {};
  localtime_r(&t, &local);
  return local.tm_gmtoff;
}

}  // namespace

int64_t utcToLocalSeconds(int64_t utcSeconds) {
  return utcSeconds + utcOffsetAt(static_cast<time_t>(utcSeconds));
}

int64_t localToUtcSeconds(int64_t localSeconds) {
  // Read the local date value as a broken-down wall-clock time and let mktime
  // find the UTC instant (DST is decided by the zone rules).
  time_t asUtc = static_cast<time_t>(localSeconds);
  struct tm wall {};
  gmtime_r(&asUtc, &wall);
  wall.tm_isdst = -1;
  time_t t = mktime(&wall);
  if (t == static_cast<time_t>(-1)) return localSeconds - utcOffsetAt(asUtc);
  return static_cast<int64_t>(t);
}

int64_t localNowSeconds() { return utcToLocalSeconds(static_cast<int64_t>(time(nullptr))); }

LocalDateTime localDateTime() {
  time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                       local.tm_hour,        local.tm_min,     local.tm_sec};
}

int64_t monotonicMillis() {
  struct timespec ts {};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

int32_t randomInteger(int32_t lo, int32_t hi) {
  static std::mutex mutex;
  static std::mt19937 engine{std::random_device{}()};
  std::lock_guard<std::mutex> hold(mutex);
  return std::uniform_int_distribution<int32_t>(lo, hi)(engine);
}
