#include "apps/script-editor/Main.h"

#include "apps/script-editor/Childwin.h"
#include "apps/script-editor/Inserts.h"
#include "apps/script-editor/Preview.h"
#include "apps/script-editor/Unit1.h"
#include "apps/script-editor/UnitPalette.h"
#include "apps/script-editor/Wizards.h"
#include "apps/script-editor/about.h"
#include "apps/script-editor/browsercon.h"
#include "apps/script-editor/view.h"
#include "platform/app/Printers.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/TextIO.h"

#include <memory>
#include <vector>

TMainForm* MainForm = nullptr;

namespace {
const char* const UntitledCaption = "Untitled";
}

// ---- File type registration -----------------------------------------------------------------
void RegisterFileType(std::string Extension, std::string TypeName, const std::string& Description,
                      const std::string& Icon, const std::string& Program)
{
    std::erase(Extension, '.');
    if (Extension.empty() || Program.empty())
        return;
    Extension = "." + Extension;
    auto Reg = std::make_unique<TRegIniFile>("");
    Reg->SetRootKey(HKEY_CLASSES_ROOT);
    if (TypeName.empty())
        TypeName = Extension.substr(1) + "_auto_file";
    Reg->WriteString(Extension, "", TypeName);
    Reg->WriteString(TypeName, "", Description);
    if (!Icon.empty())
        Reg->WriteString(TypeName + "\\DefaultIcon", "", Icon);
    Reg->WriteString(TypeName + "\\shell\\open\\command", "", Program + " \"%1\"");
}

// ---- Documents --------------------------------------------------------------------------------
TMDIChild* TMainForm::ActiveDocument() const
{
    return dynamic_cast<TMDIChild*>(ActiveMDIChild());
}

TMDIChild* TMainForm::NewChildWindow(const std::string& Name)
{
    TMDIChild* Child = CreateNewForm<TMDIChild>(Application);
    Child->SetCaption(Name);
    return Child;
}

bool TMainForm::SaveDocument(TMDIChild* Child)
{
    if (!Child)
        return false;
    if (Child->Caption() != UntitledCaption) {
        Child->ColorMemo1->Lines()->SaveToFile(Child->Caption());
        return true;
    }
    return SaveDocumentAs(Child);
}

bool TMainForm::SaveDocumentAs(TMDIChild* Child)
{
    if (!Child)
        return false;
    SaveDialog1->FileName.clear();
    if (!SaveDialog1->Execute())
        return false;
    // Written first: a failed write leaves the caption naming the file the text came from.
    Child->ColorMemo1->Lines()->SaveToFile(SaveDialog1->FileName);
    if (!SaveDialog1->FileName.empty())
        Child->SetCaption(SaveDialog1->FileName);
    return true;
}

bool TMainForm::CloseQuery()
{
    // Leaving the program would drop every document, so each modified one is asked about as
    // closing its window does (the active one first); one cancel keeps the program running.
    std::vector<TMDIChild*> Documents;
    for (int I = 0; I < MDIChildCount(); ++I)
        if (auto* Child = dynamic_cast<TMDIChild*>(MDIChildren(I)))
            Documents.push_back(Child);
    // A cancel leaves every document as it was, Modified flag included, so a document answered
    // No before the cancel is still asked about when it is closed later.
    for (TMDIChild* Child : Documents) {
        // The question names no file: it is about the document in front.
        if (Child->ColorMemo1->Modified())
            ActivateMDIChild(Child);
        if (!Child->QuerySaveChanges())
            return false;
    }
    if (!TForm::CloseQuery())
        return false;
    for (TMDIChild* Child : Documents)
        Child->ColorMemo1->SetModified(false);
    return true;
}

// ---- Form events ------------------------------------------------------------------------------
void TMainForm::FormCreate(TObject*)
{
    Application->OnHint = [this](TObject* Sender) { HintToStatusBar(Sender); };
    Screen->OnActiveFormChange = [this](TObject* Sender) { UpdateMenuItems(Sender); };
    UpdateMenuItems(this);
}

void TMainForm::FormActivate(TObject*)
{
    RegisterFileType(".js", "Javascript File", "A JavaScript File", "", Application->ExeName());
    LoadUnitPalette();
}

void TMainForm::FormDestroy(TObject*)
{
    if (Screen)
        Screen->OnActiveFormChange = nullptr;
    if (Application)
        Application->OnHint = nullptr;
}

void TMainForm::HintToStatusBar(TObject*)
{
    if (StatusBar)
        StatusBar->SetSimpleText(Application->Hint());
}

