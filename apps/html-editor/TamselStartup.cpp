#include "apps/html-editor/TamselStartup.h"

#include "apps/html-editor/About.h"
#include "apps/html-editor/HtmlForm.h"
#include "apps/html-editor/JsRef.h"
#include "apps/html-editor/Unit1.h"
#include "apps/html-editor/Unit10.h"
#include "apps/html-editor/Unit11.h"
#include "apps/html-editor/Unit12.h"
#include "apps/html-editor/Unit13.h"
#include "apps/html-editor/Unit14.h"
#include "apps/html-editor/Unit15.h"
#include "apps/html-editor/Unit16.h"
#include "apps/html-editor/Unit17.h"
#include "apps/html-editor/Unit18.h"
#include "apps/html-editor/Unit19.h"
#include "apps/html-editor/Unit21.h"
#include "apps/html-editor/Unit22.h"
#include "apps/html-editor/Unit23.h"
#include "apps/html-editor/Unit24.h"
#include "apps/html-editor/Unit25.h"
#include "apps/html-editor/Unit26.h"
#include "apps/html-editor/Unit28.h"
#include "apps/html-editor/Unit29.h"
#include "apps/html-editor/Unit3.h"
#include "apps/html-editor/Unit30.h"
#include "apps/html-editor/Unit33.h"
#include "apps/html-editor/Unit34.h"
#include "apps/html-editor/Unit35.h"
#include "apps/html-editor/Unit36.h"
#include "apps/html-editor/Unit37.h"
#include "apps/html-editor/Unit38.h"
#include "apps/html-editor/Unit39.h"
#include "apps/html-editor/Unit4.h"
#include "apps/html-editor/Unit40.h"
#include "apps/html-editor/Unit41.h"
#include "apps/html-editor/Unit5.h"
#include "apps/html-editor/Unit6.h"
#include "apps/html-editor/Unit7.h"
#include "apps/html-editor/Unit8.h"
#include "apps/html-editor/Unit9.h"
#include "components/addons/AdHelpersCore.h"
#include "components/addons/ClipView.h"
#include "components/addons/FormFill.h"
#include "components/colour-memo/ColMemo.h"
#include "html-engine/HtmlImageUtil.h"
#include "platform/app/Application.h"

// The colouring memo's cursor comes after the engine's image start-up, so its hand is the one
// left in cursor slot 1.
const std::vector<TUnitStartup>& TamselUnitStartups()
{
    static const std::vector<TUnitStartup> Steps = {
        {"InitAdCursors", InitAdCursors},
        {"RegisterFillTypes", RegisterFillTypes},
        {"HtmlImageInit", HtmlImageInit},
        {"InitColMemoCursor", InitColMemoCursor},
        {"RegisterIconClipboardFormat", RegisterIconClipboardFormat},
    };
    return Steps;
}

void RunUnitStartups()
{
    for (const TUnitStartup& Step : TamselUnitStartups())
        Step.Run();
}

void CreateTamselForms()
{
    Application->Initialize();
    Application->SetTitle("Tamsel Pro V1");
    Application->HelpFile = "Help.hlp";
    Application->CreateForm(&Form1);
    Application->CreateForm(&about);
    Application->CreateForm(&Form3);
    Application->CreateForm(&Form4);
    Application->CreateForm(&Form5);
    Application->CreateForm(&Form6);
    Application->CreateForm(&Form7);
    Application->CreateForm(&Form8);
    Application->CreateForm(&Form9);
    Application->CreateForm(&Form10);
    Application->CreateForm(&Form11);
    Application->CreateForm(&Form12);
    Application->CreateForm(&Form13);
    Application->CreateForm(&Form14);
    Application->CreateForm(&Form15);
    Application->CreateForm(&Form16);
    Application->CreateForm(&Form17);
    Application->CreateForm(&Form18);
    Application->CreateForm(&Form19);
    Application->CreateForm(&htmlform);
    Application->CreateForm(&jsref);
    Application->CreateForm(&Form21);
    Application->CreateForm(&Form22);
    Application->CreateForm(&Form23);
    Application->CreateForm(&Form24);
    Application->CreateForm(&Form25);
    Application->CreateForm(&Form26);
    Application->CreateForm(&Form28);
    Application->CreateForm(&Form29);
    Application->CreateForm(&Form30);
    Application->CreateForm(&Form33);
    Application->CreateForm(&Form34);
    Application->CreateForm(&Form35);
    Application->CreateForm(&Form36);
    Application->CreateForm(&Form37);
    Application->CreateForm(&Form38);
    Application->CreateForm(&Form39);
    Application->CreateForm(&Form40);
    Application->CreateForm(&Form41);
}

int TamselMain()
{
    RunUnitStartups();
    CreateTamselForms();
    Application->Run();
    return 0;
}
