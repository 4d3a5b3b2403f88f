#include "batch/worker_count.h"

#include <algorithm>

#include "platform/text.h"

std::optional<int32_t> parseThreadCount(std::string_view text) {
  if (text.empty()) return 0;
  const std::optional<int32_t> value = parseDecimalCount(text);
  if (!value || *value > kMaxThreads) return std::nullopt;
  return value;
}

int32_t workerCount(int32_t requested, int32_t availableCores, int32_t files) {
  const int32_t wanted = requested > 0 ? requested : availableCores;
  return std::max(1, std::min(wanted, files));
}
