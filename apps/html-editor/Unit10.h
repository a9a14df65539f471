// Snippet wizard: simple password protection. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm10 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm10);

extern TForm10* Form10;
