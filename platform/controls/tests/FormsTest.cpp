#include "platform/controls/Forms.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/StdEdit.h"
#include "platform/rtl/SysUtils.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"

#include <QSettings>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

class FormsTest : public ::testing::Test {
protected:
    TWindowTest Fixture;
    std::vector<TForm*> Forms;
    TForm* NewForm()
    {
        auto* F = new TForm(nullptr);
        Forms.push_back(F);
        return F;
    }
    void TearDown() override
    {
        for (auto It = Forms.rbegin(); It != Forms.rend(); ++It) {
            (*It)->BeforeDestruction();
            delete *It;
        }
    }
};

struct TStyleCase {
    TBorderStyle Border;
    TFormStyle Style;
    DWORD Has;
    DWORD HasNot;
    DWORD ExHas;
};

TEST_F(FormsTest, BorderAndFormStyleGiveTheWindowStyles)
{
    const TStyleCase Cases[] = {
        {bsSizeable, fsNormal, WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MAXIMIZEBOX, WS_POPUP, 0},
        {bsSingle, fsNormal, WS_CAPTION | WS_MINIMIZEBOX, WS_THICKFRAME, 0},
        {bsDialog, fsNormal, WS_POPUP | WS_CAPTION | WS_SYSMENU,
         WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_EX_DLGMODALFRAME},
        {bsToolWindow, fsNormal, WS_CAPTION, WS_THICKFRAME | WS_MAXIMIZEBOX, WS_EX_TOOLWINDOW},
        {bsSizeToolWin, fsNormal, WS_CAPTION | WS_THICKFRAME, WS_MAXIMIZEBOX, WS_EX_TOOLWINDOW},
        {bsNone, fsNormal, WS_POPUP, WS_CAPTION | WS_THICKFRAME, 0},
        {bsSizeable, fsStayOnTop, WS_CAPTION, 0, WS_EX_TOPMOST},
    };
    for (const TStyleCase& C : Cases) {
        TForm* F = NewForm();
        F->SetBorderStyle(C.Border);
        F->SetFormStyle(C.Style);
        F->Show();
        DWORD Style = static_cast<DWORD>(GetWindowLong(F->Handle(), GWL_STYLE));
        DWORD Ex = static_cast<DWORD>(GetWindowLong(F->Handle(), GWL_EXSTYLE));
        SCOPED_TRACE(std::to_string(C.Border) + "/" + std::to_string(C.Style));
        EXPECT_EQ(Style & C.Has, C.Has);
        EXPECT_EQ(Style & C.HasNot, 0u);
        EXPECT_EQ(Ex & C.ExHas, C.ExHas);
        F->Hide();
    }
    // Icons left out leave their boxes out.
    TForm* F = NewForm();
    F->SetBorderIcons(TBorderIcons{biSystemMenu, biMinimize});
    F->Show();
    EXPECT_EQ(GetWindowLong(F->Handle(), GWL_STYLE) & WS_MAXIMIZEBOX, 0);
    EXPECT_NE(GetWindowLong(F->Handle(), GWL_STYLE) & WS_MINIMIZEBOX, 0);
    // A new border style remakes the window.
    HWND Old = F->Handle();
    F->SetBorderStyle(bsDialog);
    EXPECT_FALSE(IsWindow(Old));
    EXPECT_TRUE(F->Showing());
    EXPECT_NE(GetWindowLong(F->Handle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME, 0);
}

TEST_F(FormsTest, ClientSizeFromADescriptionAllowsForTheFrame)
{
    auto* F = CreateFormFromText<TForm>(nullptr, R"(object Form1: TForm
  Left = 10
  Top = 10
  ClientWidth = 300
  ClientHeight = 200
  BorderStyle = bsDialog
  Position = poScreenCenter
end
)");
    Forms.push_back(F);
    EXPECT_EQ(F->ClientWidth(), 300);
    EXPECT_EQ(F->ClientHeight(), 200);
    EXPECT_GT(F->Width(), 300);
    F->Show();
    EXPECT_EQ(F->ClientWidth(), 300);
    EXPECT_EQ(F->ClientHeight(), 200);
    // Centred on the 1024 x 768 screen.
    EXPECT_EQ(F->Left(), (ScreenInstance()->Width() - F->Width()) / 2);
    EXPECT_EQ(F->Top(), (ScreenInstance()->Height() - F->Height()) / 2);
}

TEST_F(FormsTest, TheStoredActiveControlHasTheFocusWhenTheFormShows)
{
    auto* F = CreateFormFromText<TForm>(nullptr, R"(object Form1: TForm
  Left = 10
  Top = 10
  ClientWidth = 300
  ClientHeight = 200
  ActiveControl = Second
  object First: TEdit
    Left = 8
    Top = 8
    Width = 100
    Height = 21
    TabOrder = 0
  end
  object Second: TEdit
    Left = 8
    Top = 40
    Width = 100
    Height = 21
    TabOrder = 1
  end
end
)");
    Forms.push_back(F);
    auto* Second = dynamic_cast<TWinControl*>(F->FindComponent("Second"));
    auto* First = dynamic_cast<TWinControl*>(F->FindComponent("First"));
    ASSERT_TRUE(First && Second);
    EXPECT_EQ(F->ActiveControl(), Second);
    F->Show();
    ProcessMessages();
    EXPECT_EQ(GetFocus(), Second->Handle());
    // Tab goes on from there, round to the first.
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), First->Handle());
    EXPECT_EQ(F->ActiveControl(), First);
    // Activated again, the form gives the focus back to the control that had it.
    auto* Other = NewForm();
    Other->SetBounds(400, 10, 200, 100);
    Other->Show();
    ProcessMessages();
    EXPECT_EQ(GetActiveWindow(), Other->Handle());
    SetActiveWindow(F->Handle());
    ProcessMessages();
    EXPECT_EQ(GetFocus(), First->Handle());
}

