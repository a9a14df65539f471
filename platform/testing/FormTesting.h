// Test fixtures for windows: forms built from their stored descriptions offscreen, mouse and
// keyboard input sent through the real input path, any window or control rendered to a TBitmap,
// answers queued for the next dialogs, message boxes and pop-up menus (a dialog nobody expected
// fails the test), and timers driven from the test clock.
#pragma once

#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// ---- Forms ------------------------------------------------------------------------------------
// A form of class T owned by Owner, built from Description (as if read from its resource).
template <typename T> T* CreateFormFromText(TComponent* Owner, const std::string& Description)
{
    T* Form = new T(Owner);
    try {
        Form->ReadDescription(Description);
    } catch (...) {
        Form->BeforeDestruction();
        delete Form;
        throw;
    }
    return Form;
}

// ---- Input (through the window model's input path) ----------------------------------------
// The window that receives input for a control and the control's origin in that window's client
// coordinates (a windowless control takes its input through its parent).
HWND InputWindow(TControl* Control, int& OffsetX, int& OffsetY);
// Button messages: WM_LBUTTONDOWN ... at (X, Y) of the control; WM_MOUSEMOVE moves. Each call
// delivers the event and then handles what the queue holds. False when the window is not shown.
bool SendMouse(TControl* Control, UINT Message, int X, int Y, WPARAM Keys = 0);
// Press and release of the left button (the right one with Right).
bool ClickControl(TControl* Control, int X, int Y, bool Right = false);
bool DoubleClickControl(TControl* Control, int X, int Y);
// A key down and up at the focused window (Text: the characters it types; empty: US layout).
bool PressKey(int VirtKey, const std::string& Text = std::string());
// A key with modifiers held: e.g. PressShortCut('S', {ssCtrl}).
bool PressShortCut(int VirtKey, TShiftState Shift);
// Handles everything waiting in the queue (paints included), without blocking.
int ProcessMessages();

// ---- Rendering --------------------------------------------------------------------------------
// The control as shown (its window composed with its children), or, for a windowless control,
// its part of the parent's window. The caller owns the bitmap.
std::unique_ptr<TBitmap> RenderControl(TControl* Control, bool ClientOnly = true);
// The pixel at (X, Y) of a rendered bitmap as $00BBGGRR (a TColor).
TColor PixelAt(TBitmap* Bitmap, int X, int Y);

// ---- The desktop clipboard --------------------------------------------------------------------
// Puts Text on the desktop's clipboard the way another program does: past this program's own
// clipboard calls, so it arrives only as the desktop's change signal.
void SetClipboardTextFromOutside(const std::string& Text);

// ---- Clock ------------------------------------------------------------------------------------
// Timers, caret blinks and hint pauses run from the test clock while a fixture is active.
void AdvanceClock(DWORD Milliseconds);

// ---- Answers for dialogs, message boxes and menus ----------------------------------------
// One dialog that came: what it showed and how it was answered.
struct TDialogRecord {
    TDialogKind Kind = TDialogKind::MessageBox;
    std::string Caption;
    std::string Text;
    UINT Flags = 0;
    int Answer = 0;
};

class TDialogAnswers : public TDialogPresenter {
public:
    TDialogAnswers();
    ~TDialogAnswers() override;

    // A message box answered with the button Answer (IDYES ...). With TextPart, the box must
    // show text containing it.
    void ExpectMessageBox(int Answer, const std::string& TextPart = std::string());
    // File dialogs answered with a file name ("" cancels).
    void ExpectOpenFile(const std::string& FileName);
    void ExpectSaveFile(const std::string& FileName);
    // The folder dialog: the user moves to Path and presses OK (which counts only while OK is
    // enabled); "" cancels.
    void ExpectFolder(const std::string& Path);
    void ExpectColor(TColor Color, bool Confirm = true);
    void ExpectFont(const std::string& Name, int Size, bool Confirm = true);
    void ExpectPrint(bool Confirm, int Copies = 1);
    void ExpectPrinterSetup(bool Confirm);
    // Any dialog of the kind, answered by Answerer (which may fill the dialog component).
    void Expect(TDialogKind Kind, std::function<int(TDialogRequest&)> Answerer);

    int Present(TDialogRequest& Request) override;

    const std::vector<TDialogRecord>& Records() const { return FRecords; }
    std::size_t Pending() const { return FQueue.size(); }
    // Fails the test when queued answers were never asked for.
    void VerifyAllUsed();

private:
    struct TAnswer {
        TDialogKind Kind;
        std::function<int(TDialogRequest&)> Answerer;
    };
    std::deque<TAnswer> FQueue;
    std::vector<TDialogRecord> FRecords;
};

// Pop-up menus and menu tracking: each answer names the entries to highlight (captions without
// "&", a submenu's entries after its own caption) and the entry chosen last ("" chooses none).
class TMenuAnswers : public TMenuTracker {
public:
    TMenuAnswers();
    ~TMenuAnswers() override;
    // Highlights the entries of Path one after the other (opening submenus on the way) and
    // chooses the last one, e.g. {"File", "Open..."}.
    void ExpectChoice(const std::vector<std::string>& Path);
    // Highlights the entries of Path, then closes the menu without a choice. WhileShown runs
    // while the menu is up, after the highlighting (keys the user presses there reach the menu:
    // SimulateKeyElsewhere).
    void ExpectHighlightOnly(const std::vector<std::string>& Path, std::function<void()> WhileShown = {});
    UINT Track(HMENU Menu, int X, int Y, HWND Owner) override;
    std::size_t Pending() const { return FQueue.size(); }
    // How many menus were shown, and the captions of the last one (top level).
    int MenusShown() const { return FShown; }
    const std::vector<std::string>& LastCaptions() const { return FLastCaptions; }
    void VerifyAllUsed();

private:
    struct TAnswer {
        std::vector<std::string> Path;
        bool Choose;
        std::function<void()> WhileShown;
    };
    std::deque<TAnswer> FQueue;
    int FShown = 0;
    std::vector<std::string> FLastCaptions;
};

// The fixture every window test uses: a fresh window model on the test clock, the dialog and
// menu answers installed, everything checked and torn down at the end.
class TWindowTest {
public:
    TWindowTest();
    ~TWindowTest();
    TDialogAnswers Dialogs;
    TMenuAnswers MenuChoices;
};

} // namespace testing_support
