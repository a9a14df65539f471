// The new-file window with its three templates. Made at start-up from its stored description.
#pragma once

#include "components/addons/AdCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdButtons.h"

class TForm8 : public TForm {
public:
    using TForm::TForm;
    TLabel* Label1 = nullptr;
    TAdSpeedButton* AdSpeedButton1 = nullptr;
    TAdSpeedButton* AdSpeedButton2 = nullptr;
    TAdSpeedButton* AdSpeedButton3 = nullptr;
};
TW_LINK_CLASS(TForm8);

extern TForm8* Form8;
