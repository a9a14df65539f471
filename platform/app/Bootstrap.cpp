#include "platform/app/Bootstrap.h"

#include "platform/app/AppMain.h"
#include "platform/app/Application.h"

int RunBootstrapWindow(int argc, char** argv, const std::string& Caption)
{
    return RunProgram(argc, argv, [&] {
        TForm* Main = nullptr;
        Application->SetTitle(Caption);
        Application->CreateForm(&Main);
        Main->SetCaption(Caption);
        Main->SetBounds(0, 0, 800, 600);
        Main->SetPosition(poScreenCenter);
        Application->Run();
        return 0;
    });
}
