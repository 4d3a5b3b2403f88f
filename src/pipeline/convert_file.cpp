#include "pipeline/convert_file.h"

bool convertFile(const ConversionSettings& /*settings*/, ConversionJob& /*job*/,
                 const PipelineResources& /*resources*/) {
  return false;
}

int32_t computeSaveFlags(const std::string& /*extension*/, const ConversionSettings& /*settings*/) {
  return 0;
}

std::vector<std::string> takeLibraryMessages() { return {}; }
