#include "batch/output_naming.h"

#include <cstdio>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"

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

// The file name of currentFile without folder and last extension.
std::string baseName(const ConversionJob& job) {
  const size_t slash = job.currentFile.rfind(kPathSeparator);
  return stripExtension(slash == std::string::npos ? job.currentFile
                                                   : job.currentFile.substr(slash + 1));
}

std::string tokenValue(std::string_view token, const ConversionJob& job) {
  if (token == "%filename%") return baseName(job);
  if (token == "%filename[u]%") return toUpperText(baseName(job));
  if (token == "%filename[l]%") return toLowerText(baseName(job));
  if (token == "%filename[t]%") return toTitleText(baseName(job));
  if (token == "%ext%") return job.conversion;
  if (token == "%ext[u]%") return toUpperText(job.conversion);
  if (token == "%ext[t]%") return toTitleText(job.conversion);
  if (token == "%bpp%") return std::to_string(job.requestedBpp);
  if (token == "%width%") return std::to_string(job.imageWidth);
  if (token == "%height%") return std::to_string(job.imageHeight);
  if (token == "%frame%") return std::to_string(job.frameIndex);
  if (token == "%rnd%") return padded(job.randomNumber, 5);
  // Counters past 99999 keep every digit, so file 100000 never takes the
  // name of file 10000.
  if (token == "%n%") return padded(job.fileCounter, 5);
  if (token == "%mip%") return std::to_string(job.surface.mip);
  if (token == "%face%") return std::string(ddsFaceName(job.surface.face));
  if (token == "%layer%") return std::to_string(job.surface.layer);
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
bool tokenInUse(std::string_view token, const ConversionSettings& settings) {
  if (token == "%mip%") return settings.mipmaps == 1;
  if (token == "%face%") return settings.faces == 1;
  if (token == "%layer%") return settings.layers == 1;
  return true;
}

// When several surfaces of a kind are exported and the mask does not name
// that kind, the name says it before the extension: "_layer<N>", "_<face>",
// "_mip<N>", in that order ("a.png" -> "a_layer2_negz_mip1.png").
std::string withSurfaceSuffix(const std::string& mask, const ConversionJob& job) {
  std::string suffix;
  if (job.severalLayers && mask.find("%layer%") == std::string::npos) {
    suffix += "_layer" + std::to_string(job.surface.layer);
  }
  if (job.severalFaces && mask.find("%face%") == std::string::npos) {
    suffix += "_" + std::string(ddsFaceName(job.surface.face));
  }
  if (job.severalMips && mask.find("%mip%") == std::string::npos) {
    suffix += "_mip" + std::to_string(job.surface.mip);
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

}  // namespace

std::string stripExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (name.empty() || dot == std::string::npos) return name;
  return name.substr(0, dot);
}

std::string expandToken(const std::string& text, std::string_view token, const ConversionJob& job) {
  return replaceAllIgnoringCase(text, std::string(token), tokenValue(token, job));
}

// The mask is lowered as a whole, literal text included:
//   ""                            -> "photo.png"        (the default "%filename%.%ext%")
//   "%filename[u]%_%n%.%ext[u]%"  -> "PHOTO_00001.PNG"
//   "IMG_%filename%.%ext%"        -> "img_photo.png"
//   "%yyyy%/%filename%.%ext%"     -> "2024/photo.png"   (the folder must exist)
//   "%filename%_%face%_%mip%.%ext%" -> "sky_negx_2.png" (third level of the -X face,
//                                      with --faces=all --mipmaps=all)
std::string expandFilenameMask(const ConversionSettings& settings, const ConversionJob& job) {
  std::string mask = toLowerText(settings.filenameMask);
  if (mask.empty()) mask = "%filename%.%ext%";
  mask = withSurfaceSuffix(mask, job);
  for (std::string_view token : kTokens) {
    if (tokenInUse(token, settings) && countIgnoringCase(mask, std::string(token)) > 0) {
      mask = expandToken(mask, token, job);
    }
  }
  return mask;
}

// Tokens are found in any letter case; the literal text keeps its own:
// "Size: %WIDTH%x%Height%" -> "Size: 640x480".
std::string expandWatermarkText(const ConversionSettings& settings, const ConversionJob& job) {
  if (countIgnoringCase(settings.wmText, "%") < 2) return settings.wmText;
  const std::string search = toLowerText(settings.wmText);
  std::string text = settings.wmText;
  for (std::string_view token : kTokens) {
    if (tokenInUse(token, settings) && search.find(token) != std::string::npos) {
      text = expandToken(text, token, job);
    }
  }
  return text;
}

std::string makeOutputPath(const ConversionSettings& settings, const ConversionJob& job) {
  std::string path = job.outputFolder;
  if (settings.keepSubfolders) path += job.currentSubfolder;
  return path + expandFilenameMask(settings, job);
}
