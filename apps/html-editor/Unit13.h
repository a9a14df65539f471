// The credits box, opened from the about box. Made at start-up from its stored description.
#pragma once

#include "components/addons/ShadeLab.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdButtons.h"

class TForm13 : public TForm {
public:
    using TForm::TForm;
    TShadeLabel* Label1 = nullptr;
    TButton* Button1 = nullptr;
    void Button1Click(TObject* Sender);
};
TW_LINK_CLASS(TForm13);

extern TForm13* Form13;
