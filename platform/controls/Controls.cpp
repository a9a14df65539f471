#include "platform/controls/Controls.h"

#include "platform/classes/TypInfo.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>
#include <unordered_set>

namespace {

std::unordered_map<HWND, TWinControl*>& ControlTable()
{
    static std::unordered_map<HWND, TWinControl*> Table;
    return Table;
}

// The control whose window CreateWindowEx is making: its first messages arrive before the call
// returns the handle.
TWinControl* gCreatingControl = nullptr;
TControl* gCaptureControl = nullptr;
TControl* gMouseControl = nullptr;
TApplicationHost* gHost = nullptr;

// The drag under way: its source, where it started, whether it passed the threshold, and the
// control under the pointer with its last answer.
struct TDragState_ {
    TControl* Source = nullptr;
    TPoint Start;
    int Threshold = 0;
    bool Active = false;
    TControl* Target = nullptr;
    bool Accepted = false;
} gDrag;
std::unordered_set<TControlCanvas*> gCanvasesWithDC;

bool IsMouseMessage(UINT Msg)
{
    return Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST && Msg != WM_MOUSEWHEEL;
}

bool PtIn(const TRect& R, const TPoint& P)
{
    return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom;
}

bool RectsIntersect(const TRect& A, const TRect& B)
{
    return A.left < B.right && B.left < A.right && A.top < B.bottom && B.top < A.bottom;
}

void SetMouseControl(TControl* Control)
{
    if (Control == gMouseControl)
        return;
    TControl* Old = gMouseControl;
    gMouseControl = Control;
    if (Old)
        Old->Perform(CM_MOUSELEAVE, 0, 0);
    if (Control && gMouseControl == Control) {
        Control->Perform(CM_MOUSEENTER, 0, 0);
        // Ask for WM_MOUSELEAVE when the pointer leaves the window under it.
        TWinControl* Win = dynamic_cast<TWinControl*>(Control);
        if (!Win)
            Win = Control->Parent();
        if (Win && Win->HandleAllocated()) {
            TRACKMOUSEEVENT Track;
            Track.dwFlags = TME_LEAVE;
            Track.hwndTrack = Win->Handle();
            TrackMouseEvent(&Track);
        }
    }
}

} // namespace

// ---- Helpers ----------------------------------------------------------------------------------

TShiftState KeysToShiftState(WORD Keys)
{
    TShiftState S;
    if (Keys & MK_SHIFT)
        S.Include(ssShift);
    if (Keys & MK_CONTROL)
        S.Include(ssCtrl);
    if (Keys & MK_LBUTTON)
        S.Include(ssLeft);
    if (Keys & MK_RBUTTON)
        S.Include(ssRight);
    if (Keys & MK_MBUTTON)
        S.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0)
        S.Include(ssAlt);
    return S;
}

int ScrolledPos(const TWMScroll& Message, int Pos, int Page, int Bottom)
{
    switch (LOWORD(Message.WParam)) {
    case SB_LINEUP:
        return Pos - 1;
    case SB_LINEDOWN:
        return Pos + 1;
    case SB_PAGEUP:
        return Pos - Page;
    case SB_PAGEDOWN:
        return Pos + Page;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        return Message.Pos();
    case SB_TOP:
        return 0;
    case SB_BOTTOM:
        return Bottom;
    default:
        return Pos;
    }
}

TShiftState KeyDataToShiftState(LPARAM KeyData)
{
    TShiftState S;
    if (GetKeyState(VK_SHIFT) < 0)
        S.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0)
        S.Include(ssCtrl);
    // Bit 29 of the key data: Alt was down when the key was pressed.
    if ((KeyData & 0x20000000) != 0 || GetKeyState(VK_MENU) < 0)
        S.Include(ssAlt);
    return S;
}

TShiftState CurrentShiftState()
{
    TShiftState S;
    if (GetKeyState(VK_SHIFT) < 0)
        S.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0)
        S.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0)
        S.Include(ssAlt);
    if (GetKeyState(VK_LBUTTON) < 0)
        S.Include(ssLeft);
    if (GetKeyState(VK_RBUTTON) < 0)
        S.Include(ssRight);
    if (GetKeyState(VK_MBUTTON) < 0)
        S.Include(ssMiddle);
    return S;
}

std::string GetShortHint(const std::string& Hint)
{
    std::size_t Bar = Hint.find('|');
    return Bar == std::string::npos ? Hint : Hint.substr(0, Bar);
}

std::string GetLongHint(const std::string& Hint)
{
    std::size_t Bar = Hint.find('|');
    return Bar == std::string::npos ? Hint : Hint.substr(Bar + 1);
}

TApplicationHost* ApplicationHost()
{
    return gHost;
}
void SetApplicationHost(TApplicationHost* Host)
{
    gHost = Host;
}

void HandleControlException(TObject* Sender)
{
    if (gHost) {
        gHost->HandleException(Sender);
        return;
    }
    // Without an application object the report goes to the error stream; the program goes on.
    try {
        throw;
    } catch (const EAbort&) {
    } catch (const std::exception& E) {
        std::fprintf(stderr, "%s\n", E.what());
    } catch (...) {
        std::fprintf(stderr, "Unknown exception\n");
    }
}

TWinControl* FindControl(HWND Handle)
{
    if (!Handle)
        return nullptr;
    auto It = ControlTable().find(Handle);
    return It == ControlTable().end() ? nullptr : It->second;
}

TControl* GetCaptureControl()
{
    // A capture taken by a window of another kind ends ours.
    if (gCaptureControl) {
        HWND Capture = GetCapture();
        TWinControl* Owner = dynamic_cast<TWinControl*>(gCaptureControl);
        if (!Owner)
            Owner = gCaptureControl->Parent();
        if (!Owner || !Owner->HandleAllocated() || Capture != Owner->Handle())
            gCaptureControl = nullptr;
    }
    return gCaptureControl;
}

void SetCaptureControl(TControl* Control)
{
    if (Control)
        Control->SetMouseCapture(true);
    else if (gCaptureControl)
        gCaptureControl->SetMouseCapture(false);
}

TControl* MouseOverControl()
{
    return gMouseControl;
}

TControl* DragSourceControl()
{
    return gDrag.Source;
}

TWinControl* FindVCLWindow(const TPoint& Pos)
{
    HWND Wnd = WindowFromPoint(Pos);
    while (Wnd) {
        if (TWinControl* C = FindControl(Wnd))
            return C;
        Wnd = GetParent(Wnd);
    }
    return nullptr;
}

TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled)
{
    TWinControl* Win = FindVCLWindow(Pos);
    if (!Win)
        return nullptr;
    TPoint P = Win->ScreenToClient(Pos);
    if (TControl* C = Win->ControlAtPos(P, AllowDisabled))
        return C;
    return Win;
}

// Windows of controls being destroyed, with their class procedures: the control no longer
// answers for them, but the class still gets WM_DESTROY and WM_NCDESTROY.
static std::unordered_map<HWND, WNDPROC>& DyingWindows()
{
    static std::unordered_map<HWND, WNDPROC> M;
    return M;
}

// The window procedure of every window a TWinControl makes.
struct TWinControlAccess {
    static LRESULT WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
};

LRESULT TWinControlAccess::WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TWinControl* Control = FindControl(Wnd);
    if (!Control && gCreatingControl) {
        Control = gCreatingControl;
        gCreatingControl = nullptr;
        Control->FHandle = Wnd;
        ControlTable()[Wnd] = Control;
    }
    if (!Control) {
        auto Dying = DyingWindows().find(Wnd);
        WNDPROC Proc = Dying != DyingWindows().end() && Dying->second ? Dying->second : &::DefWindowProc;
        return Proc(Wnd, Msg, WParam, LParam);
    }
    TMessage M{Msg, WParam, LParam, 0};
    Control->MainWndProc(M);
    if (Msg == WM_NCDESTROY) {
        auto It = ControlTable().find(Wnd);
        if (It != ControlTable().end()) {
            if (It->second->FHandle == Wnd)
                It->second->FHandle = nullptr;
            ControlTable().erase(It);
        }
    }
    return M.Result;
}

// ---- TControl ---------------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner)
{
    WindowProc = [this](TMessage& Message) { WndProc(Message); };
    ControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FFont = new TFont();
    FFont->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
}

TControl::~TControl()
{
    if (gDrag.Source == this)
        gDrag = TDragState_{};
    if (gDrag.Target == this)
        gDrag.Target = nullptr;
    if (gHost)
        gHost->ControlDestroying(this);
    if (gCaptureControl == this) {
        gCaptureControl = nullptr;
        ReleaseCapture();
    }
    if (gMouseControl == this)
        gMouseControl = nullptr;
    if (FParent)
        FParent->RemoveControl(this);
    FFont->OnChange = nullptr;
    delete FFont;
}

TComponent* TControl::GetParentComponent() const
{
    return FParent;
}

void TControl::SetParentComponent(TComponent* Value)
{
    if (TWinControl* W = dynamic_cast<TWinControl*>(Value))
        SetParent(W);
}

TCustomForm* TControl::ParentForm() const
{
    return GetParentForm(const_cast<TControl*>(this));
}

void TControl::SetParent(TWinControl* AParent)
{
    if (FParent == AParent)
        return;
    if (AParent == this)
        throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent)
        FParent->RemoveControl(this);
    if (AParent) {
        AParent->InsertControl(this);
        Perform(CM_PARENTCOLORCHANGED, 0, 0);
        Perform(CM_PARENTFONTCHANGED, 0, 0);
        Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
        if (!dynamic_cast<TWinControl*>(this))
            Invalidate();
    }
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    bool Resized = AWidth != FWidth || AHeight != FHeight;
    Invalidate();
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    Invalidate();
    RequestAlign();
    if (Resized && !ComponentState().Contains(csLoading))
        Resize();
}

void TControl::UpdateBoundsRect(const TRect& R)
{
    FLeft = R.left;
    FTop = R.top;
    FWidth = R.right - R.left;
    FHeight = R.bottom - R.top;
}

