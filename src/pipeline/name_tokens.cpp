#include "pipeline/name_tokens.h"

#include <cstdio>
#include <string_view>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"

NameTokenValues tokenValuesOf(const FileJob& file, const std::string& extension,
                              const SurfaceTokens& surfaceTokens) {
  NameTokenValues values;
  values.inputFile = file.currentFile;
  values.extension = extension;
  values.bpp = file.requestedBpp;
  values.width = file.imageWidth;
  values.height = file.imageHeight;
  values.frame = file.frameIndex;
  values.randomNumber = file.randomNumber;
  values.counter = file.fileCounter;
  values.surface = file.surface;
  values.surfaceTokens = surfaceTokens;
  values.severalMips = file.severalMips;
  values.severalFaces = file.severalFaces;
  values.severalLayers = file.severalLayers;
  return values;
}

std::string stripExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (name.empty() || dot == std::string::npos) return name;
  return name.substr(0, dot);
}

namespace {

// Tokens in the order they are replaced. A value inserted by one token is
// searched by the later ones, so a file named a%ext%b.dds gets its %ext%
// replaced too.
constexpr std::string_view kTokens[] = {
    "%filename%", "%filename[u]%", "%filename[l]%", "%filename[t]%", "%ext%",
    "%ext[u]%",   "%ext[t]%",      "%yyyy%",        "%mm%",          "%dd%",
    "%hh%",       "%ii%",          "%ss%",          "%bpp%",         "%width%",
    "%height%",   "%frame%",       "%rnd%",         "%n%",           "%mip%",
    "%face%",     "%layer%",
};

std::string padded(int64_t value, int width) {
  char text[32];
  std::snprintf(text, sizeof(text), "%0*lld", width, static_cast<long long>(value));
  return text;
}

// The file name of the input without folder and last extension.
std::string baseName(const NameTokenValues& values) {
  const size_t slash = values.inputFile.rfind(kPathSeparator);
  return stripExtension(slash == std::string::npos ? values.inputFile
                                                   : values.inputFile.substr(slash + 1));
}

std::string tokenValue(std::string_view token, const NameTokenValues& values) {
  if (token == "%filename%") return baseName(values);
  if (token == "%filename[u]%") return toUpperText(baseName(values));
  if (token == "%filename[l]%") return toLowerText(baseName(values));
  if (token == "%filename[t]%") return toTitleText(baseName(values));
  if (token == "%ext%") return values.extension;
  if (token == "%ext[u]%") return toUpperText(values.extension);
  if (token == "%ext[t]%") return toTitleText(values.extension);
  if (token == "%bpp%") return std::to_string(values.bpp);
  if (token == "%width%") return std::to_string(values.width);
  if (token == "%height%") return std::to_string(values.height);
  if (token == "%frame%") return std::to_string(values.frame);
  if (token == "%rnd%") return padded(values.randomNumber, 5);
  // Counters past 99999 keep every digit, so file 100000 never takes the
  // name of file 10000.
  if (token == "%n%") return padded(values.counter, 5);
  if (token == "%mip%") return std::to_string(values.surface.mip);
  if (token == "%face%") return std::string(ddsFaceName(values.surface.face));
  if (token == "%layer%") return std::to_string(values.surface.layer);
  const LocalDateTime now = localDateTime();
  if (token == "%yyyy%") return padded(now.year, 4);
  if (token == "%mm%") return padded(now.month, 2);
  if (token == "%dd%") return padded(now.day, 2);
  if (token == "%hh%") return padded(now.hour, 2);
  if (token == "%ii%") return padded(now.minute, 2);
  if (token == "%ss%") return padded(now.second, 2);
  return std::string(token);
}

// The surface tokens are text like any other unless their option exports
// that kind, so a run without --mipmaps, --faces or --layers names and
// draws exactly as before those options existed.
bool tokenInUse(std::string_view token, const SurfaceTokens& inUse) {
  if (token == "%mip%") return inUse.allMips;
  if (token == "%face%") return inUse.allFaces;
  if (token == "%layer%") return inUse.allLayers;
  return true;
}

// When several surfaces of a kind are exported and the mask does not name
// that kind, the name says it before the extension: "_layer<N>", "_<face>",
// "_mip<N>", in that order ("a.png" -> "a_layer2_negz_mip1.png").
std::string withSurfaceSuffix(const std::string& mask, const NameTokenValues& values) {
  std::string suffix;
  if (values.severalLayers && mask.find("%layer%") == std::string::npos) {
    suffix += "_layer" + std::to_string(values.surface.layer);
  }
  if (values.severalFaces && mask.find("%face%") == std::string::npos) {
    suffix += "_" + std::string(ddsFaceName(values.surface.face));
  }
  if (values.severalMips && mask.find("%mip%") == std::string::npos) {
    suffix += "_mip" + std::to_string(values.surface.mip);
  }
  if (suffix.empty()) return mask;
  const size_t nameStart = mask.rfind(kPathSeparator);
  const size_t dot = mask.rfind('.');
  const bool hasExtension =
      dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart);
  std::string named = mask;
  named.insert(hasExtension ? dot : named.size(), suffix);
  return named;
}

std::string expandToken(const std::string& text, std::string_view token,
                        const NameTokenValues& values) {
  return replaceAllIgnoringCase(text, std::string(token), tokenValue(token, values));
}

}  // namespace

// The mask is lowered as a whole, literal text included:
//   ""                            -> "photo.png"        (the default "%filename%.%ext%")
//   "%filename[u]%_%n%.%ext[u]%"  -> "PHOTO_00001.PNG"
//   "IMG_%filename%.%ext%"        -> "img_photo.png"
//   "%filename%_%face%_%mip%.%ext%" -> "sky_negx_2.png" (third level of the -X face,
//                                      with --faces=all --mipmaps=all)
std::string expandFilenameMask(const std::string& typedMask, const NameTokenValues& values) {
  std::string mask = toLowerText(typedMask);
  if (mask.empty()) mask = "%filename%.%ext%";
  mask = withSurfaceSuffix(mask, values);
  for (std::string_view token : kTokens) {
    if (tokenInUse(token, values.surfaceTokens) &&
        countIgnoringCase(mask, std::string(token)) > 0) {
      mask = expandToken(mask, token, values);
    }
  }
  return mask;
}

// Tokens are found in any letter case; the literal text keeps its own:
// "Size: %WIDTH%x%Height%" -> "Size: 640x480".
std::string expandWatermarkText(const std::string& typedText, const NameTokenValues& values) {
  if (countIgnoringCase(typedText, "%") < 2) return typedText;
  const std::string search = toLowerText(typedText);
  std::string text = typedText;
  for (std::string_view token : kTokens) {
    if (tokenInUse(token, values.surfaceTokens) && search.find(token) != std::string::npos) {
      text = expandToken(text, token, values);
    }
  }
  return text;
}

