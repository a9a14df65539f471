// Snippet wizard: an alert once the page has loaded. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm19 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm19);

extern TForm19* Form19;
