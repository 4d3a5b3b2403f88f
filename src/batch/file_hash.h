#pragma once

#include <string>

// SHA-256 of the file at path as 64 lower-case hex digits, read in pieces so
// a file of any size hashes in constant memory; empty when it cannot be read.
std::string fileSha256(const std::string& path);

// SHA-256 of bytes already in memory, in the same form.
std::string bytesSha256(const std::string& bytes);
