// The about box of the script editor.
#pragma once

#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"

class Taboutbox : public TForm {
public:
    using TForm::TForm;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TLabel* Label7 = nullptr;
    TLabel* Label8 = nullptr;
    void Button1Click(TObject* Sender);
};

extern Taboutbox* aboutbox;
