#pragma once

#include <string>
#include <string_view>

inline constexpr char kProductName[] = "Quillon";
inline constexpr int kProgramVersion = 300;  // digits: major, minor, patch

// 300 -> "3.0", 310 -> "3.1", 312 -> "3.1.2": dots between the three digits,
// and a trailing ".0" patch level dropped. Meant for three-digit versions.
std::string VersionText(int version);

// name + " " + VersionText(version): "Quillon 3.0". The console title, the
// first banner line and the name of the single-instance lock.
std::string TitleText(std::string_view name, int version);
