// Snippet wizard: a link button. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm24 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm24);

extern TForm24* Form24;
