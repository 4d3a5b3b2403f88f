#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Messages the image libraries report while a file is converted. FreeImage
// calls one process-wide handler; it only records the message for the thread
// that caused it, so a bad file fails on its own and the batch goes on.

// Installs the FreeImage message handler and libtiff's error and warning
// handlers, so no library writes to standard error (later calls do nothing).
void installLibraryMessageHandler();

// Records a message for the calling thread, as the handler does.
void recordLibraryMessage(const std::string& message);

// Number of messages recorded on this thread and not yet taken; a step
// compares it before and after a library call to see whether it reported.
size_t pendingLibraryMessageCount();

// Hands over and forgets libtiff's errors on this thread. They are kept apart
// from the record: FreeImage sets a tag libtiff does not know for LogLuv files
// and libtiff calls that an error, yet the file is sound. A TIFF save that
// fails records them as its explanation; one that succeeds drops them.
std::vector<std::string> takeTiffErrors();

// Hands over and forgets the messages of this thread.
std::vector<std::string> takeThreadLibraryMessages();
