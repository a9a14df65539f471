// The document window: one colouring memo filling an MDI child whose caption is the document's
// path ("Untitled" until it is first saved).
#pragma once

#include "components/colour-memo/ColMemo.h"
#include "platform/controls/Forms.h"

class TMDIChild : public TForm {
public:
    using TForm::TForm;

    TColorMemo* ColorMemo1 = nullptr;

    // Asks whether to keep the changes of a modified document (saving it on Yes): true when the
    // window may go; false when the user cancelled, or cancelled the Save dialog after Yes. The
    // Modified flag is left alone: the caller clears it once the window really goes.
    bool QuerySaveChanges();

    void FormClose(TObject* Sender, TCloseAction& Action);
};
