// The JavaScript reference tree: objects, their properties and methods, and the reserved words.
// It stays on top and is shown without blocking the main window. Made at start-up from its
// stored description.
#pragma once

#include "platform/controls/ComCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdButtons.h"

class Tjsref : public TForm {
public:
    using TForm::TForm;
    TImage* Image1 = nullptr;
    TTreeView* TreeView1 = nullptr;
    TButton* Button1 = nullptr;
    void Button1Click(TObject* Sender);
};
TW_LINK_CLASS(Tjsref);

extern Tjsref* jsref;
