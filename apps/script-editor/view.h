// The clipboard window of the script editor.
#pragma once

#include "components/addons/ClipView.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"

class Tviewclip : public TForm {
public:
    using TForm::TForm;
    TClipboardViewer* ClipboardViewer1 = nullptr;
    TButton* Button1 = nullptr;
    void Button1Click(TObject* Sender);
};

extern Tviewclip* viewclip;
