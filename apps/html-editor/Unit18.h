// Snippet wizard: an alert before moving to a new location. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm18 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm18);

extern TForm18* Form18;
