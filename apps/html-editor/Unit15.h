// Snippet wizard: an alert on a button click. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm15 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm15);

extern TForm15* Form15;
