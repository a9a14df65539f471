#include "platform/controls/Dialogs.h"

#include "platform/classes/TypInfo.h"
#include "platform/qt/WinHost.h"
#include "platform/rtl/SysUtils.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

namespace {

TDialogPresenter* gPresenter = nullptr;

bool Headless()
{
    return QGuiApplication::platformName() == QLatin1String("offscreen");
}

// The buttons of an MB_ type, in order, as their IDs.
std::vector<int> ButtonsOf(UINT Type)
{
    switch (Type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        return {IDOK};
    }
}

QString QtFilter(const TOpenDialog& D, QString* Selected)
{
    QStringList Parts;
    std::vector<std::string> Entries = FileDialogFilters(D);
    for (std::size_t I = 0; I < Entries.size(); ++I) {
        QString Entry = QString::fromStdString(Entries[I]);
        Parts << Entry;
        if (Selected && static_cast<int>(I) + 1 == D.FilterIndex)
            *Selected = Entry;
    }
    return Parts.join(";;");
}

// The interactive presenter: Qt's own dialogs. A headless run has nobody to ask, so it takes
// the default answer (the default button of a box, "cancelled" for the others).

class TQtDialogPresenter : public TDialogPresenter {
public:
    int Present(TDialogRequest& R) override
    {
        if (Headless()) {
            std::fprintf(stderr, "dialog without an answer: %s %s\n", R.Caption.c_str(), R.Text.c_str());
            if (R.Kind != TDialogKind::MessageBox)
                return 0;
            std::vector<int> Buttons = ButtonsOf(R.Flags);
            std::size_t Def = (R.Flags & MB_DEFMASK) >> 8;
            return Buttons[Def < Buttons.size() ? Def : 0];
        }
        TPaintsDuringForeignLoop Beneath;
        switch (R.Kind) {
        case TDialogKind::MessageBox:
            return Box(R);
        case TDialogKind::OpenFile:
        case TDialogKind::SaveFile:
            return File(R);
        case TDialogKind::Color: {
            auto* D = static_cast<TColorDialog*>(R.Dialog);
            COLORREF C = ColorToColorRef(D->Color);
            QColor Chosen = QColorDialog::getColor(QColor(GetRValue(C), GetGValue(C), GetBValue(C)));
            if (!Chosen.isValid())
                return 0;
            D->Color = static_cast<TColor>(RGB(Chosen.red(), Chosen.green(), Chosen.blue()));
            return 1;
        }
        case TDialogKind::Font: {
            auto* D = static_cast<TFontDialog*>(R.Dialog);
            QFont Initial(QString::fromStdString(D->Font()->Name()), D->Font()->Size());
            Initial.setBold(D->Font()->Style().Contains(fsBold));
            Initial.setItalic(D->Font()->Style().Contains(fsItalic));
            bool Ok = false;
            QFont Chosen = QFontDialog::getFont(&Ok, Initial);
            if (!Ok)
                return 0;
            D->Font()->SetName(Chosen.family().toStdString());
            D->Font()->SetSize(Chosen.pointSize() > 0 ? Chosen.pointSize() : D->Font()->Size());
            TFontStyles Style;
            if (Chosen.bold())
                Style.Include(fsBold);
            if (Chosen.italic())
                Style.Include(fsItalic);
            if (Chosen.underline())
                Style.Include(fsUnderline);
            if (Chosen.strikeOut())
                Style.Include(fsStrikeOut);
            D->Font()->SetStyle(Style);
            return 1;
        }
        case TDialogKind::BrowseFolder:
            // Our own window: it runs its modal loop over the boxes' disabled windows.
            if (auto* Form = dynamic_cast<TCustomForm*>(FindControl(R.Window))) {
                EnableWindow(R.Window, TRUE);
                return Form->ShowModal() == mrOk ? 1 : 0;
            }
            return 0;
        case TDialogKind::SelectWindow: {
            // Numbered as the Window menu numbers them: two documents may share a caption.
            QStringList Items;
            for (std::size_t I = 0; I < R.Items.size(); ++I)
                Items << QString::number(I + 1) + " " + QString::fromStdString(R.Items[I]);
            bool Ok = false;
            QString Chosen = QInputDialog::getItem(nullptr, QString::fromStdString(R.Caption),
                                                   QString::fromStdString(R.Text), Items,
                                                   std::max(0, R.ItemIndex), false, &Ok);
            if (!Ok || !Items.contains(Chosen))
                return 0;
            R.ItemIndex = static_cast<int>(Items.indexOf(Chosen));
            return 1;
        }
        case TDialogKind::Print:
        case TDialogKind::PrinterSetup: {
            QPrinter Printer;
            TPrinterSettings* S = R.Printer;
            if (S) {
                if (S->PrinterIndex >= 0 && S->PrinterIndex < static_cast<int>(S->Printers.size()))
                    Printer.setPrinterName(QString::fromStdString(S->Printers[S->PrinterIndex]));
                Printer.setCopyCount(S->Copies);
                Printer.setPageOrientation(S->Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
                if (!S->OutputFile.empty()) {
                    Printer.setOutputFormat(QPrinter::PdfFormat);
                    Printer.setOutputFileName(QString::fromStdString(S->OutputFile));
                }
            }
            QPrintDialog Dialog(&Printer);
            if (auto* P = dynamic_cast<TPrintDialog*>(R.Dialog)) {
                Printer.setCopyCount(P->Copies);
                if (P->MaxPage > 0)
                    Dialog.setMinMax(P->MinPage, P->MaxPage);
            }
            if (Dialog.exec() != QDialog::Accepted)
                return 0;
            if (S) {
                auto It =
                    std::find(S->Printers.begin(), S->Printers.end(), Printer.printerName().toStdString());
                if (It != S->Printers.end())
                    S->PrinterIndex = static_cast<int>(It - S->Printers.begin());
                S->Copies = Printer.copyCount();
                S->Landscape = Printer.pageLayout().orientation() == QPageLayout::Landscape;
                // The dialog offers printing to a PDF file, also where there is no printer.
                S->OutputFile = Printer.outputFormat() == QPrinter::PdfFormat
                                    ? Printer.outputFileName().toStdString()
                                    : std::string();
            }
            if (auto* P = dynamic_cast<TPrintDialog*>(R.Dialog)) {
                P->Copies = Printer.copyCount();
                P->FromPage = Printer.fromPage();
                P->ToPage = Printer.toPage();
                P->PrintRange = Printer.printRange() == QPrinter::PageRange   ? prPageNums
                                : Printer.printRange() == QPrinter::Selection ? prSelection
                                                                              : prAllPages;
            }
            return 1;
        }
        }
        return 0;
    }

private:
    int Box(const TDialogRequest& R)
    {
        QMessageBox Box;
        Box.setWindowTitle(QString::fromStdString(R.Caption));
        Box.setText(QString::fromStdString(R.Text));
        switch (R.Flags & MB_ICONMASK) {
        case MB_ICONHAND:
            Box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            Box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONEXCLAMATION:
            Box.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONASTERISK:
            Box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
        }
        std::vector<std::pair<QAbstractButton*, int>> Map;
        std::vector<int> Buttons = ButtonsOf(R.Flags);
        for (int Id : Buttons) {
            QMessageBox::StandardButton B = Id == IDOK       ? QMessageBox::Ok
                                            : Id == IDCANCEL ? QMessageBox::Cancel
                                            : Id == IDABORT  ? QMessageBox::Abort
                                            : Id == IDRETRY  ? QMessageBox::Retry
                                            : Id == IDIGNORE ? QMessageBox::Ignore
                                            : Id == IDYES    ? QMessageBox::Yes
                                                             : QMessageBox::No;
            Map.emplace_back(Box.addButton(B), Id);
        }
        std::size_t Def = (R.Flags & MB_DEFMASK) >> 8;
        if (Def < Map.size())
            Box.setDefaultButton(static_cast<QPushButton*>(Map[Def].first));
        Box.exec();
        for (auto& [Button, Id] : Map)
            if (Box.clickedButton() == Button)
                return Id;
        // Closed without a button: Cancel when there is one, else the only button.
        for (int Id : Buttons)
            if (Id == IDCANCEL)
                return IDCANCEL;
        return Buttons.back();
    }

    int File(const TDialogRequest& R)
    {
        auto* D = static_cast<TOpenDialog*>(R.Dialog);
        QString Selected;
        QString Filter = QtFilter(*D, &Selected);
        QString Dir = QString::fromStdString(D->InitialPath());
        QString Caption = QString::fromStdString(D->Title);
        if (R.Kind == TDialogKind::SaveFile) {
            QString Name = QFileDialog::getSaveFileName(nullptr, Caption, Dir, Filter, &Selected,
                                                        QFileDialog::DontConfirmOverwrite);
            if (Name.isEmpty())
                return 0;
            D->FileName = Name.toStdString();
        } else if (D->Options.Contains(ofAllowMultiSelect)) {
            QStringList Names = QFileDialog::getOpenFileNames(nullptr, Caption, Dir, Filter, &Selected);
            if (Names.isEmpty())
                return 0;
            D->Files()->Clear();
            for (const QString& N : Names)
                D->Files()->Add(N.toStdString());
            D->FileName = Names.front().toStdString();
        } else {
            QString Name = QFileDialog::getOpenFileName(nullptr, Caption, Dir, Filter, &Selected);
            if (Name.isEmpty())
                return 0;
            D->FileName = Name.toStdString();
        }
        QStringList Entries = Filter.split(";;");
        int Index = static_cast<int>(Entries.indexOf(Selected));
        if (Index >= 0)
            D->FilterIndex = Index + 1;
        return 1;
    }
};

struct TDisableState {
    HWND Keep;
    std::vector<HWND> Disabled;
};

BOOL DisableWindow(HWND Wnd, LPARAM Param)
{
    auto* State = reinterpret_cast<TDisableState*>(Param);
    if (Wnd != State->Keep && IsWindowVisible(Wnd) && IsWindowEnabled(Wnd)) {
        State->Disabled.push_back(Wnd);
        EnableWindow(Wnd, FALSE);
    }
    return TRUE;
}

const char* const BoxClass = "TWDialogBox";

} // namespace

void SetDialogPresenter(TDialogPresenter* Presenter)
{
    gPresenter = Presenter;
}

TDialogPresenter* DialogPresenter()
{
    static TQtDialogPresenter Interactive;
    return gPresenter ? gPresenter : &Interactive;
}

int PresentDialog(TDialogRequest& Request)
{
    // The box is a window of the model: it takes the activation and the capture from the
    // program's windows, which stay disabled until it is answered.
    if (HWND Capture = GetCapture()) {
        SendMessage(Capture, WM_CANCELMODE, 0, 0);
        ReleaseCapture();
    }
    // The pointer goes to the box: a hint shown or waiting for the control it rested on would
    // outlive the box and stand over whatever lies under the pointer then.
    if (TApplicationHost* Host = ApplicationHost())
        Host->CancelHint();
    // What the program changed before asking shows behind the box, as a modal loop would
    // paint it (the box's own loop does not run the program's paint messages).
    DispatchPendingPaints();
    HWND Previous = GetActiveWindow();
    WNDCLASS Existing;
    if (!GetClassInfo(nullptr, BoxClass, &Existing)) {
        WNDCLASS WC;
        WC.lpfnWndProc = &::DefWindowProc;
        WC.lpszClassName = BoxClass;
        RegisterClass(&WC);
    }
    HWND Box = CreateWindowEx(WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW, BoxClass, Request.Caption.c_str(),
                              WS_POPUP, -32000, -32000, 1, 1, Request.Owner, nullptr, nullptr, nullptr);
    TDisableState State{Box, {}};
    EnumThreadWindows(GetCurrentThreadId(), &DisableWindow, reinterpret_cast<LPARAM>(&State));
    if (Box) {
        ShowWindow(Box, SW_SHOW);
        SetActiveWindow(Box);
    }
    auto Finish = [&] {
        ForgetModifiersReleasedElsewhere();
        for (HWND W : State.Disabled)
            if (IsWindow(W))
                EnableWindow(W, TRUE);
        if (Box)
            DestroyWindow(Box);
        if (Previous && IsWindow(Previous) && IsWindowVisible(Previous))
            SetActiveWindow(Previous);
    };
    int Result = 0;
    try {
        Result = DialogPresenter()->Present(Request);
    } catch (...) {
        Finish();
        throw;
    }
    Finish();
    return Result;
}

int MessageBox(HWND Wnd, const std::string& Text, const std::string& Caption, UINT Type)
{
    TDialogRequest R;
    R.Kind = TDialogKind::MessageBox;
    R.Owner = Wnd;
    R.Text = Text;
    R.Caption = Caption;
    R.Flags = Type;
    return PresentDialog(R);
}

namespace {
std::string ProgramTitle()
{
    TApplicationHost* Host = ApplicationHost();
    return Host ? Host->Title() : std::string();
}
} // namespace

TModalResult MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int)
{
    TDialogRequest R;
    R.Kind = TDialogKind::MessageBox;
    R.Text = Msg;
    R.Buttons = Buttons;
    switch (DlgType) {
    case mtWarning:
        R.Caption = "Warning";
        R.Flags = MB_ICONWARNING;
        break;
    case mtError:
        R.Caption = "Error";
        R.Flags = MB_ICONERROR;
        break;
    case mtInformation:
        R.Caption = "Information";
        R.Flags = MB_ICONINFORMATION;
        break;
    case mtConfirmation:
        R.Caption = "Confirm";
        R.Flags = MB_ICONQUESTION;
        break;
    case mtCustom:
        R.Caption = ProgramTitle();
        break;
    }
    auto Has = [&](TMsgDlgBtn B) { return Buttons.Contains(B); };
    if (Has(mbYes) && Has(mbNo) && Has(mbCancel))
        R.Flags |= MB_YESNOCANCEL;
    else if (Has(mbYes) && Has(mbNo))
        R.Flags |= MB_YESNO;
    else if (Has(mbAbort) && Has(mbRetry) && Has(mbIgnore))
        R.Flags |= MB_ABORTRETRYIGNORE;
    else if (Has(mbRetry) && Has(mbCancel))
        R.Flags |= MB_RETRYCANCEL;
    else if (Has(mbOK) && Has(mbCancel))
        R.Flags |= MB_OKCANCEL;
    if (TCustomForm* Active = ScreenInstance()->ActiveForm(); Active && Active->HandleAllocated())
        R.Owner = Active->Handle();
    // The box answers are the modal results of the same number.
    return PresentDialog(R);
}

