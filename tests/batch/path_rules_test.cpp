#include "batch/path_rules.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/temp_dir.h"

TEST(PathRules, ALastComponentWithAnExtensionNamesAFile) {
  struct Case {
    const char* path;
    const char* extension;
  } cases[] = {
      {"/in/a.dds", "dds"},
      {"a.DDS", "DDS"},
      {"/in/a.b.lst", "lst"},
      {"/tmp.old", "old"},         // a folder with a dot still reads as a file
      {"/tmp", ""},
      {"/in/", ""},
      {"/in.d/", ""},              // the last component is empty
      {"/in.d/sub", ""},
      {"/home/.profile", ""},      // a leading dot starts no extension
      {"/in/a.", ""},              // nothing after the dot
      {"/in/my.old photos", ""},   // a space after the dot
      {"x\\y.dds", "dds"},         // a backslash is an ordinary character here
      {".", ""},
      {"in/..", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pathExtension(c.path), c.extension) << c.path;
    EXPECT_EQ(namesFile(c.path), c.extension[0] != '\0') << c.path;
  }
}

TEST(PathRules, FolderPartKeepsTheTrailingSeparator) {
  EXPECT_EQ(folderPart("/in/sub/a.dds"), "/in/sub/");
  EXPECT_EQ(folderPart("sub/a.dds"), "sub/");
  EXPECT_EQ(folderPart("a.dds"), "");
  EXPECT_EQ(folderPart("/a.dds"), "/");
  EXPECT_EQ(withTrailingSeparator("/in"), "/in/");
  EXPECT_EQ(withTrailingSeparator("/in/"), "/in/");
}

TEST(PathRules, FoldersAreResolvedAgainstTheBaseFolder) {
  TempDir base;
  ASSERT_TRUE(createFolder(base.path() + "in"));
  struct Case {
    std::string typed;
    FolderCheck check;
    std::string result;  // on success
  } cases[] = {
      {"in", FolderCheck::kValid, base.path() + "in/"},
      {"./in", FolderCheck::kValid, base.path() + "in/"},
      {"in/", FolderCheck::kValid, base.path() + "in/"},
      {base.path() + "in", FolderCheck::kValid, base.path() + "in/"},
      {"../in", FolderCheck::kIncorrect, ""},
      {"..", FolderCheck::kIncorrect, ""},
      {"missing", FolderCheck::kMissing, ""},
      {base.path() + "missing/", FolderCheck::kMissing, ""},
  };
  for (const Case& c : cases) {
    std::string folder = c.typed;
    EXPECT_EQ(normalizeFolder(&folder, base.path()), c.check) << c.typed;
    if (c.check == FolderCheck::kValid) {
      EXPECT_EQ(folder, c.result) << c.typed;
    }
  }
  // A file is not a folder.
  ASSERT_TRUE(writeWholeFile(base.path() + "file", "x"));
  std::string file = "file";
  EXPECT_EQ(normalizeFolder(&file, base.path()), FolderCheck::kMissing);
}
