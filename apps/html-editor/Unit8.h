// The new-file window with its three templates: each replaces the document pane's text without
// asking, names the new file's kind in the status bar and closes. Made at start-up from its stored
// description.
#pragma once

#include "components/addons/AdCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdButtons.h"

#include <string>
#include <vector>

class TForm8 : public TForm {
public:
    using TForm::TForm;
    TLabel* Label1 = nullptr;
    TAdSpeedButton* AdSpeedButton1 = nullptr;
    TAdSpeedButton* AdSpeedButton2 = nullptr;
    TAdSpeedButton* AdSpeedButton3 = nullptr;
    void AdSpeedButton1Click(TObject* Sender);
    void AdSpeedButton2Click(TObject* Sender);
    void AdSpeedButton3Click(TObject* Sender);

    // The lines each template writes.
    static const std::vector<std::string>& HtmlTemplate();
    static const std::vector<std::string>& JavaScriptTemplate();

private:
    void StartFile(const std::vector<std::string>& Lines, const char* Status);
};
TW_LINK_CLASS(TForm8);

extern TForm8* Form8;
