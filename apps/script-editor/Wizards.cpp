#include "apps/script-editor/Wizards.h"

#include "apps/script-editor/Childwin.h"
#include "apps/script-editor/Main.h"
#include "components/addons/AdCtrls.h"
#include "components/edit-boxes/ComboEdits.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/rtl/SysUtils.h"

const char* const ProductWebAddress = "http://www.orvane.example/wendle/";

namespace {
const std::string Dq = "\"";

// The first line of a template file; an empty file stops the wizard as a list would.
std::string FirstLine(TMemo* Buffer)
{
    if (Buffer->Lines()->Count() == 0)
        throw EStringListError("List index out of bounds (0)");
    return Buffer->Lines()->Strings(0);
}
} // namespace

std::string WizardFilePath(const std::string& Dir, const std::string& FileName)
{
    // The directory field holds a native path; one that already ends in a separator (the root)
    // takes the name directly.
    if (!Dir.empty() && (Dir.back() == '/' || Dir.back() == '\\'))
        return Dir + FileName;
    return Dir + "/" + FileName;
}

// ---- The chooser ---------------------------------------------------------------------------------
void TMainForm::ToggleInfo(TMemo* Info)
{
    if (Info)
        Info->SetVisible(!Info->Visible());
}

void TMainForm::Image4Click(TObject*)
{
    ToggleInfo(Memo3);
}
void TMainForm::Image5Click(TObject*)
{
    ToggleInfo(Memo4);
}
void TMainForm::Image6Click(TObject*)
{
    ToggleInfo(Memo6);
}
void TMainForm::Image7Click(TObject*)
{
    ToggleInfo(Memo5);
}
void TMainForm::Image8Click(TObject*)
{
    ToggleInfo(Memo7);
}
void TMainForm::Image9Click(TObject*)
{
    ToggleInfo(Memo8);
}
void TMainForm::Image10Click(TObject*)
{
    ToggleInfo(Memo9);
}

void TMainForm::Image4DblClick(TObject*)
{
    ShowWizard(html, true);
}
void TMainForm::Image5DblClick(TObject*)
{
    ShowWizard(js, true);
}
void TMainForm::Image6DblClick(TObject*)
{
    ShowWizard(metakey, true);
}
void TMainForm::Image7DblClick(TObject*)
{
    ShowWizard(createunit, true);
}
void TMainForm::Image8DblClick(TObject*)
{
    ShowWizard(nmetadesc, true);
}
void TMainForm::Image9DblClick(TObject*)
{
    ShowWizard(bodytag, true);
}
void TMainForm::Image10DblClick(TObject*)
{
    NewChildWindow("Untitled");
    HideTool(newfile);
}

void TMainForm::Button22Click(TObject*)
{
    HideTool(newfile);
}

// ---- Writing a file and opening it ------------------------------------------------------------------
void TMainForm::WriteWizardFile(TMemo* Buffer, TDirectoryEdit* Dir, TEdit* FileName, TToolWindow* Wizard)
{
    const std::string Path = WizardFilePath(Dir->Text(), FileName->Text());
    // A file that cannot be written raises here, before any document is opened.
    Buffer->Lines()->SaveToFile(Path);
    TMDIChild* Child = NewChildWindow(Path);
    Child->ColorMemo1->Lines()->Clear();
    Child->ColorMemo1->Lines()->LoadFromFile(Path);
    HideTool(Wizard);
}

void TMainForm::Button30Click(TObject*)
{
    WriteWizardFile(Memo12, DirectoryEdit3, Edit29, metakey);
}

void TMainForm::Button31Click(TObject*)
{
    HideTool(metakey);
}

void TMainForm::Button17Click(TObject*)
{
    WriteWizardFile(Memo10, DirectoryEdit2, Edit19, nmetadesc);
}

void TMainForm::Button18Click(TObject*)
{
    HideTool(nmetadesc);
}

