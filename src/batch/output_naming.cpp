#include "batch/output_naming.h"

// The mask may name folders below the output folder:
//   "%yyyy%/%filename%.%ext%"  -> "<output>/2024/photo.png"  (the folder must exist)
std::string makeOutputPath(const NamingRule& rule, const FileJob& file) {
  std::string path = rule.outputFolder;
  if (rule.keepSubfolders) path += file.currentSubfolder;
  return path +
         expandFilenameMask(rule.mask, tokenValuesOf(file, rule.extension, rule.surfaceTokens));
}
