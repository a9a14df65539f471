// The frame window of the script editor: a multiple-document frame holding the menus, the docks
// with their toolbars, the hidden tool windows and the dialogs, and the File, Edit and Window
// commands that act on the active document window.
#pragma once

#include "platform/app/Application.h"
#include "platform/controls/ComCtrls.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "toolbars/DockStub.h"
#include "toolbars/ToolWindowStub.h"
#include "toolbars/ToolbarButtonStub.h"
#include "toolbars/ToolbarStub.h"

#include <string>

class TMDIChild;

class TMainForm : public TForm {
public:
    using TForm::TForm;

    TStatusBar* StatusBar = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* FileCloseItem = nullptr;
    TMenuItem* FileSaveItem = nullptr;
    TMenuItem* FileSaveAsItem = nullptr;
    TMenuItem* Print1 = nullptr;
    TMenuItem* Window1 = nullptr;
    TMenuItem* WindowCascadeItem = nullptr;
    TMenuItem* WindowTileItem = nullptr;
    TMenuItem* WindowArrangeItem = nullptr;
    TMenuItem* WindowMinimizeItem = nullptr;
    TToolbarButton* Cut = nullptr;
    TToolbarButton* Copy1 = nullptr;
    TToolbarButton* Paste = nullptr;
    TToolbarButton* Save = nullptr;
    TToolbarButton* casc = nullptr;
    TToolWindow* syn = nullptr;
    TToolWindow* newfile = nullptr;
    TOpenDialog* OpenDialog = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;
    TPrintDialog* PrintDialog1 = nullptr;
    TPrinterSetupDialog* PrinterSetupDialog1 = nullptr;

    // The active document window, or nullptr.
    TMDIChild* ActiveDocument() const;
    // A new document window captioned Name (a full path or "Untitled"); it becomes the active one.
    TMDIChild* NewChildWindow(const std::string& Name);
    // Save and Save As for one document: true when its text was written (false when the user
    // cancelled the Save dialog).
    bool SaveDocument(TMDIChild* Child);
    bool SaveDocumentAs(TMDIChild* Child);

    bool CloseQuery() override;

    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void HintToStatusBar(TObject* Sender);
    void UpdateMenuItems(TObject* Sender);

    void FileNewItemClick(TObject* Sender);
    void FileOpenItemClick(TObject* Sender);
    void FileCloseItemClick(TObject* Sender);
    void FileSaveItemClick(TObject* Sender);
    void FileSaveAsItemClick(TObject* Sender);
    void Print1Click(TObject* Sender);
    void PrintSetup1Click(TObject* Sender);
    void SyntaxWindow1Click(TObject* Sender);
    void FileExitItemClick(TObject* Sender);
    void CutItemClick(TObject* Sender);
    void CopyItemClick(TObject* Sender);
    void PasteItemClick(TObject* Sender);
    void SelectAll1Click(TObject* Sender);
    void ViewClipboard1Click(TObject* Sender);
    void Browsers1Click(TObject* Sender);
    void UnitPallet1Click(TObject* Sender);
    void WindowCascadeItemClick(TObject* Sender);
    void WindowTileItemClick(TObject* Sender);
    void WindowArrangeItemClick(TObject* Sender);
    void WindowMinimizeItemClick(TObject* Sender);
    void Close1Click(TObject* Sender);
    void HelpAboutItemClick(TObject* Sender);
    void Contents1Click(TObject* Sender);
    void SearchForHelpOn1Click(TObject* Sender);
    void HowtoUseHelp1Click(TObject* Sender);

    // Toolbar buttons.
    void ToolbarButton1Click(TObject* Sender);
    void SaveClick(TObject* Sender);
    void ToolbarButton3Click(TObject* Sender);
    void CutClick(TObject* Sender);
    void Copy1Click(TObject* Sender);
    void PasteClick(TObject* Sender);
    void configClick(TObject* Sender);
    void close123Click(TObject* Sender);
    void ToolbarButton19Click(TObject* Sender);
    void ToolbarButton20Click(TObject* Sender);
    void ToolbarButton17Click(TObject* Sender);
    void ToolbarButton48Click(TObject* Sender);
};

extern TMainForm* MainForm;

// Registers a file type with the shell (in the program's registry): Extension's key names
// TypeName, whose key holds Description, the optional DefaultIcon and the open command
// `Program "%1"`. Nothing is written when the extension (without dots) or the program is empty.
void RegisterFileType(std::string Extension, std::string TypeName, const std::string& Description,
                      const std::string& Icon, const std::string& Program);
