// Script sheet: a status bar clock. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm37 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm37);

extern TForm37* Form37;
