// The about box of the HTML viewer component. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm9 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm9);

extern TForm9* Form9;
