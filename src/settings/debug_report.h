#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/console.h"

// The debug report of the preparation pass: one "Label: value" line per
// setting, printed only when the report is enabled. Error lines go through
// fail(), which prints whatever the mode.
class DebugReport {
 public:
  DebugReport(Console& console, bool enabled) : console_(console), enabled_(enabled) {}

  bool enabled() const { return enabled_; }

  // value is printed escaped (escapeForDisplay).
  void text(std::string_view label, std::string_view value);
  void number(std::string_view label, int64_t value);
  // The first keyword of table with code, lower case; empty when none.
  void keyword(std::string_view label, int table, int32_t code);
  // Two decimals, so 1 reads "1.00".
  void twoDecimals(std::string_view label, float value);

  // Prints errorLine and returns false, so a check can end with `return fail(...)`.
  bool fail(std::string_view errorLine);

 private:
  Console& console_;
  bool enabled_;
};

// gamma as the report shows it.
std::string formatTwoDecimals(float value);
