#pragma once

#include <string>
#include <string_view>

// The text detectSignature gives for a file whose first bytes match no entry
// (DDS textures included: the table names only formats other than the input).
inline constexpr std::string_view kUnrecognizedSignature = "[ERROR] UNRECOGNIZED";

// Names the real format of the file at path from its first bytes, whatever its
// extension; kUnrecognizedSignature when nothing matches or the file cannot be
// read. Only used for the debug report.
std::string detectSignature(const std::string& path);

// The same test on bytes already read (at most the first 20 are looked at).
// Bytes an entry compares beyond the end of prefix count as not matching.
std::string signatureOfBytes(std::string_view prefix);
