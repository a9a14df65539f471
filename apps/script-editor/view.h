// The clipboard window of the script editor.
#pragma once

#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"

class Tviewclip : public TForm {
public:
    using TForm::TForm;
    void Button1Click(TObject* Sender);
};

extern Tviewclip* viewclip;