void ShowMessage(const std::string& Msg)
{
    TDialogRequest R;
    R.Kind = TDialogKind::MessageBox;
    R.Text = Msg;
    R.Caption = ProgramTitle();
    R.Flags = MB_OK;
    R.Buttons = TMsgDlgButtons{mbOK};
    if (TCustomForm* Active = ScreenInstance()->ActiveForm(); Active && Active->HandleAllocated())
        R.Owner = Active->Handle();
    PresentDialog(R);
}

// ---- Common dialogs ---------------------------------------------------------------------------

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFiles(new TStringList()) {}

TOpenDialog::~TOpenDialog()
{
    delete FFiles;
}

std::vector<std::pair<std::string, std::string>> TOpenDialog::FilterPairs() const
{
    std::vector<std::pair<std::string, std::string>> Result;
    std::vector<std::string> Parts;
    std::size_t Start = 0;
    while (Start <= Filter.size() && !Filter.empty()) {
        std::size_t Bar = Filter.find('|', Start);
        Parts.push_back(Filter.substr(Start, Bar == std::string::npos ? std::string::npos : Bar - Start));
        if (Bar == std::string::npos)
            break;
        Start = Bar + 1;
    }
    for (std::size_t I = 0; I < Parts.size(); I += 2)
        Result.emplace_back(Parts[I], I + 1 < Parts.size() ? Parts[I + 1] : std::string("*"));
    return Result;
}

