// The JavaScript reference tree, shown without blocking the main window. Made at start-up from its stored
// description.
#pragma once

#include "platform/controls/Forms.h"

class Tjsref : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(Tjsref);

extern Tjsref* jsref;
