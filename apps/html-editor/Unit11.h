// The options window that writes the panes' fonts to the settings file. Made at start-up from its
// stored description.
#pragma once

#include "components/addons/AdCombos.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdButtons.h"
#include "platform/controls/StdCtrls.h"

class TForm11 : public TForm {
public:
    using TForm::TForm;
    TGroupBox* GroupBox1 = nullptr;
    TLabel* Label1 = nullptr;
    TFontComboBox* FontComboBox1 = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TLabel* Label2 = nullptr;
    TFontComboBox* FontComboBox2 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TButton* Button3 = nullptr;
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
};
TW_LINK_CLASS(TForm11);

extern TForm11* Form11;
