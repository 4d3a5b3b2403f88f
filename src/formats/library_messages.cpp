#include "formats/library_messages.h"

#include <FreeImage.h>
#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <exception>

#include <mutex>

namespace {

thread_local std::vector<std::string> threadMessages;
thread_local std::vector<std::string> threadTiffErrors;

void DLL_CALLCONV onLibraryMessage(FREE_IMAGE_FORMAT /*format*/, const char* message) {
  recordLibraryMessage(message ? message : "");
}

std::string formatMessage(const char* module, const char* format, va_list arguments) {
  char text[1024];
  std::vsnprintf(text, sizeof(text), format ? format : "", arguments);
  return module && *module ? std::string(module) + ": " + text : std::string(text);
}

// libtiff, which FreeImage writes TIFF files with, would print its errors and
// warnings on standard error. Errors are held for the save to judge (see
// takeTiffErrors); warnings are dropped: libtiff warns on every file it
// writes with the Deflate compression (the older of its two codes), which is
// a good file.
void onTiffError(const char* module, const char* format, va_list arguments) {
  try {
    threadTiffErrors.push_back(formatMessage(module, format, arguments));
  } catch (const std::exception&) {
    // Nothing may leave a C callback; the out-of-memory mark stays.
  }
}

void onTiffWarning(const char*, const char*, va_list) {}

}  // namespace

// Once per process: the handlers are globals of the libraries, and workers
// converting side by side would otherwise all write them.
void installLibraryMessageHandler() {
  static std::once_flag once;
  std::call_once(once, [] {
    FreeImage_SetOutputMessage(onLibraryMessage);
    TIFFSetErrorHandler(onTiffError);
    TIFFSetWarningHandler(onTiffWarning);
    TIFFSetErrorHandlerExt(nullptr);
    TIFFSetWarningHandlerExt(nullptr);
  });
}

void recordLibraryMessage(const std::string& message) {
  // Called from inside C libraries, where nothing may throw. A message that
  // finds no memory is lost, but the allocator's out-of-memory mark fails
  // the file anyway.
  try {
    threadMessages.push_back(message);
  } catch (const std::exception&) {
  }
}

size_t pendingLibraryMessageCount() { return threadMessages.size(); }

std::vector<std::string> takeTiffErrors() {
  std::vector<std::string> taken;
  taken.swap(threadTiffErrors);
  return taken;
}

std::vector<std::string> takeThreadLibraryMessages() {
  std::vector<std::string> taken;
  taken.swap(threadMessages);
  return taken;
}