TEST_F(FormsTest, ShowHideEventsAndDeferredRelease)
{
    TForm* F = NewForm();
    std::vector<std::string> Log;
    F->OnShow = [&](TObject*) { Log.push_back("show"); };
    F->OnHide = [&](TObject*) { Log.push_back("hide"); };
    F->OnActivate = [&](TObject*) { Log.push_back("activate"); };
    F->OnDestroy = [&](TObject*) { Log.push_back("destroy"); };
    F->OnResize = [&](TObject*) { Log.push_back("resize"); };
    F->Show();
    ProcessMessages();
    F->SetBounds(F->Left(), F->Top(), 333, 222);
    F->Hide();
    EXPECT_EQ(Log, (std::vector<std::string>{"show", "activate", "resize", "hide"}));
    Log.clear();
    // Release frees the form only once its queued messages are handled.
    Forms.pop_back();
    F->Release();
    EXPECT_TRUE(Log.empty());
    ProcessMessages();
    EXPECT_EQ(Log, (std::vector<std::string>{"destroy"}));
}

TEST_F(FormsTest, ShowModalWithoutAnApplicationPumpsTheQueue)
{
    TForm* Main = NewForm();
    Main->Show();
    TForm* Dlg = NewForm();
    int Waits = 0;
    SetWaitHandler([&] {
        if (++Waits == 3)
            PostMessage(Dlg->Handle(), WM_CLOSE, 0, 0); // closing a modal form cancels it
        return true;
    });
    EXPECT_EQ(Dlg->ShowModal(), mrCancel);
    SetWaitHandler(nullptr);
    EXPECT_FALSE(Dlg->Visible());
    EXPECT_TRUE(IsWindowEnabled(Main->Handle()));
}

// The caption colour drawn in the top frame row of a sizeable form (its caption has no text).
COLORREF CaptionColour(HWND Wnd)
{
    TDibImage Image = CaptureWindowImage(Wnd);
    std::uint32_t P = Image.Pixel(Image.Width / 2, GetSystemMetrics(SM_CYFRAME) + 1);
    return RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF);
}

struct TModalEndCase {
    const char* Name;
    bool MessageBox;   // a message box instead of a modal form
    bool DesktopTakes; // the desktop takes the program's activation away with the closing window
};

