// Includes point down only: app -> settings -> batch -> pipeline -> formats ->
// platform. This reads every source file under src/ and fails on an include of
// a higher layer, so a shortcut upwards cannot slip in unnoticed.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const std::map<std::string, int> kLayerRank = {
    {"platform", 0}, {"formats", 1}, {"pipeline", 2}, {"batch", 3}, {"settings", 4}, {"app", 5},
};

struct UpwardInclude {
  std::string file;
  std::string header;
};

std::vector<UpwardInclude> upwardIncludes(const fs::path& sourceRoot,
                                          std::set<std::string>* layersSeen) {
  std::vector<UpwardInclude> found;
  const std::regex include(R"(^\s*#\s*include\s*"([^"/]+)/([^"]+)\")");
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(sourceRoot)) {
    if (!entry.is_regular_file()) continue;
    const std::string relative = fs::relative(entry.path(), sourceRoot).generic_string();
    const std::string layer = relative.substr(0, relative.find('/'));
    const auto own = kLayerRank.find(layer);
    if (own == kLayerRank.end()) continue;  // main.cpp may include anything
    layersSeen->insert(layer);
    std::ifstream in(entry.path());
    std::string line;
    while (std::getline(in, line)) {
      std::smatch match;
      if (!std::regex_search(line, match, include)) continue;
      const auto target = kLayerRank.find(match[1].str());
      if (target != kLayerRank.end() && target->second > own->second) {
        found.push_back({relative, match[1].str() + "/" + match[2].str()});
      }
    }
  }
  return found;
}

}  // namespace

TEST(Layering, NoIncludePointsUpALayer) {
  const fs::path sourceRoot = fs::path(PELLUCID_SOURCE_DIR) / "src";
  std::set<std::string> layersSeen;
  const std::vector<UpwardInclude> upward = upwardIncludes(sourceRoot, &layersSeen);
  EXPECT_EQ(layersSeen.size(), kLayerRank.size()) << "the scan must see every layer";
  for (const UpwardInclude& arrow : upward) {
    ADD_FAILURE() << arrow.file << " includes " << arrow.header << ", a higher layer";
  }
}

TEST(Layering, TheScanFindsAnUpwardInclude) {
  TempDir dir;
  const fs::path root = fs::path(dir.path()) / "src";
  const std::map<std::string, std::string> files = {
      {"pipeline/step.cpp", "#include \"pipeline/step.h\"\n  #  include \"settings/record.h\"\n"},
      {"formats/reader.h", "#include <vector>\n#include \"platform/files.h\"\n"},
      {"app/driver.cpp", "#include \"batch/run.h\"\n#include \"unknown/x.h\"\n"},
  };
  for (const auto& [name, text] : files) {
    fs::create_directories((root / name).parent_path());
    std::ofstream(root / name) << text;
  }
  std::set<std::string> layersSeen;
  const std::vector<UpwardInclude> upward = upwardIncludes(root, &layersSeen);
  ASSERT_EQ(upward.size(), 1u);
  EXPECT_EQ(upward[0].file, "pipeline/step.cpp");
  EXPECT_EQ(upward[0].header, "settings/record.h");
}
