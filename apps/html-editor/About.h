// The about box (system information, credits). Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class Tabout : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(Tabout);

extern Tabout* about;