std::vector<std::string> FileDialogFilters(const TOpenDialog& Dialog)
{
    std::vector<std::string> Result;
    for (const auto& [Given, Patterns] : Dialog.FilterPairs()) {
        // The dialog shows the patterns after the label itself; a label that already ends with
        // them ("All files (*.*)") would show them twice.
        std::string Label = Given;
        std::string Spaced = Patterns;
        std::replace(Spaced.begin(), Spaced.end(), ';', ' ');
        for (const std::string& Shown : {"(" + Patterns + ")", "(" + Spaced + ")"})
            if (Label.size() >= Shown.size() &&
                Label.compare(Label.size() - Shown.size(), Shown.size(), Shown) == 0) {
                Label.erase(Label.size() - Shown.size());
                break;
            }
        while (!Label.empty() && Label.back() == ' ')
            Label.pop_back();
        // "*.*" means every file; here it would only match names with a dot.
        std::string Native;
        std::size_t Start = 0;
        while (Start <= Patterns.size()) {
            std::size_t End = Patterns.find(';', Start);
            std::string One =
                Trim(Patterns.substr(Start, End == std::string::npos ? std::string::npos : End - Start));
            if (One == "*.*")
                One = "*";
            if (!One.empty())
                Native += (Native.empty() ? "" : " ") + One;
            if (End == std::string::npos)
                break;
            Start = End + 1;
        }
        Result.push_back(Label + " (" + (Native.empty() ? std::string("*") : Native) + ")");
    }
    return Result;
}

