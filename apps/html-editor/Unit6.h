// Snippet wizard: two scripts in the BODY tag's onLoad. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm6 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm6);

extern TForm6* Form6;
