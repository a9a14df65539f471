// The colour picker: a colour dialog and the colour's hexadecimal text for pages and scripts. Made at
// start-up from its stored description.
#pragma once

#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdButtons.h"
#include "platform/controls/StdEdit.h"

class TForm5 : public TForm {
public:
    using TForm::TForm;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TLabel* Label1 = nullptr;
    TEdit* Edit1 = nullptr;
    TMemo* Memo1 = nullptr;
    TColorDialog* ColorDialog1 = nullptr;
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
};
TW_LINK_CLASS(TForm5);

extern TForm5* Form5;
