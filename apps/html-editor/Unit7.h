// The clipboard window: one clipboard viewer. Made at start-up from its stored description.
#pragma once

#include "components/addons/ClipView.h"
#include "platform/controls/Forms.h"

class TForm7 : public TForm {
public:
    using TForm::TForm;
    TClipboardViewer* ClipboardViewer1 = nullptr;
};
TW_LINK_CLASS(TForm7);

extern TForm7* Form7;
