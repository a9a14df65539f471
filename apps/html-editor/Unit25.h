// Snippet wizard: back and forward buttons. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm25 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm25);

extern TForm25* Form25;
