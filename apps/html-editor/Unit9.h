// The about box of the HTML viewer component: who makes it, and a label that opens their web
// page. Made at start-up from its stored description.
#pragma once

#include "platform/controls/Forms.h"
#include "platform/controls/StdButtons.h"
#include "platform/controls/StdCtrls.h"

// The viewer maker's web page, opened by the label.
extern const char* const ViewerMakerAddress;

class TForm9 : public TForm {
public:
    using TForm::TForm;
    TGroupBox* GroupBox1 = nullptr;
    TMemo* Memo1 = nullptr;
    TLabel* Label1 = nullptr;
    void Label1Click(TObject* Sender);
};
TW_LINK_CLASS(TForm9);

extern TForm9* Form9;