bool TOpenDialog::AcceptFileName(std::string& Name)
{
    if (Name.empty())
        return false;
    std::size_t Slash = Name.find_last_of('/');
    std::string Base = Slash == std::string::npos ? Name : Name.substr(Slash + 1);
    // Forms write the extension as a pattern ("*.html") as often as bare (".tdo", "tdo"); a
    // wildcard left after that names no extension at all.
    std::string Ext = DefaultExt;
    if (!Ext.empty() && Ext[0] == '*')
        Ext.erase(0, 1);
    if (!Ext.empty() && Ext[0] == '.')
        Ext.erase(0, 1);
    if (Ext.find_first_of("*?") != std::string::npos)
        Ext.clear();
    // A file that is there opens as typed ("README", "Makefile"): only a new name is completed.
    if (!Ext.empty() && Base.find('.') == std::string::npos && !FileExists(Name) && !DirectoryExists(Name))
        Name += "." + Ext;
    return true;
}

std::string TOpenDialog::InitialPath() const
{
    const bool OwnDirectory =
        FileName.find_first_of("/\\") != std::string::npos || (FileName.size() >= 2 && FileName[1] == ':');
    if (OwnDirectory)
        return MapPath(FileName);
    if (InitialDir.empty())
        return FileName;
    const std::string Dir = MapPath(InitialDir);
    return FileName.empty() ? Dir : IncludeTrailingPathDelimiter(Dir) + FileName;
}

