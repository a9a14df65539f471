// Snippet wizard: breaking out of a frame. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm23 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm23);

extern TForm23* Form23;
