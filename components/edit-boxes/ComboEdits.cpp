#include "components/edit-boxes/ComboEdits.h"

#include "components/edit-boxes/PathUtils.h"
#include "platform/app/ShellApi.h"
#include "platform/app/SysInfo.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/WinGdi.h"

#include <algorithm>
#include <memory>

// ---- TEditButton ------------------------------------------------------------------------------

TEditButton::TEditButton(TComponent* AOwner) : TAdSpeedButton(AOwner)
{
    ControlStyle.Include(csReplicatable);
}

void TEditButton::Paint()
{
    TAdSpeedButton::Paint();
    if (State() == gsDown)
        return;
    // The left edge joins the edit's text area instead of showing a raised border.
    TCanvas* C = Canvas();
    C->Pen()->SetColor(clBtnFace);
    C->MoveTo(0, 0);
    C->LineTo(0, Height() - 1);
    C->Pen()->SetColor(clBtnHighlight);
    C->MoveTo(1, 1);
    C->LineTo(1, Height() - 2);
}

void TEditButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (auto* Edit = dynamic_cast<TCustomComboEdit*>(Owner())) {
            FNoAction = Edit->Popup && Edit->PopupVisible();
            Edit->ClosePopup(true);
        }
    }
    TAdSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TEditButton::Click()
{
    if (FNoAction) {
        FNoAction = false;
        return;
    }
    TAdSpeedButton::Click();
}

TW_PUBLISH(TEditButton, TAdSpeedButton) {}

// ---- TCustomComboEdit -------------------------------------------------------------------------

TW_PUBLISH(TCustomComboEdit, TCustomEdit)
{
    Cls.Int("ButtonWidth", &TCustomComboEdit::ButtonWidth, &TCustomComboEdit::SetButtonWidth);
    Cls.Str("ButtonHint", &TCustomComboEdit::ButtonHint, &TCustomComboEdit::SetButtonHint);
    Cls.Object("Glyph", &TCustomComboEdit::Glyph, &TCustomComboEdit::SetGlyph);
    Cls.Int("NumGlyphs", &TCustomComboEdit::NumGlyphs, &TCustomComboEdit::SetNumGlyphs);
    Cls.Enum("GlyphKind", &TCustomComboEdit::GlyphKind, &TCustomComboEdit::SetGlyphKind);
    Cls.Int("ClickKey", &TCustomComboEdit::ClickKey).Default(32808);
    Cls.Bool("DirectInput", &TCustomComboEdit::DirectInput, &TCustomComboEdit::SetDirectInput).Default(true);
    Cls.Bool("ReadOnly", &TCustomComboEdit::ReadOnly, &TCustomComboEdit::SetReadOnly).Default(false);
    Cls.Message(WM_SIZE, &TCustomComboEdit::WMSize);
    Cls.Message(CM_CTL3DCHANGED, &TCustomComboEdit::CMCtl3DChanged);
    Cls.Message(WM_CUT, &TCustomComboEdit::WMCut);
    Cls.Message(WM_PASTE, &TCustomComboEdit::WMPaste);
    Cls.Message(CM_ENTER, &TCustomComboEdit::CMEnter);
    Cls.Message(CM_ENABLEDCHANGED, &TCustomComboEdit::CMEnabledChanged);
    Cls.Message(CM_FONTCHANGED, &TCustomComboEdit::CMFontChanged);
    Cls.Message(CN_CTLCOLOREDIT, &TCustomComboEdit::CNCtlColorEdit);
    Cls.Message(WM_SETFOCUS, &TCustomComboEdit::WMSetFocus);
    Cls.Message(WM_KILLFOCUS, &TCustomComboEdit::WMKillFocus);
    Cls.Message(CM_CANCELMODE, &TCustomComboEdit::CMCancelMode);
}
TW_ENUM(TGlyphKind, "gkCustom", "gkDefault", "gkDropDown", "gkEllipsis");

