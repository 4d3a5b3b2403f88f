#include "formats/writers/output_bytes.h"

#include <algorithm>
#include <cstring>
#include <exception>

OutputBytes::OutputBytes(size_t expectedSize) {
  try {
    bytes_.reserve(expectedSize);
  } catch (const std::exception&) {
    // Only a hint: the buffer grows as it is written.
  }
}

bool OutputBytes::write(const void* data, size_t size) {
  if (size == 0) return true;
  try {
    if (position_ > bytes_.size()) bytes_.resize(position_, '\0');
    const size_t overlap = std::min(size, bytes_.size() - position_);
    std::memcpy(bytes_.data() + position_, data, overlap);
    bytes_.append(static_cast<const char*>(data) + overlap, size - overlap);
  } catch (const std::exception&) {
    outOfMemory_ = true;
    return false;
  }
  position_ += size;
  return true;
}

size_t OutputBytes::read(void* data, size_t size) {
  if (position_ >= bytes_.size()) return 0;
  const size_t count = std::min(size, bytes_.size() - position_);
  std::memcpy(data, bytes_.data() + position_, count);
  position_ += count;
  return count;
}

bool OutputBytes::seek(long long offset, int origin) {
  long long base = 0;
  if (origin == 1) base = static_cast<long long>(position_);
  if (origin == 2) base = static_cast<long long>(bytes_.size());
  if (origin < 0 || origin > 2 || base + offset < 0) return false;
  position_ = static_cast<size_t>(base + offset);
  return true;
}

std::string OutputBytes::take() {
  std::string taken;
  taken.swap(bytes_);
  position_ = 0;
  return taken;
}