TRect TControl::ClientRect() const
{
    return Rect(0, 0, FWidth, FHeight);
}
int TControl::ClientWidth() const
{
    TRect R = ClientRect();
    return R.right - R.left;
}
int TControl::ClientHeight() const
{
    TRect R = ClientRect();
    return R.bottom - R.top;
}
void TControl::SetClientWidth(int Value)
{
    SetWidth(FWidth - ClientWidth() + Value);
}
void TControl::SetClientHeight(int Value)
{
    SetHeight(FHeight - ClientHeight() + Value);
}

TPoint TControl::ClientOrigin() const
{
    if (!FParent)
        return Point(FLeft, FTop);
    TPoint P = FParent->ClientOrigin();
    return Point(P.x + FLeft, P.y + FTop);
}

TPoint TControl::ClientToScreen(const TPoint& P) const
{
    TPoint O = ClientOrigin();
    return Point(P.x + O.x, P.y + O.y);
}

TPoint TControl::ScreenToClient(const TPoint& P) const
{
    TPoint O = ClientOrigin();
    return Point(P.x - O.x, P.y - O.y);
}

void TControl::SetAlign(TAlign Value)
{
    if (FAlign == Value)
        return;
    TAlign Old = FAlign;
    FAlign = Value;
    if (FParent && !ComponentState().Contains(csLoading) && (Old != alNone || Value != alNone))
        FParent->AlignControl(this);
}

void TControl::RequestAlign()
{
    if (FParent && (FAlign != alNone || FParent->PlacesEveryChild()) && !ComponentState().Contains(csLoading))
        FParent->AlignControl(this);
}

void TControl::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    VisibleChanging();
    if (!Value)
        Invalidate();
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
    if (Value)
        Invalidate();
    if (FParent && (FAlign != alNone || FParent->PlacesEveryChild()) && !ComponentState().Contains(csLoading))
        FParent->AlignControl(this);
}

void TControl::Show()
{
    if (FParent)
        FParent->ShowControl(this);
    SetVisible(true);
}

void TControl::Hide()
{
    SetVisible(false);
}

