#pragma once

#include <cstdint>
#include <string>

// The file time keywords.
enum class FileTimeRule : uint8_t { kCurrent = 0, kOriginal = 1, kCustom = 2 };

struct FileTimePolicy {
  FileTimeRule rule = FileTimeRule::kCurrent;
  int32_t customTime = 0;  // local seconds since 1970, for kCustom
};

// After a successful save: CURRENT leaves outputFile's times alone, ORIGINAL
// gives it the last-modification time of inputFile, CUSTOM the policy's
// custom time. Only the modification time changes; a time that cannot be
// read or set is ignored.
void applyFileTimePolicy(const FileTimePolicy& policy, const std::string& inputFile,
                         const std::string& outputFile);