void TMainForm::UpdateMenuItems(TObject*)
{
    bool Any = MDIChildCount() > 0;
    for (TMenuItem* Item : {FileCloseItem, FileSaveItem, FileSaveAsItem})
        if (Item)
            Item->SetEnabled(Any);
    for (TToolbarButton* Button : {Cut, Copy1, Paste, Save})
        if (Button)
            Button->SetEnabled(Any);
    for (TMenuItem* Item : {WindowCascadeItem, WindowTileItem, WindowArrangeItem, WindowMinimizeItem})
        if (Item)
            Item->SetEnabled(Any);
}

// ---- File -------------------------------------------------------------------------------------
void TMainForm::FileNewItemClick(TObject*)
{
    ShowTool(newfile);
}

void TMainForm::FileOpenItemClick(TObject*)
{
    if (!OpenDialog->Execute())
        return;
    std::string FileName = OpenDialog->FileName;
    TMDIChild* Child = NewChildWindow(FileName);
    try {
        Child->ColorMemo1->Lines()->LoadFromFile(FileName);
    } catch (...) {
        // No window may stay behind carrying the name of a file it does not hold: a later Save
        // would write the empty text over the file.
        Child->SetCaption(UntitledCaption);
        Child->Release();
        throw;
    }
}

void TMainForm::FileCloseItemClick(TObject*)
{
    if (TCustomForm* Child = ActiveMDIChild())
        Child->Close();
}

void TMainForm::FileSaveItemClick(TObject*)
{
    SaveDocument(ActiveDocument());
}

void TMainForm::FileSaveAsItemClick(TObject*)
{
    SaveDocumentAs(ActiveDocument());
}

void TMainForm::Print1Click(TObject*)
{
    // Nothing to print without a document (the item itself stays enabled).
    TMDIChild* Child = ActiveDocument();
    if (!Child || !PrintDialog1->Execute())
        return;
    TextFile PrintText;
    AssignPrn(PrintText);
    Rewrite(PrintText);
    try {
        Printer()->Canvas()->Font()->Assign(Child->ColorMemo1->Font());
        TStrings* Lines = Child->ColorMemo1->Lines();
        for (int I = 0; I < Lines->Count(); ++I)
            WriteLn(PrintText, Lines->Strings(I));
    } catch (...) {
        // The job is ended even when a line fails, so the printer is free for the next one.
        try {
            CloseFile(PrintText);
        } catch (...) {
        }
        throw;
    }
    CloseFile(PrintText);
}

void TMainForm::PrintSetup1Click(TObject*)
{
    PrinterSetupDialog1->Execute();
}

void TMainForm::SyntaxWindow1Click(TObject*)
{
    if (syn)
        syn->SetVisible(!syn->Visible());
}

void TMainForm::FileExitItemClick(TObject*)
{
    Close();
}

// ---- Edit -------------------------------------------------------------------------------------
void TMainForm::CutItemClick(TObject*)
{
    if (TMDIChild* Child = ActiveDocument())
        Child->ColorMemo1->CutToClipboard();
}

void TMainForm::CopyItemClick(TObject*)
{
    if (TMDIChild* Child = ActiveDocument())
        Child->ColorMemo1->CopyToClipboard();
}

void TMainForm::PasteItemClick(TObject*)
{
    if (TMDIChild* Child = ActiveDocument())
        Child->ColorMemo1->PasteFromClipboard();
}

void TMainForm::SelectAll1Click(TObject*)
{
    if (TMDIChild* Child = ActiveDocument())
        Child->ColorMemo1->SelectAll();
}

void TMainForm::ViewClipboard1Click(TObject*)
{
    if (viewclip)
        viewclip->ShowModal();
}

void TMainForm::Browsers1Click(TObject*)
{
    if (browser)
        browser->ShowModal();
}

void TMainForm::UnitPallet1Click(TObject*)
{
    if (unitcon)
        unitcon->ShowModal();
}

// ---- Window -----------------------------------------------------------------------------------
void TMainForm::WindowCascadeItemClick(TObject*)
{
    Cascade();
}

void TMainForm::WindowTileItemClick(TObject*)
{
    Tile();
}

void TMainForm::WindowArrangeItemClick(TObject*)
{
    ArrangeIcons();
}

void TMainForm::WindowMinimizeItemClick(TObject*)
{
    for (int I = MDIChildCount() - 1; I >= 0; --I)
        MDIChildren(I)->SetWindowState(wsMinimized);
}

void TMainForm::Close1Click(TObject* Sender)
{
    FileCloseItemClick(Sender);
}

// ---- Help -------------------------------------------------------------------------------------
void TMainForm::HelpAboutItemClick(TObject*)
{
    if (aboutbox)
        aboutbox->ShowModal();
}

void TMainForm::Contents1Click(TObject*)
{
    Application->HelpCommand(HELP_CONTENTS, 0);
}

