#include "platform/app/AppMain.h"

#include "platform/app/Application.h"
#include "platform/graphics/ResourceCheck.h"
#include "platform/rtl/SysUtils.h"

#include <QApplication>

int RunProgram(int argc, char** argv, const std::function<int()>& Body)
{
    QApplication Display(argc, argv);
    TApplication* App = ApplicationInstance();
    int Result = 0;
    try {
        CheckResourceNames();
        Result = Body();
    } catch (...) {
        App->HandleException(App);
        Result = 1;
    }
    delete App;
    RunExitProcs();
    return Result;
}
