// Snippet wizard: the page's last-updated date. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm29 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm29);

extern TForm29* Form29;
