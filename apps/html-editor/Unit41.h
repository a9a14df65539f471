// Script sheet: random status bar messages. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm41 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm41);

extern TForm41* Form41;
