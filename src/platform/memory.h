#pragma once

// Memory exhaustion seen by the calling thread. A library that cannot
// allocate usually hands back nothing and says no more; the system allocator
// still leaves its mark (ENOMEM), which these two read. Clear it before a
// piece of work and ask after it, before other system calls overwrite it.
void clearOutOfMemoryMark();
bool outOfMemoryMarked();
