// Runs the built program on a pseudo-terminal and with a closed output pipe,
// the two console situations the pipe-based process tests cannot show.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

class TerminalProgram {
 public:
  TerminalProgram(std::vector<std::string> arguments, const std::string& lockFolder) {
    std::string path = programPath();
    arguments.insert(arguments.begin(), path);
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_ = forkpty(&master_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      setenv("XDG_RUNTIME_DIR", lockFolder.c_str(), 1);
      execv(path.c_str(), argv.data());
      _exit(127);
    }
  }
  ~TerminalProgram() {
    if (pid_ > 0 && !ended_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) close(master_);
  }

  bool started() const { return pid_ > 0; }

  // Reads the terminal until its output holds text.
  bool waitFor(const std::string& text, int millis) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(millis);
    while (output_.find(text) == std::string::npos) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      struct pollfd p {master_, POLLIN, 0};
      if (poll(&p, 1, 50) <= 0) continue;
      char buffer[1024];
      ssize_t n = read(master_, buffer, sizeof(buffer));
      if (n <= 0) return false;
      output_.append(buffer, static_cast<size_t>(n));
    }
    return true;
  }

  // True once the program has switched the terminal to reading single keys,
  // so keys typed from now on reach its wait rather than the line editor.
  bool waitForKeyMode(int millis) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(millis);
    while (std::chrono::steady_clock::now() < deadline) {
      struct termios mode {};
      if (tcgetattr(master_, &mode) == 0 && !(mode.c_lflag & ICANON)) return true;
      waitFor("\x01never", 20);
    }
    return false;
  }

  void sendSignal(int signalNumber) { kill(pid_, signalNumber); }

  // True when the terminal reads whole lines with echo and signal keys, as a
  // shell expects to find it.
  bool inLineMode() {
    struct termios mode {};
    const tcflag_t lineFlags = ICANON | ECHO | ISIG;
    return tcgetattr(master_, &mode) == 0 && (mode.c_lflag & lineFlags) == lineFlags;
  }

  // The signal that ended the program within millis, or 0.
  int endedBySignalWithin(int millis) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(millis);
    while (std::chrono::steady_clock::now() < deadline) {
      waitFor("\x01never", 50);
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        ended_ = true;
        return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
      }
    }
    return 0;
  }

  void type(const std::string& keys) {
    ssize_t ignored = write(master_, keys.data(), keys.size());
    (void)ignored;
  }

  // The exit code once the program has ended within millis, or -1.
  int endedWithin(int millis) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(millis);
    while (std::chrono::steady_clock::now() < deadline) {
      waitFor("\x01never", 50);  // keeps draining the terminal
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        ended_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  int master_ = -1;
  bool ended_ = false;
  std::string output_;
};

}  // namespace

TEST(Terminal, PauseEndsOnlyOnAKeyThatCarriesACharacter) {
  TempDir lockFolder;
  TerminalProgram program({"-p", "-i"}, lockFolder.path());
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(program.waitFor("Error: Incorrect number of parameters", 20000));
  ASSERT_TRUE(program.waitForKeyMode(20000));
  program.type("\x1b[A");  // an arrow key sends an escape sequence only
  EXPECT_EQ(program.endedWithin(500), -1);
  program.type("k");
  EXPECT_EQ(program.endedWithin(20000), 0);
}

TEST(Terminal, CtrlCAtThePauseIsAKeyAndEndsNormally) {
  TempDir lockFolder;
  TerminalProgram program({"-p", "-i"}, lockFolder.path());
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(program.waitFor("Error: Incorrect number of parameters", 20000));
  ASSERT_TRUE(program.waitForKeyMode(20000));
  program.type("\x03");
  EXPECT_EQ(program.endedWithin(20000), 0);
}

TEST(Terminal, ASignalDuringThePauseRestoresTheTerminal) {
  for (int signalNumber : {SIGTERM, SIGHUP}) {
    TempDir lockFolder;
    TerminalProgram program({"-p", "-i"}, lockFolder.path());
    ASSERT_TRUE(program.started());
    ASSERT_TRUE(program.inLineMode());
    ASSERT_TRUE(program.waitFor("Error: Incorrect number of parameters", 20000));
    ASSERT_TRUE(program.waitForKeyMode(20000));
    program.sendSignal(signalNumber);
    EXPECT_EQ(program.endedBySignalWithin(20000), signalNumber);
    EXPECT_TRUE(program.inLineMode()) << "signal " << signalNumber;
  }
}

TEST(Terminal, AClosedOutputPipeDoesNotKillTheProgram) {
  TempDir lockFolder;
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  close(fds[0]);  // nobody will read the output
  std::string path = programPath();
  pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], 1);
    close(fds[1]);
    setenv("XDG_RUNTIME_DIR", lockFolder.path().c_str(), 1);
    execl(path.c_str(), path.c_str(), "-h", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
}
