#include "batch/input_info.h"

#include <algorithm>

#include "batch/file_hash.h"
#include "batch/input_set.h"
#include "batch/json_line.h"
#include "batch/ordered_run.h"
#include "batch/worker_count.h"
#include "formats/dds/dds_format_name.h"
#include "formats/dds/dds_header.h"
#include "formats/dds/dds_reader.h"
#include "formats/dds/dds_refusal.h"
#include "formats/dds/dds_surfaces.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/threads.h"

namespace {

constexpr uint32_t kDx10AlphaModeOpaque = 3;

bool layoutHasAlpha(const DdsHeader& header, const DdsLayout& layout) {
  switch (layout.format.encoding) {
    case DdsEncoding::Bc1:
    case DdsEncoding::Bc2:
    case DdsEncoding::Bc3:
    case DdsEncoding::Bc7: return true;
    case DdsEncoding::Uncompressed: return layout.format.layout.alpha.encoding != ChannelEncoding::Absent;
    case DdsEncoding::Unsupported:
      return (header.pixelFormat.flags & kDdsPixelAlphaPixels) != 0 && header.pixelFormat.alphaMask != 0;
    default: return false;
  }
}

std::string alphaMode(const DdsHeader& header, const DdsLayout& layout) {
  if (layout.format.premultiplied) return "premultiplied";
  if (header.hasDx10 && (header.dx10.miscFlags2 & kDdsAlphaModeMask) == kDx10AlphaModeOpaque) {
    return "none";
  }
  return layoutHasAlpha(header, layout) ? "straight" : "none";
}

bool isNormalMap(const DdsHeader& header, const DdsLayout& layout) {
  return (header.pixelFormat.flags & kDdsPixelNormalMap) != 0 ||
         layout.format.encoding == DdsEncoding::Bc5 ||
         layout.format.encoding == DdsEncoding::Bc5Signed || layout.fourCc == kFourCcAti2;
}

// Surface counts of a header that passed the check.
void fillSurfaces(const DdsHeader& header, const DdsLayout& layout, InputInfo& info) {
  const DdsSurfaceDirectory directory = describeDdsSurfaces(header, layout);
  info.mips = directory.mipCount;
  info.faces = static_cast<uint32_t>(directory.faces.size());
  if (directory.volume) {
    info.depth = directory.layerCount;
  } else {
    info.layers = directory.layerCount;
  }
}

}  // namespace

InputInfo inspectInput(const std::string& path) {
  InputInfo info;
  info.path = path;
  info.bytes = std::max<int64_t>(fileSize(path), 0);
  DdsHeader header;
  const DdsCheck check = checkDdsFile(path, &header);
  // The decoder refuses nothing the header check lets through, so the
  // check's reason is the whole answer.
  info.error = describeDdsRefusal(check, header, static_cast<uint64_t>(info.bytes));
  if (header.magic == kDdsMagic) {
    const DdsLayout layout = describeDdsLayout(header);
    info.format = ddsFormatName(header);
    info.dx10 = header.hasDx10;
    info.width = header.width;
    info.height = header.height;
    info.srgb = isSrgbFormatName(info.format);
    info.alpha = alphaMode(header, layout);
    info.normalMap = isNormalMap(header, layout);
    if (check == DdsCheck::Ok) fillSurfaces(header, layout, info);
  }
  info.sha256 = fileSha256(path);
  if (info.sha256.empty() && info.error.empty()) info.error = "unreadable";
  return info;
}

void addInfoFields(const InputInfo& info, JsonObject& object) {
  object.path("path", info.path)
      .number("bytes", info.bytes)
      .text("format", info.format)
      .boolean("dx10", info.dx10)
      .number("width", info.width)
      .number("height", info.height)
      .number("depth", info.depth)
      .number("mips", info.mips)
      .number("faces", info.faces)
      .number("layers", info.layers)
      .boolean("srgb", info.srgb)
      .text("alpha", info.alpha)
      .boolean("normal_map", info.normalMap)
      .textOrNull("sha256", info.sha256)
      .textOrNull("error", info.error);
}

std::string infoJson(const InputInfo& info) {
  JsonObject object;
  addInfoFields(info, object);
  return object.str();
}

std::string sidecarJson(const InputInfo& info, const DdsSurfaceId& surface,
                        const std::vector<std::string>& options) {
  JsonObject object;
  addInfoFields(info, object);
  object.number("mip", surface.mip);
  if (surface.face >= 0) {
    object.text("face", ddsFaceName(surface.face));
  } else {
    object.null("face");
  }
  object.number("layer", surface.layer);
  JsonArray list;
  for (const std::string& option : options) list.text(escapeForDisplay(option));
  return object.nested("options", list.str()).str();
}

int32_t printInputInfo(const InputSet& inputs, Console& console, int32_t threads) {
  std::vector<const std::string*> paths;
  for (const InputEntry& entry : inputs.entries()) {
    if (entry.listed == 1) paths.push_back(&entry.path);
  }
  struct Line {
    bool made = false;
    bool decodable = false;
    std::string text;
  };
  const auto lineOf = [&](int32_t index) {
    const InputInfo info = inspectInput(*paths[static_cast<size_t>(index)]);
    return Line{true, info.error.empty(), infoJson(info)};
  };
  int32_t decodable = 0;
  const int32_t count = static_cast<int32_t>(paths.size());
  runOrdered<Line>(
      count, workerCount(threads, availableCores(), count),
      [&](int32_t, int32_t index) { return lineOf(index); },
      [&](int32_t index, Line& line) {
        if (!line.made) line = lineOf(index);  // a worker ran out of memory: once more here
        if (line.decodable) ++decodable;
        console.printLine(line.text);
      },
      [] { return false; },
      // A line holds no image: many may wait while one large file is hashed.
      [](const Line&) { return true; });
  return decodable;
}
