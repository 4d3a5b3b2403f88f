#include "batch/progress_line.h"

#include <cstdio>

#include "platform/text.h"

namespace {

size_t characterCount(const std::string& text) {
  size_t count = 0;
  for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return count;
}

// The first `keep` characters of valid UTF-8 text.
std::string firstCharacters(const std::string& text, size_t keep) {
  size_t end = 0;
  while (end < text.size() && keep > 0) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    --keep;
  }
  return text.substr(0, end);
}

// The last `keep` characters of valid UTF-8 text.
std::string lastCharacters(const std::string& text, size_t keep) {
  size_t start = text.size();
  while (start > 0 && keep > 0) {
    --start;
    if ((static_cast<unsigned char>(text[start]) & 0xC0) != 0x80) --keep;
  }
  return text.substr(start);
}

std::string minutesAndSeconds(int64_t seconds) {
  char buffer[32];
  if (seconds >= 3600) {
    std::snprintf(buffer, sizeof(buffer), "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  } else {
    std::snprintf(buffer, sizeof(buffer), "%lld:%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
  }
  return buffer;
}

}  // namespace

std::string progressLine(const ProgressSnapshot& snapshot, int columns) {
  std::string line = std::to_string(snapshot.done) + "/" + std::to_string(snapshot.total) + " files";
  if (snapshot.done > 0 && snapshot.elapsedMillis > 0) {
    const double rate = snapshot.done * 1000.0 / static_cast<double>(snapshot.elapsedMillis);
    const auto left = static_cast<int64_t>((snapshot.total - snapshot.done) / rate + 0.5);
    char buffer[32];
    std::snprintf(buffer, sizeof(buffer), "%.1f", rate);
    line += std::string(", ") + buffer + " files/s, " + minutesAndSeconds(left) + " left";
  } else {
    line += ", -- files/s, -- left";
  }
  const size_t width = columns > 1 ? static_cast<size_t>(columns - 1) : 0;
  if (line.size() > width) return line.substr(0, width);
  std::string name = escapeForDisplay(snapshot.currentName);
  if (name.empty() || line.size() + 2 + 4 > width) return line;  // not even ", ...x" fits
  const size_t room = width - line.size() - 2;
  if (characterCount(name) > room) {
    // Both ends tell files apart: a numbered stem and the extension.
    const size_t head = (room - 3) / 2;
    name = firstCharacters(name, head) + "..." + lastCharacters(name, room - 3 - head);
  }
  return line + ", " + name;
}