void TControl::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetText(const std::string& Value)
{
    if (GetText() == Value)
        return;
    SetTextBuf(Value);
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetTextBuf(const std::string& Value)
{
    FText = Value;
}

void TControl::SetColor(TColor Value)
{
    if (FColor == Value) {
        FParentColor = false;
        return;
    }
    FColor = Value;
    FParentColor = false;
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value)
{
    if (FParentColor == Value)
        return;
    FParentColor = Value;
    if (Value && FParent)
        Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetFont(TFont* Value)
{
    FFont->Assign(Value);
}

void TControl::FontChanged(TObject*)
{
    FParentFont = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value)
{
    if (FParentFont == Value)
        return;
    FParentFont = Value;
    if (Value && FParent)
        Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::ParentFontChanged()
{
    if (!FParentFont || !FParent)
        return;
    // Taking the parent's font is not a change of our own font: ParentFont stays on.
    FFont->OnChange = nullptr;
    FFont->Assign(FParent->Font());
    FFont->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::ParentColorChanged()
{
    if (!FParentColor || !FParent)
        return;
    if (FColor != FParent->Color()) {
        FColor = FParent->Color();
        Perform(CM_COLORCHANGED, 0, 0);
    }
}

void TControl::ParentShowHintChanged()
{
    if (!FParentShowHint || !FParent)
        return;
    if (FShowHint != FParent->ShowHint()) {
        FShowHint = FParent->ShowHint();
        Perform(CM_SHOWHINTCHANGED, 0, 0);
    }
}

void TControl::SetCursor(TCursor Value)
{
    if (FCursor == Value)
        return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetShowHint(bool Value)
{
    FParentShowHint = false;
    if (FShowHint == Value)
        return;
    FShowHint = Value;
    Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value)
{
    if (FParentShowHint == Value)
        return;
    FParentShowHint = Value;
    if (Value)
        ParentShowHintChanged();
}

void TControl::SetPopupMenu(TPopupMenu* Value)
{
    if (FPopupMenu == Value)
        return;
    if (FPopupMenu)
        RemoveFreeNotification(FPopupMenu);
    FPopupMenu = Value;
    if (Value)
        FreeNotification(Value);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupMenu)
        FPopupMenu = nullptr;
}

void TControl::Loaded()
{
    TComponent::Loaded();
    if (FParent) {
        if (FParentColor)
            ParentColorChanged();
        if (FParentFont)
            ParentFontChanged();
        if (FParentShowHint)
            ParentShowHintChanged();
        if (FAlign != alNone)
            FParent->AlignControl(this);
    }
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage M{Msg, WParam, LParam, 0};
    if (WindowProc)
        WindowProc(M);
    else
        WndProc(M);
    return M.Result;
}

void TControl::WndProc(TMessage& Message)
{
    if (gDrag.Source == this) {
        if (IsMouseMessage(Message.Msg) && DragMouseMessage(Message))
            return;
        if (Message.Msg == WM_CANCELMODE || (Message.Msg == WM_KEYDOWN && Message.WParam == VK_ESCAPE)) {
            EndDrag(false);
            if (Message.Msg == WM_KEYDOWN)
                return;
        }
    }
    Dispatch(Message);
}

void TControl::SendCancelMode(TControl* Sender)
{
    // A press somewhere ends the modes other controls are in (drop-downs, drags).
    if (TCustomForm* Form = GetParentForm(this))
        Form->SendCancelMode(Sender);
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift)
{
    MouseDown(Button, Shift + KeysToShiftState(static_cast<WORD>(Message.WParam)),
              GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button)
{
    MouseUp(Button, KeysToShiftState(static_cast<WORD>(Message.WParam)), GET_X_LPARAM(Message.LParam),
            GET_Y_LPARAM(Message.LParam));
}

bool TControl::DoContextPopup(const TPoint& ScreenPos)
{
    for (TControl* C = this; C; C = C->Parent()) {
        TPopupMenu* Menu = C->PopupMenu();
        if (Menu) {
            if (!Menu->AutoPopup)
                return false;
            Menu->SetPopupComponent(C);
            Menu->Popup(ScreenPos.x, ScreenPos.y);
            return true;
        }
    }
    return false;
}

void TControl::MouseDownMessage(TWMMouse Message, TMouseButton Button, bool Double)
{
    SendCancelMode(this);
    // A window class handles the press first (an edit puts its caret where the mouse went
    // before OnMouseDown looks at it); the control's own events follow.
    auto* Wrapped = dynamic_cast<TWinControl*>(this);
    bool ClassFirst =
        Wrapped && Wrapped->FHandle && Wrapped->FDefWndProc && Wrapped->FDefWndProc != &::DefWindowProc;
    if (ClassFirst)
        DefaultHandler(Message);
    if (ControlStyle.Contains(csCaptureMouse))
        SetMouseCapture(true);
    TShiftState Shift;
    if (Double)
        Shift.Include(ssDouble);
    if (Button == mbLeft) {
        if (ControlStyle.Contains(csClickEvents))
            ControlState.Include(csClicked);
        if (Double && ControlStyle.Contains(csDoubleClicks))
            DblClick();
    }
    DoMouseDown(Message, Button, Shift);
    if (Button == mbLeft && !Double && DragMode == dmAutomatic)
        BeginDrag(false);
    if (Wrapped && !ClassFirst)
        DefaultHandler(Message);
}

void TControl::MouseUpMessage(TWMMouse Message, TMouseButton Button)
{
    TPoint P = Message.Pos();
    DoMouseUp(Message, Button);
    if (ControlStyle.Contains(csCaptureMouse))
        SetMouseCapture(false);
    if (Button == mbLeft && ControlState.Contains(csClicked)) {
        ControlState.Exclude(csClicked);
        if (PtIn(ClientRect(), P))
            Click();
        return;
    }
    if (Button == mbRight && PtIn(ClientRect(), P) && DoContextPopup(ClientToScreen(P)))
        return;
    if (dynamic_cast<TWinControl*>(this))
        DefaultHandler(Message);
}

void TControl::WMLButtonDown(TWMLButtonDown Message)
{
    MouseDownMessage(Message, mbLeft, false);
}

void TControl::WMLButtonDblClk(TWMLButtonDblClk Message)
{
    MouseDownMessage(Message, mbLeft, true);
}

void TControl::WMRButtonDown(TWMRButtonDown Message)
{
    MouseDownMessage(Message, mbRight, false);
}

void TControl::WMRButtonDblClk(TWMRButtonDblClk Message)
{
    MouseDownMessage(Message, mbRight, true);
}

void TControl::WMMButtonDown(TWMMButtonDown Message)
{
    MouseDownMessage(Message, mbMiddle, false);
}

void TControl::WMMButtonDblClk(TWMMButtonDblClk Message)
{
    MouseDownMessage(Message, mbMiddle, true);
}

void TControl::WMLButtonUp(TWMLButtonUp Message)
{
    MouseUpMessage(Message, mbLeft);
}

void TControl::WMRButtonUp(TWMRButtonUp Message)
{
    MouseUpMessage(Message, mbRight);
}

void TControl::WMMButtonUp(TWMMButtonUp Message)
{
    MouseUpMessage(Message, mbMiddle);
}

void TControl::WMMouseMove(TWMMouseMove Message)
{
    MouseMove(KeysToShiftState(static_cast<WORD>(Message.Keys())), Message.XPos(), Message.YPos());
    if (dynamic_cast<TWinControl*>(this))
        DefaultHandler(Message);
}

void TControl::WMCancelMode(TWMCancelMode Message)
{
    ControlState.Exclude(csClicked);
    if (gCaptureControl == this)
        gCaptureControl = nullptr;
    DefaultHandler(Message);
}

// Parents hear of the pointer entering and leaving their children (LParam: the child).
void TControl::CMMouseEnter(TMessage& Message)
{
    if (FParent)
        FParent->Perform(Message.Msg, 0, Message.LParam ? Message.LParam : reinterpret_cast<LPARAM>(this));
}

void TControl::CMMouseLeave(TMessage& Message)
{
    if (FParent)
        FParent->Perform(Message.Msg, 0, Message.LParam ? Message.LParam : reinterpret_cast<LPARAM>(this));
}

void TControl::CMHitTest(TMessage& Message)
{
    Message.Result = HTCLIENT;
}

void TControl::CMEnabledChanged(TMessage&)
{
    Invalidate();
}

void TControl::CMFontChanged(TMessage&)
{
    Invalidate();
}

void TControl::CMColorChanged(TMessage&)
{
    Invalidate();
}

void TControl::CMTextChanged(TMessage&)
{
    Invalidate();
}

void TControl::CMParentFontChanged(TMessage&)
{
    ParentFontChanged();
}

void TControl::CMParentColorChanged(TMessage&)
{
    ParentColorChanged();
}

void TControl::CMParentShowHintChanged(TMessage&)
{
    ParentShowHintChanged();
}

namespace {

// What a control without a window answers about its text.
void DefaultGetText(std::string& Text, TMessage& Message)
{
    TWMGetText M(Message);
    if (!M.Text() || M.TextMax() <= 0) {
        M.Result = 0;
        return;
    }
    std::size_t N = std::min<std::size_t>(Text.size(), static_cast<std::size_t>(M.TextMax() - 1));
    std::copy_n(Text.data(), N, M.Text());
    M.Text()[N] = '\0';
    M.Result = static_cast<LRESULT>(N);
}

void DefaultGetTextLength(std::string& Text, TMessage& Message)
{
    Message.Result = static_cast<LRESULT>(Text.size());
}

void DefaultSetText(std::string& Text, TMessage& Message)
{
    TWMSetText M(Message);
    Text = M.Text() ? M.Text() : "";
    M.Result = 1;
}

} // namespace

void TControl::DefaultHandler(TMessage& Message)
{
    using TTextAnswer = void (*)(std::string & Text, TMessage & Message);
    static const TMessageMap<TTextAnswer> Answers{
        {WM_GETTEXT, &DefaultGetText},
        {WM_GETTEXTLENGTH, &DefaultGetTextLength},
        {WM_SETTEXT, &DefaultSetText},
    };
    if (const TTextAnswer* Answer = Answers.Find(Message.Msg))
        (*Answer)(FText, Message);
}

void TControl::Invalidate()
{
    if (FParent && FParent->HandleAllocated() && (FVisible || ComponentState().Contains(csDesigning))) {
        RECT R = BoundsRect();
        InvalidateRect(FParent->FHandle, &R, !ControlStyle.Contains(csOpaque));
    }
}

void TControl::Update()
{
    if (FParent)
        FParent->Update();
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

void TControl::BringToFront()
{
    if (FParent)
        FParent->SetZOrderOf(this, true);
}

void TControl::SendToBack()
{
    if (FParent)
        FParent->SetZOrderOf(this, false);
}

bool TControl::MouseCapture() const
{
    return gCaptureControl == this;
}

void TControl::SetMouseCapture(bool Value)
{
    if (MouseCapture() == Value)
        return;
    if (Value) {
        const TWinControl* Win = dynamic_cast<const TWinControl*>(this);
        TWinControl* Holder = Win ? const_cast<TWinControl*>(Win) : FParent;
        // SetCapture tells the old holder first (which may clear its own record), then ours.
        if (Holder)
            SetCapture(Holder->Handle());
        gCaptureControl = this;
    } else {
        gCaptureControl = nullptr;
        ReleaseCapture();
    }
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

void TControl::Changed()
{
    Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this));
}

bool TControl::HitTest(int X, int Y)
{
    return Perform(CM_HITTEST, 0, PointToLParam(X, Y)) != 0;
}

bool TControl::IsVisibleOnParent() const
{
    return FVisible || ComponentState().Contains(csDesigning);
}

// ---- Drag and drop ----------------------------------------------------------------------------

void TControl::BeginDrag(bool Immediate, int Threshold)
{
    if (gDrag.Source)
        return;
    POINT P;
    GetCursorPos(&P);
    gDrag = TDragState_{};
    gDrag.Source = this;
    gDrag.Start = P;
    gDrag.Threshold = Threshold >= 0 ? Threshold : GetSystemMetrics(SM_CXDRAG);
    ControlState.Exclude(csClicked);
    if (!MouseCapture())
        SetMouseCapture(true);
    if (Immediate) {
        gDrag.Active = true;
        DoStartDrag();
    }
}

bool TControl::Dragging() const
{
    return gDrag.Source == this && gDrag.Active;
}

void TControl::EndDrag(bool Drop)
{
    if (gDrag.Source != this)
        return;
    TDragState_ D = gDrag;
    gDrag = TDragState_{};
    if (MouseCapture())
        SetMouseCapture(false);
    if (!D.Active)
        return;
    POINT P;
    GetCursorPos(&P);
    TControl* Target = nullptr;
    TPoint Local{};
    if (D.Target) {
        Local = D.Target->ScreenToClient(P);
        if (Drop && D.Accepted) {
            Target = D.Target;
            Target->DragDrop(this, Local.x, Local.y);
        } else {
            bool Ignore = false;
            D.Target->DragOver(this, Local.x, Local.y, dsDragLeave, Ignore);
        }
    }
    TPoint Own = ScreenToClient(P);
    DoEndDrag(Target, Target ? Local.x : Own.x, Target ? Local.y : Own.y);
    ::SetCursor(ScreenInstance()->Cursors(crDefault));
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    Accept = static_cast<bool>(OnDragOver);
    if (OnDragOver)
        OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DragDrop(TObject* Source, int X, int Y)
{
    if (OnDragDrop)
        OnDragDrop(this, Source, X, Y);
}

void TControl::DoStartDrag()
{
    if (OnStartDrag)
        OnStartDrag(this);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y)
{
    if (OnEndDrag)
        OnEndDrag(this, Target, X, Y);
}

bool TControl::DragMouseMessage(TMessage& Message)
{
    POINT P;
    GetCursorPos(&P);
    switch (Message.Msg) {
    case WM_MOUSEMOVE: {
        if (!gDrag.Active) {
            if (std::abs(P.x - gDrag.Start.x) < gDrag.Threshold &&
                std::abs(P.y - gDrag.Start.y) < gDrag.Threshold)
                return false;
            gDrag.Active = true;
            DoStartDrag();
            if (gDrag.Source != this)
                return true;
        }
        TControl* Target = FindDragTarget(P, false);
        if (Target != gDrag.Target) {
            if (gDrag.Target) {
                TPoint L = gDrag.Target->ScreenToClient(P);
                bool Ignore = false;
                gDrag.Target->DragOver(this, L.x, L.y, dsDragLeave, Ignore);
            }
            gDrag.Target = Target;
            gDrag.Accepted = false;
            if (Target) {
                TPoint L = Target->ScreenToClient(P);
                Target->DragOver(this, L.x, L.y, dsDragEnter, gDrag.Accepted);
            }
        } else if (Target) {
            TPoint L = Target->ScreenToClient(P);
            Target->DragOver(this, L.x, L.y, dsDragMove, gDrag.Accepted);
        }
        ::SetCursor(ScreenInstance()->Cursors(gDrag.Accepted ? DragCursor : crNoDrop));
        return true;
    }
    case WM_LBUTTONUP:
        if (!gDrag.Active) {
            // Released before the threshold: an ordinary click after all.
            gDrag = TDragState_{};
            ControlState.Include(csClicked);
            return false;
        }
        EndDrag(true);
        return true;
    case WM_RBUTTONDOWN:
        if (gDrag.Active) {
            EndDrag(false);
            return true;
        }
        return false;
    default:
        return gDrag.Active && IsMouseMessage(Message.Msg);
    }
}

// ---- TWinControl ------------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl()
{
    Destroying();
    // Leave the parent while this is still a windowed control (its lists are by kind).
    if (FParent)
        FParent->RemoveControl(this);
    // Children go with their parent, the last first.
    while (!FControls.empty() || !FWinControls.empty()) {
        TControl* Child =
            !FWinControls.empty() ? static_cast<TControl*>(FWinControls.back()) : FControls.back();
        RemoveControl(Child);
        delete Child;
    }
    if (FHandle) {
        // The window dies without calling back into this half-destroyed object, its messages
        // going straight to the class procedure (which frees what it keeps at WM_NCDESTROY).
        HWND Wnd = FHandle;
        ControlTable().erase(Wnd);
        FHandle = nullptr;
        if (gCaptureControl == this)
            gCaptureControl = nullptr;
        DyingWindows()[Wnd] = FDefWndProc;
        DestroyWindow(Wnd);
        DyingWindows().erase(Wnd);
    }
    delete FBrush;
}

HWND TWinControl::Handle()
{
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded()
{
    if (FHandle)
        return;
    if (FParent)
        FParent->HandleNeeded();
    CreateHandle();
}

void TWinControl::SetParentWindow(HWND Value)
{
    if (FParent || FParentWindow == Value)
        return;
    if (FHandle && Value)
        ::SetParent(FHandle, Value);
    else if (FHandle)
        DestroyHandle();
    FParentWindow = Value;
    UpdateShowing();
}

void TWinControl::CreateParams(TCreateParams& Params)
{
    Params = TCreateParams{};
    Params.Caption = FText;
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (ControlStyle.Contains(csAcceptsControls)) {
        Params.Style |= WS_CLIPCHILDREN;
        Params.ExStyle |= WS_EX_CONTROLPARENT;
    }
    if (!FEnabled)
        Params.Style |= WS_DISABLED;
    if (FTabStop)
        Params.Style |= WS_TABSTOP;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    Params.WndParent = FParent ? FParent->Handle() : FParentWindow;
    Params.ClassStyle = CS_VREDRAW | CS_HREDRAW;
    if (ControlStyle.Contains(csDoubleClicks))
        Params.ClassStyle |= CS_DBLCLKS;
    Params.ClassCursor = LoadCursor(nullptr, IDC_ARROW);
    Params.DefWindowProc = &::DefWindowProc;
    Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const std::string& ControlClassName)
{
    WNDCLASS WC;
    if (GetClassInfo(nullptr, ControlClassName.c_str(), &WC)) {
        Params.DefWindowProc = WC.lpfnWndProc;
        Params.ClassStyle = WC.style;
        Params.ClassCursor = WC.hCursor;
        Params.ClassBackground = WC.hbrBackground;
    }
}

void TWinControl::CreateWnd()
{
    TCreateParams Params;
    CreateParams(Params);
    if ((Params.Style & WS_CHILD) && !Params.WndParent)
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    FDefWndProc = Params.DefWindowProc ? Params.DefWindowProc : &::DefWindowProc;
    WNDCLASS Existing;
    if (!GetClassInfo(nullptr, Params.WinClassName.c_str(), &Existing)) {
        WNDCLASS WC;
        WC.style = Params.ClassStyle;
        WC.lpfnWndProc = FDefWndProc;
        WC.hCursor = Params.ClassCursor;
        WC.hbrBackground = Params.ClassBackground;
        WC.lpszClassName = Params.WinClassName.c_str();
        RegisterClass(&WC);
    }
    CreateWindowHandle(Params);
    if (!FHandle)
        throw EInvalidOperation("Error creating window");
    SendFontToWindow();
}

void TWinControl::SendFontToWindow()
{
    if (FHandle && FDefWndProc && FDefWndProc != &::DefWindowProc)
        SendMessage(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), TRUE);
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params)
{
    TWinControl* Saved = gCreatingControl;
    gCreatingControl = this;
    HWND Wnd = CreateWindowExWithProc(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(),
                                      Params.Style, Params.X, Params.Y, Params.Width, Params.Height,
                                      Params.WndParent, Params.Menu, nullptr, Params.Param,
                                      &TWinControlAccess::WndProc);
    if (gCreatingControl == this)
        gCreatingControl = Saved;
    if (Wnd && !FHandle) {
        FHandle = Wnd;
        ControlTable()[Wnd] = this;
    }
}

void TWinControl::CreateHandle()
{
    if (FHandle)
        return;
    ControlState.Include(csCreating);
    try {
        CreateWnd();
    } catch (...) {
        ControlState.Exclude(csCreating);
        throw;
    }
    ControlState.Exclude(csCreating);
    // Keep the window order of the siblings: later windowed siblings stay above.
    if (FParent) {
        auto& Sibs = FParent->FWinControls;
        auto It = std::find(Sibs.begin(), Sibs.end(), this);
        for (++It; It != Sibs.end(); ++It) {
            if ((*It)->FHandle) {
                // Put ours just below the first later sibling that has a window.
                HWND Below = GetWindow((*It)->FHandle, GW_HWNDNEXT);
                SetWindowPos(FHandle, Below ? Below : HWND_BOTTOM, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                break;
            }
        }
    }
    UpdateBoundsFromWindow();
}

void TWinControl::DestroyWnd()
{
    // The window may hold text the control never saw (typed into a class's window): keep it for
    // the next window and for reading while there is none.
    if (FHandle)
        FText = GetText();
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle()
{
    ControlState.Include(csDestroyingHandle);
    HWND Wnd = FHandle;
    if (Wnd)
        DestroyWindow(Wnd);
    if (FHandle == Wnd && Wnd) {
        ControlTable().erase(Wnd);
        FHandle = nullptr;
    }
    ControlState.Exclude(csDestroyingHandle);
}

void TWinControl::DestroyHandle()
{
    if (!FHandle)
        return;
    for (TWinControl* C : std::vector<TWinControl*>(FWinControls))
        C->DestroyHandle();
    for (TControlCanvas* Canvas :
         std::vector<TControlCanvas*>(gCanvasesWithDC.begin(), gCanvasesWithDC.end()))
        if (Canvas->Control() == this || (Canvas->Control() && Canvas->Control()->Parent() == this))
            Canvas->FreeHandle();
    DestroyWnd();
    FShowing = false;
}

void TWinControl::RecreateWnd()
{
    if (!FHandle)
        return;
    DestroyHandle();
    UpdateShowing();
}

bool TWinControl::ShouldShow() const
{
    if (!FVisible && !ComponentState().Contains(csDesigning))
        return false;
    if (FParent)
        return FParent->FShowing;
    return FParentWindow != nullptr && IsWindowVisible(FParentWindow);
}

void TWinControl::UpdateShowing()
{
    bool Show = ShouldShow();
    if (Show) {
        HandleNeeded();
        bool Was = FShowing;
        FShowing = true;
        for (TWinControl* C : std::vector<TWinControl*>(FWinControls))
            C->UpdateShowing();
        if (!Was)
            Perform(CM_SHOWINGCHANGED, 0, 0);
    } else if (FShowing) {
        FShowing = false;
        for (TWinControl* C : std::vector<TWinControl*>(FWinControls))
            C->UpdateShowing();
        if (FHandle)
            Perform(CM_SHOWINGCHANGED, 0, 0);
    }
}

void TWinControl::SetParent(TWinControl* AParent)
{
    if (FParent == AParent)
        return;
    if (AParent == this)
        throw EInvalidOperation("A control cannot have itself as its parent");
    if (FHandle) {
        if (AParent && AParent->HandleAllocated()) {
            TControl::SetParent(AParent);
            ::SetParent(FHandle, AParent->FHandle);
            UpdateBounds();
        } else {
            DestroyHandle();
            TControl::SetParent(AParent);
        }
    } else {
        TControl::SetParent(AParent);
    }
    if (!ComponentState().Contains(csDestroying))
        UpdateShowing();
}

TControl* TWinControl::Controls(int Index) const
{
    int NC = static_cast<int>(FControls.size());
    if (Index < 0 || Index >= ControlCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    if (Index < NC)
        return FControls[Index];
    return FWinControls[Index - NC];
}

void TWinControl::InsertControl(TControl* AControl)
{
    AControl->FParent = this;
    if (TWinControl* W = dynamic_cast<TWinControl*>(AControl)) {
        FWinControls.push_back(W);
        FTabList.push_back(W);
    } else {
        FControls.push_back(AControl);
    }
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
    if ((AControl->FAlign != alNone || PlacesEveryChild()) && !AControl->ComponentState().Contains(csLoading))
        AlignControl(AControl);
}

void TWinControl::RemoveControl(TControl* AControl)
{
    if (AControl->FParent != this)
        return;
    if (gCaptureControl == AControl) {
        gCaptureControl = nullptr;
        ReleaseCapture();
    }
    if (gMouseControl == AControl)
        gMouseControl = nullptr;
    if (TCustomForm* Form = GetParentForm(this))
        Form->ControlRemoving(AControl);
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    if (std::find(FControls.begin(), FControls.end(), AControl) != FControls.end())
        AControl->Invalidate();
    // By address: a control being destroyed may no longer know its own class.
    FWinControls.erase(std::remove(FWinControls.begin(), FWinControls.end(), static_cast<void*>(AControl)),
                       FWinControls.end());
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), static_cast<void*>(AControl)),
                   FTabList.end());
    FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
    AControl->FParent = nullptr;
    if ((AControl->FAlign != alNone || PlacesEveryChild()) && !ComponentState().Contains(csDestroying))
        AlignControl(nullptr);
}

bool TWinControl::ContainsControl(TControl* Control) const
{
    for (TControl* C = Control; C; C = C->Parent())
        if (C == this)
            return true;
    return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls)
{
    auto Hit = [&](TControl* C) {
        if (!C->IsVisibleOnParent() || (!AllowDisabled && !C->Enabled()))
            return false;
        if (!PtIn(C->BoundsRect(), Pos))
            return false;
        return C->HitTest(Pos.x - C->Left(), Pos.y - C->Top());
    };
    if (AllowWinControls)
        for (auto It = FWinControls.rbegin(); It != FWinControls.rend(); ++It)
            if (Hit(*It))
                return *It;
    for (auto It = FControls.rbegin(); It != FControls.rend(); ++It)
        if (Hit(*It))
            return *It;
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message)
{
    for (int I = 0; I < ControlCount(); ++I) {
        TControl* C = Controls(I);
        C->WindowProc(Message);
        if (Message.Result != 0)
            return;
    }
}

void TWinControl::NotifyControls(UINT Msg)
{
    TMessage M{Msg, 0, 0, 0};
    Broadcast(M);
}

void TWinControl::DisableAlign()
{
    ++FAlignLevel;
}

void TWinControl::EnableAlign()
{
    if (FAlignLevel > 0)
        --FAlignLevel;
    if (FAlignLevel == 0 && ControlState.Contains(csAlignmentNeeded))
        Realign();
}

void TWinControl::Realign()
{
    AlignControl(nullptr);
}

void TWinControl::AlignControl(TControl* AControl)
{
    if (ComponentState().Contains(csDestroying))
        return;
    if (FAlignLevel > 0 || ComponentState().Contains(csLoading)) {
        ControlState.Include(csAlignmentNeeded);
        return;
    }
    ++FAlignLevel;
    try {
        TRect R = ClientRect();
        AdjustClientRect(R);
        AlignControls(AControl, R);
    } catch (...) {
        --FAlignLevel;
        throw;
    }
    ControlState.Exclude(csAlignmentNeeded);
    --FAlignLevel;
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect)
{
    static const TAlign Order[] = {alTop, alBottom, alLeft, alRight, alClient};
    for (TAlign Kind : Order) {
        std::vector<TControl*> List;
        for (int I = 0; I < ControlCount(); ++I) {
            TControl* C = Controls(I);
            if (C->Align() == Kind && C->IsVisibleOnParent())
                List.push_back(C);
        }
        // The control nearest its edge goes first; the control being moved wins a tie, so
        // dragging a bar to the top puts it first.
        auto Key = [Kind](TControl* C) {
            switch (Kind) {
            case alTop:
                return C->Top();
            case alBottom:
                return -(C->Top() + C->Height());
            case alLeft:
                return C->Left();
            case alRight:
                return -(C->Left() + C->Width());
            default:
                return 0;
            }
        };
        std::stable_sort(List.begin(), List.end(), [&](TControl* A, TControl* B) {
            int KA = Key(A), KB = Key(B);
            if (KA != KB)
                return KA < KB;
            return A == AControl && B != AControl;
        });
        for (TControl* C : List) {
            int W = std::max(0, static_cast<int>(Rect.right - Rect.left));
            int H = std::max(0, static_cast<int>(Rect.bottom - Rect.top));
            switch (Kind) {
            case alTop:
                C->SetBounds(Rect.left, Rect.top, W, C->Height());
                Rect.top += C->Height();
                break;
            case alBottom:
                C->SetBounds(Rect.left, Rect.bottom - C->Height(), W, C->Height());
                Rect.bottom -= C->Height();
                break;
            case alLeft:
                C->SetBounds(Rect.left, Rect.top, C->Width(), H);
                Rect.left += C->Width();
                break;
            case alRight:
                C->SetBounds(Rect.right - C->Width(), Rect.top, C->Width(), H);
                Rect.right -= C->Width();
                break;
            case alClient:
                C->SetBounds(Rect.left, Rect.top, W, H);
                break;
            default:
                break;
            }
        }
    }
}

bool TWinControl::Focused() const
{
    return FHandle && GetFocus() == FHandle;
}

bool TWinControl::CanFocus() const
{
    TCustomForm* Form = GetParentForm(const_cast<TWinControl*>(this));
    for (const TControl* C = this; C; C = C->Parent())
        if (!C->Visible() || !C->Enabled())
            return false;
    if (Form && Form != this && (!Form->Visible() || !Form->Enabled()))
        return false;
    return true;
}

void TWinControl::SetFocus()
{
    if (TCustomForm* Form = GetParentForm(this); Form && Form != this) {
        Form->FocusControl(this);
        return;
    }
    ::SetFocus(Handle());
}

void TWinControl::SetTabStop(bool Value)
{
    if (FTabStop == Value)
        return;
    FTabStop = Value;
    if (FHandle) {
        LONG_PTR Style = GetWindowLong(FHandle, GWL_STYLE);
        SetWindowLong(FHandle, GWL_STYLE, Value ? (Style | WS_TABSTOP) : (Style & ~LONG_PTR(WS_TABSTOP)));
    }
    Perform(CM_TABSTOPCHANGED, 0, 0);
}

int TWinControl::TabOrder() const
{
    if (!FParent)
        return -1;
    auto& L = FParent->FTabList;
    auto It = std::find(L.begin(), L.end(), this);
    return It == L.end() ? -1 : static_cast<int>(It - L.begin());
}

void TWinControl::SetTabOrder(int Value)
{
    if (!FParent)
        return;
    auto& L = FParent->FTabList;
    auto It = std::find(L.begin(), L.end(), this);
    if (It == L.end())
        return;
    L.erase(It);
    Value = std::clamp(Value, 0, static_cast<int>(L.size()));
    L.insert(L.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List)
{
    for (TWinControl* C : FTabList) {
        List.push_back(C);
        C->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent)
{
    std::vector<TWinControl*> List;
    GetTabOrderList(List);
    int N = static_cast<int>(List.size());
    if (N == 0)
        return nullptr;
    int Start = -1;
    for (int I = 0; I < N; ++I)
        if (List[I] == CurControl)
            Start = I;
    if (Start < 0)
        Start = GoForward ? N - 1 : 0;
    for (int K = 1; K <= N; ++K) {
        int I = GoForward ? (Start + K) % N : ((Start - K) % N + N) % N;
        TWinControl* C = List[I];
        if (C == CurControl)
            continue;
        if (C->CanFocus() && (!CheckTabStop || C->TabStop()) && (!CheckParent || C->Parent() == this))
            return C;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop)
{
    if (TWinControl* C = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
        C->SetFocus();
}

void TWinControl::Invalidate()
{
    if (FHandle)
        InvalidateRect(FHandle, nullptr, !ControlStyle.Contains(csOpaque));
}

void TWinControl::Update()
{
    if (FHandle)
        UpdateWindow(FHandle);
}

void TWinControl::Repaint()
{
    Invalidate();
    Update();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    if (FHandle && !FUpdatingBounds) {
        FLeft = ALeft;
        FTop = ATop;
        int OldW = FWidth, OldH = FHeight;
        FWidth = AWidth;
        FHeight = AHeight;
        FUpdatingBounds = true;
        SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        FUpdatingBounds = false;
        UpdateBoundsFromWindow();
        RequestAlign();
        if (FWidth != OldW || FHeight != OldH)
            SizeChanged();
        return;
    }
    bool Resized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    RequestAlign();
    if (Resized)
        SizeChanged();
}

void TWinControl::SizeChanged()
{
    if (ComponentState().Contains(csLoading))
        return;
    AlignControl(nullptr);
    Resize();
}

void TWinControl::UpdateBoundsFromWindow()
{
    if (!FHandle)
        return;
    RECT R;
    GetWindowRect(FHandle, &R);
    if (GetWindowLong(FHandle, GWL_STYLE) & WS_CHILD) {
        HWND P = GetParent(FHandle);
        if (P) {
            POINT Pts[2] = {{R.left, R.top}, {R.right, R.bottom}};
            MapWindowPoints(nullptr, P, Pts, 2);
            R = Rect(Pts[0].x, Pts[0].y, Pts[1].x, Pts[1].y);
        }
    }
    UpdateBoundsRect(R);
}

void TWinControl::UpdateBounds()
{
    if (FHandle) {
        FUpdatingBounds = true;
        SetWindowPos(FHandle, nullptr, FLeft, FTop, FWidth, FHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        FUpdatingBounds = false;
    }
}

TRect TWinControl::ClientRect() const
{
    if (FHandle) {
        RECT R;
        GetClientRect(FHandle, &R);
        return R;
    }
    return TControl::ClientRect();
}

TPoint TWinControl::ClientOrigin() const
{
    if (FHandle) {
        POINT P{0, 0};
        ::ClientToScreen(FHandle, &P);
        return P;
    }
    return TControl::ClientOrigin();
}

void TWinControl::SetZOrderOf(TControl* Child, bool TopMost)
{
    if (TWinControl* W = dynamic_cast<TWinControl*>(Child)) {
        FWinControls.erase(std::remove(FWinControls.begin(), FWinControls.end(), W), FWinControls.end());
        if (TopMost)
            FWinControls.push_back(W);
        else
            FWinControls.insert(FWinControls.begin(), W);
        if (W->FHandle)
            SetWindowPos(W->FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    } else {
        FControls.erase(std::remove(FControls.begin(), FControls.end(), Child), FControls.end());
        if (TopMost)
            FControls.push_back(Child);
        else
            FControls.insert(FControls.begin(), Child);
        Child->Invalidate();
    }
}

void TWinControl::PaintWindow(HDC DC)
{
    TMessage M{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
    DefaultHandler(M);
}

void TWinControl::PaintControls(HDC DC, TControl* First)
{
    auto Begin = FControls.begin();
    if (First) {
        Begin = std::find(FControls.begin(), FControls.end(), First);
        if (Begin == FControls.end())
            Begin = FControls.begin();
    }
    RECT Clip;
    bool HaveClip = GetClipBox(DC, &Clip) != ERROR;
    for (auto It = Begin; It != FControls.end(); ++It) {
        TControl* C = *It;
        if (!C->IsVisibleOnParent())
            continue;
        if (HaveClip && !RectsIntersect(Clip, C->BoundsRect()))
            continue;
        int Saved = SaveDC(DC);
        POINT Old;
        OffsetViewportOrgEx(DC, C->Left(), C->Top(), &Old);
        IntersectClipRect(DC, 0, 0, C->Width(), C->Height());
        C->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        RestoreDC(DC, Saved);
    }
}

void TWinControl::PaintTo(HDC DC, int X, int Y)
{
    HandleNeeded();
    int Saved = SaveDC(DC);
    SetViewportOrgEx(DC, X, Y, nullptr);
    PrintWindow(FHandle, DC, 0);
    RestoreDC(DC, Saved);
}

void TWinControl::PaintHandler(TMessage& Message)
{
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    PAINTSTRUCT PS;
    // A paint of our own gives its DC back however the painting ends.
    struct TEndPaint {
        const HWND& Wnd;
        PAINTSTRUCT* PS;
        ~TEndPaint()
        {
            if (PS)
                EndPaint(Wnd, PS);
        }
    } End{FHandle, DC ? nullptr : &PS};
    if (!DC)
        DC = BeginPaint(FHandle, &PS);
    PaintWindow(DC);
    PaintControls(DC, nullptr);
}

void TWinControl::MainWndProc(TMessage& Message)
{
    try {
        WindowProc(Message);
    } catch (...) {
        HandleControlException(this);
    }
}

namespace {

// Records of the layer that follow some messages whichever class handles them: the control
// under the pointer, the capture, and the hint that input hides.
using TMessageNote = void (*)(TWinControl* Control, HWND Wnd, const TMessage& Message);

void NoteMouseLeave(TWinControl* Control, HWND, const TMessage&)
{
    if (gMouseControl && (gMouseControl == Control || gMouseControl->Parent() == Control)) {
        SetMouseControl(nullptr);
        if (gHost)
            gHost->HintMouseLeft();
    }
}

void NoteCancelMode(TWinControl* Control, HWND, const TMessage&)
{
    if (gCaptureControl && gCaptureControl != Control && gCaptureControl->Parent() == Control) {
        TControl* C = gCaptureControl;
        gCaptureControl = nullptr;
        C->Perform(WM_CANCELMODE, 0, 0);
    }
}

void NoteCaptureChanged(TWinControl* Control, HWND Wnd, const TMessage& Message)
{
    if (gCaptureControl && (gCaptureControl == Control || gCaptureControl->Parent() == Control) &&
        TWMCaptureChanged(const_cast<TMessage&>(Message)).NewCapture() != Wnd)
        gCaptureControl = nullptr;
}

void NoteKey(TWinControl*, HWND, const TMessage&)
{
    if (gHost)
        gHost->InputHidesHint();
}

} // namespace

void TWinControl::NoteMessage(const TMessage& Message)
{
    static const TMessageMap<TMessageNote> Notes{
        {WM_MOUSELEAVE, &NoteMouseLeave},
        {WM_CANCELMODE, &NoteCancelMode},
        {WM_CAPTURECHANGED, &NoteCaptureChanged},
        {WM_KEYDOWN, &NoteKey},
        {WM_SYSKEYDOWN, &NoteKey},
        {WM_KEYUP, &NoteKey},
        {WM_SYSKEYUP, &NoteKey},
        {WM_CHAR, &NoteKey},
    };
    if (const TMessageNote* Note = Notes.Find(Message.Msg))
        (*Note)(this, FHandle, Message);
}

void TWinControl::WndProc(TMessage& Message)
{
    if (IsMouseMessage(Message.Msg)) {
        // Windowless children get the mouse through their parent: the one holding the capture,
        // else the topmost enabled one under the pointer.
        TControl* Target = nullptr;
        TControl* Capture = gCaptureControl;
        if (Capture && Capture != this && Capture->Parent() == this)
            Target = Capture;
        else if (!Capture || Capture != this) {
            TPoint P{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
            if (!Capture)
                Target = ControlAtPos(P, false);
        }
        if (gHost && Message.Msg != WM_MOUSEMOVE && Message.Msg != WM_MOUSEHOVER)
            gHost->InputHidesHint();
        if (Message.Msg == WM_MOUSEMOVE) {
            TControl* Over = Target ? Target : this;
            if (!Capture || Capture == Over)
                SetMouseControl(Over);
            if (gHost)
                gHost->HintMouseMessage(Over, Message);
        }
        if (Target) {
            TMessage M = Message;
            M.LParam = PointToLParam(GET_X_LPARAM(Message.LParam) - Target->Left(),
                                     GET_Y_LPARAM(Message.LParam) - Target->Top());
            Target->WindowProc(M);
            Message.Result = M.Result;
            return;
        }
    } else {
        NoteMessage(Message);
    }
    TControl::WndProc(Message);
}

bool TWinControl::WantsKey(WORD Key)
{
    LRESULT Code = Perform(WM_GETDLGCODE, 0, 0);
    // "All keys" are Enter and Esc besides the characters: Tab still moves the focus unless
    // the control asks for it.
    if ((Code & DLGC_WANTALLKEYS) && Key != VK_TAB)
        return true;
    if (Key == VK_TAB && (Code & DLGC_WANTTAB))
        return true;
    if ((Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN) && (Code & DLGC_WANTARROWS))
        return true;
    return Perform(CM_WANTSPECIALKEY, Key, 0) != 0;
}

namespace {

// The keys an edit control acts on itself: select all, the clipboard, undo and deleting.
bool IsEditingKey(const TMessage& Message)
{
    if (Message.Msg != WM_KEYDOWN && Message.Msg != WM_SYSKEYDOWN)
        return false;
    TShiftState Shift = KeyDataToShiftState(Message.LParam);
    if (Shift.Contains(ssAlt))
        return false;
    const WORD Key = static_cast<WORD>(Message.WParam);
    const bool Ctrl = Shift.Contains(ssCtrl), ShiftKey = Shift.Contains(ssShift);
    if (Ctrl && !ShiftKey && (Key == 'A' || Key == 'C' || Key == 'V' || Key == 'X' || Key == 'Z'))
        return true;
    if (Key == VK_INSERT)
        return Ctrl != ShiftKey;
    return Key == VK_DELETE || Key == VK_BACK;
}

} // namespace

bool TWinControl::IsMenuKey(TMessage& Message)
{
    TCustomForm* Form = GetParentForm(this);
    // An edit control in another window than the one whose menu would take the key (a floating
    // tool window, a dialog) keeps its editing keys: Ctrl+A there selects the field, not the
    // document behind. In the menu's own window the menu goes first.
    const bool OwnKey =
        FHandle && IsEditingKey(Message) && (Perform(WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0;
    const HWND Top = FHandle ? GetAncestor(FHandle, GA_ROOT) : nullptr;
    auto SameWindow = [Top](TCustomForm* F) {
        return F && F->HandleAllocated() && GetAncestor(F->Handle(), GA_ROOT) == Top;
    };
    if (Form && (!OwnKey || SameWindow(Form)) && Form->IsShortCut(Message))
        return true;
    if (!gHost || (OwnKey && !SameWindow(gHost->MainForm())))
        return false;
    return gHost->IsShortCut(Message, Form);
}

bool TWinControl::DialogKey(TMessage& Message)
{
    WORD Key = static_cast<WORD>(Message.WParam);
    if (Message.Msg != WM_KEYDOWN)
        return false;
    if (Key != VK_TAB && Key != VK_LEFT && Key != VK_RIGHT && Key != VK_UP && Key != VK_DOWN &&
        Key != VK_RETURN && Key != VK_ESCAPE && Key != VK_EXECUTE && Key != VK_CANCEL)
        return false;
    if (WantsKey(Key))
        return false;
    TCustomForm* Form = GetParentForm(this);
    TWinControl* Target = Form ? static_cast<TWinControl*>(Form) : this;
    return Target->Perform(CM_DIALOGKEY, Key, Message.LParam) != 0;
}

namespace {

// Runs a key event on the form first when it previews keys, then on the control; either may
// eat the key by setting it to 0. Otherwise the key, as the events left it, goes back into the
// message.
template <class K, class F> bool KeyEventsEat(TWinControl* Control, TMessage& Message, K Key, F Fire)
{
    TCustomForm* Form = GetParentForm(Control);
    if (Form && Form != Control && Form->KeyPreview) {
        Fire(Form, Key);
        if (Key == 0)
            return true;
    }
    Fire(Control, Key);
    if (Key == 0)
        return true;
    if constexpr (std::is_same_v<K, char>)
        Message.WParam = static_cast<unsigned char>(Key);
    else
        Message.WParam = Key;
    return false;
}

} // namespace

bool TWinControl::DoKeyDown(TMessage& Message)
{
    const TShiftState Shift = KeyDataToShiftState(Message.LParam);
    return KeyEventsEat(this, Message, static_cast<WORD>(Message.WParam),
                        [Shift](TWinControl* C, WORD& Key) { C->KeyDown(Key, Shift); });
}

bool TWinControl::DoKeyPress(TMessage& Message)
{
    // The key events carry single-byte characters; others go straight on.
    if (Message.WParam > 0xFF)
        return false;
    return KeyEventsEat(this, Message, static_cast<char>(Message.WParam),
                        [](TWinControl* C, char& Key) { C->KeyPress(Key); });
}

bool TWinControl::DoKeyUp(TMessage& Message)
{
    const TShiftState Shift = KeyDataToShiftState(Message.LParam);
    return KeyEventsEat(this, Message, static_cast<WORD>(Message.WParam),
                        [Shift](TWinControl* C, WORD& Key) { C->KeyUp(Key, Shift); });
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

void TWinControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TControl::Notification(AComponent, Operation);
}

void TWinControl::Loaded()
{
    TControl::Loaded();
    if (ControlState.Contains(csAlignmentNeeded) || !FControls.empty() || !FWinControls.empty())
        Realign();
}

void TWinControl::WMPaint(TWMPaint Message)
{
    PaintHandler(Message);
}

void TWinControl::WMEraseBkgnd(TWMEraseBkgnd Message)
{
    RECT R;
    GetClientRect(FHandle, &R);
    HBRUSH Brush = CreateSolidBrush(ColorToColorRef(FColor));
    FillRect(Message.DC(), &R, Brush);
    DeleteObject(Brush);
    Message.Result = 1;
}

bool TWinControl::CommandKey(TMessage& Message)
{
    if (!IsMenuKey(Message) && !DialogKey(Message))
        return false;
    // The key was a command: the character it typed goes nowhere.
    MSG Char;
    while (FHandle && PeekMessage(&Char, FHandle, WM_CHAR, WM_CHAR, PM_REMOVE)) {
    }
    while (FHandle && PeekMessage(&Char, FHandle, WM_SYSCHAR, WM_SYSCHAR, PM_REMOVE)) {
    }
    Message.Result = 1;
    return true;
}

void TWinControl::WMKeyDown(TWMKeyDown Message)
{
    if (!CommandKey(Message) && !DoKeyDown(Message))
        DefaultHandler(Message);
}

void TWinControl::WMSysKeyDown(TWMSysKeyDown Message)
{
    if (!CommandKey(Message) && !DoKeyDown(Message))
        DefaultHandler(Message);
}

void TWinControl::WMChar(TWMChar Message)
{
    if (!DoKeyPress(Message))
        DefaultHandler(Message);
}

void TWinControl::WMSysChar(TWMSysChar Message)
{
    // Alt and a letter: the control whose caption has that accelerator takes it.
    if (TCustomForm* Form = GetParentForm(this)) {
        if (Form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) {
            Message.Result = 0;
            return;
        }
    }
    DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TWMKeyUp Message)
{
    if (!DoKeyUp(Message))
        DefaultHandler(Message);
}

void TWinControl::WMSysKeyUp(TWMSysKeyUp Message)
{
    if (!DoKeyUp(Message))
        DefaultHandler(Message);
}

void TWinControl::WMSetFocus(TWMSetFocus Message)
{
    if (TCustomForm* Form = GetParentForm(this); Form && Form != this)
        Form->SetFocusedControl(this);
    DefaultHandler(Message);
}

void TWinControl::WMSetCursor(TWMSetCursor Message)
{
    if (Message.CursorWnd() == FHandle && Message.HitTest() == HTCLIENT) {
        TCursor C = ScreenInstance()->Cursor();
        if (C == crDefault) {
            POINT P;
            GetCursorPos(&P);
            ::ScreenToClient(FHandle, &P);
            TControl* Child = ControlAtPos(P, false);
            C = Child ? Child->Cursor() : FCursor;
            if (C == crDefault)
                C = FCursor;
        }
        if (C != crDefault) {
            ::SetCursor(ScreenInstance()->Cursors(C));
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}

void TWinControl::WMWindowPosChanged(TWMWindowPosChanged Message)
{
    DefaultHandler(Message);
    if (!FUpdatingBounds) {
        int OldW = FWidth, OldH = FHeight;
        TRect Old = BoundsRect();
        UpdateBoundsFromWindow();
        if (!(Old == BoundsRect()))
            RequestAlign();
        if (FWidth != OldW || FHeight != OldH)
            SizeChanged();
    }
}

void TWinControl::WMSetText(TWMSetText Message)
{
    DefaultHandler(Message);
    FText = Message.Text() ? Message.Text() : "";
}

bool TWinControl::ReflectToChild(TMessage& Message)
{
    HWND Child = reinterpret_cast<HWND>(Message.LParam);
    if (Message.Msg == WM_NOTIFY && Message.LParam)
        Child = *reinterpret_cast<HWND*>(Message.LParam);
    if (Message.Msg == WM_DRAWITEM || Message.Msg == WM_MEASUREITEM)
        Child = nullptr;
    TWinControl* C = FindControl(Child);
    if (!C || C == this)
        return false;
    Message.Result = C->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return true;
}

void TWinControl::WMCommand(TWMCommand Message)
{
    if (!ReflectToChild(Message))
        DefaultHandler(Message);
}

void TWinControl::WMNotify(TMessage& Message)
{
    if (!ReflectToChild(Message))
        DefaultHandler(Message);
}

void TWinControl::WMHScroll(TWMHScroll Message)
{
    if (!ReflectToChild(Message))
        DefaultHandler(Message);
}

void TWinControl::WMVScroll(TWMVScroll Message)
{
    if (!ReflectToChild(Message))
        DefaultHandler(Message);
}

void TWinControl::WMDrawItem(TMessage& Message)
{
    if (!ReflectToChild(Message))
        DefaultHandler(Message);
}

void TWinControl::WMMeasureItem(TMessage& Message)
{
    if (!ReflectToChild(Message))
        DefaultHandler(Message);
}

void TWinControl::WMCtlColor(TWMCtlColor Message)
{
    if (!ReflectToChild(Message))
        DefaultHandler(Message);
}

void TWinControl::CNCtlColor(TWMCtlColor Message)
{
    // A child window asks how to draw itself: in the control's font colour on its colour.
    SetTextColor(Message.ChildDC(), ColorToColorRef(FFont->Color()));
    SetBkColor(Message.ChildDC(), ColorToColorRef(FColor));
    if (!FBrush)
        FBrush = new TBrush();
    FBrush->SetColor(FColor);
    Message.Result = reinterpret_cast<LRESULT>(FBrush->Handle());
}

void TWinControl::CMEnabledChanged(TMessage& Message)
{
    if (FHandle)
        EnableWindow(FHandle, FEnabled);
    TControl::CMEnabledChanged(Message);
}

void TWinControl::CMVisibleChanged(TMessage&)
{
    // Before the window goes: a form whose focused control is inside moves the keyboard on (to
    // its active document when it is a frame) instead of leaving it nowhere.
    if (!FVisible && FParent)
        if (TCustomForm* Form = GetParentForm(this))
            Form->DefocusControl(this);
    UpdateShowing();
}

void TWinControl::CMShowingChanged(TMessage&)
{
    if (FHandle)
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                         (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMFontChanged(TMessage& Message)
{
    SendFontToWindow();
    TControl::CMFontChanged(Message);
    NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMColorChanged(TMessage& Message)
{
    TControl::CMColorChanged(Message);
    NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMShowHintChanged(TMessage&)
{
    NotifyControls(CM_PARENTSHOWHINTCHANGED);
}

void TWinControl::CMTextChanged(TMessage& Message)
{
    if (FHandle)
        SetWindowText(FHandle, FText.c_str());
    TControl::CMTextChanged(Message);
}

void TWinControl::CMDialogKey(TCMDialogKey Message)
{
    Broadcast(Message);
}

void TWinControl::CMDialogChar(TCMDialogChar Message)
{
    Broadcast(Message);
}

void TWinControl::CMFocusChanged(TMessage& Message)
{
    Broadcast(Message);
}

void TWinControl::CMSysColorChange(TMessage& Message)
{
    Broadcast(Message);
}

void TWinControl::CMWinIniChange(TMessage& Message)
{
    Broadcast(Message);
}

void TWinControl::CMFontChange(TMessage& Message)
{
    Broadcast(Message);
}

void TWinControl::CMTimeChange(TMessage& Message)
{
    Broadcast(Message);
}

void TWinControl::CMEnter(TCMEnter)
{
    DoEnter();
}

void TWinControl::CMExit(TCMExit)
{
    DoExit();
}

void TWinControl::DefaultHandler(TMessage& Message)
{
    if (FHandle) {
        WNDPROC Proc = FDefWndProc ? FDefWndProc : &::DefWindowProc;
        Message.Result = Proc(FHandle, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    TControl::DefaultHandler(Message);
}

std::string TWinControl::GetText() const
{
    if (FHandle)
        return GetWindowTextString(FHandle);
    return FText;
}

void TWinControl::SetTextBuf(const std::string& Value)
{
    FText = Value;
    if (FHandle)
        SetWindowText(FHandle, Value.c_str());
}

// ---- Canvases ---------------------------------------------------------------------------------

TControlCanvas::~TControlCanvas()
{
    FreeHandle();
}

void TControlCanvas::SetControl(TControl* Value)
{
    if (FControl == Value)
        return;
    FreeHandle();
    FControl = Value;
}

void TControlCanvas::CreateHandle()
{
    if (!FControl)
        return;
    if (TWinControl* W = dynamic_cast<TWinControl*>(FControl)) {
        FWindowHandle = W->Handle();
        FDeviceContext = GetDC(FWindowHandle);
    } else if (FControl->Parent()) {
        FWindowHandle = FControl->Parent()->Handle();
        FDeviceContext = GetDC(FWindowHandle);
        if (FDeviceContext) {
            SetViewportOrgEx(FDeviceContext, FControl->Left(), FControl->Top(), nullptr);
            IntersectClipRect(FDeviceContext, 0, 0, FControl->Width(), FControl->Height());
        }
    }
    if (FDeviceContext) {
        SetHandle(FDeviceContext);
        gCanvasesWithDC.insert(this);
    }
}

void TControlCanvas::FreeHandle()
{
    if (!FDeviceContext)
        return;
    SetHandle(nullptr);
    ReleaseDC(FWindowHandle, FDeviceContext);
    FDeviceContext = nullptr;
    FWindowHandle = nullptr;
    gCanvasesWithDC.erase(this);
}

void FreeDeviceContexts()
{
    for (TControlCanvas* Canvas :
         std::vector<TControlCanvas*>(gCanvasesWithDC.begin(), gCanvasesWithDC.end()))
        if (Canvas->LockCount() == 0)
            Canvas->FreeHandle();
}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(new TControlCanvas())
{
    FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl()
{
    delete FCanvas;
}

TCanvasPaintScope::TCanvasPaintScope(TControlCanvas* Canvas, HDC DC) : FCanvas(Canvas)
{
    FCanvas->FreeHandle();
    FCanvas->Lock();
    FCanvas->SetHandle(DC);
}

TCanvasPaintScope::~TCanvasPaintScope()
{
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
}

void TGraphicControl::WMPaint(TWMPaint Message)
{
    if (!Message.DC()) {
        DefaultHandler(Message);
        return;
    }
    TCanvasPaintScope Scope(FCanvas, Message.DC());
    Paint();
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(new TControlCanvas())
{
    FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl()
{
    // The canvas may hold a DC of our window; give it back before the window goes.
    FCanvas->FreeHandle();
    delete FCanvas;
    FCanvas = nullptr;
}

void TCustomControl::PaintWindow(HDC DC)
{
    TCanvasPaintScope Scope(FCanvas, DC);
    Paint();
}

// ---- THintWindow ------------------------------------------------------------------------------

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    FVisible = false;
    FColor = clInfoBk;
    FParentFont = false;
    Canvas()->Font()->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    Params.WndParent = nullptr;
    Params.ClassStyle |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint)
{
    TBitmap Measure(1, 1);
    Measure.Canvas()->Font()->Assign(Font());
    int W = 0, H = 0;
    std::size_t Start = 0;
    // One line per CR LF (or LF) of the hint text.
    while (Start <= AHint.size()) {
        std::size_t End = AHint.find('\n', Start);
        std::string Line = AHint.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        TSize S = Measure.Canvas()->TextExtent(Line.empty() ? " " : Line);
        W = std::max(W, static_cast<int>(S.cx));
        H += S.cy;
        if (End == std::string::npos)
            break;
        Start = End + 1;
    }
    if (MaxWidth > 0)
        W = std::min(W, MaxWidth);
    return Rect(0, 0, W + 6, H + 2);
}

void THintWindow::ActivateHint(const TRect& Rect, const std::string& AHint)
{
    FText = AHint;
    HandleNeeded();
    if (FHandle)
        SetWindowText(FHandle, AHint.c_str());
    FLeft = Rect.left;
    FTop = Rect.top;
    FWidth = Rect.right - Rect.left;
    FHeight = Rect.bottom - Rect.top;
    SetWindowPos(FHandle, HWND_TOPMOST, FLeft, FTop, FWidth, FHeight, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    FVisible = true;
    Invalidate();
}

void THintWindow::ReleaseHandle()
{
    FVisible = false;
    DestroyHandle();
}

void THintWindow::Paint()
{
    TRect R = ClientRect();
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(R);
    Canvas()->Font()->Assign(Font());
    Canvas()->Font()->SetColor(clInfoText);
    int Y = 1;
    std::size_t Start = 0;
    while (Start <= FText.size()) {
        std::size_t End = FText.find('\n', Start);
        std::string Line = FText.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        Canvas()->Brush()->SetStyle(bsClear);
        Canvas()->TextOut(2, Y, Line);
        Y += Canvas()->TextHeight(Line.empty() ? " " : Line);
        if (End == std::string::npos)
            break;
        Start = End + 1;
    }
}

// ---- Published properties ---------------------------------------------------------------------

TW_ENUM(TAlign, "alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient");
TW_ENUM(TMouseButton, "mbLeft", "mbRight", "mbMiddle");
TW_ENUM(TShiftStateItem, "ssShift", "ssAlt", "ssCtrl", "ssLeft", "ssRight", "ssMiddle", "ssDouble");
TW_ENUM(TDragMode, "dmManual", "dmAutomatic");
TW_ENUM(TBorderStyle, "bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin");
TW_ENUM(TScrollStyle, "ssNone", "ssHorizontal", "ssVertical", "ssBoth");

namespace {
const bool CursorIdentsRegistered = [] {
    RegisterIdents("TCursor",
                   {{"crDefault", crDefault},     {"crNone", crNone},           {"crArrow", crArrow},
                    {"crCross", crCross},         {"crIBeam", crIBeam},         {"crSizeNESW", crSizeNESW},
                    {"crSizeNS", crSizeNS},       {"crSizeNWSE", crSizeNWSE},   {"crSizeWE", crSizeWE},
                    {"crUpArrow", crUpArrow},     {"crHourGlass", crHourGlass}, {"crDrag", crDrag},
                    {"crNoDrop", crNoDrop},       {"crHSplit", crHSplit},       {"crVSplit", crVSplit},
                    {"crMultiDrag", crMultiDrag}, {"crSQLWait", crSQLWait},     {"crNo", crNo},
                    {"crAppStart", crAppStart},   {"crHelp", crHelp},           {"crHandPoint", crHandPoint},
                    {"crSizeAll", crSizeAll}});
    RegisterEventType<TMouseEvent>("TMouseEvent");
    RegisterEventType<TMouseMoveEvent>("TMouseMoveEvent");
    RegisterEventType<TKeyEvent>("TKeyEvent");
    RegisterEventType<TKeyPressEvent>("TKeyPressEvent");
    RegisterEventType<TDragOverEvent>("TDragOverEvent");
    RegisterEventType<TDragDropEvent>("TDragDropEvent");
    RegisterEventType<TEndDragEvent>("TEndDragEvent");
    return true;
}();
} // namespace

TW_PUBLISH(TControl, TComponent)
{
    Cls.Message(WM_LBUTTONDOWN, &TControl::WMLButtonDown);
    Cls.Message(WM_LBUTTONDBLCLK, &TControl::WMLButtonDblClk);
    Cls.Message(WM_RBUTTONDOWN, &TControl::WMRButtonDown);
    Cls.Message(WM_RBUTTONDBLCLK, &TControl::WMRButtonDblClk);
    Cls.Message(WM_MBUTTONDOWN, &TControl::WMMButtonDown);
    Cls.Message(WM_MBUTTONDBLCLK, &TControl::WMMButtonDblClk);
    Cls.Message(WM_LBUTTONUP, &TControl::WMLButtonUp);
    Cls.Message(WM_RBUTTONUP, &TControl::WMRButtonUp);
    Cls.Message(WM_MBUTTONUP, &TControl::WMMButtonUp);
    Cls.Message(WM_MOUSEMOVE, &TControl::WMMouseMove);
    Cls.Message(WM_CANCELMODE, &TControl::WMCancelMode);
    Cls.Message(CM_MOUSEENTER, &TControl::CMMouseEnter);
    Cls.Message(CM_MOUSELEAVE, &TControl::CMMouseLeave);
    Cls.Message(CM_HITTEST, &TControl::CMHitTest);
    Cls.Message(CM_ENABLEDCHANGED, &TControl::CMEnabledChanged);
    Cls.Message(CM_FONTCHANGED, &TControl::CMFontChanged);
    Cls.Message(CM_COLORCHANGED, &TControl::CMColorChanged);
    Cls.Message(CM_TEXTCHANGED, &TControl::CMTextChanged);
    Cls.Message(CM_PARENTFONTCHANGED, &TControl::CMParentFontChanged);
    Cls.Message(CM_PARENTCOLORCHANGED, &TControl::CMParentColorChanged);
    Cls.Message(CM_PARENTSHOWHINTCHANGED, &TControl::CMParentShowHintChanged);
    Cls.Message(CM_VISIBLECHANGED, &TControl::CMVisibleChanged);
    Cls.Message(CM_CURSORCHANGED, &TControl::CMCursorChanged);
    Cls.Message(CM_SHOWHINTCHANGED, &TControl::CMShowHintChanged);
    Cls.Message(CM_CANCELMODE, &TControl::CMCancelMode);
    Cls.Message(CM_DIALOGKEY, &TControl::CMDialogKey);
    Cls.Message(CM_DIALOGCHAR, &TControl::CMDialogChar);
    Cls.Message(CM_FOCUSCHANGED, &TControl::CMFocusChanged);
    Cls.Message(CM_SYSCOLORCHANGE, &TControl::CMSysColorChange);
    Cls.Message(CM_SHOWINGCHANGED, &TControl::CMShowingChanged);
    Cls.Message(CM_ENTER, &TControl::CMEnter);
    Cls.Message(CM_EXIT, &TControl::CMExit);
    Cls.Message(CM_HINTSHOW, &TControl::CMHintShow);

    Cls.Int("Left", &TControl::Left, &TControl::SetLeft);
    Cls.Int("Top", &TControl::Top, &TControl::SetTop);
    Cls.Int("Width", &TControl::Width, &TControl::SetWidth);
    Cls.Int("Height", &TControl::Height, &TControl::SetHeight);
    Cls.Enum("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
    Cls.Bool("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
    Cls.Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
    Cls.Str("Caption", &TControl::Caption, &TControl::SetCaption);
    Cls.Str("Text", &TControl::Text, &TControl::SetText);
    Cls.Color("Color", &TControl::Color, &TControl::SetColor);
    Cls.Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
    Cls.Object("Font", &TControl::Font, &TControl::SetFont);
    Cls.Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
    Cls.Cursor("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crDefault);
    Cls.Str("Hint", &TControl::Hint, &TControl::SetHint);
    Cls.Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
    Cls.Bool("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
    Cls.Component("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
    Cls.Event("OnClick", &TControl::OnClick);
    Cls.Event("OnDblClick", &TControl::OnDblClick);
    Cls.Event("OnMouseDown", &TControl::OnMouseDown);
    Cls.Event("OnMouseMove", &TControl::OnMouseMove);
    Cls.Event("OnMouseUp", &TControl::OnMouseUp);
    Cls.Event("OnResize", &TControl::OnResize);
    Cls.Enum("DragMode", &TControl::DragMode).Default(dmManual);
    Cls.Cursor("DragCursor", &TControl::DragCursor).Default(crDrag);
    Cls.Event("OnDragDrop", &TControl::OnDragDrop);
    Cls.Event("OnDragOver", &TControl::OnDragOver);
    Cls.Event("OnStartDrag", &TControl::OnStartDrag);
    Cls.Event("OnEndDrag", &TControl::OnEndDrag);
    Cls.Bool("Ctl3D", &TControl::Ctl3D).Default(true);
    Cls.Bool("ParentCtl3D", &TControl::ParentCtl3D).Default(true);
    Cls.Int("HelpContext", &TControl::HelpContext).Default(0);
}

TW_PUBLISH(TWinControl, TControl)
{
    Cls.Message(WM_PAINT, &TWinControl::WMPaint);
    Cls.Message(WM_ERASEBKGND, &TWinControl::WMEraseBkgnd);
    Cls.Message(WM_KEYDOWN, &TWinControl::WMKeyDown);
    Cls.Message(WM_SYSKEYDOWN, &TWinControl::WMSysKeyDown);
    Cls.Message(WM_CHAR, &TWinControl::WMChar);
    Cls.Message(WM_SYSCHAR, &TWinControl::WMSysChar);
    Cls.Message(WM_KEYUP, &TWinControl::WMKeyUp);
    Cls.Message(WM_SYSKEYUP, &TWinControl::WMSysKeyUp);
    Cls.Message(WM_SETFOCUS, &TWinControl::WMSetFocus);
    Cls.Message(WM_SETCURSOR, &TWinControl::WMSetCursor);
    Cls.Message(WM_WINDOWPOSCHANGED, &TWinControl::WMWindowPosChanged);
    Cls.Message(WM_SETTEXT, &TWinControl::WMSetText);
    Cls.Message(WM_COMMAND, &TWinControl::WMCommand);
    Cls.Message(WM_NOTIFY, &TWinControl::WMNotify);
    Cls.Message(WM_HSCROLL, &TWinControl::WMHScroll);
    Cls.Message(WM_VSCROLL, &TWinControl::WMVScroll);
    Cls.Message(WM_DRAWITEM, &TWinControl::WMDrawItem);
    Cls.Message(WM_MEASUREITEM, &TWinControl::WMMeasureItem);
    Cls.Message({WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_CTLCOLORLISTBOX},
                &TWinControl::WMCtlColor);
    Cls.Message({CN_CTLCOLOREDIT, CN_CTLCOLORSTATIC, CN_CTLCOLORBTN, CN_CTLCOLORLISTBOX},
                &TWinControl::CNCtlColor);
    Cls.Message(CM_ENABLEDCHANGED, &TWinControl::CMEnabledChanged);
    Cls.Message(CM_VISIBLECHANGED, &TWinControl::CMVisibleChanged);
    Cls.Message(CM_SHOWINGCHANGED, &TWinControl::CMShowingChanged);
    Cls.Message(CM_FONTCHANGED, &TWinControl::CMFontChanged);
    Cls.Message(CM_COLORCHANGED, &TWinControl::CMColorChanged);
    Cls.Message(CM_SHOWHINTCHANGED, &TWinControl::CMShowHintChanged);
    Cls.Message(CM_TEXTCHANGED, &TWinControl::CMTextChanged);
    Cls.Message(CM_DIALOGKEY, &TWinControl::CMDialogKey);
    Cls.Message(CM_DIALOGCHAR, &TWinControl::CMDialogChar);
    Cls.Message(CM_FOCUSCHANGED, &TWinControl::CMFocusChanged);
    Cls.Message(CM_SYSCOLORCHANGE, &TWinControl::CMSysColorChange);
    Cls.Message(CM_WININICHANGE, &TWinControl::CMWinIniChange);
    Cls.Message(CM_FONTCHANGE, &TWinControl::CMFontChange);
    Cls.Message(CM_TIMECHANGE, &TWinControl::CMTimeChange);
    Cls.Message(CM_ENTER, &TWinControl::CMEnter);
    Cls.Message(CM_EXIT, &TWinControl::CMExit);

    Cls.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
    Cls.Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
    Cls.Event("OnKeyDown", &TWinControl::OnKeyDown);
    Cls.Event("OnKeyPress", &TWinControl::OnKeyPress);
    Cls.Event("OnKeyUp", &TWinControl::OnKeyUp);
    Cls.Event("OnEnter", &TWinControl::OnEnter);
    Cls.Event("OnExit", &TWinControl::OnExit);
}

TW_PUBLISH(TGraphicControl, TControl)
{
    Cls.Message(WM_PAINT, &TGraphicControl::WMPaint);
}
TW_PUBLISH(TCustomControl, TWinControl) {}
TW_PUBLISH(THintWindow, TCustomControl) {}
