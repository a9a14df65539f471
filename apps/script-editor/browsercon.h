// The dialog that locates the two preview browsers.
#pragma once

#include "components/edit-boxes/ComboEdits.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"

class Tbrowser : public TForm {
public:
    using TForm::TForm;
    TFilenameEdit* FilenameEdit1 = nullptr;
    TFilenameEdit* FilenameEdit2 = nullptr;
    void Button2Click(TObject* Sender);
};

extern Tbrowser* browser;
