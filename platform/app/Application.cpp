#include "platform/app/Application.h"
#include "platform/app/Printers.h"
#include "platform/app/SessionEnd.h"
#include "platform/app/ShellApi.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/Registry.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <system_error>

TApplication* Application = nullptr;

namespace {

THelpViewer* gHelpViewer = nullptr;
constexpr UINT_PTR HintTimerId = 1;
constexpr int CursorHeight = 20; // the hint appears below the pointer's shape

// The control whose hint applies at a control: its own, else its parents'.
TControl* HintHolder(TControl* Control)
{
    for (TControl* C = Control; C; C = C->Parent())
        if (!C->Hint().empty())
            return C;
    return nullptr;
}

} // namespace

void SetHelpViewer(THelpViewer* Viewer)
{
    gHelpViewer = Viewer;
}

TApplication* ApplicationInstance()
{
    if (!Application)
        new TApplication(nullptr);
    return Application;
}

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner)
{
    if (!Application)
        Application = this;
    SetApplicationHost(this);
    LinkPrinterToDialogs();
    FActive = IsApplicationActive();
    CreateHandle();
    ConnectSessionManager();
    // A registry file rewritten around lines it could not read says so to the user, once.
    SetRegistryNotice(
        [this](const std::string& Text) { MessageBox(Text, Title(), MB_OK | MB_ICONINFORMATION); });
}

TApplication::~TApplication()
{
    Destroying();
    CancelHint();
    // Forms hear OnDestroy while they are still whole, then go with the other components.
    for (int I = ComponentCount() - 1; I >= 0; --I)
        if (auto* Form = dynamic_cast<TCustomForm*>(Components(I)))
            Form->BeforeDestruction();
    DestroyComponents();
    FHintWindow = nullptr;
    if (FHandle)
        DeallocateHWnd(FHandle);
    SetRegistryNotice(nullptr);
    if (ApplicationHost() == this)
        SetApplicationHost(nullptr);
    if (Application == this)
        Application = nullptr;
}

void TApplication::CreateHandle()
{
    if (!FHandle)
        FHandle = AllocateHWnd([this](TMessage& M) { WndProc(M); });
}

void TApplication::WndProc(TMessage& Message)
{
    try {
        for (const THook& Hook : std::vector<THook>(FHooks.rbegin(), FHooks.rend()))
            if (Hook.Fn(Message))
                return;
        Dispatch(Message);
    } catch (...) {
        HandleException(this);
    }
}

bool TApplication::EndSession(bool MayAsk)
{
    const HWND Main = FMainForm && FMainForm->HandleAllocated() ? FMainForm->Handle() : nullptr;
    bool Ends = true;
    try {
        if (MayAsk && Main)
            Ends = SendMessage(Main, WM_QUERYENDSESSION, 0, 0) != FALSE;
        if (Main)
            SendMessage(Main, WM_ENDSESSION, Ends ? TRUE : FALSE, 0);
    } catch (...) {
        // A close query that failed (a save that could not be written) keeps the program.
        HandleException(this);
        Ends = false;
    }
    if (Ends)
        SendMessage(FHandle, WM_ENDSESSION, TRUE, 0);
    return Ends;
}

