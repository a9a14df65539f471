// The about box: the platform and processor, read once when the box is made at start-up, and the
// memory figures and the welcome sound at every activation. Made from its stored description.
#pragma once

#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdButtons.h"

// The sound the box plays whenever it becomes active.
extern const char* const AboutSoundFile;

class Tabout : public TForm {
public:
    using TForm::TForm;
    TImage* Image1 = nullptr;
    TLabel* Label3 = nullptr; // platform and version
    TLabel* Label4 = nullptr; // processor
    TLabel* Label7 = nullptr; // free memory
    TLabel* Label8 = nullptr; // memory load
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
};
TW_LINK_CLASS(Tabout);

extern Tabout* about;
