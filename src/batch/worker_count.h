#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Highest --threads value accepted; more workers than this only cost memory.
constexpr int32_t kMaxThreads = 1024;

// The --threads text as a number: decimal digits only, 0..kMaxThreads; empty
// text is 0 (one worker per available core). nullopt for anything else.
std::optional<int32_t> parseThreadCount(std::string_view text);

// Workers for a run: requested (0 = availableCores) but never more than there
// are files, and at least 1.
int32_t workerCount(int32_t requested, int32_t availableCores, int32_t files);
