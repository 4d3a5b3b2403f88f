#include "pipeline/library_messages.h"

#include <FreeImage.h>

namespace {

thread_local std::vector<std::string> threadMessages;

void DLL_CALLCONV onLibraryMessage(FREE_IMAGE_FORMAT /*format*/, const char* message) {
  recordLibraryMessage(message ? message : "");
}

}  // namespace

void installLibraryMessageHandler() { FreeImage_SetOutputMessage(onLibraryMessage); }

void recordLibraryMessage(const std::string& message) { threadMessages.push_back(message); }

size_t pendingLibraryMessageCount() { return threadMessages.size(); }

std::vector<std::string> takeThreadLibraryMessages() {
  std::vector<std::string> taken;
  taken.swap(threadMessages);
  return taken;
}
