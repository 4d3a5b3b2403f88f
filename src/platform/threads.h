#pragma once

#include <cstdint>

// Cores this process may run on: the CPUs of its affinity mask (so a job
// confined by taskset, cgroups or a batch scheduler counts only its own), or
// the machine's count when the mask cannot be read. Always at least 1.
int32_t availableCores();
