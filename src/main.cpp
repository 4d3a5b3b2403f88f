#include "app/main_driver.h"

int main(int argc, char** argv) { return runProgram(argc, argv); }