bool TOpenDialog::DoExecute(bool Save)
{
    TDialogRequest R;
    R.Kind = Save ? TDialogKind::SaveFile : TDialogKind::OpenFile;
    R.Caption = Title.empty() ? (Save ? "Save As" : "Open") : Title;
    R.Dialog = this;
    // The desktop's file dialog keeps its last folders in a settings file of its own; it goes
    // with the program's settings, not loose in the settings root.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(SettingsDir()));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(SettingsDir()));
    if (TCustomForm* Active = ScreenInstance()->ActiveForm(); Active && Active->HandleAllocated())
        R.Owner = Active->Handle();
    for (;;) {
        if (PresentDialog(R) == 0)
            return false;
        std::string Name = FileName;
        if (!AcceptFileName(Name))
            return false;
        // The checks a file dialog makes before it closes.
        if (!Save && Options.Contains(ofFileMustExist) && !FileExists(Name)) {
            MessageBox(R.Owner,
                       Name + "\r\nFile not found.\r\nPlease verify the correct file name was given.",
                       R.Caption, MB_OK | MB_ICONWARNING);
            continue;
        }
        // The file a save would replace is the one named exactly, not one differing in case.
        struct stat Existing {};
        if (Save && Options.Contains(ofOverwritePrompt) && stat(MapWritePath(Name).c_str(), &Existing) == 0 &&
            !S_ISDIR(Existing.st_mode)) {
            if (MessageBox(R.Owner, Name + " already exists.\r\nDo you want to replace it?", R.Caption,
                           MB_YESNO | MB_ICONWARNING) != IDYES)
                continue;
        }
        FileName = Name;
        if (FFiles->Count() == 0 || !Options.Contains(ofAllowMultiSelect)) {
            FFiles->Clear();
            FFiles->Add(FileName);
        }
        return true;
    }
}

