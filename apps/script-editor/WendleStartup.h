// The start-up of the script editor: the unit start-ups in link order, the application's title
// and help file, the five forms (the frame first), then the message loop.
#pragma once

#include <string>
#include <vector>

// One unit's start-up step.
struct TUnitStartup {
    std::string Unit;
    void (*Run)();
};
// The steps RunUnitStartups runs, in their order.
const std::vector<TUnitStartup>& UnitStartups();

// The unit start-ups alone (tests run them before building the frame).
void RunUnitStartups();
// Creates the program's forms in their order; the frame becomes the main form.
void CreateProgramForms();
// The whole program body: start-ups, forms, Application.Run. Returns the exit code.
int ProgramMain();
