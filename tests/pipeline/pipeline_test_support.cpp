#include "pipeline/pipeline_test_support.h"

ConversionSetup makeSetup(const std::string& extension, const std::string& inputFile,
                          const std::string& outputFolder) {
  ConversionSetup setup;
  resetSettings(setup.settings, true);
  setup.run.conversion = extension;
  setup.run.outputFolder = outputFolder;
  setup.job.currentFile = inputFile;
  setup.job.randomNumber = 1;
  return setup;
}

void prepareJob(ConversionSetup& setup, int32_t requestedBpp) { setup.requestedBpp = requestedBpp; }

Rgba quadrantPixel(int x, int y, int width, int height) {
  const bool right = x >= width / 2;
  const bool bottom = y >= height / 2;
  if (!right && !bottom) return Rgba{255, 0, 0, 255};     // top left: red
  if (right && !bottom) return Rgba{0, 255, 0, 255};      // top right: green
  if (!right && bottom) return Rgba{0, 0, 255, 255};      // bottom left: blue
  return Rgba{255, 255, 255, 128};                        // bottom right: white, half alpha
}
