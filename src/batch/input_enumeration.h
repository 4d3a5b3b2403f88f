#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch_progress.h"
#include "batch/folder_listings.h"
#include "batch/input_set.h"
#include "platform/files.h"

// What the command line named as input, once validated: a folder (ending in
// "/"), or else one file, which may be a list file ("txt"/"lst").
struct InputSource {
  std::string folder;
  std::string file;  // used when folder is empty
};

// Builds the input set: one file, the files a list file names, or a folder
// with all its subfolders. Folder scans and list
// files run on a phase thread; a single file is added on the calling thread.
// Returns the number of files added.
int32_t importInputs(const InputSource& source, InputSet& inputs, BatchProgress& progress);

// Adds files below one input root to an input set. Every folder is searched
// once per scan, however many symbolic links lead to it, so link cycles end.
class InputScanner {
 public:
  // inputRoot is the validated input folder (ending in "/"), or empty for
  // list and single-file input, whose files then have no subfolder.
  InputScanner(std::string inputRoot, InputSet& inputs, BatchProgress& progress);

  // Adds path when it is a non-empty file with an accepted extension (any
  // letter case) that is not in the set yet. Returns 1 when added, else 0.
  // known: the file's stamp when its listing already took it.
  int32_t addFile(const std::string& path, const FileStamp* known = nullptr);

  // Files added below folder (ending in "/"), depth first.
  int32_t scanFolderTree(const std::string& folder);

  // Phase body for folder input: the top level of the input root, publishing
  // each visited entry; adds its total to the progress count.
  void scanInputFolder();

  // Phase body for list input: each line names a file or a folder.
  void readListFile(const std::string& listFile);

 private:
  void askForSubfolders(const std::string& folder, const std::vector<FolderEntry>& entries);

  std::string root_;
  InputSet& inputs_;
  BatchProgress& progress_;
  std::vector<std::string> acceptedExtensions_;
  std::set<FolderIdentity> visitedFolders_;
  FolderListings* listings_ = nullptr;  // lists subfolders ahead during a folder scan
  // The scan of the one input folder: it meets each path once (a folder
  // reached twice is not entered again), so paths are not looked up.
  bool pathsUnique_ = false;
};

// The folder of path relative to root, ending in "/": the rest of the folder
// part when it begins with root, otherwise empty. For root "/in/",
// "/in/a/b/x.dds" gives "a/b/" and "/in/x.dds" or "/other/x.dds" give "".
std::string relativeSubfolder(const std::string& path, const std::string& root);

// List-file bytes as UTF-8 text: a UTF-8 mark is skipped, UTF-16 and UTF-32
// (either byte order) are decoded by their mark, anything else is UTF-8.
std::string decodeListText(std::string_view bytes);

// The lines of a list (ended by CR, LF or CR LF), each without leading and
// trailing spaces; tabs are kept. Empty lines are dropped.
std::vector<std::string> splitListLines(std::string_view text);
