#include "platform/file_compare.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/readable_file.h"

namespace {

constexpr size_t kPieceBytes = size_t{256} << 10;

}  // namespace

bool sameFileBytes(const std::string& a, const std::string& b) {
  const ReadableFile first(a);
  const ReadableFile second(b);
  if (!first.isOpen() || !second.isOpen() || first.size() != second.size()) return false;
  // Left uninitialised: every byte compared is read first.
  const std::unique_ptr<uint8_t[]> left = std::make_unique_for_overwrite<uint8_t[]>(kPieceBytes);
  const std::unique_ptr<uint8_t[]> right = std::make_unique_for_overwrite<uint8_t[]>(kPieceBytes);
  for (uint64_t offset = 0; offset < first.size();) {
    const size_t size = static_cast<size_t>(std::min<uint64_t>(first.size() - offset, kPieceBytes));
    if (!first.read(offset, left.get(), size) || !second.read(offset, right.get(), size) ||
        std::memcmp(left.get(), right.get(), size) != 0) {
      return false;
    }
    offset += size;
  }
  return true;
}

bool fileHoldsBytes(const std::string& path, std::string_view bytes) {
  const ReadableFile file(path);
  if (!file.isOpen() || file.size() != bytes.size()) return false;
  const size_t buffer = std::min(bytes.size(), kPieceBytes);
  const std::unique_ptr<uint8_t[]> read = std::make_unique_for_overwrite<uint8_t[]>(buffer);
  for (size_t offset = 0; offset < bytes.size();) {
    const size_t size = std::min(bytes.size() - offset, kPieceBytes);
    if (!file.read(offset, read.get(), size) ||
        std::memcmp(read.get(), bytes.data() + offset, size) != 0) {
      return false;
    }
    offset += size;
  }
  return true;
}