TCustomComboEdit::TCustomComboEdit(TComponent* AOwner) : TCustomEdit(AOwner)
{
    AutoSize = false;
    FBtnControl = new TWinControl(this);
    FBtnControl->ControlStyle.Include(csReplicatable);
    FBtnControl->SetBounds(0, 0, 21, 17);
    FBtnControl->SetVisible(true);
    FBtnControl->SetParent(this);
    FButton = new TEditButton(this);
    FButton->SetBounds(0, 0, FBtnControl->Width(), FBtnControl->Height());
    FButton->SetVisible(true);
    FButton->SetParent(FBtnControl);
    FButton->OnClick = [this](TObject*) { EditButtonClick(); };
    SetHeight(21);
}

TCustomComboEdit::~TCustomComboEdit()
{
    FButton->OnClick = nullptr;
}

void TCustomComboEdit::CreateParams(TCreateParams& Params)
{
    TCustomEdit::CreateParams(Params);
    // Multi-line so that the formatting rectangle can leave room for the button; Enter never
    // reaches the window, so the text stays one line.
    Params.Style |= ES_MULTILINE | WS_CLIPCHILDREN;
}

void TCustomComboEdit::CreateWnd()
{
    TCustomEdit::CreateWnd();
    SetEditRect();
}

void TCustomComboEdit::SetEditRect()
{
    if (!HandleAllocated())
        return;
    RECT R{0, 0, ClientWidth() - FBtnControl->Width() - 2, ClientHeight() + 1};
    SendMessage(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&R));
}

void TCustomComboEdit::PlaceButton()
{
    int BW = FButton->Width();
    if (Ctl3D)
        FBtnControl->SetBounds(Width() - BW - 4, 0, BW, Height() - 4);
    else
        FBtnControl->SetBounds(Width() - BW - 2, 2, BW, Height() - 4);
    FButton->SetHeight(FBtnControl->Height());
    SetEditRect();
}

int TCustomComboEdit::TextHeight() const
{
    HDC DC = GetDC(nullptr);
    TEXTMETRIC System{}, Own{};
    HGDIOBJ Old = SelectObject(DC, GetStockObject(SYSTEM_FONT));
    GetTextMetrics(DC, &System);
    SelectObject(DC, Font()->Handle());
    GetTextMetrics(DC, &Own);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    return std::min(System.tmHeight, Own.tmHeight);
}

void TCustomComboEdit::WMSize(TMessage& Message)
{
    DefaultHandler(Message);
    if (ComponentState().Contains(csLoading)) {
        PlaceButton();
        return;
    }
    int MinHeight = TextHeight() + 4 * GetSystemMetrics(SM_CYBORDER) + 1;
    if (Height() < MinHeight) {
        // The resize comes back here; inside SetBounds it is made once that has ended.
        if (FInSetBounds)
            FSnapHeight = MinHeight;
        else
            SetHeight(MinHeight);
        return;
    }
    PlaceButton();
}

void TCustomComboEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    ++FInSetBounds;
    try {
        TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    } catch (...) {
        --FInSetBounds;
        throw;
    }
    --FInSetBounds;
    if (FSnapHeight && !FInSetBounds) {
        int H = FSnapHeight;
        FSnapHeight = 0;
        SetHeight(H);
    }
}

void TCustomComboEdit::CMCtl3DChanged(TMessage& Message)
{
    DefaultHandler(Message);
    PlaceButton();
}

void TCustomComboEdit::WMCut(TMessage& Message)
{
    if (FDirectInput && !IsReadOnlyNow())
        DefaultHandler(Message);
}

void TCustomComboEdit::WMPaste(TMessage& Message)
{
    if (FDirectInput && !IsReadOnlyNow())
        DefaultHandler(Message);
}

void TCustomComboEdit::CMEnter(TCMEnter Message)
{
    if (AutoSelect && GetKeyState(VK_LBUTTON) >= 0 && FDirectInput)
        SelectAll();
    TWinControl::CMEnter(Message);
}

void TCustomComboEdit::CMEnabledChanged(TMessage& Message)
{
    TWinControl::CMEnabledChanged(Message);
    FButton->SetEnabled(Enabled());
}

void TCustomComboEdit::CMFontChanged(TMessage& Message)
{
    TCustomEdit::CMFontChanged(Message);
    if (HandleAllocated())
        RecreateWnd();
}

void TCustomComboEdit::CNCtlColorEdit(TWMCtlColor Message)
{
    TWinControl::CNCtlColor(Message);
    TColor Text = Font()->Color();
    if (!Enabled() && Color() != clGrayText)
        Text = clGrayText;
    SetTextColor(Message.ChildDC(), ColorToRGB(Text));
}

