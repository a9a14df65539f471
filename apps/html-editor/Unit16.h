// Snippet wizard: an alert on a link click. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm16 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm16);

extern TForm16* Form16;
