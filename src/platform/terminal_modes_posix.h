#pragma once

#include <termios.h>

// Names the terminal modes of standard input to restore if SIGINT, SIGTERM,
// SIGHUP or SIGQUIT ends the process (nullptr: nothing to restore). Set while
// the terminal is switched to raw mode, so a signal never leaves it that way.
void setPendingTerminalModes(const struct termios* modes);
