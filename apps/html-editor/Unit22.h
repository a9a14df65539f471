// The note viewer the wizards show their help notes in. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdEdit.h"

class TForm22 : public TForm {
public:
    using TForm::TForm;
    TMemo* Memo1 = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    void Exit1Click(TObject* Sender);
};
TW_LINK_CLASS(TForm22);

extern TForm22* Form22;