void TCustomComboEdit::WMSetFocus(TWMSetFocus Message)
{
    TWinControl::WMSetFocus(Message);
    FFocused = true;
}

void TCustomComboEdit::WMKillFocus(TMessage& Message)
{
    DefaultHandler(Message);
    FFocused = false;
    ClosePopup(false);
}

void TCustomComboEdit::CMCancelMode(TMessage& Message)
{
    auto* Sender = reinterpret_cast<TControl*>(Message.LParam);
    if (!Popup || !FPopupVisible || Sender == this || Sender == Popup || Sender == FButton)
        return;
    for (TControl* C = Sender; C; C = C->Parent())
        if (C == Popup)
            return;
    ClosePopup(false);
}

void TCustomComboEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomEdit::KeyDown(Key, Shift);
    if (Key != 0 && ShortCut(Key, Shift) == ClickKey && ButtonWidth() > 0) {
        EditButtonClick();
        Key = 0;
    }
}

void TCustomComboEdit::KeyPress(char& Key)
{
    if (Key == '\r' || Key == 27) {
        if (Popup && FPopupVisible) {
            ClosePopup(Key == '\r');
            Key = 0;
            return;
        }
        // The form's default or cancel button acts on these keys.
        if (TCustomForm* Form = GetParentForm(this))
            Form->Perform(CM_DIALOGKEY, static_cast<unsigned char>(Key), 0);
        if (Key == '\r') {
            TCustomEdit::KeyPress(Key);
            Key = 0;
            return;
        }
    }
    TCustomEdit::KeyPress(Key);
}

void TCustomComboEdit::Change()
{
    if (!FPopupVisible)
        TCustomEdit::Change();
}

void TCustomComboEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && Popup) {
        if (CanFocus())
            SetFocus();
        if (!FFocused)
            return;
        if (FPopupVisible)
            ClosePopup(false);
    }
    TCustomEdit::MouseDown(Button, Shift, X, Y);
}

void TCustomComboEdit::SetDirectInput(bool Value)
{
    TCustomEdit::SetReadOnly(!Value || FReadOnly);
    FDirectInput = Value;
}

void TCustomComboEdit::SetReadOnly(bool Value)
{
    if (Value == FReadOnly)
        return;
    FReadOnly = Value;
    TCustomEdit::SetReadOnly(Value || !FDirectInput);
}

void TCustomComboEdit::EditButtonClick()
{
    if (!FReadOnly)
        ButtonClick();
}

void TCustomComboEdit::ButtonClick()
{
    if (OnButtonClick)
        OnButtonClick(this);
    if (Popup) {
        if (FPopupVisible)
            ClosePopup(true);
        else
            OpenPopup();
    }
}

TBitmap* TCustomComboEdit::DefaultButtonBitmap(bool& DestroyNeeded)
{
    DestroyNeeded = false;
    return nullptr;
}

bool TCustomComboEdit::ConfirmPopup(const std::string&)
{
    return true;
}

void TCustomComboEdit::CommitValue(const std::string& Value)
{
    if (Text() == Value)
        return;
    SetText(Value);
    SetModified(true);
    TCustomEdit::Change();
}

void TCustomComboEdit::SeedPopupValue(const std::string& Value)
{
    if (Popup)
        Popup->SetText(Value);
}

