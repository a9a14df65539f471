#include "apps/html-editor/TamselStartup.h"
#include "platform/app/AppMain.h"
#include "platform/rtl/SysUtils.h"

int main(int argc, char** argv)
{
    // First of all, so the settings file goes to the program's own settings directory.
    SetProgramName("tamsel");
    return RunProgram(argc, argv, [] { return TamselMain(); });
}