void TMainForm::Button32Click(TObject*)
{
    // Built afresh each time, so a second file holds only its own header.
    TStrings* Lines = Memo14->Lines();
    Lines->Clear();
    const TDateTime Stamp = Now();
    Lines->Add("// File: " + Edit30->Text());
    Lines->Add("// Created on " + DateToStr(Stamp) + " at " + TimeToStr(Stamp));
    Lines->Add("// Author: " + Edit31->Text());
    Lines->Add("// E-Mail to: " + Edit32->Text());
    Lines->Add("// Description: " + Edit33->Text());
    Lines->Add("// Created with Orvane Wendle Version 1.00");
    WriteWizardFile(Memo14, DirectoryEdit4, Edit30, js);
}

void TMainForm::Button33Click(TObject*)
{
    HideTool(js);
}

void TMainForm::Button16Click(TObject*)
{
    // Every template is read before anything is written, so a missing or empty one stops the
    // wizard with its window still open.
    m3->Lines()->LoadFromFile(Filenameedit2->Text());
    m2->Lines()->LoadFromFile(Filenameedit3->Text());
    m4->Lines()->LoadFromFile(Filenameedit4->Text());
    const std::string Keywords = FirstLine(m3);
    const std::string Description = FirstLine(m2);
    const std::string Body = FirstLine(m4);

    const TDateTime Stamp = Now();
    TStrings* L = main->Lines();
    L->Clear();
    const std::string E;
    for (const std::string& Line : {
             "<!-- " + Edit17->Text() + " Created on: " + DateToStr(Stamp) + " at: " + TimeToStr(Stamp) +
                 "-->",
             std::string("<HTML>"),
             E,
             E,
             std::string("<!--Start HEAD Section, Add JavaScript Here-->"),
             std::string("<HEAD>"),
             E,
             std::string("<!--Title-->"),
             "<TITLE>" + Edit18->Text() + "</TITLE>",
             E,
             E,
             std::string("<!--META TAGS-->"),
             "<META NAME=" + Dq + "DESCRIPTION" + Dq + " CONTENT=" + Dq + Description + Dq + ">",
             E,
             E,
             "<META NAME=" + Dq + "Generator" + Dq + " CONTENT=" + Dq + "Orvane Wendle - " +
                 ProductWebAddress + Dq + ">",
             E,
             E,
             "<META NAME=" + Dq + "KEYWORDS" + Dq + " CONTENT=" + Dq + Keywords + Dq + ">",
             E,
             E,
             std::string("</HEAD>"),
             std::string("<!--End HEAD Tag-->"),
             E,
             E,
             std::string("<!--BODY TAG BELOW-->"),
             E,
             Body,
             E,
             E,
             E,
             E,
             E,
             E,
             std::string("</BODY>"),
             std::string("<!--End BODY-->"),
             std::string("</HTML>"),
             E,
             std::string("<!--END HTML PAGE-->"),
         })
        L->Add(Line);
    WriteWizardFile(main, DirectoryEdit1, Edit17, html);
}

void TMainForm::Button19Click(TObject*)
{
    HideTool(html);
}

void TMainForm::BrowseTemplate(TEdit* Field)
{
    if (OpenDialog3->Execute())
        Field->SetText(OpenDialog3->FileName);
}

void TMainForm::SpeedButton4Click(TObject*)
{
    BrowseTemplate(Filenameedit2);
}
void TMainForm::SpeedButton5Click(TObject*)
{
    BrowseTemplate(Filenameedit3);
}
void TMainForm::SpeedButton6Click(TObject*)
{
    BrowseTemplate(Filenameedit4);
}

