// Script sheet: random status bar messages. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"
#include "platform/controls/StdEdit.h"

class TForm41 : public TForm {
public:
    using TForm::TForm;
    TMemo* Memo1 = nullptr;
};
TW_LINK_CLASS(TForm41);

extern TForm41* Form41;