bool TOpenDialog::Execute()
{
    return DoExecute(false);
}
bool TSaveDialog::Execute()
{
    return DoExecute(true);
}

TColorDialog::TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner), FCustomColors(new TStringList()) {}
TColorDialog::~TColorDialog()
{
    delete FCustomColors;
}

bool TColorDialog::Execute()
{
    TDialogRequest R;
    R.Kind = TDialogKind::Color;
    R.Caption = "Color";
    R.Dialog = this;
    return PresentDialog(R) != 0;
}

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFont(new TFont()) {}
TFontDialog::~TFontDialog()
{
    delete FFont;
}

bool TFontDialog::Execute()
{
    TDialogRequest R;
    R.Kind = TDialogKind::Font;
    R.Caption = "Font";
    R.Dialog = this;
    return PresentDialog(R) != 0;
}

namespace {

TPrinterLink gPrinterLink;

TPrinterSettings CurrentPrinterSettings()
{
    return gPrinterLink.Current ? gPrinterLink.Current() : TPrinterSettings{};
}

void ApplyPrinterSettings(const TPrinterSettings& Settings)
{
    if (gPrinterLink.Apply)
        gPrinterLink.Apply(Settings);
}

} // namespace

void SetPrinterLink(const TPrinterLink& Link)
{
    gPrinterLink = Link;
}

const TPrinterLink& PrinterLink()
{
    return gPrinterLink;
}

bool TPrintDialog::Execute()
{
    TPrinterSettings Settings = CurrentPrinterSettings();
    Settings.Copies = Copies;
    TDialogRequest R;
    R.Kind = TDialogKind::Print;
    R.Caption = "Print";
    R.Dialog = this;
    R.Printer = &Settings;
    if (PresentDialog(R) == 0)
        return false;
    Settings.Copies = Copies;
    ApplyPrinterSettings(Settings);
    return true;
}

bool TPrinterSetupDialog::Execute()
{
    TPrinterSettings Settings = CurrentPrinterSettings();
    TDialogRequest R;
    R.Kind = TDialogKind::PrinterSetup;
    R.Caption = "Print Setup";
    R.Dialog = this;
    R.Printer = &Settings;
    if (PresentDialog(R) == 0)
        return false;
    ApplyPrinterSettings(Settings);
    return true;
}

// ---- Published properties ---------------------------------------------------------------------

