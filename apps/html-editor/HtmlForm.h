// The HTML tutorial: a title page with two drifting circles and five lesson pages, stepped by
// the wizard bar at the bottom. Made at start-up from its stored description.
#pragma once

#include "components/addons/CorrinWizard.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdButtons.h"

class Thtmlform : public TForm {
public:
    using TForm::TForm;
    TPanel* Panel1 = nullptr;
    TImage* Image1 = nullptr;
    TNotebook* Notebook1 = nullptr;
    TShape* Shape1 = nullptr;
    TShape* Shape2 = nullptr;
    TCorrinWizard* CorrinWizard1 = nullptr;
    TTimer* Timer1 = nullptr;
    void Timer1Timer(TObject* Sender);
    void CorrinWizard1EndClick(TObject* Sender);
};
TW_LINK_CLASS(Thtmlform);

extern Thtmlform* htmlform;
