#include "support/run_program.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "support/temp_dir.h"

std::string programPath() { return PELLUCIDCMD_PATH; }

namespace {

struct Spawned {
  pid_t pid = -1;
  int in = -1, out = -1, err = -1;
};

Spawned spawnProgram(const std::vector<std::string>& arguments, const std::string& workingFolder,
                     const std::string& lockFolder, uint64_t addressSpaceLimit = 0) {
  // A child that exits early must not kill the test with SIGPIPE when its
  // input is written.
  signal(SIGPIPE, SIG_IGN);
  Spawned spawned;
  int in[2], out[2], err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return spawned;
  std::string path = programPath();
  std::vector<std::string> copies = arguments;
  std::vector<char*> argv;
  argv.push_back(path.data());
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
    if (!workingFolder.empty() && chdir(workingFolder.c_str()) != 0) _exit(127);
    setenv("XDG_RUNTIME_DIR", lockFolder.c_str(), 1);
    if (addressSpaceLimit > 0) {
      struct rlimit limit {addressSpaceLimit, addressSpaceLimit};
      if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(126);
    }
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  spawned.pid = pid;
  spawned.in = in[1];
  spawned.out = out[0];
  spawned.err = err[0];
  return spawned;
}

int millisLeft(std::chrono::steady_clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return static_cast<int>(std::max<int64_t>(0, left.count()));
}

// Reads whatever is ready on out and err within waitMillis; closes and marks
// (-1) a descriptor at its end.
void readAvailable(int& out, int& err, ProgramResult& result, int waitMillis) {
  struct pollfd fds[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
  if (poll(fds, 2, waitMillis) <= 0) return;
  int* fd[2] = {&out, &err};
  for (int i = 0; i < 2; ++i) {
    if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    char buffer[4096];
    ssize_t n = read(fds[i].fd, buffer, sizeof(buffer));
    if (n <= 0) {
      close(*fd[i]);
      *fd[i] = -1;
    } else {
      (i == 0 ? result.out : result.err).append(buffer, static_cast<size_t>(n));
    }
  }
}

// Reads both outputs to their end and waits for the process, unless reaped
// already holds its status.
void collectUntilEnd(pid_t pid, int& out, int& err, ProgramResult& result, int timeoutSeconds,
                     const int* reapedStatus = nullptr) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  while (out >= 0 || err >= 0) {
    int left = millisLeft(deadline);
    if (left <= 0) {
      result.timedOut = true;
      if (reapedStatus == nullptr) kill(pid, SIGKILL);
      break;
    }
    readAvailable(out, err, result, left);
  }
  for (int* fd : {&out, &err}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
  int status = 0;
  if (reapedStatus != nullptr) {
    status = *reapedStatus;
  } else {
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    result.peakMemoryKb = usage.ru_maxrss;
  }
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

void writeInput(int fd, const std::string& text) {
  const char* p = text.data();
  size_t left = text.size();
  while (left > 0) {
    ssize_t n = write(fd, p, left);
    if (n <= 0) break;
    p += n;
    left -= static_cast<size_t>(n);
  }
}

}  // namespace

ProgramResult runProgramWith(const std::vector<std::string>& arguments,
                             const std::string& stdinText, const std::string& workingFolder,
                             int timeoutSeconds, const std::string& lockFolder,
                             uint64_t addressSpaceLimit) {
  TempDir ownLockFolder;
  Spawned child = spawnProgram(arguments, workingFolder,
                               lockFolder.empty() ? ownLockFolder.path() : lockFolder,
                               addressSpaceLimit);
  ProgramResult result;
  if (child.pid < 0) return result;
  writeInput(child.in, stdinText);
  close(child.in);
  collectUntilEnd(child.pid, child.out, child.err, result, timeoutSeconds);
  return result;
}

BackgroundProgram::BackgroundProgram(const std::vector<std::string>& arguments,
                                     const std::string& lockFolder,
                                     const std::string& workingFolder) {
  Spawned child = spawnProgram(arguments, workingFolder, lockFolder);
  pid_ = child.pid;
  stdin_ = child.in;
  stdout_ = child.out;
  stderr_ = child.err;
}

BackgroundProgram::~BackgroundProgram() {
  if (pid_ > 0 && !reaped_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  for (int fd : {stdin_, stdout_, stderr_}) {
    if (fd >= 0) close(fd);
  }
}

bool BackgroundProgram::waitForOutput(const std::string& text, int timeoutSeconds,
                                      bool standardError) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  const std::string& seen = standardError ? result_.err : result_.out;
  while (seen.find(text) == std::string::npos) {
    if ((standardError ? stderr_ : stdout_) < 0 || millisLeft(deadline) <= 0) return false;
    readAvailable(stdout_, stderr_, result_, millisLeft(deadline));
  }
  return true;
}

bool BackgroundProgram::running() {
  if (pid_ <= 0 || reaped_) return false;
  if (waitpid(pid_, &status_, WNOHANG) == pid_) reaped_ = true;
  return !reaped_;
}

void BackgroundProgram::sendSignal(int signalNumber) {
  if (pid_ > 0 && !reaped_) kill(pid_, signalNumber);
}

ProgramResult BackgroundProgram::finish(const std::string& input, int timeoutSeconds) {
  if (pid_ <= 0) return result_;
  if (stdin_ >= 0) {
    writeInput(stdin_, input);
    close(stdin_);
    stdin_ = -1;
  }
  collectUntilEnd(pid_, stdout_, stderr_, result_, timeoutSeconds, reaped_ ? &status_ : nullptr);
  pid_ = -1;
  return result_;
}

std::vector<std::string> outputLines(const std::string& out) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < out.size()) {
    size_t end = out.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "output does not end in CR LF: " << out.substr(start);
      lines.push_back(out.substr(start));
      break;
    }
    std::string line = out.substr(start, end - start);
    EXPECT_EQ(line.find('\n'), std::string::npos) << "bare LF inside line: " << line;
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}
