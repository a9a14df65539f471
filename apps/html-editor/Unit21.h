// Snippet wizard: a reload button. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm21 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm21);

extern TForm21* Form21;
