// Snippet wizard: a random quote. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm34 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm34);

extern TForm34* Form34;
