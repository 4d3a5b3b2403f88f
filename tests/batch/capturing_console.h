#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.h"

// Keeps every printed line, for tests that check a run's output in process.
class CapturingConsole : public Console {
 public:
  void printLine(std::string_view text) override {
    std::lock_guard<std::mutex> hold(mutex_);
    lines.emplace_back(text);
  }
  void setTitle(std::string_view) override {}
  void waitForKey() override {}

  std::vector<std::string> lines;

 private:
  std::mutex mutex_;
};
