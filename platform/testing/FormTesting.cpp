#include "platform/testing/FormTesting.h"

#include "platform/controls/FolderBrowser.h"

#include "platform/win/WinTesting.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>

namespace testing_support {

// ---- Input ------------------------------------------------------------------------------------

HWND InputWindow(TControl* Control, int& OffsetX, int& OffsetY)
{
    OffsetX = OffsetY = 0;
    TControl* C = Control;
    while (C && !dynamic_cast<TWinControl*>(C)) {
        OffsetX += C->Left();
        OffsetY += C->Top();
        C = C->Parent();
    }
    auto* W = dynamic_cast<TWinControl*>(C);
    return W ? W->Handle() : nullptr;
}

int ProcessMessages()
{
    return ProcessPendingMessages();
}

bool SendMouse(TControl* Control, UINT Message, int X, int Y, WPARAM Keys)
{
    int OX, OY;
    HWND Wnd = InputWindow(Control, OX, OY);
    if (!Wnd)
        return false;
    ProcessPendingMessages();
    bool Ok = SimulateMouse(Wnd, Message, X + OX, Y + OY, Keys);
    ProcessPendingMessages();
    return Ok;
}

bool ClickControl(TControl* Control, int X, int Y, bool Right)
{
    bool Ok = SendMouse(Control, WM_MOUSEMOVE, X, Y);
    Ok = SendMouse(Control, Right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, X, Y) && Ok;
    Ok = SendMouse(Control, Right ? WM_RBUTTONUP : WM_LBUTTONUP, X, Y) && Ok;
    return Ok;
}

bool DoubleClickControl(TControl* Control, int X, int Y)
{
    bool Ok = ClickControl(Control, X, Y);
    Ok = SendMouse(Control, WM_LBUTTONDBLCLK, X, Y) && Ok;
    Ok = SendMouse(Control, WM_LBUTTONUP, X, Y) && Ok;
    return Ok;
}

bool PressKey(int VirtKey, const std::string& Text)
{
    ProcessPendingMessages();
    bool Ok = SimulateKeyPress(VirtKey, Text);
    ProcessPendingMessages();
    return Ok;
}

bool PressShortCut(int VirtKey, TShiftState Shift)
{
    ProcessPendingMessages();
    std::vector<int> Mods;
    if (Shift.Contains(ssCtrl))
        Mods.push_back(VK_CONTROL);
    if (Shift.Contains(ssShift))
        Mods.push_back(VK_SHIFT);
    if (Shift.Contains(ssAlt))
        Mods.push_back(VK_MENU);
    bool Ok = true;
    for (int M : Mods)
        Ok = SimulateKey(WM_KEYDOWN, M) && Ok;
    Ok = SimulateKeyPress(VirtKey) && Ok;
    for (auto It = Mods.rbegin(); It != Mods.rend(); ++It)
        Ok = SimulateKey(WM_KEYUP, *It) && Ok;
    ProcessPendingMessages();
    return Ok;
}

// ---- Rendering --------------------------------------------------------------------------------

void SetClipboardTextFromOutside(const std::string& Text)
{
    if (QGuiApplication::instance())
        QGuiApplication::clipboard()->setText(QString::fromStdString(Text));
}

std::unique_ptr<TBitmap> RenderControl(TControl* Control, bool ClientOnly)
{
    int OX, OY;
    HWND Wnd = InputWindow(Control, OX, OY);
    auto Result = std::make_unique<TBitmap>();
    if (!Wnd)
        return Result;
    bool Windowed = dynamic_cast<TWinControl*>(Control) != nullptr;
    TDibImage Image = CaptureWindowImage(Wnd, Windowed ? ClientOnly : true);
    if (!Windowed) {
        // A windowless control is the part of its parent's client area under its bounds.
        TDibImage Part;
        Part.Width = std::max(0, std::min(Control->Width(), Image.Width - OX));
        Part.Height = std::max(0, std::min(Control->Height(), Image.Height - OY));
        Part.BitsPerPixel = 32;
        Part.Pixels.resize(static_cast<std::size_t>(Part.Width) * Part.Height);
        for (int Y = 0; Y < Part.Height; ++Y)
            for (int X = 0; X < Part.Width; ++X)
                Part.Pixels[static_cast<std::size_t>(Y) * Part.Width + X] =
                    Image.Pixels[static_cast<std::size_t>(Y + OY) * Image.Width + (X + OX)];
        Image = Part;
    }
    Image.BitsPerPixel = 32;
    Image.HasAlpha = false;
    Result->LoadFromDibImage(Image);
    return Result;
}

TColor PixelAt(TBitmap* Bitmap, int X, int Y)
{
    return Bitmap->Canvas()->Pixels(X, Y);
}

void AdvanceClock(DWORD Milliseconds)
{
    AdvanceTestClock(Milliseconds);
}

// ---- Dialog answers ---------------------------------------------------------------------------

namespace {
const char* KindName(TDialogKind Kind)
{
    switch (Kind) {
    case TDialogKind::MessageBox:
        return "message box";
    case TDialogKind::OpenFile:
        return "open dialog";
    case TDialogKind::SaveFile:
        return "save dialog";
    case TDialogKind::Color:
        return "colour dialog";
    case TDialogKind::Font:
        return "font dialog";
    case TDialogKind::Print:
        return "print dialog";
    case TDialogKind::PrinterSetup:
        return "printer set-up dialog";
    case TDialogKind::BrowseFolder:
        return "folder dialog";
    case TDialogKind::SelectWindow:
        return "window list";
    }
    return "dialog";
}
} // namespace

TDialogAnswers::TDialogAnswers() = default;
TDialogAnswers::~TDialogAnswers() = default;

void TDialogAnswers::Expect(TDialogKind Kind, std::function<int(TDialogRequest&)> Answerer)
{
    FQueue.push_back(TAnswer{Kind, std::move(Answerer)});
}

void TDialogAnswers::ExpectMessageBox(int Answer, const std::string& TextPart)
{
    Expect(TDialogKind::MessageBox, [Answer, TextPart](TDialogRequest& R) {
        if (!TextPart.empty())
            EXPECT_NE(R.Text.find(TextPart), std::string::npos)
                << "message box \"" << R.Text << "\" does not say \"" << TextPart << "\"";
        return Answer;
    });
}

void TDialogAnswers::ExpectOpenFile(const std::string& FileName)
{
    Expect(TDialogKind::OpenFile, [FileName](TDialogRequest& R) {
        if (FileName.empty())
            return 0;
        static_cast<TOpenDialog*>(R.Dialog)->FileName = FileName;
        return 1;
    });
}

void TDialogAnswers::ExpectSaveFile(const std::string& FileName)
{
    Expect(TDialogKind::SaveFile, [FileName](TDialogRequest& R) {
        if (FileName.empty())
            return 0;
        static_cast<TOpenDialog*>(R.Dialog)->FileName = FileName;
        return 1;
    });
}

void TDialogAnswers::ExpectFolder(const std::string& Path)
{
    Expect(TDialogKind::BrowseFolder, [Path](TDialogRequest& R) {
        if (Path.empty())
            return 0;
        SendMessage(R.Window, BFFM_SETSELECTION, TRUE, reinterpret_cast<LPARAM>(Path.c_str()));
        return 1;
    });
}

void TDialogAnswers::ExpectColor(TColor Color, bool Confirm)
{
    Expect(TDialogKind::Color, [Color, Confirm](TDialogRequest& R) {
        if (!Confirm)
            return 0;
        static_cast<TColorDialog*>(R.Dialog)->Color = Color;
        return 1;
    });
}

void TDialogAnswers::ExpectFont(const std::string& Name, int Size, bool Confirm)
{
    Expect(TDialogKind::Font, [Name, Size, Confirm](TDialogRequest& R) {
        if (!Confirm)
            return 0;
        auto* D = static_cast<TFontDialog*>(R.Dialog);
        D->Font()->SetName(Name);
        D->Font()->SetSize(Size);
        return 1;
    });
}

void TDialogAnswers::ExpectPrint(bool Confirm, int Copies)
{
    Expect(TDialogKind::Print, [Confirm, Copies](TDialogRequest& R) {
        if (!Confirm)
            return 0;
        static_cast<TPrintDialog*>(R.Dialog)->Copies = Copies;
        return 1;
    });
}

void TDialogAnswers::ExpectPrinterSetup(bool Confirm)
{
    Expect(TDialogKind::PrinterSetup, [Confirm](TDialogRequest&) { return Confirm ? 1 : 0; });
}

int TDialogAnswers::Present(TDialogRequest& Request)
{
    TDialogRecord Rec{Request.Kind, Request.Caption, Request.Text, Request.Flags, 0};
    int Cancel = Request.Kind == TDialogKind::MessageBox ? IDCANCEL : 0;
    if (FQueue.empty()) {
        ADD_FAILURE() << "unexpected " << KindName(Request.Kind) << ": \"" << Request.Caption << "\" \""
                      << Request.Text << "\"";
        Rec.Answer = Cancel;
        FRecords.push_back(Rec);
        return Cancel;
    }
    TAnswer A = std::move(FQueue.front());
    FQueue.pop_front();
    if (A.Kind != Request.Kind) {
        ADD_FAILURE() << "expected a " << KindName(A.Kind) << ", got a " << KindName(Request.Kind) << ": \""
                      << Request.Caption << "\" \"" << Request.Text << "\"";
        Rec.Answer = Cancel;
        FRecords.push_back(Rec);
        return Cancel;
    }
    Rec.Answer = A.Answerer(Request);
    FRecords.push_back(Rec);
    return Rec.Answer;
}

void TDialogAnswers::VerifyAllUsed()
{
    for (const TAnswer& A : FQueue)
        ADD_FAILURE() << "an expected " << KindName(A.Kind) << " never came";
    FQueue.clear();
}

// ---- Menu answers -----------------------------------------------------------------------------

namespace {
std::string EntryCaption(const TMenuEntryInfo& E)
{
    std::string Text = E.Text.substr(0, E.Text.find('\t'));
    return StripHotkey(Text);
}
} // namespace

TMenuAnswers::TMenuAnswers() = default;
TMenuAnswers::~TMenuAnswers() = default;

void TMenuAnswers::ExpectChoice(const std::vector<std::string>& Path)
{
    FQueue.push_back(TAnswer{Path, true, {}});
}

void TMenuAnswers::ExpectHighlightOnly(const std::vector<std::string>& Path, std::function<void()> WhileShown)
{
    FQueue.push_back(TAnswer{Path, false, std::move(WhileShown)});
}

UINT TMenuAnswers::Track(HMENU Menu, int, int, HWND Owner)
{
    ++FShown;
    FLastCaptions.clear();
    for (const TMenuEntryInfo& E : GetMenuEntries(Menu))
        FLastCaptions.push_back(EntryCaption(E));
    if (FQueue.empty()) {
        std::string All;
        for (const std::string& C : FLastCaptions)
            All += (All.empty() ? "" : ", ") + C;
        ADD_FAILURE() << "unexpected menu: " << All;
        return 0;
    }
    TAnswer A = FQueue.front();
    FQueue.pop_front();
    HMENU Current = Menu;
    for (std::size_t I = 0; I < A.Path.size(); ++I) {
        std::vector<TMenuEntryInfo> Entries = GetMenuEntries(Current);
        int Pos = -1;
        for (std::size_t K = 0; K < Entries.size(); ++K)
            if (!(Entries[K].Flags & MF_SEPARATOR) && EntryCaption(Entries[K]) == A.Path[I])
                Pos = static_cast<int>(K);
        if (Pos < 0) {
            ADD_FAILURE() << "the menu has no entry \"" << A.Path[I] << "\"";
            return 0;
        }
        const TMenuEntryInfo& E = Entries[Pos];
        MenuSelectEntry(Owner, Current, Pos);
        bool Last = I + 1 == A.Path.size();
        if (E.SubMenu) {
            MenuInitPopup(Owner, E.SubMenu, Pos);
            Current = E.SubMenu;
            continue;
        }
        if (Last && A.Choose) {
            if (E.Flags & (MF_GRAYED | MF_DISABLED))
                return 0; // a disabled entry cannot be chosen
            return E.Id;
        }
    }
    if (A.WhileShown)
        A.WhileShown();
    return 0;
}

void TMenuAnswers::VerifyAllUsed()
{
    for (const TAnswer& A : FQueue)
        ADD_FAILURE() << "an expected menu never came (" << (A.Path.empty() ? std::string() : A.Path.back())
                      << ")";
    FQueue.clear();
}

// ---- The fixture ------------------------------------------------------------------------------

TWindowTest::TWindowTest()
{
    ResetWindowModel();
    SetTestClock(true, 1000);
    SetDialogPresenter(&Dialogs);
    SetMenuTracker(&MenuChoices);
}

TWindowTest::~TWindowTest()
{
    Dialogs.VerifyAllUsed();
    MenuChoices.VerifyAllUsed();
    SetDialogPresenter(nullptr);
    SetMenuTracker(nullptr);
    SetWaitHandler(nullptr);
    ResetWindowModel();
}

} // namespace testing_support
