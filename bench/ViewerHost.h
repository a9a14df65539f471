// A viewer on a shown form, for the benchmarks of the HTML view.
#pragma once

#include "html-engine/HtmlViewCtl.h"
#include "platform/app/Application.h"
#include "platform/controls/Forms.h"

#include <functional>

// Runs Body with a viewer of the given size on a shown form (the application is up).
inline void WithViewer(int Width, int Height, const std::function<void(THTMLViewer* Viewer)>& Body)
{
    auto* Form = new TForm(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, Width, Height);
    auto* Viewer = new THTMLViewer(Form);
    Viewer->SetParent(Form);
    Viewer->SetBounds(0, 0, Width, Height);
    Viewer->SetDefBackground(clWhite);
    Form->Show();
    Application->ProcessMessages();
    Body(Viewer);
    Form->BeforeDestruction();
    delete Form;
}
