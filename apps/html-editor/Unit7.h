// The clipboard window: a picture and one clipboard viewer, which follows the clipboard itself.
// Made at start-up from its stored description.
#pragma once

#include "components/addons/ClipView.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"

class TForm7 : public TForm {
public:
    using TForm::TForm;
    TImage* Image1 = nullptr;
    TClipboardViewer* ClipboardViewer1 = nullptr;
};
TW_LINK_CLASS(TForm7);

extern TForm7* Form7;
