// Start-up of a program before its own forms exist: shows one empty top-level window
// with the given caption and runs the event loop until it is closed.
#pragma once

#include <string>

int RunBootstrapWindow(int argc, char** argv, const std::string& Caption);
