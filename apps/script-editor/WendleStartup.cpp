#include "apps/script-editor/WendleStartup.h"

#include "apps/script-editor/Main.h"
#include "apps/script-editor/Unit1.h"
#include "apps/script-editor/about.h"
#include "apps/script-editor/browsercon.h"
#include "apps/script-editor/view.h"
#include "components/addons/AdHelpersCore.h"
#include "components/addons/ClipView.h"
#include "components/addons/FormFill.h"
#include "components/colour-memo/ColMemo.h"
#include "components/edit-boxes/DesignGen.h"
#include "components/edit-boxes/ScreenMetrics.h"
#include "html-engine/HtmlImageUtil.h"
#include "platform/app/Application.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"

// Classes that only the form descriptions create: naming them keeps their registrations in the
// program.
TW_LINK_CLASS(TPanel);
TW_LINK_CLASS(TLabel);
TW_LINK_CLASS(TButton);
TW_LINK_CLASS(TCheckBox);
TW_LINK_CLASS(TGroupBox);
TW_LINK_CLASS(TMainMenu);
TW_LINK_CLASS(TMenuItem);
TW_LINK_CLASS(TOpenDialog);
TW_LINK_CLASS(TSaveDialog);
TW_LINK_CLASS(TPrintDialog);
TW_LINK_CLASS(TPrinterSetupDialog);
TW_LINK_CLASS(TColorDialog);

const std::vector<TUnitStartup>& UnitStartups()
{
    // In link order; the units not listed here have no start-up step of their own yet (the
    // docking toolbars make their lists and timer when first used, which keeps them ahead of
    // the design core). The engine's image start-up runs after the memo's, so its hand keeps
    // cursor slot 1.
    static const std::vector<TUnitStartup> Steps = {
        {"ScreenMetrics", &ScreenMetricsInitialization},
        {"DesignGen", &DesignGenInitialization},
        {"RegisterFillTypes", &RegisterFillTypes},
        {"InitAdCursors", &InitAdCursors},
        {"InitColMemoCursor", &InitColMemoCursor},
        {"HtmlImageInit", &HtmlImageInit},
        {"RegisterIconClipboardFormat", &RegisterIconClipboardFormat},
    };
    return Steps;
}

void RunUnitStartups()
{
    for (const TUnitStartup& Step : UnitStartups())
        Step.Run();
}

void CreateProgramForms()
{
    Application->CreateForm(&MainForm);
    Application->CreateForm(&aboutbox);
    Application->CreateForm(&viewclip);
    Application->CreateForm(&browser);
    Application->CreateForm(&unitcon);
}

int ProgramMain()
{
    RunUnitStartups();
    Application->SetTitle("Orvane Wendle");
    Application->HelpFile = "Help.hlp";
    CreateProgramForms();
    Application->Run();
    return 0;
}
