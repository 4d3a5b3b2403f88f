#pragma once

#include <memory>
#include <string_view>

// The program's only output channel. Abstract so that tests can capture lines.
class Console {
 public:
  virtual ~Console() = default;

  // Writes text and CR LF. Callers pass " " for a blank line.
  virtual void printLine(std::string_view text) = 0;

  // Sets the window title (only where the output is a terminal).
  virtual void setTitle(std::string_view title) = 0;

  // Waits until a key that carries a character is pressed; returns at the end
  // of input when standard input is not a terminal, so it never hangs.
  virtual void waitForKey() = 0;
};

// Standard output, UTF-8.
std::unique_ptr<Console> openStandardConsole();