void TApplication::DefaultHandler(TMessage& Message)
{
    Message.Result = DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TApplication::WMTimer(TWMTimer Message)
{
    if (Message.TimerID() == HintTimerId)
        HintTimerExpired();
    else
        DefaultHandler(Message);
}

void TApplication::WMActivateApp(TWMActivateApp Message)
{
    ActivateApp(Message.Active());
    DefaultHandler(Message);
}

void TApplication::WMClose(TWMClose)
{
    if (FMainForm)
        FMainForm->Close();
}

void TApplication::WMEndSession(TMessage& Message)
{
    if (Message.WParam)
        Terminate();
}

int TApplication::HookMainWindow(const TWindowHook& Hook)
{
    int Id = FNextHookId++;
    FHooks.push_back(THook{Id, Hook});
    return Id;
}

void TApplication::UnhookMainWindow(int Id)
{
    FHooks.erase(std::remove_if(FHooks.begin(), FHooks.end(), [Id](const THook& H) { return H.Id == Id; }),
                 FHooks.end());
}

void TApplication::Run()
{
    FRunning = true;
    if (FMainForm) {
        FMainForm->Show();
        while (!FTerminated)
            HandleMessage();
    }
    FRunning = false;
}

void TApplication::Terminate()
{
    if (FTerminated)
        return;
    FTerminated = true;
    PostQuitMessage(0);
}

bool TApplication::ProcessMessage()
{
    MSG Msg;
    if (!PeekMessage(&Msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (Msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    try {
        bool Handled = false;
        if (OnMessage)
            OnMessage(Msg, Handled);
        if (!Handled) {
            TranslateMessage(&Msg);
            DispatchMessage(&Msg);
        }
    } catch (...) {
        HandleException(this);
    }
    return true;
}

void TApplication::ProcessMessages()
{
    while (ProcessMessage()) {
    }
}

void TApplication::HandleMessage()
{
    if (!ProcessMessage()) {
        Idle();
        if (!FTerminated)
            WaitMessage();
    }
}

void TApplication::Idle()
{
    FreeDeviceContexts();
    bool Done = true;
    if (OnIdle) {
        try {
            OnIdle(this, Done);
        } catch (...) {
            HandleException(this);
        }
    }
}

void TApplication::HandleException(TObject* Sender)
{
    auto Report = [&](const std::exception& E) {
        try {
            if (OnException)
                OnException(Sender, E);
            else
                ShowException(E);
        } catch (...) {
            // The report itself failed: nothing more can be said.
        }
    };
    try {
        throw;
    } catch (const EAbort&) {
        // Abort leaves a handler without a word.
    } catch (const std::bad_alloc&) {
        // The user sees the class library's words, not the C++ library's.
        Report(EOutOfMemory("Out of memory"));
    } catch (const std::exception& E) {
        Report(E);
    } catch (...) {
        Report(Exception("Unknown exception"));
    }
}

void TApplication::ShowException(const std::exception& E)
{
    std::string Msg = E.what();
    if (!Msg.empty() && Msg.back() != '.')
        Msg += '.';
    MessageBox(Msg, Title(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags)
{
    HWND Owner = nullptr;
    if (TCustomForm* Active = ScreenInstance()->ActiveForm(); Active && Active->HandleAllocated())
        Owner = Active->Handle();
    else if (FMainForm && FMainForm->HandleAllocated())
        Owner = FMainForm->Handle();
    return ::MessageBox(Owner, Text, Caption, Flags);
}

std::string TApplication::ExeName() const
{
    std::error_code Ec;
    std::filesystem::path P = std::filesystem::read_symlink("/proc/self/exe", Ec);
    return Ec ? std::string() : P.string();
}

std::string TApplication::Title() const
{
    if (!FTitle.empty())
        return FTitle;
    return std::filesystem::path(ExeName()).stem().string();
}

bool TApplication::HelpCommand(WORD Command, LPARAM Data)
{
    bool CallHelp = true;
    bool Result = false;
    if (OnHelp)
        Result = OnHelp(Command, Data, CallHelp);
    if (CallHelp && gHelpViewer && (!HelpFile.empty() || Command == HELP_HELPONHELP))
        Result = gHelpViewer->Help(HelpFile, Command, Data);
    else if (CallHelp && (!HelpFile.empty() || Command == HELP_HELPONHELP))
        Result = ::WinHelp(FHandle, HelpFile.c_str(), Command, static_cast<ULONG_PTR>(Data)) != FALSE;
    return Result;
}

bool TApplication::HelpContext(int Context)
{
    return HelpCommand(HELP_CONTEXT, Context);
}

bool TApplication::HelpJump(const std::string& JumpID)
{
    return HelpCommand(HELP_KEY, reinterpret_cast<LPARAM>(JumpID.c_str()));
}

void TApplication::Minimize()
{
    if (FMainForm && FMainForm->HandleAllocated())
        ShowWindow(FMainForm->Handle(), SW_MINIMIZE);
    if (OnMinimize)
        OnMinimize(this);
}

void TApplication::Restore()
{
    if (FMainForm && FMainForm->HandleAllocated())
        ShowWindow(FMainForm->Handle(), SW_RESTORE);
    if (OnRestore)
        OnRestore(this);
}

void TApplication::BringToFront()
{
    if (TCustomForm* F = ScreenInstance()->ActiveForm() ? ScreenInstance()->ActiveForm() : FMainForm)
        F->BringToFront();
}

void TApplication::ActivateApp(bool Active)
{
    if (FActive == Active)
        return;
    FActive = Active;
    if (!Active)
        CancelHint();
    // The hooks on the application window hear of it once Active tells the new state.
    if (FHandle)
        SendMessage(FHandle, CM_APPACTIVATE, Active ? 1 : 0, 0);
    TNotifyEvent& Event = Active ? OnActivate : OnDeactivate;
    if (Event)
        Event(this);
}

bool TApplication::IsShortCut(TMessage& Message, TCustomForm* Asked)
{
    return FMainForm && FMainForm != Asked && FMainForm->IsShortCut(Message);
}

void TApplication::ControlDestroying(TControl* Control)
{
    if (Control == FHintWindow) {
        FHintWindow = nullptr;
        FHintActive = false;
    }
    if (Control == FHintControl) {
        FHintControl = nullptr;
        StopHintTimer();
        HideHint();
    }
    if (Control == FMainForm)
        FMainForm = nullptr;
}

// ---- Hints ------------------------------------------------------------------------------------

void TApplication::SetHint(const std::string& Value)
{
    if (FHint == Value)
        return;
    FHint = Value;
    if (OnHint)
        OnHint(this);
}

void TApplication::SetShowHint(bool Value)
{
    FShowHint = Value;
    if (!Value)
        CancelHint();
}

void TApplication::SetHintWindowClass(const THintWindowClass& Value)
{
    HideHint();
    delete FHintWindow;
    FHintWindow = nullptr;
    FHintWindowClass = Value;
}

void TApplication::StartHintTimer(int Delay, int Kind)
{
    StopHintTimer();
    FHintTimerKind = Kind;
    SetTimer(FHandle, HintTimerId, static_cast<UINT>(std::max(1, Delay)), nullptr);
}

void TApplication::StopHintTimer()
{
    if (FHintTimerKind != 0) {
        KillTimer(FHandle, HintTimerId);
        FHintTimerKind = 0;
    }
}

void TApplication::HideHint()
{
    if (FHintWindow && FHintActive)
        FHintWindow->ReleaseHandle();
    FHintActive = false;
}

void TApplication::CancelHint()
{
    StopHintTimer();
    HideHint();
    FHintControl = nullptr;
    FHintRecent = false;
}

void TApplication::HintMouseLeft()
{
    const bool WasActive = FHintActive;
    CancelHint();
    if (WasActive) {
        FHintRecent = true;
        StartHintTimer(HintPause, 3);
    }
}

void TApplication::InputHidesHint()
{
    StopHintTimer();
    HideHint();
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message)
{
    (void)Message;
    if (Control == FHintControl) {
        // A shown hint goes away when the pointer leaves the area it was shown for.
        if (FHintActive) {
            POINT P;
            GetCursorPos(&P);
            TPoint C = Control->ScreenToClient(P);
            bool Inside = C.x >= FHintCursorRect.left && C.x < FHintCursorRect.right &&
                          C.y >= FHintCursorRect.top && C.y < FHintCursorRect.bottom;
            if (!Inside) {
                HideHint();
                StartHintTimer(HintShortPause, 1);
            }
        }
        return;
    }
    bool WasActive = FHintActive || FHintRecent;
    FHintRecent = false;
    HideHint();
    StopHintTimer();
    FHintControl = Control;
    TControl* Holder = HintHolder(Control);
    // The status line gets the long hint at once; the hint window waits for the pause.
    SetHint(Holder ? GetLongHint(Holder->Hint()) : std::string());
    if (FShowHint && Holder && Control->ShowHint() && !GetShortHint(Holder->Hint()).empty())
        StartHintTimer(WasActive ? HintShortPause : HintPause, 1);
}

void TApplication::HintTimerExpired()
{
    int Kind = FHintTimerKind;
    StopHintTimer();
    if (Kind == 1)
        DoActivateHint();
    else if (Kind == 2)
        HideHint();
    else if (Kind == 3)
        FHintRecent = false;
}

void TApplication::ActivateHint(const TPoint& CursorPos)
{
    FHintControl = FindDragTarget(CursorPos, false);
    DoActivateHint();
}

void TApplication::DoActivateHint()
{
    TControl* Control = FHintControl;
    if (!Control || !FShowHint)
        return;
    TControl* Holder = HintHolder(Control);
    if (!Holder)
        return;
    POINT P;
    GetCursorPos(&P);
    THintInfo Info;
    Info.HintControl = Control;
    Info.HintStr = GetShortHint(Holder->Hint());
    Info.CursorPos = Control->ScreenToClient(P);
    Info.CursorRect = Control->ClientRect();
    Info.HintPos = Point(P.x, P.y + CursorHeight);
    Info.HintMaxWidth = ScreenInstance()->Width();
    Info.HintColor = HintColor;
    Info.HideTimeout = HintHidePause;
    bool CanShow = Control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Info)) == 0;
    if (CanShow && OnShowHint)
        OnShowHint(Info.HintStr, CanShow, Info);
    if (!CanShow || Info.HintStr.empty())
        return;
    if (!FHintWindow) {
        FHintWindow = FHintWindowClass ? FHintWindowClass(this) : new THintWindow(this);
        FHintWindow->SetColor(Info.HintColor);
    }
    FHintWindow->SetColor(Info.HintColor);
    TRect R = FHintWindow->CalcHintRect(Info.HintMaxWidth, Info.HintStr);
    int W = R.right - R.left, H = R.bottom - R.top;
    // The hint stays on the screen: pushed left at the right edge, above the pointer at the bottom.
    int X = std::max(0, std::min(static_cast<int>(Info.HintPos.x), ScreenInstance()->Width() - W));
    int Y = Info.HintPos.y;
    if (Y + H > ScreenInstance()->Height())
        Y = std::max(0, static_cast<int>(P.y) - H - 2);
    R = Bounds(X, Y, W, H);
    FHintWindow->ActivateHint(R, Info.HintStr);
    FHintActive = true;
    FHintCursorRect = Info.CursorRect;
    if (Info.HideTimeout > 0)
        StartHintTimer(Info.HideTimeout, 2);
}

// The application's window: its messages go through the table like a control's.
TW_PUBLISH(TApplication, TComponent)
{
    Cls.Message(WM_TIMER, &TApplication::WMTimer);
    Cls.Message(WM_ACTIVATEAPP, &TApplication::WMActivateApp);
    Cls.Message(WM_CLOSE, &TApplication::WMClose);
    Cls.Message(WM_ENDSESSION, &TApplication::WMEndSession);
}