TEST_F(FormsTest, TheWindowActiveBeforeAModalFormIsActiveAgainWithAnActiveCaption)
{
    ASSERT_NE(GetSysColor(COLOR_ACTIVECAPTION), GetSysColor(COLOR_INACTIVECAPTION));
    const TModalEndCase Cases[] = {
        {"modal form", false, false},
        {"modal form, desktop deactivates", false, true},
        {"message box", true, false},
    };
    for (const TModalEndCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TForm* Main = NewForm();
        Main->SetCaption("");
        Main->SetBounds(10, 10, 300, 200);
        Main->Show();
        ASSERT_EQ(GetActiveWindow(), Main->Handle());
        int Activations = 0;
        Main->OnActivate = [&](TObject*) { ++Activations; };
        if (C.MessageBox) {
            Fixture.Dialogs.ExpectMessageBox(IDOK);
            EXPECT_EQ(MessageBox(Main->Handle(), "Done.", "Note", MB_OK), IDOK);
        } else {
            TForm* Dlg = NewForm();
            Dlg->SetBounds(40, 40, 200, 120);
            if (C.DesktopTakes)
                Dlg->OnHide = [](TObject*) { SetApplicationActive(false); };
            bool Checked = false;
            SetWaitHandler([&] {
                if (Checked)
                    return false;
                Checked = true;
                EXPECT_EQ(GetActiveWindow(), Dlg->Handle());
                EXPECT_EQ(CaptionColour(Main->Handle()), GetSysColor(COLOR_INACTIVECAPTION));
                EXPECT_FALSE(IsWindowEnabled(Main->Handle()));
                Dlg->SetModalResult(mrOk);
                PostMessage(Dlg->Handle(), WM_NULL, 0, 0); // wakes the modal loop to see the result
                return true;
            });
            EXPECT_EQ(Dlg->ShowModal(), mrOk);
            SetWaitHandler(nullptr);
            EXPECT_FALSE(Dlg->Visible());
            EXPECT_EQ(Activations, 1);
        }
        ProcessMessages();
        EXPECT_TRUE(IsApplicationActive());
        EXPECT_EQ(GetActiveWindow(), Main->Handle());
        EXPECT_TRUE(Main->Active());
        EXPECT_EQ(CaptionColour(Main->Handle()), GetSysColor(COLOR_ACTIVECAPTION));
        Main->Hide();
    }
}

TEST_F(FormsTest, OnPaintDrawsOnTheFormsCanvas)
{
    TForm* F = NewForm();
    F->SetColor(clWhite);
    F->OnPaint = [F](TObject*) {
        F->Canvas()->Brush()->SetColor(clNavy);
        F->Canvas()->FillRect(Rect(10, 10, 40, 40));
    };
    F->Show();
    ProcessMessages();
    auto Shot = RenderControl(F);
    EXPECT_EQ(PixelAt(Shot.get(), 20, 20), clNavy);
    EXPECT_EQ(PixelAt(Shot.get(), 60, 60), clWhite);
    // Outside a paint the canvas draws on the window directly.
    F->OnPaint = nullptr;
    F->Canvas()->Brush()->SetColor(clMaroon);
    F->Canvas()->FillRect(Rect(50, 50, 70, 70));
    FreeDeviceContexts();
    Shot = RenderControl(F);
    EXPECT_EQ(PixelAt(Shot.get(), 60, 60), clMaroon);
}

// What the program changed before a message box shows behind it: the pending paint is done before
// the box asks (its own loop runs no paint of the program's windows).
TEST_F(FormsTest, PendingPaintsAreDoneBeforeAMessageBoxAsks)
{
    TForm* F = NewForm();
    F->SetBounds(10, 10, 200, 120);
    int Paints = 0;
    F->OnPaint = [&](TObject*) { ++Paints; };
    F->Show();
    ProcessMessages();
    const int Before = Paints;
    F->Invalidate();
    int PaintsWhenAsked = -1;
    Fixture.Dialogs.Expect(TDialogKind::MessageBox, [&](TDialogRequest&) {
        PaintsWhenAsked = Paints;
        return IDOK;
    });
    EXPECT_EQ(MessageBox(F->Handle(), "Done.", "Note", MB_OK), IDOK);
    EXPECT_EQ(PaintsWhenAsked, Before + 1);
    F->Hide();
}