// ---- Body Tag Save ---------------------------------------------------------------------------------
void TMainForm::Button29Click(TObject*)
{
    // Its own order of the fields, LINK included, unlike the window's OK.
    const std::string Line = "<BODY BGCOLOR=" + Edit2->Text() + " ALINK=" + Edit3->Text() +
                             " LINK=" + Edit4->Text() + " VLINK=" + Edit5->Text() + " TEXT=" + Edit6->Text() +
                             " BACKGROUND=" + pic->Text() + ">";
    struct TEmptyAfter {
        TMemo* Buffer;
        ~TEmptyAfter() { Buffer->Lines()->Clear(); }
    } EmptyAfter{Memo11};
    Memo11->Lines()->SetStrings(0, Line);
    if (SaveDialog2->Execute()) {
        Memo11->Lines()->SaveToFile(SaveDialog2->FileName);
        if (TMDIChild* Child = ActiveDocument())
            Child->ColorMemo1->Lines()->LoadFromFile(SaveDialog2->FileName);
    }
    HideTool(bodytag);
}

void PublishWizardMembers(TClassBuilder<TMainForm>& Cls)
{
#define TW_FIELD(Name) Cls.Field(#Name, &TMainForm::Name)
    TW_FIELD(Image4);
    TW_FIELD(Image5);
    TW_FIELD(Image6);
    TW_FIELD(Image7);
    TW_FIELD(Image8);
    TW_FIELD(Image9);
    TW_FIELD(Image10);
    TW_FIELD(Memo3);
    TW_FIELD(Memo4);
    TW_FIELD(Memo5);
    TW_FIELD(Memo6);
    TW_FIELD(Memo7);
    TW_FIELD(Memo8);
    TW_FIELD(Memo9);
    TW_FIELD(DirectoryEdit1);
    TW_FIELD(DirectoryEdit2);
    TW_FIELD(DirectoryEdit3);
    TW_FIELD(DirectoryEdit4);
    TW_FIELD(Edit17);
    TW_FIELD(Edit18);
    TW_FIELD(Edit19);
    TW_FIELD(Edit29);
    TW_FIELD(Edit30);
    TW_FIELD(Edit31);
    TW_FIELD(Edit32);
    TW_FIELD(Edit33);
    TW_FIELD(Filenameedit2);
    TW_FIELD(Filenameedit3);
    TW_FIELD(Filenameedit4);
    TW_FIELD(Memo10);
    TW_FIELD(Memo11);
    TW_FIELD(Memo12);
    TW_FIELD(Memo14);
    TW_FIELD(main);
    TW_FIELD(m2);
    TW_FIELD(m3);
    TW_FIELD(m4);
    TW_FIELD(SaveDialog2);
    TW_FIELD(OpenDialog3);
#undef TW_FIELD
#define TW_HANDLER(Name) Cls.Handler(#Name, &TMainForm::Name)
    TW_HANDLER(Image4Click);
    TW_HANDLER(Image5Click);
    TW_HANDLER(Image6Click);
    TW_HANDLER(Image7Click);
    TW_HANDLER(Image8Click);
    TW_HANDLER(Image9Click);
    TW_HANDLER(Image10Click);
    TW_HANDLER(Image4DblClick);
    TW_HANDLER(Image5DblClick);
    TW_HANDLER(Image6DblClick);
    TW_HANDLER(Image7DblClick);
    TW_HANDLER(Image8DblClick);
    TW_HANDLER(Image9DblClick);
    TW_HANDLER(Image10DblClick);
    TW_HANDLER(Button22Click);
    TW_HANDLER(Button30Click);
    TW_HANDLER(Button31Click);
    TW_HANDLER(Button17Click);
    TW_HANDLER(Button18Click);
    TW_HANDLER(Button32Click);
    TW_HANDLER(Button33Click);
    TW_HANDLER(Button16Click);
    TW_HANDLER(Button19Click);
    TW_HANDLER(Button29Click);
    TW_HANDLER(SpeedButton4Click);
    TW_HANDLER(SpeedButton5Click);
    TW_HANDLER(SpeedButton6Click);
#undef TW_HANDLER
}
