// Dialogs: the common dialogs (open, save, colour, font, print, printer set-up) and message boxes.
// Every dialog goes through one presenter: the interactive one (Qt's dialogs) by default, a
// test's queue of answers in tests, so no test ever blocks on a window.
#pragma once

#include "platform/controls/Forms.h"

#include <memory>
#include <string>
#include <vector>

// Message-box styles and answers.
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_ICONMASK = 0x000000F0;
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_DEFMASK = 0x00000F00;
inline constexpr UINT MB_APPLMODAL = 0x00000000;
inline constexpr UINT MB_SYSTEMMODAL = 0x00001000;
inline constexpr UINT MB_TASKMODAL = 0x00002000;
inline constexpr UINT MB_SETFOREGROUND = 0x00010000;
inline constexpr UINT MB_TOPMOST = 0x00040000;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// A modal message box owned by Wnd; the result is the button pressed (IDOK ...).
int MessageBox(HWND Wnd, const std::string& Text, const std::string& Caption, UINT Type);

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbHelp };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// Captions "Warning", "Error", "Information", "Confirm" (mtCustom: the program's title).
TModalResult MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
void ShowMessage(const std::string& Msg);

// ---- Common dialogs ---------------------------------------------------------------------------
class TCommonDialog : public TComponent {
public:
    explicit TCommonDialog(TComponent* AOwner);
    // Shows the dialog; true when the user confirmed it.
    virtual bool Execute() = 0;
    int HelpContext = 0;
    bool Ctl3D = true;
};

enum TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
};
using TOpenOptions = TSet<TOpenOption>;

class TOpenDialog : public TCommonDialog {
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;
    bool Execute() override;

    // "Text files (*.txt)|*.txt|All files (*.*)|*.*"
    std::string Filter;
    // 1-based, as the filter's description/pattern pairs are counted.
    int FilterIndex = 1;
    std::string DefaultExt;
    std::string FileName;
    std::string InitialDir;
    std::string Title;
    TOpenOptions Options{ofHideReadOnly};
    TStrings* Files() const { return FFiles; }

    // What Execute does with the answer: DefaultExt appended to a name without extension that names
    // no file; a missing file refused under ofFileMustExist; overwrite asked under ofOverwritePrompt (save).
    // Returns false when the answer is refused.
    virtual bool AcceptFileName(std::string& Name);

    // The (description, pattern) pairs of Filter.
    std::vector<std::pair<std::string, std::string>> FilterPairs() const;
    // Where the dialog opens, as a native path: FileName when it has a directory of its own,
    // else FileName inside InitialDir (either may be empty).
    std::string InitialPath() const;

protected:
    bool DoExecute(bool Save);

private:
    TStringList* FFiles;
};

// The filter's entries as the desktop's file dialog lists them, "Label (patterns)".
std::vector<std::string> FileDialogFilters(const TOpenDialog& Dialog);

class TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
    bool Execute() override;
};

enum TColorDialogOption { cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor };
using TColorDialogOptions = TSet<TColorDialogOption>;

class TColorDialog : public TCommonDialog {
public:
    explicit TColorDialog(TComponent* AOwner);
    ~TColorDialog() override;
    bool Execute() override;
    TColor Color = clBlack;
    TStrings* CustomColors() const { return FCustomColors; }
    TColorDialogOptions Options;

private:
    TStringList* FCustomColors;
};

enum TFontDialogOption {
    fdAnsiOnly,
    fdTrueTypeOnly,
    fdEffects,
    fdFixedPitchOnly,
    fdForceFontExist,
    fdNoFaceSel,
    fdNoOEMFonts,
    fdNoSimulations,
    fdNoSizeSel,
    fdNoStyleSel,
    fdNoVectorFonts,
    fdShowHelp,
    fdWysiwyg,
    fdLimitSize,
    fdScalableOnly,
    fdApplyButton,
};
using TFontDialogOptions = TSet<TFontDialogOption>;
enum TFontDialogDevice { fdScreen, fdPrinter, fdBoth };