TW_ENUM(TOpenOption, "ofReadOnly", "ofOverwritePrompt", "ofHideReadOnly", "ofNoChangeDir", "ofShowHelp",
        "ofNoValidate", "ofAllowMultiSelect", "ofExtensionDifferent", "ofPathMustExist", "ofFileMustExist",
        "ofCreatePrompt", "ofShareAware", "ofNoReadOnlyReturn", "ofNoTestFileCreate", "ofNoNetworkButton",
        "ofNoLongNames", "ofOldStyleDialog", "ofNoDereferenceLinks");
TW_ENUM(TColorDialogOption, "cdFullOpen", "cdPreventFullOpen", "cdShowHelp", "cdSolidColor", "cdAnyColor");
TW_ENUM(TFontDialogOption, "fdAnsiOnly", "fdTrueTypeOnly", "fdEffects", "fdFixedPitchOnly",
        "fdForceFontExist", "fdNoFaceSel", "fdNoOEMFonts", "fdNoSimulations", "fdNoSizeSel", "fdNoStyleSel",
        "fdNoVectorFonts", "fdShowHelp", "fdWysiwyg", "fdLimitSize", "fdScalableOnly", "fdApplyButton");
TW_ENUM(TFontDialogDevice, "fdScreen", "fdPrinter", "fdBoth");
TW_ENUM(TPrintRange, "prAllPages", "prSelection", "prPageNums");
TW_ENUM(TPrintDialogOption, "poPrintToFile", "poPageNums", "poSelection", "poWarning", "poHelp",
        "poDisablePrintToFile");

TW_PUBLISH(TCommonDialog, TComponent)
{
    Cls.Int("HelpContext", &TCommonDialog::HelpContext).Default(0);
    Cls.Bool("Ctl3D", &TCommonDialog::Ctl3D).Default(true);
}

TW_PUBLISH(TOpenDialog, TCommonDialog)
{
    Cls.Str("Filter", &TOpenDialog::Filter);
    Cls.Int("FilterIndex", &TOpenDialog::FilterIndex).Default(1);
    Cls.Str("DefaultExt", &TOpenDialog::DefaultExt);
    Cls.Str("FileName", &TOpenDialog::FileName);
    Cls.Str("InitialDir", &TOpenDialog::InitialDir);
    Cls.Str("Title", &TOpenDialog::Title);
    Cls.Set("Options", &TOpenDialog::Options);
}

TW_PUBLISH(TSaveDialog, TOpenDialog) {}

TW_PUBLISH(TColorDialog, TCommonDialog)
{
    Cls.Color("Color", &TColorDialog::Color);
    Cls.Strings("CustomColors", &TColorDialog::CustomColors);
    Cls.Set("Options", &TColorDialog::Options);
}

TW_PUBLISH(TFontDialog, TCommonDialog)
{
    Cls.Object("Font", &TFontDialog::Font, &TFontDialog::SetFont);
    Cls.Enum("Device", &TFontDialog::Device).Default(fdScreen);
    Cls.Int("MinFontSize", &TFontDialog::MinFontSize).Default(0);
    Cls.Int("MaxFontSize", &TFontDialog::MaxFontSize).Default(0);
    Cls.Set("Options", &TFontDialog::Options);
}

TW_PUBLISH(TPrintDialog, TCommonDialog)
{
    Cls.Bool("Collate", &TPrintDialog::Collate).Default(false);
    Cls.Int("Copies", &TPrintDialog::Copies).Default(1);
    Cls.Int("FromPage", &TPrintDialog::FromPage).Default(0);
    Cls.Int("ToPage", &TPrintDialog::ToPage).Default(0);
    Cls.Int("MinPage", &TPrintDialog::MinPage).Default(0);
    Cls.Int("MaxPage", &TPrintDialog::MaxPage).Default(0);
    Cls.Set("Options", &TPrintDialog::Options);
    Cls.Enum("PrintRange", &TPrintDialog::PrintRange).Default(prAllPages);
    Cls.Bool("PrintToFile", &TPrintDialog::PrintToFile).Default(false);
}

TW_PUBLISH(TPrinterSetupDialog, TCommonDialog) {}
