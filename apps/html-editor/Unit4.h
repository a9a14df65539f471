// The HTML viewer window opened from the find-file window: it shows the page chosen there, frames
// and all, each time it becomes active, and can hand that page to the editor. Made at start-up
// from its stored description.
#pragma once

#include "html-engine/FrameView.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"

class TForm4 : public TForm {
public:
    using TForm::TForm;
    TFrameViewer* Viewer = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    void FormActivate(TObject* Sender);
    void Open1Click(TObject* Sender);
    void Exit1Click(TObject* Sender);
    void AboutTamselPro1Click(TObject* Sender);
    void AboutHTMLViewer1Click(TObject* Sender);
};
TW_LINK_CLASS(TForm4);

extern TForm4* Form4;
