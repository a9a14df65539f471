// Script sheet: a status bar clock. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"
#include "platform/controls/StdEdit.h"

class TForm37 : public TForm {
public:
    using TForm::TForm;
    TMemo* Memo1 = nullptr;
};
TW_LINK_CLASS(TForm37);

extern TForm37* Form37;
