// The closing splash: a logo shown while the program ends, closed by its timer. Made at start-up from its
// stored description.
#pragma once

#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"

class TForm14 : public TForm {
public:
    using TForm::TForm;
    TImage* Image1 = nullptr;
    TTimer* Timer1 = nullptr;
    void Timer1Timer(TObject* Sender);
};
TW_LINK_CLASS(TForm14);

extern TForm14* Form14;
