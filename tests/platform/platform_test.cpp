#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <set>
#include <thread>

#include "platform/clock.h"
#include "platform/file_compare.h"
#include "platform/files.h"
#include "platform/lock.h"
#include "platform/process.h"
#include "support/dds_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

// Sets an environment variable for the lifetime of the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    const char* previous = getenv(name);
    hadPrevious_ = previous != nullptr;
    if (hadPrevious_) previous_ = previous;
    setenv(name, value.c_str(), 1);
    tzset();
  }
  ~ScopedEnvironment() {
    if (hadPrevious_) {
      setenv(name_, previous_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
    tzset();
  }

 private:
  const char* name_;
  bool hadPrevious_ = false;
  std::string previous_;
};

// Central European time without relying on installed zone files.
constexpr char kBerlin[] = "CET-1CEST,M3.5.0,M10.5.0/3";

}  // namespace

TEST(Clock, ConvertsLocalDatesWithTheZoneRules) {
  ScopedEnvironment zone("TZ", kBerlin);
  const int64_t winterUtc = 1704067200;  // 2024-01-01 00:00:00 UTC
  const int64_t summerUtc = 1719792000;  // 2024-07-01 00:00:00 UTC
  EXPECT_EQ(utcToLocalSeconds(winterUtc), winterUtc + 3600);
  EXPECT_EQ(utcToLocalSeconds(summerUtc), summerUtc + 7200);
  EXPECT_EQ(localToUtcSeconds(winterUtc + 3600), winterUtc);
  EXPECT_EQ(localToUtcSeconds(summerUtc + 7200), summerUtc);
  EXPECT_EQ(localToUtcSeconds(0), -3600);
  int64_t drift = localNowSeconds() - (static_cast<int64_t>(time(nullptr)) + 3600);
  EXPECT_TRUE(drift >= 0 && drift <= 3602) << drift;  // winter or summer offset, plus a tick
}

TEST(Files, ModifiedTimesAreLocalDateValues) {
  ScopedEnvironment zone("TZ", kBerlin);
  TempDir folder;
  std::string path = folder.path() + "a.txt";
  ASSERT_TRUE(writeWholeFile(path, "x"));
  const int64_t summerLocal = 1719792000 + 7200 + 123;  // 2024-07-01 02:02:03 local
  ASSERT_TRUE(setFileModifiedTime(path, summerLocal));
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtim.tv_sec, 1719792000 + 123);
  int64_t readBack = 0;
  ASSERT_TRUE(fileModifiedTime(path, &readBack));
  EXPECT_EQ(readBack, summerLocal);
  EXPECT_FALSE(fileModifiedTime(folder.path() + "missing", &readBack));
  EXPECT_FALSE(setFileModifiedTime(folder.path() + "missing", summerLocal));
}

TEST(Files, ReadsWritesListsAndRenames) {
  TempDir folder;
  const std::string& base = folder.path();
  std::string data("bin\0ary\xff", 8);
  ASSERT_TRUE(writeWholeFile(base + "b.bin", data));
  std::string read;
  ASSERT_TRUE(readWholeFile(base + "b.bin", &read));
  EXPECT_EQ(read, data);
  ASSERT_TRUE(readFilePrefix(base + "b.bin", 3, &read));
  EXPECT_EQ(read, "bin");
  EXPECT_EQ(fileSize(base + "b.bin"), 8);
  EXPECT_EQ(fileSize(base), 0);
  EXPECT_FALSE(readWholeFile(base, &read));
  EXPECT_FALSE(readWholeFile(base + "missing", &read));

  ASSERT_TRUE(createFolder(base + "sub"));
  EXPECT_FALSE(createFolder(base + "sub"));
  EXPECT_TRUE(isFolder(base + "sub"));
  ASSERT_TRUE(writeWholeFile(base + "a.txt", "new"));
  ASSERT_TRUE(writeWholeFile(base + "c.txt", "old"));
  ASSERT_TRUE(renameFile(base + "a.txt", base + "c.txt"));
  ASSERT_TRUE(readWholeFile(base + "c.txt", &read));
  EXPECT_EQ(read, "new");

  std::vector<FolderEntry> entries;
  ASSERT_TRUE(listFolder(base, &entries));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "b.bin");
  EXPECT_EQ(entries[1].name, "c.txt");
  EXPECT_EQ(entries[2].name, "sub");
  EXPECT_TRUE(entries[2].isFolder);
  EXPECT_FALSE(listFolder(base + "missing", &entries));
  EXPECT_TRUE(removeFile(base + "c.txt"));
  EXPECT_FALSE(pathExists(base + "c.txt"));
  EXPECT_TRUE(isAbsolutePath("/x"));
  EXPECT_FALSE(isAbsolutePath("x/y"));
  EXPECT_FALSE(isAbsolutePath("c:\\x"));
}

