// The about box: the platform and processor, read once when the box is made at start-up, and the
// memory figures and the welcome sound at every activation. Made from its stored description.
#pragma once

#include "components/addons/FormFill.h"
#include "components/addons/PlayWav.h"
#include "components/addons/ShadeLab.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdButtons.h"

// The sound the box plays whenever it becomes active.
extern const char* const AboutSoundFile;

class Tabout : public TForm {
public:
    using TForm::TForm;
    TFormFill* FormFill1 = nullptr;
    TImage* Image1 = nullptr;
    TShadeLabel* Label3 = nullptr; // platform and version
    TShadeLabel* Label4 = nullptr; // processor
    TShadeLabel* Label7 = nullptr; // free memory
    TShadeLabel* Label8 = nullptr; // memory load
    TPlayWav* PlayWav1 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
};
TW_LINK_CLASS(Tabout);

extern Tabout* about;