void TCustomComboEdit::OpenPopup()
{
    if (!Popup || FReadOnly || FPopupVisible)
        return;
    RECT Own;
    GetWindowRect(Handle(), &Own);
    POINT P{Own.left, Own.top};
    int ScreenW = GetSystemMetrics(SM_CXSCREEN), ScreenH = GetSystemMetrics(SM_CYSCREEN);
    int Y = P.y + Height();
    if (Y + Popup->Height() > ScreenH)
        Y = P.y - Popup->Height();
    int X = P.x + Width() - Popup->Width();
    if (X < 0)
        X = P.x;
    X = std::clamp(X, 0, std::max(0, ScreenW - Popup->Width()));
    SeedPopupValue(Text());
    if (CanFocus())
        SetFocus();
    SetWindowPos(Popup->Handle(), HWND_TOP, X, Y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Popup->SetVisible(true);
    FPopupVisible = true;
    TCustomEdit::SetReadOnly(true);
    HideCaret(Handle());
}

void TCustomComboEdit::ClosePopup(bool Accept)
{
    if (!Popup || !FPopupVisible)
        return;
    if (HWND Capture = GetCapture())
        SendMessage(Capture, WM_CANCELMODE, 0, 0);
    std::string Value = Popup->Text();
    SetWindowPos(Popup->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    Popup->SetVisible(false);
    try {
        if (CanFocus())
            SetFocus();
    } catch (...) {
        // the focus stays where it is
    }
    SetDirectInput(FDirectInput);
    Invalidate();
    if (Accept && ConfirmPopup(Value) && EditCanModify()) {
        CommitValue(Value);
        if (FFocused)
            SelectAll();
    }
    FPopupVisible = false;
}

int TCustomComboEdit::ButtonWidth() const
{
    return FButton->Width();
}

void TCustomComboEdit::SetButtonWidth(int Value)
{
    if (ControlState.Contains(csCreating)) {
        FBtnControl->SetWidth(Value);
        FButton->SetWidth(Value);
        RecreateGlyph();
        return;
    }
    if (Value == FButton->Width() || Value >= ClientWidth())
        return;
    FButton->SetWidth(Value);
    if (HandleAllocated())
        RecreateWnd();
    RecreateGlyph();
}

std::string TCustomComboEdit::ButtonHint() const
{
    return FButton->Hint();
}

void TCustomComboEdit::SetButtonHint(const std::string& Value)
{
    FButton->SetHint(Value);
}

TBitmap* TCustomComboEdit::Glyph() const
{
    return FButton->Glyph();
}

void TCustomComboEdit::SetGlyph(TBitmap* Value)
{
    FButton->SetGlyph(Value);
    FGlyphKind = gkCustom;
}

int TCustomComboEdit::NumGlyphs() const
{
    return FButton->NumGlyphs();
}

void TCustomComboEdit::SetNumGlyphs(int Value)
{
    if (FGlyphKind == gkDropDown || FGlyphKind == gkEllipsis)
        FButton->SetNumGlyphs(1);
    else if (FGlyphKind == gkDefault)
        FButton->SetNumGlyphs(FDefNumGlyphs);
    else
        FButton->SetNumGlyphs(Value);
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind Value)
{
    if (Value == FGlyphKind)
        return;
    FGlyphKind = Value;
    if (Value == gkCustom && ComponentState().Contains(csReading)) {
        TBitmap Empty;
        FButton->SetGlyph(&Empty); // the stored glyph follows
    }
    RecreateGlyph();
    if (Value == gkDefault && !Glyph()->Empty())
        SetButtonWidth(std::max(Glyph()->Width() / std::max(1, NumGlyphs()) + 6, FButton->Width()));
    else if (Value == gkDropDown)
        SetButtonWidth(GetSystemMetrics(SM_CXVSCROLL));
}

namespace {
// A glyph of black marks on white (the bottom-left pixel, white, is the transparent colour).
std::unique_ptr<TBitmap> MarkGlyph(int Width, int Height, const std::vector<TRect>& Marks)
{
    auto B = std::make_unique<TBitmap>();
    B->SetWidth(Width);
    B->SetHeight(Height);
    TCanvas* C = B->Canvas();
    C->Brush()->SetColor(clWhite);
    C->FillRect(Rect(0, 0, Width, Height));
    C->Brush()->SetColor(clBlack);
    for (const TRect& M : Marks)
        C->FillRect(M);
    return B;
}
} // namespace

void TCustomComboEdit::RecreateGlyph()
{
    switch (FGlyphKind) {
    case gkCustom:
        break;
    case gkDefault: {
        bool DestroyNeeded = false;
        TBitmap* B = DefaultButtonBitmap(DestroyNeeded);
        if (B) {
            FButton->SetGlyph(B);
            FButton->SetNumGlyphs(FDefNumGlyphs);
            if (DestroyNeeded)
                delete B;
        }
        break;
    }
    case gkDropDown: {
        // The combo box's arrow: a 7-pixel triangle pointing down.
        std::vector<TRect> Rows;
        for (int I = 0; I < 4; ++I)
            Rows.push_back(Rect(I, I, 7 - I, I + 1));
        FButton->SetGlyph(MarkGlyph(7, 5, Rows).get());
        FButton->SetNumGlyphs(1);
        break;
    }
    case gkEllipsis: {
        int W = std::max(1, FButton->Width() - 6);
        int Gap = std::clamp((W - 6) / 2, 1, 3);
        int X0 = (W - 6 - 2 * Gap) / 2;
        FButton->SetGlyph(MarkGlyph(W, 4,
                                    {Rect(X0, 1, X0 + 2, 3), Rect(X0 + 2 + Gap, 1, X0 + 4 + Gap, 3),
                                     Rect(X0 + 4 + 2 * Gap, 1, X0 + 6 + 2 * Gap, 3)})
                              .get());
        FButton->SetNumGlyphs(1);
        break;
    }
    }
}

// ---- TFileDirEdit -----------------------------------------------------------------------------

TW_PUBLISH(TFileDirEdit, TCustomComboEdit)
{
    Cls.Bool("AcceptFiles", &TFileDirEdit::AcceptFiles, &TFileDirEdit::SetAcceptFiles).Default(false);
    Cls.Event("OnBeforeDialog", &TFileDirEdit::OnBeforeDialog);
    Cls.Event("OnAfterDialog", &TFileDirEdit::OnAfterDialog);
    Cls.Event("OnDropFiles", &TFileDirEdit::OnDropFiles);
    Cls.Event("OnButtonClick", &TFileDirEdit::OnButtonClick);
    Cls.Message(WM_DROPFILES, &TFileDirEdit::WMDropFiles);
}

namespace {
TBitmap* gFolderGlyph = nullptr;
} // namespace

TFileDirEdit::TFileDirEdit(TComponent* AOwner) : TCustomComboEdit(AOwner)
{
    OEMConvert = true;
    ControlState.Include(csCreating);
    SetGlyphKind(gkDefault);
    ControlState.Exclude(csCreating);
}

TBitmap* TFileDirEdit::DefaultButtonBitmap(bool& DestroyNeeded)
{
    DestroyNeeded = false;
    if (!gFolderGlyph) {
        auto B = std::make_unique<TBitmap>();
        B->LoadFromResourceName(nullptr, "FEDITBMP");
        gFolderGlyph = B.release();
        AddExitProc([] {
            delete gFolderGlyph;
            gFolderGlyph = nullptr;
        });
    }
    return gFolderGlyph;
}

void TFileDirEdit::CreateHandle()
{
    TCustomComboEdit::CreateHandle();
    if (FAcceptFiles && HandleAllocated() && !ComponentState().Contains(csDesigning))
        DragAcceptFiles(Handle(), TRUE);
}

void TFileDirEdit::DestroyWindowHandle()
{
    if (FAcceptFiles && HandleAllocated() && !ComponentState().Contains(csDesigning))
        DragAcceptFiles(Handle(), FALSE);
    TCustomComboEdit::DestroyWindowHandle();
}

void TFileDirEdit::SetAcceptFiles(bool Value)
{
    if (Value != FAcceptFiles && HandleAllocated() && !ComponentState().Contains(csDesigning))
        DragAcceptFiles(Handle(), Value ? TRUE : FALSE);
    FAcceptFiles = Value;
}

void TFileDirEdit::WMDropFiles(TMessage& Message)
{
    Message.Result = 0;
    HDROP Drop = reinterpret_cast<HDROP>(Message.WParam);
    try {
        UINT Count = DragQueryFile(Drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT I = 0; I < Count; ++I) {
            // Each name at its full length: the drop reports how long it is.
            std::string Name(DragQueryFile(Drop, I, nullptr, 0), '\0');
            DragQueryFile(Drop, I, Name.data(), static_cast<UINT>(Name.size() + 1));
            ReceiveFileDir(Name);
            if (!MultipleDirs)
                break;
        }
        if (Count > 0 && OnDropFiles)
            OnDropFiles(this);
    } catch (...) {
        DragFinish(Drop);
        throw;
    }
    DragFinish(Drop);
}

void TFileDirEdit::AfterDialogHook(std::string& Name, bool& Action)
{
    if (OnAfterDialog)
        OnAfterDialog(this, Name, Action);
}

void TFileDirEdit::BeforeDialogHook(std::string& Name, bool& Action)
{
    if (OnBeforeDialog)
        OnBeforeDialog(this, Name, Action);
}

bool TFileDirEdit::RunDialog(const std::function<bool()>& Dialog)
{
    UINT Saved = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    bool Result = false;
    try {
        Result = Dialog();
    } catch (...) {
        SetErrorMode(Saved);
        throw;
    }
    SetErrorMode(Saved);
    return Result;
}

// ---- TFilenameEdit ----------------------------------------------------------------------------

TW_PUBLISH(TFilenameEdit, TFileDirEdit)
{
    Cls.Enum("DialogKind", &TFilenameEdit::DialogKind, &TFilenameEdit::SetDialogKind).Default(dkOpen);
    Cls.Str(
        "DefaultExt", [](const TFilenameEdit* E) { return E->Dialog()->DefaultExt; },
        [](TFilenameEdit* E, const std::string& V) { E->Dialog()->DefaultExt = V; });
    Cls.Str("FileName", &TFilenameEdit::FileName, &TFilenameEdit::SetFileName);
    Cls.Str(
           "Filter", [](const TFilenameEdit* E) { return E->Dialog()->Filter; },
           [](TFilenameEdit* E, const std::string& V) { E->Dialog()->Filter = V; })
        .Default(std::string("All files (*.*)|*.*"));
    Cls.Int(
           "FilterIndex", [](const TFilenameEdit* E) { return E->Dialog()->FilterIndex; },
           [](TFilenameEdit* E, int V) { E->Dialog()->FilterIndex = V; })
        .Default(1);
    Cls.Str(
        "InitialDir", [](const TFilenameEdit* E) { return E->Dialog()->InitialDir; },
        [](TFilenameEdit* E, const std::string& V) { E->Dialog()->InitialDir = V; });
    Cls.Set(
        "DialogOptions", [](const TFilenameEdit* E) { return E->Dialog()->Options; },
        [](TFilenameEdit* E, TOpenOptions V) { E->Dialog()->Options = V; });
    Cls.Str(
           "DialogTitle", [](const TFilenameEdit* E) { return E->Dialog()->Title; },
           [](TFilenameEdit* E, const std::string& V) { E->Dialog()->Title = V; })
        .Default(std::string("Browse"));
}
TW_ENUM(TFileDialogKind, "dkOpen", "dkSave");

TFilenameEdit::TFilenameEdit(TComponent* AOwner) : TFileDirEdit(AOwner)
{
    CreateEditDialog();
}

void TFilenameEdit::CreateEditDialog()
{
    TOpenDialog* New = FDialogKind == dkSave ? new TSaveDialog(this) : new TOpenDialog(this);
    if (FDialog) {
        New->DefaultExt = FDialog->DefaultExt;
        New->FileName = FDialog->FileName;
        New->Filter = FDialog->Filter;
        New->FilterIndex = FDialog->FilterIndex;
        New->InitialDir = FDialog->InitialDir;
        New->Options = FDialog->Options;
        New->Title = FDialog->Title;
        delete FDialog;
    } else {
        New->Title = "Browse";
        New->Filter = "All files (*.*)|*.*";
        New->Options = TOpenOptions{ofHideReadOnly};
    }
    FDialog = New;
}

void TFilenameEdit::SetDialogKind(TFileDialogKind Value)
{
    if (Value == FDialogKind)
        return;
    FDialogKind = Value;
    CreateEditDialog();
}

namespace {
std::string ProgramPart(const std::string& CommandLine)
{
    std::string Program, Params;
    SplitProgramAndParams(CommandLine, Program, Params);
    return Program;
}
} // namespace

std::string TFilenameEdit::FileName() const
{
    std::string T = Text();
    return FileExists(T) ? T : ProgramPart(T);
}

void TFilenameEdit::SetFileName(const std::string& Value)
{
    if (!Value.empty() && !IsValidFileName(FileExists(Value) ? Value : ProgramPart(Value)))
        throw EComboEditError("Invalid file name - " + Value);
    SetText(QuotedFileName(Value));
}

std::string TFilenameEdit::LongFormName()
{
    return LongComponentName(FileName());
}

std::string TFilenameEdit::ShortFormName()
{
    return ShortComponentName(FileName());
}

void TFilenameEdit::ReceiveFileDir(const std::string& Value)
{
    SetFileName(Value);
}

void TFilenameEdit::ButtonClick()
{
    TFileDirEdit::ButtonClick();
    std::string Name = FileName();
    bool Action = true;
    BeforeDialogHook(Name, Action);
    if (!Action)
        return;
    if (IsValidFileName(Name)) {
        try {
            std::string Dir = ExtractFilePath(Name);
            if (IsExistingDirectory(Dir))
                FDialog->InitialDir = Dir;
            FDialog->FileName = Name;
        } catch (...) {
            // the dialog still opens
        }
    }
    FDialog->HelpContext = HelpContext;
    Action = RunDialog([this] { return FDialog->Execute(); });
    if (Action)
        Name = FDialog->FileName;
    if (CanFocus())
        SetFocus();
    AfterDialogHook(Name, Action);
    if (Action) {
        SetText(QuotedFileName(Name));
        FDialog->InitialDir = ExtractFilePath(FDialog->FileName);
    }
}

// ---- TDirectoryEdit ---------------------------------------------------------------------------

TW_PUBLISH(TDirectoryEdit, TFileDirEdit)
{
    Cls.Set("DialogOptions", &TDirectoryEdit::DialogOptions);
    Cls.Str("InitialDir", &TDirectoryEdit::InitialDir);
    Cls.Str("DialogText", &TDirectoryEdit::DialogText);
    Cls.Enum("DialogKind", &TDirectoryEdit::DialogKind).Default(dkLibrary);
    Cls.Bool("MultipleDirs", &TDirectoryEdit::MultipleDirs).Default(false);
}
TW_ENUM(TDirDialogKind, "dkLibrary", "dkWin32");
TW_ENUM(TSelectDirOpt, "sdAllowCreate", "sdPerformCreate", "sdPrompt");

TDirectoryEdit::TDirectoryEdit(TComponent* AOwner) : TFileDirEdit(AOwner) {}

void TDirectoryEdit::ReceiveFileDir(const std::string& Value)
{
    std::string Dir = FileExists(Value) ? ExtractFilePath(Value) : Value;
    if (!Text().empty() && MultipleDirs)
        SetText(Text() + ";" + Dir);
    else
        SetText(Dir);
}

std::string TDirectoryEdit::ConvertedList(std::string (*Convert)(const std::string&))
{
    if (!MultipleDirs)
        return Convert(Text());
    std::string Result, T = Text();
    std::size_t Pos = 0;
    while (Pos <= T.size()) {
        std::string Part = Convert(ExtractToDelimiter(T, Pos, {';'}));
        if (!Result.empty() && !Part.empty())
            Result += ';';
        Result += Part;
    }
    return Result;
}

std::string TDirectoryEdit::LongFormName()
{
    return ConvertedList(&LongPathName);
}

std::string TDirectoryEdit::ShortFormName()
{
    return ConvertedList(&ShortPathName);
}

void TDirectoryEdit::ButtonClick()
{
    TFileDirEdit::ButtonClick();
    std::string Name = Text();
    bool Action = true;
    BeforeDialogHook(Name, Action);
    if (!Action)
        return;
    if (Name.empty())
        Name = InitialDir.empty() ? "/" : InitialDir;
    if (!IsExistingDirectory(Name))
        Name = "/";
    Action = RunDialog([&] {
        return DialogKind == dkWin32 ? ShowFolderBrowser(Name, DialogText, HelpContext)
                                     : SelectDirectory(Name, DialogOptions, HelpContext);
    });
    if (CanFocus())
        SetFocus();
    AfterDialogHook(Name, Action);
    if (Action) {
        ClearSelection();
        if (!Text().empty() && MultipleDirs)
            SetText(Text() + ";" + Name);
        else
            SetText(Name);
        if (!Name.empty() && IsExistingDirectory(Name))
            InitialDir = Name;
    }
}

std::string QuotedFileName(const std::string& Name)
{
    if (Name.find(' ') == std::string::npos || (!Name.empty() && Name[0] == '"'))
        return Name;
    return '"' + Name + '"';
}
