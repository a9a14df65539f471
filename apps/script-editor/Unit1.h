// The dialog that assigns UNIT directories to the palette buttons.
#pragma once

#include "components/edit-boxes/ComboEdits.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"

class Tunitcon : public TForm {
public:
    using TForm::TForm;
    TComboBox* ComboBox1 = nullptr;
    TComboBox* ComboBox2 = nullptr;
    TEdit* Edit1 = nullptr;
    TLabel* Label2 = nullptr;
    TButton* Button3 = nullptr;
    TDirectoryEdit* DirectoryEdit1 = nullptr;
    void Button1Click(TObject* Sender); // Look Up (first group)
    void Button2Click(TObject* Sender); // Look Up (second group)
    void Button3Click(TObject* Sender); // Save Changes
    void Button5Click(TObject* Sender); // Cancel
    void Button6Click(TObject* Sender); // Load UNIT Palette Again
};

extern Tunitcon* unitcon;
