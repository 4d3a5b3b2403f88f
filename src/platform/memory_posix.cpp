#include "platform/memory.h"

#include <cerrno>

void clearOutOfMemoryMark() { errno = 0; }

bool outOfMemoryMarked() { return errno == ENOMEM; }
