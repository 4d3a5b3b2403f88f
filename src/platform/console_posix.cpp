#include "platform/console.h"

#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <string>

#include "platform/terminal_modes_posix.h"

namespace {

bool writeAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool moreInputWithin(int fd, int millis) {
  struct pollfd p {fd, POLLIN, 0};
  return poll(&p, 1, millis) > 0;
}

class StandardConsole : public Console {
 public:
  void printLine(std::string_view text) override {
    std::lock_guard<std::mutex> hold(mutex_);
    std::string line(text);
    line += "\r\n";
    // On a shared terminal the report line takes the status line's place and
    // the status is drawn again below it.
    if (!status_.empty()) writeAll(STDERR_FILENO, kEraseLine);
    writeAll(STDOUT_FILENO, line);
    if (!status_.empty()) writeAll(STDERR_FILENO, kEraseLine + status_);
  }

  void printNotice(std::string_view text) override {
    std::lock_guard<std::mutex> hold(mutex_);
    writeAll(STDERR_FILENO, std::string(text) + "\n");
  }

  int statusColumns() override {
    if (!isatty(STDERR_FILENO)) return 0;
    struct winsize size {};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return 80;
    return size.ws_col;
  }

  void showStatus(std::string_view line) override {
    std::lock_guard<std::mutex> hold(mutex_);
    status_ = line;
    writeAll(STDERR_FILENO, kEraseLine + status_);
  }

  void clearStatus() override {
    std::lock_guard<std::mutex> hold(mutex_);
    if (status_.empty()) return;
    status_.clear();
    writeAll(STDERR_FILENO, kEraseLine);
  }

  void setTitle(std::string_view title) override {
    if (!isatty(STDOUT_FILENO)) return;
    std::string escape = "\033]0;" + std::string(title) + "\007";
    writeAll(STDOUT_FILENO, escape);
  }

  void waitForKey() override {
    if (isatty(STDIN_FILENO)) {
      waitForTerminalKey();
    } else {
      waitForInput();
    }
  }

 private:
  // One character or the end of input; a closed or unreadable standard input
  // ends the wait too, so a run without a terminal never hangs here.
  static void waitForInput() {
    for (;;) {
      char c;
      ssize_t n = read(STDIN_FILENO, &c, 1);
      if (n >= 0) return;
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        struct pollfd p {STDIN_FILENO, POLLIN, 0};
        if (poll(&p, 1, -1) < 0 && errno != EINTR) return;
        continue;
      }
      return;
    }
  }

  // Raw mode so a single key ends the wait; keys that only send an escape
  // sequence (arrows, function keys) carry no character and are skipped.
  // Signal keys are switched off too: Ctrl+C is an ordinary key here, so the
  // terminal is always restored, and a signal sent by another process restores
  // it before the process ends.
  static void waitForTerminalKey() {
    struct termios saved {};
    if (tcgetattr(STDIN_FILENO, &saved) != 0) return;
    setPendingTerminalModes(&saved);
    struct termios raw = saved;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ISIG));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    for (;;) {
      unsigned char c;
      ssize_t n = read(STDIN_FILENO, &c, 1);
      if (n <= 0) break;
      if (c == 0x1B && moreInputWithin(STDIN_FILENO, 30)) {
        while (moreInputWithin(STDIN_FILENO, 5) && read(STDIN_FILENO, &c, 1) > 0) {
        }
        continue;
      }
      break;
    }
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    setPendingTerminalModes(nullptr);
  }

  // Back to the line's start, then erase to its end.
  inline static const std::string kEraseLine = "\r\033[K";

  std::mutex mutex_;
  std::string status_;  // the status line on display, empty when none
};

}  // namespace

std::unique_ptr<Console> openStandardConsole() {
  // A reader that went away (pellucidcmd -h | head -1) must not end the
  // program with a signal: the write fails and the program goes on.
  signal(SIGPIPE, SIG_IGN);
  return std::make_unique<StandardConsole>();
}