TEST(Files, AnUnnamedFileIsSeenOnlyOnceNamedAndNeverOverAnother) {
  TempDir folder;
  const std::string& base = folder.path();
  const auto bytes = [](std::string text) {
    return [text](ByteSink& sink) { return sink.write(text.data(), text.size()); };
  };
  const auto names = [&] {
    std::vector<FolderEntry> entries;
    listFolder(base, &entries);
    std::vector<std::string> found;
    for (const FolderEntry& entry : entries) found.push_back(entry.name);
    return found;
  };
  WriteFailure failure;
  UnnamedFile first, second, dropped;
  ASSERT_TRUE(writeUnnamedFile(base, bytes("first"), &first, &failure, true));
  ASSERT_TRUE(writeUnnamedFile(base, bytes("second"), &second, &failure, true));
  ASSERT_TRUE(writeUnnamedFile(base, bytes("dropped"), &dropped, &failure));
  EXPECT_TRUE(names().empty()) << "complete, but without names";

  ASSERT_TRUE(nameUnnamedFile(first, base + "a", &failure));
  EXPECT_FALSE(nameUnnamedFile(second, base + "a", &failure));
  EXPECT_TRUE(failure.pathTaken);
  // One that cannot take its name can be written again from its bytes;
  // once named, its descriptor is gone (and likely given to the next file
  // opened), and what was taken from it reads nothing.
  ASSERT_TRUE(writeNewFileFrom(base + "c", unnamedFileBytes(second), &failure));
  const ByteSource taken = unnamedFileBytes(second);
  ASSERT_TRUE(nameUnnamedFile(second, base + "b", &failure));
  const int reused = open((base + "a").c_str(), O_RDONLY | O_CLOEXEC);
  EXPECT_FALSE(writeNewFileFrom(base + "d", taken, &failure));
  close(reused);
  dropped = UnnamedFile{};
  EXPECT_EQ(names(), (std::vector<std::string>{"a", "b", "c"}));
  std::string read;
  ASSERT_TRUE(readWholeFile(base + "a", &read));
  EXPECT_EQ(read, "first");
  ASSERT_TRUE(readWholeFile(base + "b", &read));
  EXPECT_EQ(read, "second");
  ASSERT_TRUE(readWholeFile(base + "c", &read));
  EXPECT_EQ(read, "second");
  EXPECT_FALSE(writeUnnamedFile(base + "missing/", bytes("x"), &first, &failure));
}

TEST(Files, ComparesFilesWithFilesAndWithBytesInMemory) {
  TempDir folder;
  const std::string a = folder.path() + "a", b = folder.path() + "b", c = folder.path() + "c";
  // Past one piece of comparison, differing only in the last byte.
  std::string large(300 << 10, 'x');
  ASSERT_TRUE(writeWholeFile(a, large));
  ASSERT_TRUE(writeWholeFile(b, large));
  large.back() = 'y';
  ASSERT_TRUE(writeWholeFile(c, large));
  EXPECT_TRUE(sameFileBytes(a, b));
  EXPECT_FALSE(sameFileBytes(a, c));
  EXPECT_TRUE(fileHoldsBytes(c, large));
  EXPECT_FALSE(fileHoldsBytes(a, large));
  EXPECT_FALSE(fileHoldsBytes(a, std::string_view(large).substr(1))) << "a shorter file";
  EXPECT_FALSE(fileHoldsBytes(folder.path() + "missing", ""));
  EXPECT_FALSE(fileHoldsBytes(folder.path(), "")) << "a folder is not a file";
}

