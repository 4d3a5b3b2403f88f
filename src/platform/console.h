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

  // Standard error carries only what the report never holds. printNotice
  // writes one line there (ending in LF).
  virtual void printNotice(std::string_view /*text*/) {}

  // The progress display: one line on standard error, redrawn in place.
  // statusColumns() is the terminal's width, or 0 when standard error is not
  // a terminal, where showStatus and clearStatus write nothing. Lines printed
  // while a status is shown do not mix with it.
  virtual int statusColumns() { return 0; }
  virtual void showStatus(std::string_view /*line*/) {}
  virtual void clearStatus() {}
};

// Standard output, UTF-8.
std::unique_ptr<Console> openStandardConsole();
