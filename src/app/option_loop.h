#pragma once

#include <string>
#include <vector>

#include "settings/conversion_job.h"
#include "settings/conversion_settings.h"

// The run-control switches that belong to the driver rather than the records.
struct RunFlags {
  bool quiet = false;  // -q: no banner, no phase or summary lines
  bool pause = false;  // -p: "Press any key to exit." before the program ends
};

inline constexpr char kIncorrectParameters[] = "Incorrect number of parameters";
inline constexpr char kInvalidProfile[] = "Invalid profile file";

// Readies what every run reads before its options: the format tables, the
// message catalogue, and both records at their defaults.
void startRunRecords(ConversionSettings& settings, ConversionJob& job);

// Reads every parameter in order and stores what the option table says; later
// parameters overwrite earlier ones. Parameters that name no option are
// skipped. Returns the error message of the first bad parameter (the loop
// stops there, earlier parameters stay stored), or "" when all were read.
//
// A value must be joined to a long option by "=" (--jpg-quality=95); -i, -o
// and -c take the next parameter instead (-i a.dds). A missing or empty value,
// a long option's value starting with "--" and a short option's value
// starting with "-" give "Incorrect number of parameters".
std::string runOptionLoop(const std::vector<std::string>& parameters, ConversionSettings& settings,
                          ConversionJob& job, RunFlags& flags);
