// The application object: creates the program's forms, runs the message loop, reports
// exceptions that escape event handlers, runs the hint pipeline (the hint text published to
// Application.Hint and the small hint window after a pause) and answers the controls'
// questions through TApplicationHost.
#pragma once

#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"

#include <exception>
#include <functional>
#include <string>
#include <vector>

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;
using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
using THelpEvent = std::function<bool(WORD Command, LPARAM Data, bool& CallHelp)>;
// A hook on the main window: true when the message was handled (and goes no further).
using TWindowHook = std::function<bool(TMessage& Message)>;

// Help commands.
inline constexpr WORD HELP_CONTEXT = 0x0001;
inline constexpr WORD HELP_QUIT = 0x0002;
inline constexpr WORD HELP_CONTENTS = 0x0003;
inline constexpr WORD HELP_HELPONHELP = 0x0004;
inline constexpr WORD HELP_SETCONTENTS = 0x0005;
inline constexpr WORD HELP_CONTEXTPOPUP = 0x0008;
inline constexpr WORD HELP_KEY = 0x0101;
inline constexpr WORD HELP_PARTIALKEY = 0x0105;

// Where help requests go (the help viewer comes with the system services; tests record them).
class THelpViewer {
public:
    virtual ~THelpViewer() = default;
    virtual bool Help(const std::string& HelpFile, WORD Command, LPARAM Data) = 0;
};
void SetHelpViewer(THelpViewer* Viewer);

class TApplication : public TComponent, public TApplicationHost {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    void Initialize() {}
    // Makes a form of class T owned by the application, reads its stored description and fires
    // OnCreate; the first form made this way is the main form. *Reference is set before the
    // form's OnCreate runs, as the programs expect.
    template <typename T> void CreateForm(T** Reference)
    {
        T* Form = new T(this);
        if (Reference)
            *Reference = Form;
        if (!FMainForm)
            FMainForm = Form;
        try {
            Form->InitInheritedComponent();
        } catch (...) {
            HandleException(Form);
        }
    }
    // Shows the main form and runs the message loop until Terminate.
    void Run();
    void Terminate() override;
    bool Terminated() const override { return FTerminated; }
    // The desktop's logout, as the program hears it: when MayAsk (the session manager lets the
    // program talk to the user), the main form is asked with WM_QUERYENDSESSION, which its close
    // query answers as for Exit (modified documents are asked about). On a refusal the main form
    // hears WM_ENDSESSION (FALSE) and the answer is false: the logout is to be cancelled.
    // Otherwise the main form and the application hear WM_ENDSESSION (TRUE), which ends the
    // message loop, and the answer is true. The desktop's session manager calls this.
    bool EndSession(bool MayAsk);
    // Handles every message waiting, then returns.
    void ProcessMessages();
    // Waits for one message and handles it (idle work first when the queue is empty).
    void HandleMessage() override;
    // Reports an exception that escaped a handler: EAbort is dropped; OnException when set;
    // else a message box with the stop icon titled with Title. The program carries on.
    void HandleException(TObject* Sender) override;
    void ShowException(const std::exception& E);
    int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags = MB_OK);

    TCustomForm* MainForm() const override { return FMainForm; }
    void SetMainForm(TCustomForm* Form) { FMainForm = Form; }
    HWND Handle() const override { return FHandle; }
    bool Active() const { return FActive; }
    // The program's executable path.
    std::string ExeName() const;

    std::string Title() const override;
    void SetTitle(const std::string& Value) { FTitle = Value; }
    std::string HelpFile;
    bool HelpCommand(WORD Command, LPARAM Data);
    bool HelpContext(int Context);
    bool HelpJump(const std::string& JumpID);

    // Hints.
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) override;
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    TColor HintColor = clInfoBk;
    int HintPause = 500;
    int HintShortPause = 50;
    int HintHidePause = 2500;
    // Makes the hint window; setting it drops the current one (the next hint uses the new class).
    const THintWindowClass& HintWindowClass() const { return FHintWindowClass; }
    void SetHintWindowClass(const THintWindowClass& Value);
    TShowHintEvent OnShowHint;
    TNotifyEvent OnHint;
    // Hides the hint window now.
    void CancelHint() override;
    void HintMouseLeft() override;
    void InputHidesHint() override;
    // Shows the hint of the control under the pointer at once (tests, keyboard help).
    void ActivateHint(const TPoint& CursorPos);
    THintWindow* HintWindow() const { return FHintWindow; }

    // Hooks on the application window see its messages first, the newest hook first. Closures
    // cannot be compared, so HookMainWindow answers an id for UnhookMainWindow. When the program
    // gains or loses activation the hooks hear CM_APPACTIVATE (wParam 1 or 0), Active already set.
    int HookMainWindow(const TWindowHook& Hook);
    void UnhookMainWindow(int Id);

    void Minimize();
    void Restore();
    void BringToFront();
    void CreateHandle();

    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TExceptionEvent OnException;
    TMessageEvent OnMessage;
    TIdleEvent OnIdle;
    THelpEvent OnHelp;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;

    // TApplicationHost.
    void HintMouseMessage(TControl* Control, TMessage& Message) override;
    bool ShowHints() const override { return FShowHint; }
    bool IsShortCut(TMessage& Message, TCustomForm* Asked) override;
    void ActivateApp(bool Active) override;
    void ControlDestroying(TControl* Control) override;

    // Takes one message from the queue and handles it: OnMessage, then dispatch. False when the
    // queue was empty.
    bool ProcessMessage();

    // The application window's default procedure.
    void DefaultHandler(TMessage& Message) override;

protected:
    TW_MESSAGE_HANDLERS(TApplication);
    void WMTimer(TWMTimer Message);
    void WMActivateApp(TWMActivateApp Message);
    void WMClose(TWMClose Message);
    void WMEndSession(TMessage& Message);

private:
    void Idle();
    void WndProc(TMessage& Message);
    void HintTimerExpired();
    void StartHintTimer(int Delay, int Kind);
    void StopHintTimer();
    void DoActivateHint();
    void HideHint();

    HWND FHandle = nullptr;
    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FRunning = false;
    bool FActive = false;
    bool FShowHint = true;
    std::string FTitle;
    std::string FHint;
    struct THook {
        int Id;
        TWindowHook Fn;
    };
    std::vector<THook> FHooks;
    int FNextHookId = 1;
    // Hint state: the control the pointer is over, whether a hint is up, the timer kind.
    TControl* FHintControl = nullptr;
    THintWindow* FHintWindow = nullptr;
    bool FHintActive = false;
    int FHintTimerKind = 0;   // 0 none, 1 show, 2 hide, 3 forget a hint that was just up
    bool FHintRecent = false; // a hint was up when the pointer left its window
    TRect FHintCursorRect{};
    THintWindowClass FHintWindowClass;
};

// The program's application object (made by the first call of ApplicationInstance, or by main).
extern TApplication* Application;
TApplication* ApplicationInstance();
