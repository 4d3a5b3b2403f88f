#include "pipeline/pipeline_test_support.h"

#include "formats/format_tables.h"
#include "pipeline/convert_file.h"
#include "settings/save_flags.h"

ConversionSetup makeSetup(const std::string& extension, const std::string& inputFile,
                          const std::string& outputFolder) {
  ConversionSetup setup;
  resetSettings(setup.settings, true);
  resetJob(setup.job);
  setup.job.conversion = extension;
  setup.job.currentFile = inputFile;
  setup.job.outputFolder = outputFolder;
  setup.job.currentSubfolder = "";
  prepareJob(setup);
  return setup;
}

void prepareJob(ConversionSetup& setup, int32_t requestedBpp) {
  const OutputFormat* format = findOutputFormat(setup.job.conversion);
  setup.job.outputFormatCode = format ? format->code : 0;
  setup.job.saveFlags = computeSaveFlags(setup.job.conversion, setup.settings);
  setup.job.requestedBpp = requestedBpp;
  setup.job.autoBpp = requestedBpp == 0 ? 1 : 0;
}

Rgba quadrantPixel(int x, int y, int width, int height) {
  const bool right = x >= width / 2;
  const bool bottom = y >= height / 2;
  if (!right && !bottom) return Rgba{255, 0, 0, 255};     // top left: red
  if (right && !bottom) return Rgba{0, 255, 0, 255};      // top right: green
  if (!right && bottom) return Rgba{0, 0, 255, 255};      // bottom left: blue
  return Rgba{255, 255, 255, 128};                        // bottom right: white, half alpha
}
