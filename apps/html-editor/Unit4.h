// The HTML viewer window opened from the find-file window. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"

class TForm4 : public TForm {
public:
    using TForm::TForm;
    TMainMenu* MainMenu1 = nullptr;
    void Exit1Click(TObject* Sender);
};
TW_LINK_CLASS(TForm4);

extern TForm4* Form4;
