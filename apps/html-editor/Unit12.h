// Snippet wizard: an alert before going back in the history. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm12 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm12);

extern TForm12* Form12;
