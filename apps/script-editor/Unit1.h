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
    TDirectoryEdit* DirectoryEdit1 = nullptr;
    void Button5Click(TObject* Sender);
};

extern Tunitcon* unitcon;
