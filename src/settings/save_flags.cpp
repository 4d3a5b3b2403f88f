#include "settings/save_flags.h"

#include "formats/format_tables.h"
#include "settings/format_settings.h"

int32_t computeSaveFlags(const std::string& extension, const ConversionSettings& settings) {
  const OutputFormat* format = findOutputFormat(extension);
  if (!format) return 0;
  int32_t flags = format->baseSaveFlags;
  for (const FormatOptionRow& option : format->options) {
    flags |= option.saveFlags(formatOptionValue(settings, option.option));
  }
  return flags;
}