// A modifier released while a box had the keyboard is up for the program afterwards (the release
// went to the box); one the desktop still reports down stays.
TEST_F(FormsTest, ModifiersReleasedDuringABoxAreUpAfterIt)
{
    BYTE State[256] = {};
    State[VK_CONTROL] = State[VK_LCONTROL] = 0x80;
    State[VK_SHIFT] = 0x80;
    ASSERT_TRUE(SetKeyboardState(State));
    ASSERT_LT(GetKeyState(VK_CONTROL), 0);
    Fixture.Dialogs.ExpectMessageBox(IDOK);
    EXPECT_EQ(MessageBox(nullptr, "Done.", "Note", MB_OK), IDOK);
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
    EXPECT_GE(GetKeyState(VK_LCONTROL), 0);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    EXPECT_GE(GetAsyncKeyState(VK_CONTROL), 0);
    // Ctrl and Shift held on the desktop; only Shift goes up while the box is up.
    SimulateKeyElsewhere(WM_KEYDOWN, VK_CONTROL);
    SimulateKeyElsewhere(WM_KEYDOWN, VK_SHIFT);
    ASSERT_TRUE(SetKeyboardState(State));
    Fixture.Dialogs.Expect(TDialogKind::MessageBox, [](TDialogRequest&) {
        SimulateKeyElsewhere(WM_KEYUP, VK_SHIFT);
        return IDOK;
    });
    EXPECT_EQ(MessageBox(nullptr, "Done.", "Note", MB_OK), IDOK);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

// The desktop's file dialog remembers its folders in the program's own settings directory, not
// beside it in the settings root.
TEST_F(FormsTest, TheFileDialogKeepsItsStateWithTheProgramsSettings)
{
    TOpenDialog Open(nullptr);
    Fixture.Dialogs.ExpectOpenFile("");
    EXPECT_FALSE(Open.Execute());
    QSettings State(QSettings::UserScope, "QtProject");
    EXPECT_EQ(State.fileName().toStdString(), SettingsDir() + "/QtProject.conf");
}

TEST_F(FormsTest, WindowStateFollowsTheWindow)
{
    TForm* F = NewForm();
    F->SetBounds(50, 50, 300, 200);
    F->Show();
    F->SetWindowState(wsMaximized);
    EXPECT_TRUE(IsZoomed(F->Handle()));
    EXPECT_GT(F->Width(), 300);
    F->SetWindowState(wsNormal);
    EXPECT_FALSE(IsZoomed(F->Handle()));
    EXPECT_EQ(F->Width(), 300);
    // A minimise from the window's own menu is seen by the form.
    SendMessage(F->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(F->WindowState(), wsMinimized);
    EXPECT_TRUE(IsIconic(F->Handle()));
}

TEST_F(FormsTest, PublishedPropertiesByName)
{
    TForm* F = NewForm();
    SetEnumProp(F, "BorderStyle", "bsToolWindow");
    EXPECT_EQ(F->BorderStyle(), bsToolWindow);
    SetEnumProp(F, "FormStyle", "fsStayOnTop");
    EXPECT_EQ(F->FormStyle(), fsStayOnTop);
    SetStrProp(F, "Caption", "Named");
    EXPECT_EQ(F->Caption(), "Named");
    SetOrdProp(F, "Color", clYellow);
    EXPECT_EQ(F->Color(), clYellow);
    EXPECT_EQ(GetEnumProp(F, "Position"), "poDesigned");
    EXPECT_TRUE(IsPublishedProp(F, "OnCloseQuery"));
    EXPECT_TRUE(IsPublishedProp(F, "KeyPreview"));
    EXPECT_THROW(SetEnumProp(F, "WindowState", "wsHuge"), Exception);
}

TEST_F(FormsTest, ScreenKeepsFormsAndCursors)
{
    TScreen* S = ScreenInstance();
    int Before = S->FormCount();
    TForm* F = NewForm();
    EXPECT_EQ(S->FormCount(), Before + 1);
    EXPECT_EQ(S->Forms(S->FormCount() - 1), F);
    EXPECT_EQ(S->Width(), 1024);
    EXPECT_EQ(S->Height(), 768);
    EXPECT_EQ(S->PixelsPerInch(), 96);
    EXPECT_EQ(S->Cursors(crIBeam), LoadCursor(nullptr, IDC_IBEAM));
    EXPECT_EQ(S->Cursors(crHourGlass), LoadCursor(nullptr, IDC_WAIT));
    // An unknown slot answers the arrow; a slot set by the program answers its cursor.
    EXPECT_EQ(S->Cursors(14000), LoadCursor(nullptr, IDC_ARROW));
    std::uint32_t Pixels[4] = {0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000};
    HCURSOR Mine = CreateCursorFromImage(2, 2, Pixels, 0, 0);
    S->SetCursors(14000, Mine);
    EXPECT_EQ(S->Cursors(14000), Mine);
    S->SetCursors(14000, nullptr);
    EXPECT_GT(S->Fonts()->Count(), 0);
}

} // namespace
