#pragma once

// The whole program: start-up, the command line, and the run. Returns the
// process exit code, which is always 0.
int runProgram(int argc, char** argv);