void TMainForm::SearchForHelpOn1Click(TObject*)
{
    Application->HelpCommand(HELP_PARTIALKEY, 0);
}

void TMainForm::HowtoUseHelp1Click(TObject*)
{
    Application->HelpCommand(HELP_HELPONHELP, 0);
}

// ---- Toolbar buttons --------------------------------------------------------------------------
void TMainForm::ToolbarButton1Click(TObject* Sender)
{
    FileNewItemClick(Sender);
}

void TMainForm::SaveClick(TObject* Sender)
{
    FileSaveItemClick(Sender);
}

void TMainForm::ToolbarButton3Click(TObject* Sender)
{
    FileOpenItemClick(Sender);
}

void TMainForm::CutClick(TObject* Sender)
{
    CutItemClick(Sender);
}

void TMainForm::Copy1Click(TObject* Sender)
{
    CopyItemClick(Sender);
}

void TMainForm::PasteClick(TObject* Sender)
{
    PasteItemClick(Sender);
}

void TMainForm::configClick(TObject*)
{
    ArrangeIcons();
}

void TMainForm::close123Click(TObject* Sender)
{
    // One handler serves the Cascade button and the Close Window button.
    if (Sender == casc)
        Cascade();
    else
        FileCloseItemClick(Sender);
}

void TMainForm::ToolbarButton19Click(TObject*)
{
    Tile();
}

void TMainForm::ToolbarButton20Click(TObject* Sender)
{
    WindowMinimizeItemClick(Sender);
}

void TMainForm::ToolbarButton17Click(TObject* Sender)
{
    Browsers1Click(Sender);
}

void TMainForm::ToolbarButton48Click(TObject*)
{
    NewChildWindow(UntitledCaption);
    HideTool(newfile);
}

void TMainForm::ShowTool(TToolWindow* Window)
{
    if (Window)
        Window->SetVisible(true);
}

void TMainForm::HideTool(TToolWindow* Window)
{
    if (Window)
        Window->SetVisible(false);
}

void TMainForm::ShowWizard(TToolWindow* Wizard, bool HideChooser)
{
    ShowTool(Wizard);
    if (HideChooser)
        HideTool(newfile);
}

void TMainForm::ToolbarButton23Click(TObject*)
{
    ShowWizard(metakey, true);
}

void TMainForm::ToolbarButton45Click(TObject*)
{
    ShowWizard(nmetadesc, true);
}

void TMainForm::ToolbarButton46Click(TObject*)
{
    ShowWizard(bodytag, true);
}

void TMainForm::ToolbarButton47Click(TObject*)
{
    ShowWizard(js, true);
}

void TMainForm::ToolbarButton49Click(TObject*)
{
    ShowWizard(createunit, false);
}

void TMainForm::ToolbarButton50Click(TObject*)
{
    ShowWizard(html, true);
}

void TMainForm::UNITHelpAboutFiles1Click(TObject*)
{
    ShowWizard(unitwin, false);
}

