// The about box of the script editor: the platform and processor, read once when it is made,
// and the memory figures, read again at every showing.
#pragma once

#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"

// The product's home page: the about box's button and the Help menu's link both open it.
extern const char* const WendleHomePage;

class Taboutbox : public TForm {
public:
    using TForm::TForm;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TLabel* Label7 = nullptr;
    TLabel* Label8 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
};

extern Taboutbox* aboutbox;
