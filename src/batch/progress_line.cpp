#include "batch/progress_line.h"

#include <cstdio>

namespace {

// Length of the valid UTF-8 sequence at text[i], or 0 (overlong forms,
// surrogates and values above U+10FFFF are invalid).
size_t validSequenceLength(const std::string& text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || lead == 0xC0 || lead == 0xC1) return 0;
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  }
  const unsigned char second = byte(i + 1);
  if (lead == 0xE0 && second < 0xA0) return 0;
  if (lead == 0xED && second >= 0xA0) return 0;
  if (lead == 0xF0 && second < 0x90) return 0;
  if (lead == 0xF4 && second >= 0x90) return 0;
  return length;
}

std::string hexEscape(unsigned char value) {
  char buffer[8];
  std::snprintf(buffer, sizeof(buffer), "\\x%02x", value);
  return buffer;
}

size_t characterCount(const std::string& text) {
  size_t count = 0;
  for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return count;
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

std::string escapeForTerminal(const std::string& text) {
  std::string escaped;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\\') {
      escaped += "\\\\";
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (c < 0x20 || c == 0x7F) {
      escaped += hexEscape(c);
    } else if (c >= 0x80) {
      const size_t length = validSequenceLength(text, i);
      if (length == 0) {
        escaped += hexEscape(c);
      } else {
        escaped += text.substr(i, length);
        i += length;
        continue;
      }
    } else {
      escaped.push_back(static_cast<char>(c));
    }
    ++i;
  }
  return escaped;
}

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
  std::string name = escapeForTerminal(snapshot.currentName);
  if (name.empty() || line.size() + 2 + 4 > width) return line;  // not even ", ...x" fits
  const size_t room = width - line.size() - 2;
  if (characterCount(name) > room) name = "..." + lastCharacters(name, room - 3);
  return line + ", " + name;
}
