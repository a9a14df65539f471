// Script sheet: rainbow text. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"
#include "platform/controls/StdEdit.h"

class TForm39 : public TForm {
public:
    using TForm::TForm;
    TMemo* Memo1 = nullptr;
};
TW_LINK_CLASS(TForm39);

extern TForm39* Form39;
