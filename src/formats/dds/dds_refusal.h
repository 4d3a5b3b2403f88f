#pragma once

#include <cstdint>
#include <string>

#include "formats/dds/dds_header.h"

// Why the reader refuses a file, in words for records and reports: what it
// found, not only which rule failed ("unsupported pixel format: FourCC 'XYZW'",
// "file too short: 300 of 4224 bytes"). header holds what was parsed (it may
// be partly filled when the file is short); fileSize is the whole file's
// length. Empty for DdsCheck::Ok.
std::string describeDdsRefusal(DdsCheck check, const DdsHeader& header, uint64_t fileSize);

// "file too short: <have> of <need> bytes".
std::string ddsTooShortText(uint64_t have, uint64_t need);
