// The clipboard window. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm7 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm7);

extern TForm7* Form7;
