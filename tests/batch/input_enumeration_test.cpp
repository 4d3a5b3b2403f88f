#include "batch/input_enumeration.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "platform/files.h"
#include "support/temp_dir.h"

using namespace std::string_literals;

namespace {

void writeFile(const std::string& path, const std::string& content = "DDS data") {
  ASSERT_TRUE(writeWholeFile(path, content)) << path;
}

// path -> subfolder of every listed entry.
std::map<std::string, std::string> listedFiles(const InputSet& inputs) {
  std::map<std::string, std::string> files;
  for (const InputEntry& entry : inputs.entries()) {
    if (entry.listed == 1) files[entry.path] = entry.subfolder;
  }
  return files;
}

InputSource folderJob(const std::string& folder) { return {folder, ""}; }

InputSource fileJob(const std::string& file) { return {"", file}; }

}  // namespace

TEST(RelativeSubfolder, IsTheRestOfTheFolderBelowTheRoot) {
  struct Case {
    const char* path;
    const char* root;
    const char* expected;
  } cases[] = {
      {"/in/a/b/x.dds", "/in/", "a/b/"},
      {"/in/x.dds", "/in/", ""},
      {"/other/x.dds", "/in/", ""},
      {"/in/x.dds", "", ""},
      {"", "/in/", ""},
      // The root's text appears again further down: only the leading one goes.
      {"/in/sub/in/x.dds", "/in/", "sub/in/"},
      {"/data/in/data/in/x.dds", "/data/in/", "data/in/"},
      // The root inside the path but not at its start is no subfolder.
      {"/backup/in/x.dds", "/in/", ""},
      // A sibling whose name starts with the root's last component.
      {"/input/x.dds", "/in/", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(relativeSubfolder(c.path, c.root), c.expected) << c.path << " below " << c.root;
  }
}

TEST(ListFile, EveryByteOrderMarkIsDecoded) {
  // "é/x.dds\n" in each encoding.
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"plain UTF-8", "\xC3\xA9/x.dds\n"s},
      {"UTF-8 mark", "\xEF\xBB\xBF\xC3\xA9/x.dds\n"s},
      {"UTF-16 LE", "\xFF\xFE\xE9\x00/\x00x\x00.\x00" "d\x00" "d\x00s\x00\n\x00"s},
      {"UTF-16 BE", "\xFE\xFF\x00\xE9\x00/\x00x\x00.\x00" "d\x00" "d\x00s\x00\n"s},
      {"UTF-32 LE",
       "\xFF\xFE\x00\x00\xE9\x00\x00\x00/\x00\x00\x00x\x00\x00\x00.\x00\x00\x00"
       "d\x00\x00\x00" "d\x00\x00\x00s\x00\x00\x00\n\x00\x00\x00"s},
      {"UTF-32 BE",
       "\x00\x00\xFE\xFF\x00\x00\x00\xE9\x00\x00\x00/\x00\x00\x00x\x00\x00\x00.\x00\x00\x00"
       "d\x00\x00\x00" "d\x00\x00\x00s\x00\x00\x00\n"s},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(decodeListText(c.bytes), "\xC3\xA9/x.dds\n") << c.name;
  }
}

TEST(ListFile, LinesAreSplitAtAnyLineEndAndTrimmedOfSpacesOnly) {
  const std::string text = "a.dds\r\n  b.dds  \r\tc.dds\n\n   \nd.dds";
  std::vector<std::string> expected = {"a.dds", "b.dds", "\tc.dds", "d.dds"};
  EXPECT_EQ(splitListLines(text), expected);
  EXPECT_TRUE(splitListLines("").empty());
  EXPECT_EQ(splitListLines("one\r\n"), std::vector<std::string>{"one"});
}

TEST(InputEnumeration, FolderTreeIsSearchedWithSubfoldersRecorded) {
  TempDir in;
  ASSERT_TRUE(createFolder(in.path() + "sub"));
  ASSERT_TRUE(createFolder(in.path() + "sub/deeper"));
  writeFile(in.path() + "x.DDS");
  writeFile(in.path() + "sub/y.dds");
  writeFile(in.path() + "sub/deeper/z.Dds");
  writeFile(in.path() + "sub/picture.png");
  writeFile(in.path() + "sub/empty.dds", "");
  writeFile(in.path() + "noextension");

  InputSet inputs;
  BatchProgress progress;
  EXPECT_EQ(importInputs(folderJob(in.path()), inputs, progress), 3);
  std::map<std::string, std::string> expected = {{in.path() + "x.DDS", ""},
                                                 {in.path() + "sub/y.dds", "sub/"},
                                                 {in.path() + "sub/deeper/z.Dds", "sub/deeper/"}};
  EXPECT_EQ(listedFiles(inputs), expected);
  EXPECT_EQ(progress.index, 3) << "top-level entries visited: x.DDS, noextension, sub";
}

