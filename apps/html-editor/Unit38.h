// Script sheet: a joke drive format. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"
#include "platform/controls/StdEdit.h"

class TForm38 : public TForm {
public:
    using TForm::TForm;
    TMemo* Memo1 = nullptr;
};
TW_LINK_CLASS(TForm38);

extern TForm38* Form38;
