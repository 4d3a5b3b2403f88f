#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Reads the regular file at path from start to end in pieces of at most
// chunk bytes, handing each to take in order, so a file of any size is read
// in constant memory. False when it cannot be opened or a read fails (take
// may then have seen part of the file).
bool readFileInChunks(const std::string& path, size_t chunk,
                      const std::function<void(const uint8_t* data, size_t size)>& take);
