#pragma once

#include <cstdint>
#include <string>

#include "platform/files.h"

// SHA-256 of the file at path as 64 lower-case hex digits, read in pieces so
// a file of any size hashes in constant memory; empty when it cannot be read.
std::string fileSha256(const std::string& path);

// SHA-256 of bytes already in memory, in the same form.
std::string bytesSha256(const std::string& bytes);

// SHA-256 of the bytes a source gives, in the same form, and their count;
// empty when a piece could not be hashed or the source failed.
std::string sourceSha256(const ByteSource& source, int64_t* bytes);
