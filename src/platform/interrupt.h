#pragma once

#include <string>

// Removes the temporary output file being written, and restores the terminal
// when it waits for a key in raw mode, when the process is ended by SIGINT,
// SIGTERM, SIGHUP or SIGQUIT, so no partly written file survives under any
// name. SIGXFSZ is ignored: a write past the file-size limit fails instead.
void installInterruptCleanup();

// Names the temporary file that is being written now (empty: none).
void setPendingTemporaryFile(const std::string& path);

// Makes a terminating signal end the process with this exit status, after the
// same cleanup, instead of by the signal itself: for runs whose caller asked
// for an exit status that tells how the run went (a stopped run is status 1).
void setInterruptExitStatus(int status);

// Ends the process at once with this exit status, after the cleanup a
// terminating signal gets (no temporary output file survives, the terminal
// is restored): for a fault the run cannot go on after, met in any thread.
[[noreturn]] void endProcessAfterCleanup(int status);
