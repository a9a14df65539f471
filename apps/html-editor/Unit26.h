// Snippet wizard: a view-source button. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm26 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm26);

extern TForm26* Form26;
