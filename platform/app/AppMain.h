// The start of a program: the display connection, the application object, the program's own
// start-up (title, forms, Run) and the orderly end: forms freed, then the exit routines, while
// the display still exists.
#pragma once

#include <functional>

// Body runs with Application ready; the result is the program's exit code (0 unless Body
// returns otherwise or an exception escapes it, which is reported first).
int RunProgram(int argc, char** argv, const std::function<int()>& Body);
