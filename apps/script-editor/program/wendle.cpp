#include "apps/script-editor/WendleStartup.h"
#include "platform/app/AppMain.h"
#include "platform/rtl/SysUtils.h"

int main(int argc, char** argv)
{
    // First of all: settings, the registry and bare INI names live under this program's name.
    SetProgramName("wendle");
    return RunProgram(argc, argv, &ProgramMain);
}
