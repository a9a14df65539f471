// The program's start-up: the units' own start-up steps in link order, the application's title
// and help file, and the windows, created once in their fixed order and kept until the end.
#pragma once

#include <vector>

// A unit's own start-up step.
struct TUnitStartup {
    const char* Name;
    void (*Run)();
};
// The steps of the units that have one, in link order.
const std::vector<TUnitStartup>& TamselUnitStartups();
// Runs them.
void RunUnitStartups();
// Title, help file and every window; the first window made becomes the main window.
void CreateTamselForms();
// What main runs once the display is up: start-up, then the message loop.
int TamselMain();
