// The HTML tutorial. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class Thtmlform : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(Thtmlform);

extern Thtmlform* htmlform;