TW_PUBLISH(TMainForm, TForm)
{
    Cls.Field("StatusBar", &TMainForm::StatusBar);
    Cls.Field("MainMenu1", &TMainForm::MainMenu1);
    Cls.Field("FileCloseItem", &TMainForm::FileCloseItem);
    Cls.Field("FileSaveItem", &TMainForm::FileSaveItem);
    Cls.Field("FileSaveAsItem", &TMainForm::FileSaveAsItem);
    Cls.Field("Print1", &TMainForm::Print1);
    Cls.Field("Window1", &TMainForm::Window1);
    Cls.Field("WindowCascadeItem", &TMainForm::WindowCascadeItem);
    Cls.Field("WindowTileItem", &TMainForm::WindowTileItem);
    Cls.Field("WindowArrangeItem", &TMainForm::WindowArrangeItem);
    Cls.Field("WindowMinimizeItem", &TMainForm::WindowMinimizeItem);
    Cls.Field("Cut", &TMainForm::Cut);
    Cls.Field("Copy1", &TMainForm::Copy1);
    Cls.Field("Paste", &TMainForm::Paste);
    Cls.Field("Save", &TMainForm::Save);
    Cls.Field("casc", &TMainForm::casc);
    Cls.Field("syn", &TMainForm::syn);
    Cls.Field("newfile", &TMainForm::newfile);
    Cls.Field("html", &TMainForm::html);
    Cls.Field("nmetadesc", &TMainForm::nmetadesc);
    Cls.Field("metakey", &TMainForm::metakey);
    Cls.Field("js", &TMainForm::js);
    Cls.Field("unitwin", &TMainForm::unitwin);
    Cls.Field("createunit", &TMainForm::createunit);
    Cls.Field("OpenDialog", &TMainForm::OpenDialog);
    Cls.Field("SaveDialog1", &TMainForm::SaveDialog1);
    Cls.Field("PrintDialog1", &TMainForm::PrintDialog1);
    Cls.Field("PrinterSetupDialog1", &TMainForm::PrinterSetupDialog1);

    Cls.Handler("FormCreate", &TMainForm::FormCreate);
    Cls.Handler("FormActivate", &TMainForm::FormActivate);
    Cls.Handler("FormDestroy", &TMainForm::FormDestroy);
    Cls.Handler("FileNewItemClick", &TMainForm::FileNewItemClick);
    Cls.Handler("FileOpenItemClick", &TMainForm::FileOpenItemClick);
    Cls.Handler("FileCloseItemClick", &TMainForm::FileCloseItemClick);
    Cls.Handler("FileSaveItemClick", &TMainForm::FileSaveItemClick);
    Cls.Handler("FileSaveAsItemClick", &TMainForm::FileSaveAsItemClick);
    Cls.Handler("Print1Click", &TMainForm::Print1Click);
    Cls.Handler("PrintSetup1Click", &TMainForm::PrintSetup1Click);
    Cls.Handler("SyntaxWindow1Click", &TMainForm::SyntaxWindow1Click);
    Cls.Handler("FileExitItemClick", &TMainForm::FileExitItemClick);
    Cls.Handler("CutItemClick", &TMainForm::CutItemClick);
    Cls.Handler("CopyItemClick", &TMainForm::CopyItemClick);
    Cls.Handler("PasteItemClick", &TMainForm::PasteItemClick);
    Cls.Handler("SelectAll1Click", &TMainForm::SelectAll1Click);
    Cls.Handler("ViewClipboard1Click", &TMainForm::ViewClipboard1Click);
    Cls.Handler("Browsers1Click", &TMainForm::Browsers1Click);
    Cls.Handler("UnitPallet1Click", &TMainForm::UnitPallet1Click);
    Cls.Handler("WindowCascadeItemClick", &TMainForm::WindowCascadeItemClick);
    Cls.Handler("WindowTileItemClick", &TMainForm::WindowTileItemClick);
    Cls.Handler("WindowArrangeItemClick", &TMainForm::WindowArrangeItemClick);
    Cls.Handler("WindowMinimizeItemClick", &TMainForm::WindowMinimizeItemClick);
    Cls.Handler("Close1Click", &TMainForm::Close1Click);
    Cls.Handler("HelpAboutItemClick", &TMainForm::HelpAboutItemClick);
    Cls.Handler("Contents1Click", &TMainForm::Contents1Click);
    Cls.Handler("SearchForHelpOn1Click", &TMainForm::SearchForHelpOn1Click);
    Cls.Handler("HowtoUseHelp1Click", &TMainForm::HowtoUseHelp1Click);
    Cls.Handler("ToolbarButton1Click", &TMainForm::ToolbarButton1Click);
    Cls.Handler("SaveClick", &TMainForm::SaveClick);
    Cls.Handler("ToolbarButton3Click", &TMainForm::ToolbarButton3Click);
    Cls.Handler("CutClick", &TMainForm::CutClick);
    Cls.Handler("Copy1Click", &TMainForm::Copy1Click);
    Cls.Handler("PasteClick", &TMainForm::PasteClick);
    Cls.Handler("configClick", &TMainForm::configClick);
    Cls.Handler("close123Click", &TMainForm::close123Click);
    Cls.Handler("ToolbarButton19Click", &TMainForm::ToolbarButton19Click);
    Cls.Handler("ToolbarButton20Click", &TMainForm::ToolbarButton20Click);
    Cls.Handler("ToolbarButton17Click", &TMainForm::ToolbarButton17Click);
    Cls.Handler("ToolbarButton48Click", &TMainForm::ToolbarButton48Click);
    Cls.Handler("ToolbarButton23Click", &TMainForm::ToolbarButton23Click);
    Cls.Handler("ToolbarButton45Click", &TMainForm::ToolbarButton45Click);
    Cls.Handler("ToolbarButton46Click", &TMainForm::ToolbarButton46Click);
    Cls.Handler("ToolbarButton47Click", &TMainForm::ToolbarButton47Click);
    Cls.Handler("ToolbarButton49Click", &TMainForm::ToolbarButton49Click);
    Cls.Handler("ToolbarButton50Click", &TMainForm::ToolbarButton50Click);
    Cls.Handler("UNITHelpAboutFiles1Click", &TMainForm::UNITHelpAboutFiles1Click);
    PublishInsertionMembers(Cls);
    PublishPreviewMembers(Cls);
    PublishUnitMembers(Cls);
    PublishWizardMembers(Cls);
}