TEST(Process, NamesTheProgramAndDropsQuotesFromParameters) {
  EXPECT_EQ(programBaseName(), "pellucid_test");
  std::string folder = programFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(isFolder(folder));

  std::string args[] = {"prog", "--wm-text=\"Hi\"", "\"", "plain"};
  char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data()};
  EXPECT_EQ(commandLineParameters(4, argv),
            (std::vector<std::string>{"--wm-text=Hi", "", "plain"}));
  EXPECT_TRUE(commandLineParameters(1, argv).empty());
}

TEST(InstanceLock, ASecondHolderWaitsUntilTheFirstLetsGo) {
  TempDir folder;
  ScopedEnvironment runtime("XDG_RUNTIME_DIR", folder.path());
  std::string error;
  auto first = acquireInstanceLock("Lock Test 1.0", nullptr, &error);
  ASSERT_NE(first, nullptr) << error;
  EXPECT_NE(acquireInstanceLock("Other Name", [] { ADD_FAILURE() << "waited"; }, &error), nullptr);
  std::atomic<int> waits{0};
  std::atomic<bool> taken{false};
  std::thread second([&] {
    std::string secondError;
    auto lock = acquireInstanceLock("Lock Test 1.0", [&] { ++waits; }, &secondError);
    taken = lock != nullptr;
  });
  while (waits == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_FALSE(taken);
  first.reset();
  second.join();
  EXPECT_TRUE(taken);
  EXPECT_EQ(waits, 1);
}

TEST(InstanceLock, SharedHoldersRunTogetherWhileALoneHolderWaitsForAll) {
  TempDir folder;
  ScopedEnvironment runtime("XDG_RUNTIME_DIR", folder.path());
  std::string error;
  auto noWait = [] { ADD_FAILURE() << "waited"; };
  auto first = acquireInstanceLock("Lock Test 1.0", noWait, &error, LockMode::kShared);
  auto second = acquireInstanceLock("Lock Test 1.0", noWait, &error, LockMode::kShared);
  ASSERT_NE(first, nullptr) << error;
  ASSERT_NE(second, nullptr) << error;
  std::atomic<int> waits{0};
  std::atomic<bool> taken{false};
  std::thread alone([&] {
    std::string aloneError;
    auto lock = acquireInstanceLock("Lock Test 1.0", [&] { ++waits; }, &aloneError);
    taken = lock != nullptr;
  });
  while (waits == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  first.reset();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(taken) << "one shared holder is still there";
  second.reset();
  alone.join();
  EXPECT_TRUE(taken);
}

TEST(InstanceLock, WithoutRuntimeFolderAPrivateFolderIsMadeAndChecked) {
  TempDir folder;
  ScopedEnvironment runtime("XDG_RUNTIME_DIR", "");
  ScopedEnvironment temporary("TMPDIR", folder.path());
  const std::string own = folder.path() + "pellucidcmd-" + std::to_string(geteuid());
  std::string error;
  EXPECT_NE(acquireInstanceLock("Lock Test 1.0", nullptr, &error), nullptr) << error;
  struct stat info {};
  ASSERT_EQ(lstat(own.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  // A link planted under that name is refused, never followed.
  ASSERT_EQ(unlink((own + "/Lock Test 1.0.lock").c_str()), 0);
  ASSERT_EQ(rmdir(own.c_str()), 0);
  ASSERT_TRUE(createFolder(folder.path() + "elsewhere"));
  ASSERT_EQ(symlink((folder.path() + "elsewhere").c_str(), own.c_str()), 0);
  EXPECT_EQ(acquireInstanceLock("Lock Test 1.0", nullptr, &error), nullptr);
  EXPECT_NE(error.find("not a private folder"), std::string::npos) << error;
}

TEST(Clock, RandomIntegersStayInRangeAndVary) {
  std::set<int32_t> seen;
  for (int i = 0; i < 2000; ++i) {
    int32_t value = randomInteger(1, 5);
    ASSERT_GE(value, 1);
    ASSERT_LE(value, 5);
    seen.insert(value);
  }
  EXPECT_EQ(seen.size(), 5u);
  EXPECT_EQ(randomInteger(7, 7), 7);
  int64_t start = monotonicMillis();
  EXPECT_GE(monotonicMillis(), start);
}

// The image libraries are opened when a run first calls them. The loader's
// own trace (LD_DEBUG=files, on standard error) names every library it maps;
// the conversions of the table show the trace sees those they use.
TEST(SharedLibrary, RunsThatConvertNothingNeverLoadTheImageLibraries) {
  TempDir dir;
  const std::string input = dir.path() + "a.dds";
  const auto pixel = [](int x, int y) { return Rgba{uint8_t(15 * x), uint8_t(15 * y), 90, 200}; };
  ASSERT_TRUE(writeBinaryFile(input, buildUncompressedDds(16, 16, 32, kMasksA8R8G8B8, pixel)));
  const std::string out = dir.path() + "out/";
  ASSERT_TRUE(createFolder(out));
  ScopedEnvironment trace("LD_DEBUG", "files");
  const std::set<std::string> kImageLibraries = {
      "libfreeimage.so", "libtiff.so", "libjpegxr.so", "libjxrglue.so", "libcairo.so",
      "libfontconfig.so", "libfreetype.so", "libpng16.so", "libjpeg.so", "libdeflate.so",
      "libisal.so", "libyuv.so"};
  struct Case {
    std::vector<std::string> arguments;
    std::set<std::string> loaded;  // at least these; none of them when empty
  } cases[] = {
      {{"-i", input, "--info"}, {}},
      {{"-i", dir.path() + "missing.dds", "-o", out, "-c", "png"}, {}},
      {{"-h"}, {}},
      {{"-i", input, "-o", out, "-c", "bogus"}, {}},
      {{"-i", input, "-o", out, "-c", "png", "--skip-unchanged"},
       {"libfreeimage.so", "libdeflate.so", "libisal.so", "libyuv.so"}},
      {{"-i", input, "-o", out, "-c", "png", "--skip-unchanged"}, {}},
      {{"-i", input, "-o", out, "-c", "jxr", "--wm-text=Hi"},
       {"libfreeimage.so", "libjxrglue.so", "libcairo.so", "libfontconfig.so", "libfreetype.so"}},
  };
  for (const Case& c : cases) {
    const ProgramResult result = runProgramWith(c.arguments);
    const std::string shown = c.arguments[c.arguments.size() - 1];
    ASSERT_EQ(result.exitCode, 0) << shown << result.out;
    for (const std::string& library : kImageLibraries) {
      const bool seen = result.err.find("file=" + library) != std::string::npos;
      if (c.loaded.empty()) {
        EXPECT_FALSE(seen) << shown << ": " << library;
      } else if (c.loaded.count(library)) {
        EXPECT_TRUE(seen) << shown << ": " << library;
      }
    }
  }
  EXPECT_TRUE(pathExists(out + "a.png"));
  EXPECT_TRUE(pathExists(out + "a.jxr"));
}

// A library that cannot be opened ends the run with one Error line naming
// it, a failure status and no output, rather than a crash.
TEST(SharedLibrary, AMissingLibraryEndsTheRunWithAnErrorLine) {
  TempDir dir;
  const std::string input = dir.path() + "a.dds";
  ASSERT_TRUE(writeBinaryFile(input, buildUncompressedDds(4, 4, 32, kMasksA8R8G8B8,
                                                          [](int, int) { return Rgba{}; })));
  ASSERT_TRUE(writeBinaryFile(dir.path() + "libfreeimage.so.3", "not a library"));
  ScopedEnvironment libraries("LD_LIBRARY_PATH", dir.path());
  const ProgramResult result = runProgramWith({"-i", input, "-o", dir.path(), "-c", "png"});
  EXPECT_EQ(result.exitCode, 1);
  const std::vector<std::string> lines = outputLines(result.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().rfind("Error: Unable to load libfreeimage.so.3: " + dir.path(), 0), 0u)
      << result.out;
  EXPECT_EQ(result.out.find("Error:"), result.out.rfind("Error:")) << result.out;
  EXPECT_FALSE(pathExists(dir.path() + "a.png"));
}
