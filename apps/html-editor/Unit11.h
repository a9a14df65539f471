// The options window that writes the panes' fonts to the settings file. Made at start-up from its stored
// description.
#pragma once

#include "platform/controls/Forms.h"

class TForm11 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm11);

extern TForm11* Form11;