TEST(InputEnumeration, FilesComeInNameOrderWithEachSubfolderInItsPlace) {
  // Subfolders are listed ahead on other threads; the order must not show it.
  TempDir in;
  std::vector<std::string> expected;
  for (const char* folder : {"a", "a/b", "c", "c/d", "c/d/e"}) createFolder(in.path() + folder);
  for (const char* file : {"a/1.dds", "a/b/2.dds", "a/c.dds", "b.dds", "c/d/e/3.dds", "c/f.dds", "d.dds"}) {
    writeFile(in.path() + file);
    expected.push_back(in.path() + file);
  }
  for (int i = 0; i < 40; ++i) {
    const std::string folder = "s" + std::to_string(10 + i) + "/";
    createFolder(in.path() + folder);
    writeFile(in.path() + folder + "t.dds");
    expected.push_back(in.path() + folder + "t.dds");
  }
  InputSet inputs;
  BatchProgress progress;
  EXPECT_EQ(importInputs(folderJob(in.path()), inputs, progress), 47);
  std::vector<std::string> found;
  for (const InputEntry& entry : inputs.entries()) found.push_back(entry.path);
  EXPECT_EQ(found, expected);
}

TEST(InputEnumeration, SymbolicLinkCycleIsSearchedOnce) {
  TempDir in;
  ASSERT_TRUE(createFolder(in.path() + "a"));
  writeFile(in.path() + "a/x.dds");
  ASSERT_EQ(symlink("..", (in.path() + "a/up").c_str()), 0);
  ASSERT_EQ(symlink(".", (in.path() + "a/self").c_str()), 0);

  InputSet inputs;
  BatchProgress progress;
  EXPECT_EQ(importInputs(folderJob(in.path()), inputs, progress), 1);
  EXPECT_EQ(listedFiles(inputs).count(in.path() + "a/x.dds"), 1u);
  // The scan adds paths without looking them up; a lookup afterwards still
  // finds them.
  EXPECT_EQ(inputs.findOrCreate(in.path() + "a/x.dds").listed, 1);
  EXPECT_EQ(inputs.entries().size(), 1u);
}

TEST(InputEnumeration, FolderWithoutImagesOrUnreadableAddsNothing) {
  TempDir in;
  writeFile(in.path() + "a.png");
  InputSet inputs;
  BatchProgress progress;
  EXPECT_EQ(importInputs(folderJob(in.path()), inputs, progress), 0);
  EXPECT_EQ(importInputs(folderJob(in.path() + "missing/"), inputs, progress), 0);
  EXPECT_TRUE(inputs.entries().empty());
}

TEST(InputEnumeration, SingleFileIsAddedWithoutSubfolder) {
  TempDir in;
  writeFile(in.path() + "one.dds");
  InputSet inputs;
  BatchProgress progress;
  EXPECT_EQ(importInputs(fileJob(in.path() + "one.dds"), inputs, progress), 1);
  EXPECT_EQ(listedFiles(inputs), (std::map<std::string, std::string>{{in.path() + "one.dds", ""}}));
}

TEST(InputEnumeration, ListFileCountsEachFileOnce) {
  TempDir in;
  ASSERT_TRUE(createFolder(in.path() + "folder"));
  ASSERT_TRUE(createFolder(in.path() + "folder/nested"));
  writeFile(in.path() + "a.dds");
  writeFile(in.path() + "b.dds");
  writeFile(in.path() + "folder/c.dds");
  writeFile(in.path() + "folder/nested/d.dds");
  const std::string list = "\xEF\xBB\xBF" + in.path() + "a.dds\r\n" +  // once
                           in.path() + "a.dds\n" +                     // duplicate
                           "   " + in.path() + "b.dds   \n" +          // spaces trimmed
                           "\t" + in.path() + "a.dds\n" +              // a tab names nothing
                           in.path() + "missing.dds\n" +               // nothing there
                           in.path() + "folder\n" +                    // a folder, no "/"
                           in.path() + "folder/c.dds\n";               // already found
  writeFile(in.path() + "list.TXT", list);

  InputSet inputs;
  BatchProgress progress;
  EXPECT_EQ(importInputs(fileJob(in.path() + "list.TXT"), inputs, progress), 4);
  std::map<std::string, std::string> expected = {{in.path() + "a.dds", ""},
                                                 {in.path() + "b.dds", ""},
                                                 {in.path() + "folder/c.dds", ""},
                                                 {in.path() + "folder/nested/d.dds", ""}};
  EXPECT_EQ(listedFiles(inputs), expected);
}

TEST(InputEnumeration, Utf16ListFileNamesNonAsciiFiles) {
  TempDir in;
  const std::string name = in.path() + "\xC3\xA9t\xC3\xA9.dds";  // "été.dds"
  writeFile(name);
  std::string list = "\xFF\xFE"s;
  for (unsigned char c : in.path()) list += std::string{static_cast<char>(c), '\0'};
  list += "\xE9\x00t\x00\xE9\x00.\x00" "d\x00" "d\x00s\x00\r\x00\n\x00"s;
  writeFile(in.path() + "list.lst", list);

  InputSet inputs;
  BatchProgress progress;
  EXPECT_EQ(importInputs(fileJob(in.path() + "list.lst"), inputs, progress), 1);
  EXPECT_EQ(listedFiles(inputs).count(name), 1u);
}

TEST(InputEnumeration, StoppedPhaseAddsNothingMore) {
  TempDir in;
  writeFile(in.path() + "a.dds");
  InputSet inputs;
  BatchProgress progress;
  InputScanner scanner(in.path(), inputs, progress);
  progress.running = 0;
  scanner.scanInputFolder();
  EXPECT_EQ(progress.count, 0);
  EXPECT_TRUE(inputs.entries().empty());
}
