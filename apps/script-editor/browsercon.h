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
    // Shows the stored locations each time the dialog comes up.
    void FormActivate(TObject* Sender);
    void Button1Click(TObject* Sender); // OK: stores both and closes
    void Button2Click(TObject* Sender); // Cancel
};

extern Tbrowser* browser;
