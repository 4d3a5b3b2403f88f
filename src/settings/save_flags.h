#pragma once

#include <cstdint>
#include <string>

#include "settings/conversion_settings.h"

// FreeImage save flags for an output extension from that format's options.
// Only the keyword code counts: a code a row does not name adds nothing, so a
// compression keyword meant for another format selects whatever its code
// selects here. Formats without options (dds, gif, pbm, ...) give 0.
int32_t computeSaveFlags(const std::string& extension, const ConversionSettings& settings);
