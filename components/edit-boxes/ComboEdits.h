// One-line edits with a browse button at their right end: the combo edit, and the file and
// directory edits built on it (the button opens a file dialog or the folder dialog; dropped
// files and folders are taken; a directory edit may collect a ";"-separated list).
#pragma once

#include "components/addons/AdCtrls.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/FolderBrowser.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdEdit.h"
#include "platform/rtl/SysUtils.h"

#include <functional>
#include <string>

class EComboEditError : public Exception {
public:
    using Exception::Exception;
};

enum TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };

class TCustomComboEdit;

class TEditButton : public TAdSpeedButton {
public:
    explicit TEditButton(TComponent* AOwner);
    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    bool FNoAction = false; // the press closed a popup: the click that follows does nothing
};

class TCustomComboEdit : public TCustomEdit {
public:
    explicit TCustomComboEdit(TComponent* AOwner);
    ~TCustomComboEdit() override;

    TEditButton* Button() const { return FButton; }
    int ButtonWidth() const;
    void SetButtonWidth(int Value);
    std::string ButtonHint() const;
    void SetButtonHint(const std::string& Value);
    TBitmap* Glyph() const;
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const;
    void SetNumGlyphs(int Value);
    TGlyphKind GlyphKind() const { return FGlyphKind; }
    void SetGlyphKind(TGlyphKind Value);
    TShortCut ClickKey = 32808; // Alt+Down
    bool DirectInput() const { return FDirectInput; }
    void SetDirectInput(bool Value);
    // The component's own read-only flag: the button does nothing; the window is read-only too.
    bool ReadOnly() const { return IsReadOnlyNow(); }
    void SetReadOnly(bool Value);
    // A drop-down control whose Text is its value; none of our edits has one.
    TWinControl* Popup = nullptr;
    bool PopupVisible() const { return FPopupVisible; }
    void OpenPopup();
    void ClosePopup(bool Accept);
    // What the button and ClickKey run: ButtonClick unless the edit is read-only.
    void EditButtonClick();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TNotifyEvent OnButtonClick;

protected:
    TW_MESSAGE_HANDLERS(TCustomComboEdit);
    void WMSize(TMessage& Message);
    void CMCtl3DChanged(TMessage& Message);
    void WMCut(TMessage& Message);
    void WMPaste(TMessage& Message);
    void CMEnter(TCMEnter Message);
    void CMEnabledChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CNCtlColorEdit(TWMCtlColor Message);
    void WMSetFocus(TWMSetFocus Message);
    void WMKillFocus(TMessage& Message);
    void CMCancelMode(TMessage& Message);

    virtual TBitmap* DefaultButtonBitmap(bool& DestroyNeeded);
    virtual bool ConfirmPopup(const std::string& Value);
    virtual void CommitValue(const std::string& Value);
    virtual void SeedPopupValue(const std::string& Value);
    virtual bool IsReadOnlyNow() const { return FReadOnly; }
    // Whether the text may be modified now.
    virtual bool EditCanModify() const { return !ReadOnly(); }
    // The button's action: fires OnButtonClick, opens or closes the popup.
    virtual void ButtonClick();

    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void Change() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void RecreateGlyph();
    void PlaceButton();
    void SetEditRect();
    int TextHeight() const;

    int FDefNumGlyphs = 1;

private:
    TEditButton* FButton = nullptr;
    TWinControl* FBtnControl = nullptr;
    bool FReadOnly = false;
    bool FDirectInput = true;
    bool FPopupVisible = false;
    bool FFocused = false;
    int FInSetBounds = 0;
    int FSnapHeight = 0; // the minimum height to take once the running SetBounds ends
    TGlyphKind FGlyphKind = gkCustom;
};

using TExecOpenDialogEvent = std::function<void(TObject* Sender, std::string& Name, bool& Action)>;

class TFileDirEdit : public TCustomComboEdit {
public:
    explicit TFileDirEdit(TComponent* AOwner);

    bool AcceptFiles() const { return FAcceptFiles; }
    void SetAcceptFiles(bool Value);
    bool MultipleDirs = false;
    virtual std::string LongFormName() = 0;
    virtual std::string ShortFormName() = 0;
    virtual void ReceiveFileDir(const std::string& Value) = 0;

    TNotifyEvent OnDropFiles;
    TExecOpenDialogEvent OnBeforeDialog;
    TExecOpenDialogEvent OnAfterDialog;

protected:
    TW_MESSAGE_HANDLERS(TFileDirEdit);
    void WMDropFiles(TMessage& Message);

    virtual void AfterDialogHook(std::string& Name, bool& Action);
    virtual void BeforeDialogHook(std::string& Name, bool& Action);
    TBitmap* DefaultButtonBitmap(bool& DestroyNeeded) override;
    void CreateHandle() override;
    void DestroyWindowHandle() override;
    // Runs a dialog with the error mode that keeps empty drives from raising system boxes.
    bool RunDialog(const std::function<bool()>& Dialog);

private:
    bool FAcceptFiles = false;
};

enum TFileDialogKind { dkOpen, dkSave };

class TFilenameEdit : public TFileDirEdit {
public:
    explicit TFilenameEdit(TComponent* AOwner);

    TFileDialogKind DialogKind() const { return FDialogKind; }
    void SetDialogKind(TFileDialogKind Value);
    TOpenDialog* Dialog() const { return FDialog; }
    // The text as a file name: itself when it names a file, else its program part (unquoted).
    std::string FileName() const;
    void SetFileName(const std::string& Value);
    std::string LongFormName() override;
    std::string ShortFormName() override;
    void ReceiveFileDir(const std::string& Value) override;

protected:
    void ButtonClick() override;

private:
    void CreateEditDialog();
    TOpenDialog* FDialog = nullptr;
    TFileDialogKind FDialogKind = dkOpen;
};
TW_LINK_CLASS(TFilenameEdit);

enum TDirDialogKind { dkLibrary, dkWin32 };

class TDirectoryEdit : public TFileDirEdit {
public:
    explicit TDirectoryEdit(TComponent* AOwner);

    TSelectDirOpts DialogOptions;
    std::string InitialDir;
    std::string DialogText;
    TDirDialogKind DialogKind = dkLibrary;
    std::string LongFormName() override;
    std::string ShortFormName() override;
    void ReceiveFileDir(const std::string& Value) override;

protected:
    void ButtonClick() override;

private:
    std::string ConvertedList(std::string (*Convert)(const std::string&));
};
TW_LINK_CLASS(TDirectoryEdit);

// The quoted form of a file name: between double quotes when it holds a blank (and does not
// begin with a quote already).
std::string QuotedFileName(const std::string& Name);
