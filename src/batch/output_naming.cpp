#include "batch/output_naming.h"

std::string stripExtension(const std::string& name) { return name; }

std::string expandToken(const std::string& text, std::string_view /*token*/,
                        const ConversionJob& /*job*/) {
  return text;
}

std::string expandFilenameMask(const ConversionSettings& settings, const ConversionJob& /*job*/) {
  return settings.filenameMask;
}

std::string expandWatermarkText(const ConversionSettings& settings, const ConversionJob& /*job*/) {
  return settings.wmText;
}

std::string makeOutputPath(const ConversionSettings& settings, const ConversionJob& job) {
  return job.outputFolder + expandFilenameMask(settings, job);
}
