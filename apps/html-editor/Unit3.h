// The find-file window: drive, directory and file lists for picking a page to view. Made at start-up from its
// stored description.
#pragma once

#include "platform/controls/Forms.h"

class TForm3 : public TForm {
public:
    using TForm::TForm;
};
TW_LINK_CLASS(TForm3);

extern TForm3* Form3;