class TFontDialog : public TCommonDialog {
public:
    explicit TFontDialog(TComponent* AOwner);
    ~TFontDialog() override;
    bool Execute() override;
    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TFontDialogDevice Device = fdScreen;
    int MinFontSize = 0;
    int MaxFontSize = 0;
    TFontDialogOptions Options{fdEffects};

private:
    TFont* FFont;
};

enum TPrintRange { prAllPages, prSelection, prPageNums };
enum TPrintDialogOption { poPrintToFile, poPageNums, poSelection, poWarning, poHelp, poDisablePrintToFile };
using TPrintDialogOptions = TSet<TPrintDialogOption>;

class TPrintDialog : public TCommonDialog {
public:
    using TCommonDialog::TCommonDialog;
    bool Execute() override;
    bool Collate = false;
    int Copies = 1;
    int FromPage = 0;
    int ToPage = 0;
    int MinPage = 0;
    int MaxPage = 0;
    TPrintDialogOptions Options;
    TPrintRange PrintRange = prAllPages;
    bool PrintToFile = false;
};

class TPrinterSetupDialog : public TCommonDialog {
public:
    using TCommonDialog::TCommonDialog;
    bool Execute() override;
};

// ---- The printer the print dialogs set up -------------------------------------------------------
// The program's printer object lives above the controls: the application layer installs this
// link at start-up, so a print dialog opens on that printer's settings and the choice confirmed
// in it (printer, copies, orientation) reaches it. Without a link the dialogs set up nothing but
// their own properties.
struct TPrinterSettings {
    std::vector<std::string> Printers; // the printers to choose from
    int PrinterIndex = -1;             // into Printers; -1: the default printer
    int Copies = 1;
    bool Landscape = false;
    std::string OutputFile; // a PDF file chosen in place of a printer ("" for none)
};
struct TPrinterLink {
    TPrinterSettings (*Current)() = nullptr;          // the printer's settings now
    void (*Apply)(const TPrinterSettings&) = nullptr; // a confirmed choice
};
void SetPrinterLink(const TPrinterLink& Link);
const TPrinterLink& PrinterLink();

// ---- The presenter ----------------------------------------------------------------------------
enum class TDialogKind {
    MessageBox,
    OpenFile,
    SaveFile,
    Color,
    Font,
    Print,
    PrinterSetup,
    BrowseFolder,
    SelectWindow
};

// One dialog the program asks for. For message boxes Text/Caption/Flags say what it shows; for
// the common dialogs Dialog is the component, which the presenter fills in (FileName, Color ...)
// when it answers "confirmed".
struct TDialogRequest {
    TDialogKind Kind = TDialogKind::MessageBox;
    HWND Owner = nullptr;
    std::string Caption;
    std::string Text;
    UINT Flags = 0;
    // MessageDlg: the buttons asked for (the MB_ type in Flags is the nearest match).
    TMsgDlgButtons Buttons;
    TCommonDialog* Dialog = nullptr;
    // Print and PrinterSetup: the printer's settings, which the presenter changes to the choice
    // (for Print, the copies are the dialog's Copies instead).
    TPrinterSettings* Printer = nullptr;
    // BrowseFolder: the dialog's window (platform/controls/FolderBrowser.h).
    HWND Window = nullptr;
    // SelectWindow: the entries to choose from and the one chosen (the presenter sets it).
    std::vector<std::string> Items;
    int ItemIndex = -1;
};

class TDialogPresenter {
public:
    virtual ~TDialogPresenter() = default;
    // Message boxes: the button (IDOK ...). Common dialogs: 1 confirmed, 0 cancelled.
    virtual int Present(TDialogRequest& Request) = 0;
};
// nullptr restores the interactive presenter.
void SetDialogPresenter(TDialogPresenter* Presenter);
TDialogPresenter* DialogPresenter();
// Shows a request through the presenter, with the program's windows disabled around it and the
// activation handed to the box and back, as a real modal box does.
int PresentDialog(TDialogRequest& Request);
