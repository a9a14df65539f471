// Snippet wizard: the referring page. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm28 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm28);

extern TForm28* Form28;
