#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "pellucid-test-XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  path_ = std::string(made ? made : pattern.c_str()) + "/";
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}
