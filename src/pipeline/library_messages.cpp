#include "pipeline/library_messages.h"

#include <FreeImage.h>

#include <mutex>

namespace {

thread_local std::vector<std::string> threadMessages;

void DLL_CALLCONV onLibraryMessage(FREE_IMAGE_FORMAT /*format*/, const char* message) {
  recordLibraryMessage(message ? message : "");
}

}  // namespace

// Once per process: the handler is one global of FreeImage, and workers
// converting side by side would otherwise all write it.
void installLibraryMessageHandler() {
  static std::once_flag once;
  std::call_once(once, [] { FreeImage_SetOutputMessage(onLibraryMessage); });
}

void recordLibraryMessage(const std::string& message) { threadMessages.push_back(message); }

size_t pendingLibraryMessageCount() { return threadMessages.size(); }

std::vector<std::string> takeThreadLibraryMessages() {
  std::vector<std::string> taken;
  taken.swap(threadMessages);
  return taken;
}
