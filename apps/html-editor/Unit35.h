// Script sheet: day, date and time. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"
#include "platform/controls/StdEdit.h"

class TForm35 : public TForm {
public:
    using TForm::TForm;
    TMemo* Memo1 = nullptr;
};
TW_LINK_CLASS(TForm35);

extern TForm35* Form35;
