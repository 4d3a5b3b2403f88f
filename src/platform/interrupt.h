#pragma once

#include <string>

// Removes the temporary output file being written, and restores the terminal
// when it waits for a key in raw mode, when the process is ended by SIGINT,
// SIGTERM, SIGHUP or SIGQUIT, so no partly written file survives under any
// name. SIGXFSZ is ignored: a write past the file-size limit fails instead.
void installInterruptCleanup();

// Names the temporary file that is being written now (empty: none).
void setPendingTemporaryFile(const std::string& path);
