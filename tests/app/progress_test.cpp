// The progress line: drawn on standard error when that is a terminal, never
// touching standard output.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include "batch/progress_line.h"
#include "platform/files.h"
#include "support/dds_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

struct Streams {
  std::string out;
  std::string err;
};

// Runs the program in folder with standard output on a pipe and standard
// error on a terminal `columns` wide.
Streams runWithTerminalError(std::vector<std::string> arguments, const std::string& folder,
                             int columns) {
  Streams streams;
  int master = -1;
  int slave = -1;
  struct winsize size {};
  size.ws_col = static_cast<unsigned short>(columns);
  size.ws_row = 24;
  int out[2];
  if (openpty(&master, &slave, nullptr, nullptr, &size) != 0 || pipe(out) != 0) return streams;
  std::string path = programPath();
  arguments.insert(arguments.begin(), path);
  std::vector<char*> argv;
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  TempDir lockFolder;
  pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    dup2(slave, 2);
    for (int fd : {out[0], out[1], master, slave}) close(fd);
    if (chdir(folder.c_str()) != 0) _exit(127);
    setenv("XDG_RUNTIME_DIR", lockFolder.path().c_str(), 1);
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  close(out[1]);
  close(slave);
  struct pollfd fds[2] = {{out[0], POLLIN, 0}, {master, POLLIN, 0}};
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    if (poll(fds, 2, 60000) <= 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      ssize_t n = read(fds[i].fd, buffer, sizeof(buffer));
      if (n <= 0) {  // a terminal whose last writer left reads EIO
        close(fds[i].fd);
        fds[i].fd = -1;
      } else {
        (i == 0 ? streams.out : streams.err).append(buffer, static_cast<size_t>(n));
      }
    }
  }
  for (const pollfd& p : fds) {
    if (p.fd >= 0) close(p.fd);
  }
  waitpid(pid, nullptr, 0);
  return streams;
}

}  // namespace

TEST(Progress, RedrawsOneLineOnATerminalAndLeavesStandardOutputAlone) {
  TempDir work;
  createFolder(work.path() + "in");
  createFolder(work.path() + "out");
  // Noise at the slowest compression on one worker keeps the batch busy for
  // many redraw ticks even on a fast machine.
  const std::string dds = buildUncompressedDds(1024, 1024, 32, kMasksA8R8G8B8, [](int x, int y) {
    uint32_t h = static_cast<uint32_t>(x) * 2654435761u ^ static_cast<uint32_t>(y) * 40503u;
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    return Rgba{static_cast<uint8_t>(h), static_cast<uint8_t>(h >> 8), static_cast<uint8_t>(h >> 16),
                255};
  });
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(writeBinaryFile(
        work.path() + "in/texture_with_a_rather_long_name_" + std::to_string(i) + ".dds", dds));
  }
  const std::vector<std::string> arguments = {"-i", "in", "-o", "out", "-c", "png",
                                              "--png-compression=zlib9", "--threads=1"};
  Streams shown = runWithTerminalError(arguments, work.path(), 60);
  const std::string erase = "\r\x1b[K";
  ASSERT_NE(shown.err.find("/20 files, "), std::string::npos) << shown.err;
  EXPECT_EQ(shown.err.substr(shown.err.size() - erase.size()), erase) << "erased at the end";
  size_t start = 0;
  while ((start = shown.err.find(erase, start)) != std::string::npos) {
    start += erase.size();
    size_t end = shown.err.find(erase, start);
    std::string line = shown.err.substr(start, end == std::string::npos ? end : end - start);
    EXPECT_LE(line.size(), 59u) << line;
    EXPECT_EQ(line.find('\n'), std::string::npos) << line;
  }

  ProgramResult piped = runProgramWith(arguments, "", work.path(), 120);
  EXPECT_EQ(piped.err, "");
  EXPECT_EQ(shown.out, piped.out) << "standard output is the same byte for byte";

  for (const char* off : {"--no-progress", "-q"}) {
    std::vector<std::string> quiet = arguments;
    quiet.push_back(off);
    EXPECT_EQ(runWithTerminalError(quiet, work.path(), 60).err, "") << off;
  }
}

TEST(ProgressLine, FitsTheTerminalAndEscapesTheName) {
  ProgressSnapshot snapshot{3, 300, 1500, "/in/a\nb\xff.dds"};
  EXPECT_EQ(progressLine(snapshot, 80), "3/300 files, 2.0 files/s, 2:29 left, /in/a\\nb\\xff.dds");
  EXPECT_EQ(progressLine(snapshot, 50), "3/300 files, 2.0 files/s, 2:29 left, /in/...f.dds");
  EXPECT_EQ(progressLine(snapshot, 20), "3/300 files, 2.0 fi");
  EXPECT_EQ(progressLine({0, 5, 0, "x.dds"}, 80), "0/5 files, -- files/s, -- left, x.dds");
  EXPECT_EQ(progressLine({1, 7201, 1000, "\xc3\xa9t\xc3\xa9.dds"}, 80),
            "1/7201 files, 1.0 files/s, 2:00:00 left, \xc3\xa9t\xc3\xa9.dds");
}
