// Script sheet: a status bar type-writer. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm40 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm40);

extern TForm40* Form40;
