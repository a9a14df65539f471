// Snippet wizard: a status bar description for a link. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm30 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm30);

extern TForm30* Form30;
