// Snippet wizard: pages for particular browsers. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm33 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm33);

extern TForm33* Form33;
