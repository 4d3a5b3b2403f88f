#include "platform/process.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace {

std::string executablePath() {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (n <= 0) return std::string();
  return std::string(buffer, static_cast<size_t>(n));
}

}  // namespace

std::string programFolder() {
  std::string path = executablePath();
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "./";
  return path.substr(0, slash + 1);
}

std::string currentFolder() {
  char buffer[PATH_MAX];
  if (getcwd(buffer, sizeof(buffer)) == nullptr) return std::string();
  std::string folder(buffer);
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::string programBaseName() {
  std::string path = executablePath();
  std::string name = path.substr(path.rfind('/') + 1);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name.empty() ? "pellucidcmd" : name;
}

std::vector<std::string> commandLineParameters(int argc, char** argv) {
  std::vector<std::string> parameters;
  for (int i = 1; i < argc; ++i) {
    std::string text;
    for (const char* p = argv[i]; *p; ++p) {
      if (*p != '"') text.push_back(*p);
    }
    parameters.push_back(std::move(text));
  }
  return parameters;
}

int currentProcessId() { return static_cast<int>(getpid()); }

bool processIsRunning(int processId) {
  if (processId <= 0) return false;
  // EPERM: it exists but belongs to someone else.
  return kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM;
}
