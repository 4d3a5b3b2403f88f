// pellucid::describeFile: the --info record of a file, in public terms.

#include "batch/input_info.h"
#include "pellucid/pellucid.h"

namespace pellucid {

namespace {

std::optional<std::string> textOrNothing(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return text;
}

}  // namespace

FileInfo describeFile(const std::string& path) {
  const InputInfo info = inspectInput(path);
  FileInfo result;
  result.path = info.path;
  result.bytes = info.bytes;
  result.format = info.format;
  result.dx10 = info.dx10;
  result.width = info.width;
  result.height = info.height;
  result.depth = info.depth;
  result.mips = info.mips;
  result.faces = info.faces;
  result.layers = info.layers;
  result.srgb = info.srgb;
  result.alpha = info.alpha;
  result.normalMap = info.normalMap;
  result.sha256 = textOrNothing(info.sha256);
  result.error = textOrNothing(info.error);
  return result;
}

}  // namespace pellucid
