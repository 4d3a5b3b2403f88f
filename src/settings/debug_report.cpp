#include "settings/debug_report.h"

#include <cstdio>

#include "platform/text.h"
#include "settings/keyword_tables.h"

void DebugReport::text(std::string_view label, std::string_view value) {
  if (!enabled_) return;
  // Values are typed by the user or name files: escaped, so one setting
  // stays one line whatever its bytes.
  std::string line(label);
  line += escapeForDisplay(value);
  console_.printLine(line);
}

void DebugReport::number(std::string_view label, int64_t value) {
  text(label, std::to_string(value));
}

void DebugReport::keyword(std::string_view label, int table, int32_t code) {
  if (enabled_) text(label, KeywordText(table, code));
}

void DebugReport::twoDecimals(std::string_view label, float value) {
  text(label, formatTwoDecimals(value));
}

bool DebugReport::fail(std::string_view errorLine) {
  console_.printLine(errorLine);
  return false;
}

std::string formatTwoDecimals(float value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(value));
  return buffer;
}
