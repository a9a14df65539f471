#include "platform/app/Application.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Resources.h"
#include "platform/testing/AppTesting.h"
#include "platform/testing/TestSupport.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

using namespace testing_support;

// Controls for the tests: a windowed panel and a windowless label, both created by name from
// form descriptions.
class TTestPanel : public TCustomControl {
public:
    explicit TTestPanel(TComponent* AOwner) : TCustomControl(AOwner)
    {
        ControlStyle.Include(csAcceptsControls);
        FTabStop = true;
        SetBounds(0, 0, 50, 30);
    }
};

class TTestLabel : public TGraphicControl {
public:
    explicit TTestLabel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 40, 16); }
};

TW_PUBLISH(TTestPanel, TCustomControl) {}
TW_PUBLISH(TTestLabel, TGraphicControl) {}

// A form class with its component fields and handlers, as a program's form unit has them.
class TStreamForm : public TForm {
public:
    using TForm::TForm;
    TTestPanel* Panel1 = nullptr;
    TTestLabel* Label1 = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* File1 = nullptr;
    TMenuItem* Save1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* Copy1 = nullptr;
    std::vector<std::string> Log;
    TComponent* CopiedFrom = nullptr;

    void FormCreate(TObject*) { Log.push_back("create " + std::string(Panel1 ? "with panel" : "no panel")); }
    void Panel1Click(TObject* Sender)
    {
        Log.push_back("panel click " + static_cast<TComponent*>(Sender)->Name());
    }
    void Save1Click(TObject*) { Log.push_back("save"); }
    void Copy1Click(TObject*) { CopiedFrom = PopupMenu1->PopupComponent(); }
};

TW_PUBLISH(TStreamForm, TForm)
{
    Cls.Field("Panel1", &TStreamForm::Panel1);
    Cls.Field("Label1", &TStreamForm::Label1);
    Cls.Field("MainMenu1", &TStreamForm::MainMenu1);
    Cls.Field("File1", &TStreamForm::File1);
    Cls.Field("Save1", &TStreamForm::Save1);
    Cls.Field("PopupMenu1", &TStreamForm::PopupMenu1);
    Cls.Field("Copy1", &TStreamForm::Copy1);
    Cls.Handler("FormCreate", &TStreamForm::FormCreate);
    Cls.Handler("Panel1Click", &TStreamForm::Panel1Click);
    Cls.Handler("Save1Click", &TStreamForm::Save1Click);
    Cls.Handler("Copy1Click", &TStreamForm::Copy1Click);
}

// A form whose constructor reads its own description, so `new` gives a finished form.
class TSelfReadingForm : public TStreamForm {
public:
    explicit TSelfReadingForm(TComponent* AOwner) : TStreamForm(AOwner) { InitInheritedComponent(); }
};
TW_PUBLISH(TSelfReadingForm, TStreamForm) {}

namespace {

const char* const StreamDescription = R"(object StreamForm: TStreamForm
  Left = 120
  Top = 80
  Width = 400
  Height = 300
  Caption = 'Streamed form'
  Color = clBtnFace
  Menu = MainMenu1
  OnCreate = FormCreate
  object Panel1: TTestPanel
    Left = 0
    Top = 0
    Height = 41
    Align = alTop
    Hint = 'Panel|The panel at the top'
    ShowHint = True
    PopupMenu = PopupMenu1
    OnClick = Panel1Click
    object Label1: TTestLabel
      Left = 8
      Top = 12
      Width = 60
      Height = 16
      Caption = 'Hello'
    end
  end
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '&File'
      object Save1: TMenuItem
        Caption = '&Save'
        Hint = 'Save the file'
        ShortCut = 16467
        OnClick = Save1Click
      end
    end
  end
  object PopupMenu1: TPopupMenu
    object Copy1: TMenuItem
      Caption = '&Copy'
      Hint = 'Copy the selection'
      OnClick = Copy1Click
    end
  end
end
)";

// A form with one windowed control whose click runs Action.
class TButtonForm : public TForm {
public:
    explicit TButtonForm(TComponent* AOwner) : TForm(AOwner)
    {
        SetBounds(200, 150, 240, 120);
        Button = new TTestPanel(this);
        Button->SetBounds(10, 10, 80, 25);
        Button->SetParent(this);
    }
    TTestPanel* Button;
};

class ApplicationTest : public ::testing::Test {
protected:
    TAppTest Fixture;
    TApplication* App = Fixture.App;
    TDialogAnswers& Dialogs = Fixture.Dialogs;
    TMenuAnswers& Menus = Fixture.MenuChoices;

    // The main form as a shown 640 x 480 document frame.
    TForm* ShowDocumentFrame()
    {
        TForm* Frame = nullptr;
        App->CreateForm(&Frame);
        Frame->SetFormStyle(fsMDIForm);
        Frame->SetBounds(0, 0, 640, 480);
        Frame->Show();
        ProcessMessages();
        return Frame;
    }
};

// Queues a click of the control without handling it: a modal loop running then picks it up.
void QueueClick(TControl* C, int X = 5, int Y = 5)
{
    int OX, OY;
    HWND Wnd = InputWindow(C, OX, OY);
    SimulateMouse(Wnd, WM_MOUSEMOVE, X + OX, Y + OY);
    SimulateMouse(Wnd, WM_LBUTTONDOWN, X + OX, Y + OY);
    SimulateMouse(Wnd, WM_LBUTTONUP, X + OX, Y + OY);
}

TEST_F(ApplicationTest, CreateFormMakesTheFirstFormTheMainForm)
{
    // The form's description comes from the resources, by class name.
    RegisterResource(ResourceType::Form, "TStreamForm", StreamDescription, std::strlen(StreamDescription));
    TStreamForm* Main = nullptr;
    TForm* Second = nullptr;
    App->CreateForm(&Main);
    App->CreateForm(&Second);
    UnregisterResource(ResourceType::Form, "TStreamForm");
    EXPECT_EQ(App->MainForm(), Main);
    EXPECT_EQ(Main->Owner(), App);
    EXPECT_EQ(Main->Log, (std::vector<std::string>{"create with panel"}));
    EXPECT_EQ(Main->Caption(), "Streamed form");
    EXPECT_NE(Main->Panel1, nullptr);
    Main->Show();
    ProcessMessages();
    Main->Close();
    EXPECT_TRUE(App->Terminated());
}

TEST_F(ApplicationTest, FormConstructorReadsItsResource)
{
    std::string Text = StreamDescription;
    Text.replace(Text.find("TStreamForm"), std::strlen("TStreamForm"), "TSelfReadingForm");
    RegisterResource(ResourceType::Form, "TSelfReadingForm", Text.data(), Text.size());
    auto* F = new TSelfReadingForm(App);
    UnregisterResource(ResourceType::Form, "TSelfReadingForm");
    EXPECT_EQ(F->Log, (std::vector<std::string>{"create with panel"}));
    ASSERT_NE(F->Label1, nullptr);
    EXPECT_EQ(F->Label1->Caption(), "Hello");
    // The factory does not read it twice.
    F->InitInheritedComponent();
    EXPECT_EQ(F->Log.size(), 1u);
}

TEST_F(ApplicationTest, FormStreamedFromDescriptionWithNestedControlsAndHandlers)
{
    auto* F = CreateFormFromText<TStreamForm>(App, StreamDescription);
    EXPECT_EQ(F->Name(), "StreamForm");
    EXPECT_EQ(F->Caption(), "Streamed form");
    ASSERT_NE(F->Panel1, nullptr);
    ASSERT_NE(F->Label1, nullptr);
    EXPECT_EQ(F->Panel1->Parent(), F);
    EXPECT_EQ(F->Label1->Parent(), F->Panel1);
    EXPECT_EQ(F->Label1->Caption(), "Hello");
    EXPECT_EQ(F->Menu(), F->MainMenu1);
    EXPECT_EQ(F->Panel1->PopupMenu(), F->PopupMenu1);
    ASSERT_EQ(F->MainMenu1->Items()->Count(), 1);
    EXPECT_EQ(F->MainMenu1->Items()->Items(0), F->File1);
    EXPECT_EQ(F->File1->Items(0), F->Save1);
    EXPECT_EQ(F->Save1->ShortCut(), TextToShortCut("Ctrl+S"));
    // OnCreate ran after the fields were bound.
    EXPECT_EQ(F->Log, (std::vector<std::string>{"create with panel"}));
    F->Show();
    ProcessMessages();
    // The top-aligned panel spans the client width.
    EXPECT_EQ(F->Panel1->Width(), F->ClientWidth());
    EXPECT_EQ(F->Panel1->Height(), 41);
    ClickControl(F->Panel1, 30, 30);
    EXPECT_EQ(F->Log.back(), "panel click Panel1");
}

TEST_F(ApplicationTest, BadDescriptionRaisesAndLeavesNoForm)
{
    int Before = ScreenInstance()->FormCount();
    EXPECT_THROW(CreateFormFromText<TStreamForm>(App, "object X: TStreamForm\n  Colour = 1\nend\n"),
                 EFormError);
    EXPECT_EQ(ScreenInstance()->FormCount(), Before);
}

TEST_F(ApplicationTest, ModalFormReturnsItsModalResult)
{
    TForm* Main = nullptr;
    App->CreateForm(&Main);
    Main->Show();
    ProcessMessages();
    auto* Dlg = new TButtonForm(App);
    int CloseQueries = 0;
    Dlg->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = ++CloseQueries > 1; };
    Dlg->Button->OnClick = [&](TObject*) { Dlg->SetModalResult(mrOk); };
    bool MainDisabledMeanwhile = false;
    int Waits = 0;
    SetWaitHandler([&] {
        MainDisabledMeanwhile = MainDisabledMeanwhile || !IsWindowEnabled(Main->Handle());
        if (++Waits > 50)
            Dlg->SetModalResult(mrAbort); // the test went wrong: leave the loop
        else
            QueueClick(Dlg->Button);
        return true;
    });
    int Result = Dlg->ShowModal();
    SetWaitHandler(nullptr);
    // The first close was refused, the second click closed it.
    EXPECT_EQ(Result, mrOk);
    EXPECT_EQ(CloseQueries, 2);
    EXPECT_TRUE(MainDisabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(Main->Handle()));
    EXPECT_FALSE(Dlg->Visible());
    EXPECT_EQ(GetActiveWindow(), Main->Handle());
    Dlg->Show();
    EXPECT_THROW(Dlg->ShowModal(), EInvalidOperation);
    Dlg->Hide();
}

TEST_F(ApplicationTest, AModalFormOverAModalFormGivesBackToEachInTurn)
{
    TForm* Main = nullptr;
    App->CreateForm(&Main);
    Main->Show();
    ProcessMessages();
    auto* Outer = new TButtonForm(App);
    auto* Inner = new TButtonForm(App);
    Inner->SetLeft(Inner->Left() + 40);
    std::vector<std::string> Log;
    for (TForm* F : {static_cast<TForm*>(Main), static_cast<TForm*>(Outer), static_cast<TForm*>(Inner)}) {
        std::string N = F == Main ? "main" : F == Outer ? "outer" : "inner";
        F->OnActivate = [&Log, N](TObject*) { Log.push_back(N + " activate"); };
    }
    int Step = 0;
    int InnerResult = -1;
    SetWaitHandler([&] {
        switch (Step++) {
        case 0: // the outer form is up: it opens the inner one from its own handler
            EXPECT_FALSE(IsWindowEnabled(Main->Handle()));
            EXPECT_EQ(GetActiveWindow(), Outer->Handle());
            QueueClick(Outer->Button);
            return true;
        case 1: // the inner form is up over both
            EXPECT_FALSE(IsWindowEnabled(Main->Handle()));
            EXPECT_FALSE(IsWindowEnabled(Outer->Handle()));
            EXPECT_TRUE(IsWindowEnabled(Inner->Handle()));
            EXPECT_EQ(GetActiveWindow(), Inner->Handle());
            {
                // A box over the inner form gives the activation back to it without events.
                std::size_t Before = Log.size();
                Dialogs.ExpectMessageBox(IDOK);
                MessageBox(Inner->Handle(), "Checked.", "Note", MB_OK);
                EXPECT_EQ(Log.size(), Before);
                EXPECT_EQ(GetActiveWindow(), Inner->Handle());
                EXPECT_FALSE(IsWindowEnabled(Outer->Handle()));
            }
            QueueClick(Inner->Button);
            return true;
        case 2: // back in the outer loop: only the main form is still disabled
            EXPECT_EQ(InnerResult, mrOk);
            EXPECT_FALSE(IsWindowEnabled(Main->Handle()));
            EXPECT_TRUE(IsWindowEnabled(Outer->Handle()));
            EXPECT_EQ(GetActiveWindow(), Outer->Handle());
            Outer->SetModalResult(mrCancel);
            PostMessage(Outer->Handle(), WM_NULL, 0, 0);
            return true;
        default:
            Outer->SetModalResult(mrAbort); // the test went wrong: leave the loops
            Inner->SetModalResult(mrAbort);
            return Step < 20;
        }
    });
    Outer->Button->OnClick = [&](TObject*) { InnerResult = Inner->ShowModal(); };
    Inner->Button->OnClick = [&](TObject*) { Inner->SetModalResult(mrOk); };
    Log.clear();
    EXPECT_EQ(Outer->ShowModal(), mrCancel);
    SetWaitHandler(nullptr);
    ProcessMessages();
    EXPECT_EQ(Step, 3);
    EXPECT_TRUE(IsWindowEnabled(Main->Handle()));
    EXPECT_EQ(GetActiveWindow(), Main->Handle());
    EXPECT_EQ(Log, (std::vector<std::string>{"outer activate", "inner activate", "outer activate",
                                             "main activate"}));
}

TEST_F(ApplicationTest, ActivationEventsAcrossTwoFormsAndAMessageBox)
{
    std::vector<std::string> Log;
    TForm* Main = nullptr;
    TForm* Second = nullptr;
    App->CreateForm(&Main);
    App->CreateForm(&Second);
    Main->SetName("Main");
    Second->SetName("Second");
    for (TForm* F : {Main, Second}) {
        std::string N = F->Name();
        F->OnActivate = [&Log, N](TObject*) { Log.push_back(N + " activate"); };
        F->OnDeactivate = [&Log, N](TObject*) { Log.push_back(N + " deactivate"); };
    }
    App->OnActivate = [&Log](TObject*) { Log.push_back("app activate"); };
    App->OnDeactivate = [&Log](TObject*) { Log.push_back("app deactivate"); };
    int Changes = 0;
    ScreenInstance()->OnActiveFormChange = [&](TObject*) { ++Changes; };

    Main->Show();
    ProcessMessages();
    Second->Show();
    ProcessMessages();
    EXPECT_EQ(Log, (std::vector<std::string>{"Main activate", "Main deactivate", "Second activate"}));
    EXPECT_EQ(ScreenInstance()->ActiveForm(), Second);
    EXPECT_EQ(Changes, 2);

    // A message box takes the activation and gives it back: no form event.
    Log.clear();
    Dialogs.ExpectMessageBox(IDOK, "Saved");
    EXPECT_EQ(App->MessageBox("Saved", "Note", MB_OK | MB_ICONINFORMATION), IDOK);
    ProcessMessages();
    EXPECT_TRUE(Log.empty()) << Log.front();
    EXPECT_EQ(ScreenInstance()->ActiveForm(), Second);

    // Switching to another program and back: only the application hears of it.
    SetApplicationActive(false);
    ProcessMessages();
    SetApplicationActive(true);
    ProcessMessages();
    EXPECT_EQ(Log, (std::vector<std::string>{"app deactivate", "app activate"}));

    Log.clear();
    SetActiveWindow(Main->Handle());
    ProcessMessages();
    EXPECT_EQ(Log, (std::vector<std::string>{"Second deactivate", "Main activate"}));
    ScreenInstance()->OnActiveFormChange = nullptr;
}

TEST_F(ApplicationTest, ClosingAModalFormActivatesTheFormBehindItAgain)
{
    std::vector<std::string> Log;
    TForm* Main = nullptr;
    App->CreateForm(&Main);
    Main->OnActivate = [&](TObject*) { Log.push_back("main activate"); };
    Main->OnDeactivate = [&](TObject*) { Log.push_back("main deactivate"); };
    Main->Show();
    ProcessMessages();
    auto* Dlg = new TButtonForm(App);
    Dlg->OnActivate = [&](TObject*) { Log.push_back("dialog activate"); };
    Dlg->Button->OnClick = [&](TObject*) { Dlg->SetModalResult(mrCancel); };
    int Waits = 0;
    SetWaitHandler([&] {
        if (++Waits < 50)
            QueueClick(Dlg->Button);
        else
            Dlg->SetModalResult(mrAbort);
        return true;
    });
    EXPECT_EQ(Dlg->ShowModal(), mrCancel);
    SetWaitHandler(nullptr);
    ProcessMessages();
    EXPECT_EQ(Log, (std::vector<std::string>{"main activate", "main deactivate", "dialog activate",
                                             "main activate"}));
}

TEST_F(ApplicationTest, ExceptionFromAHandlerIsReportedAndTheProgramCarriesOn)
{
    App->SetTitle("Orvane Test");
    auto* F = new TButtonForm(App);
    F->Show();
    ProcessMessages();
    int Clicks = 0;
    F->Button->OnClick = [&](TObject*) {
        ++Clicks;
        if (Clicks == 1)
            throw Exception("Something broke");
        if (Clicks == 2)
            Abort();
    };
    Dialogs.ExpectMessageBox(IDOK, "Something broke.");
    ClickControl(F->Button, 5, 5);
    ASSERT_EQ(Dialogs.Records().size(), 1u);
    EXPECT_EQ(Dialogs.Records()[0].Caption, "Orvane Test");
    EXPECT_EQ(Dialogs.Records()[0].Flags & MB_ICONMASK, MB_ICONSTOP);
    // EAbort is dropped without a box; the next click still works.
    ClickControl(F->Button, 5, 5);
    ClickControl(F->Button, 5, 5);
    EXPECT_EQ(Clicks, 3);
    EXPECT_EQ(Dialogs.Records().size(), 1u);
    // Running out of memory is reported in the program's words.
    F->Button->OnClick = [](TObject*) { throw std::bad_alloc(); };
    Dialogs.ExpectMessageBox(IDOK, "Out of memory.");
    ClickControl(F->Button, 5, 5);
    EXPECT_EQ(Dialogs.Records().size(), 2u);

    std::string Seen;
    App->OnException = [&](TObject*, const std::exception& E) { Seen = E.what(); };
    F->Button->OnClick = [](TObject*) { throw Exception("Handled elsewhere"); };
    ClickControl(F->Button, 5, 5);
    EXPECT_EQ(Seen, "Handled elsewhere");
}

TEST_F(ApplicationTest, ShortCutReachesItsMenuItem)
{
    auto* F = CreateFormFromText<TStreamForm>(App, StreamDescription);
    App->SetMainForm(F);
    F->Show();
    ProcessMessages();
    F->Panel1->SetFocus();
    ProcessMessages();
    std::vector<int> Typed;
    F->Panel1->OnKeyPress = [&](TObject*, char& Key) { Typed.push_back(Key); };
    PressShortCut('S', TShiftState{ssCtrl});
    EXPECT_EQ(std::count(F->Log.begin(), F->Log.end(), "save"), 1);
    // The shortcut's character (Ctrl+S types #19) does not reach the focused control.
    EXPECT_TRUE(Typed.empty());
    // Plain S is no shortcut.
    PressKey('S', "s");
    EXPECT_EQ(std::count(F->Log.begin(), F->Log.end(), "save"), 1);
    EXPECT_EQ(Typed, (std::vector<int>{'s'}));
    // From another form, the main form's menu still answers.
    auto* Other = new TButtonForm(App);
    Other->Show();
    ProcessMessages();
    Other->Button->SetFocus();
    ProcessMessages();
    PressShortCut('S', TShiftState{ssCtrl});
    EXPECT_EQ(std::count(F->Log.begin(), F->Log.end(), "save"), 2);
    // A disabled item swallows its shortcut without running.
    F->Save1->SetEnabled(false);
    PressShortCut('S', TShiftState{ssCtrl});
    EXPECT_EQ(std::count(F->Log.begin(), F->Log.end(), "save"), 2);
}

// The main form's Edit menu acts on its document; an edit control of another window that has the
// keyboard keeps its own editing keys (Ctrl+A then typing replaces the field, not the document).
TEST_F(ApplicationTest, EditingKeysStayWithTheFocusedFieldOfAnotherWindow)
{
    TForm* Main = nullptr;
    App->CreateForm(&Main);
    Main->SetBounds(0, 0, 400, 300);
    auto* Menu = new TMainMenu(Main);
    auto* Edit = new TMenuItem(Main);
    Edit->SetCaption("&Edit");
    Menu->Items()->Add(Edit);
    auto* Doc = new TMemo(Main);
    Doc->SetParent(Main);
    Doc->SetBounds(0, 0, 300, 200);
    Doc->SetText("the document");
    const struct {
        const char* Caption;
        WORD Key;
        std::function<void()> Run;
    } Items[] = {{"Select &All", 'A', [&] { Doc->SelectAll(); }},
                 {"&Copy", 'C', [&] { Doc->CopyToClipboard(); }},
                 {"&Paste", 'V', [&] { Doc->PasteFromClipboard(); }},
                 {"Cu&t", 'X', [&] { Doc->CutToClipboard(); }}};
    int Runs = 0;
    for (const auto& I : Items) {
        auto* Item = new TMenuItem(Main);
        Item->SetCaption(I.Caption);
        Item->SetShortCut(ShortCut(I.Key, TShiftState{ssCtrl}));
        Item->OnClick = [&Runs, Run = I.Run](TObject*) {
            ++Runs;
            Run();
        };
        Edit->Add(Item);
    }
    Main->SetMenu(Menu);
    Main->Show();
    auto* Tool = new TForm(App);
    Tool->SetBounds(420, 0, 200, 100);
    auto* Field = new TEdit(Tool);
    Field->SetParent(Tool);
    Field->SetText("IMG");
    Tool->Show();
    ProcessMessages();
    Field->SetFocus();
    ProcessMessages();

    PressShortCut('A', TShiftState{ssCtrl});
    PressKey('1', "1");
    PressKey('0', "0");
    EXPECT_EQ(Field->Text(), "10");
    PressShortCut('A', TShiftState{ssCtrl});
    PressShortCut('X', TShiftState{ssCtrl});
    EXPECT_EQ(Field->Text(), "");
    PressShortCut('V', TShiftState{ssCtrl});
    PressShortCut('V', TShiftState{ssCtrl});
    EXPECT_EQ(Field->Text(), "1010");
    EXPECT_EQ(Doc->Text(), "the document");
    EXPECT_EQ(Runs, 0);

    // With the document focused, the menu's keys act on it.
    Doc->SetFocus();
    ProcessMessages();
    PressShortCut('A', TShiftState{ssCtrl});
    EXPECT_EQ(Runs, 1);
    EXPECT_EQ(Doc->SelLength(), static_cast<int>(Doc->Text().size()));
}

TEST_F(ApplicationTest, MainMenuIsAMenuBar)
{
    auto* F = CreateFormFromText<TStreamForm>(App, StreamDescription);
    F->Show();
    ProcessMessages();
    // The bar takes its band from the frame: the client area is lower than without a menu.
    RECT WR;
    GetWindowRect(F->Handle(), &WR);
    POINT C{0, 0};
    ClientToScreen(F->Handle(), &C);
    int TopFrame = C.y - WR.top;
    auto Layout = F->MenuBarLayout();
    ASSERT_EQ(Layout.size(), 1u);
    EXPECT_EQ(Layout[0].first, F->File1);
    EXPECT_EQ(Layout[0].second.bottom, TopFrame);
    EXPECT_EQ(Layout[0].second.bottom - Layout[0].second.top, GetSystemMetrics(SM_CYMENU));
    // The caption of the bar is drawn in the band.
    auto Shot = RenderControl(F, false);
    bool Text = false;
    for (int Y = Layout[0].second.top; Y < Layout[0].second.bottom; ++Y)
        for (int X = Layout[0].second.left; X < Layout[0].second.right; ++X)
            Text = Text || PixelAt(Shot.get(), X, Y) == ColorToRGB(clMenuText);
    EXPECT_TRUE(Text);
    // A press on "File" drops its menu down; choosing "Save" runs its handler.
    Menus.ExpectChoice({"Save"});
    SimulateMouseAt(WR.left + Layout[0].second.left + 5, WR.top + Layout[0].second.top + 5, WM_LBUTTONDOWN);
    ProcessMessages();
    SimulateMouseAt(WR.left + Layout[0].second.left + 5, WR.top + Layout[0].second.top + 5, WM_LBUTTONUP);
    ProcessMessages();
    EXPECT_EQ(std::count(F->Log.begin(), F->Log.end(), "save"), 1);
    EXPECT_EQ(Menus.LastCaptions(), (std::vector<std::string>{"Save"}));
    // Alt+F opens it from the keyboard.
    F->Panel1->SetFocus();
    ProcessMessages();
    Menus.ExpectChoice({"Save"});
    PressShortCut('F', TShiftState{ssAlt});
    EXPECT_EQ(std::count(F->Log.begin(), F->Log.end(), "save"), 2);
}

TEST_F(ApplicationTest, HintTextReachesApplicationHint)
{
    auto* F = CreateFormFromText<TStreamForm>(App, StreamDescription);
    F->Show();
    ProcessMessages();
    std::vector<std::string> Hints;
    App->OnHint = [&](TObject*) { Hints.push_back(App->Hint()); };
    bool ShowHintCalled = false;
    App->OnShowHint = [&](std::string& HintStr, bool& CanShow, THintInfo& Info) {
        ShowHintCalled = true;
        EXPECT_EQ(Info.HintControl, F->Panel1);
        EXPECT_TRUE(CanShow);
        HintStr = HintStr + "!";
    };
    SendMouse(F->Panel1, WM_MOUSEMOVE, 20, 10);
    EXPECT_EQ(App->Hint(), "The panel at the top");
    // The hint window waits for the pause.
    EXPECT_FALSE(App->HintWindow() && App->HintWindow()->HandleAllocated() &&
                 IsWindowVisible(App->HintWindow()->Handle()));
    AdvanceClock(App->HintPause + 10);
    ProcessMessages();
    EXPECT_TRUE(ShowHintCalled);
    ASSERT_NE(App->HintWindow(), nullptr);
    ASSERT_TRUE(App->HintWindow()->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(App->HintWindow()->Handle()));
    EXPECT_EQ(App->HintWindow()->Caption(), "Panel!");
    // The hint window is drawn in the hint colours, below the pointer.
    auto HintShot = RenderControl(App->HintWindow());
    ASSERT_GT(HintShot->Width(), 2);
    EXPECT_EQ(PixelAt(HintShot.get(), HintShot->Width() - 2, 1), ColorToRGB(clInfoBk));
    POINT Cursor;
    GetCursorPos(&Cursor);
    EXPECT_GT(App->HintWindow()->Top(), Cursor.y);
    // Long enough and it goes away by itself.
    AdvanceClock(App->HintHidePause + 10);
    ProcessMessages();
    EXPECT_FALSE(App->HintWindow()->HandleAllocated() && IsWindowVisible(App->HintWindow()->Handle()));
    // Leaving for a control without a hint clears the line.
    SendMouse(F, WM_MOUSEMOVE, 200, 200);
    EXPECT_EQ(App->Hint(), "");

    // A highlighted menu item's hint shows while the menu is open.
    Hints.clear();
    Menus.ExpectHighlightOnly({"Copy"});
    F->PopupMenu1->Popup(300, 300);
    EXPECT_EQ(Hints, (std::vector<std::string>{"Copy the selection", ""}));

    // What the hint changed is painted while the menu is still open (its loop paints nothing).
    int Paints = 0;
    F->OnPaint = [&](TObject*) { ++Paints; };
    App->OnHint = [&](TObject*) { F->Invalidate(); };
    ProcessMessages();
    Paints = 0;
    Menus.ExpectHighlightOnly({"Copy"});
    F->PopupMenu1->Popup(300, 300);
    EXPECT_EQ(Paints, 1);
}

TEST_F(ApplicationTest, HintPausesAndTheShowHintSwitch)
{
    auto* F = new TForm(App);
    F->SetBounds(100, 100, 300, 200);
    F->SetShowHint(true);
    auto* A = new TTestPanel(F);
    A->SetBounds(10, 10, 80, 40);
    A->SetHint("First|The first panel");
    A->SetParent(F);
    auto* B = new TTestPanel(F);
    B->SetBounds(150, 10, 80, 40);
    B->SetHint("Second|The second panel");
    B->SetParent(F);
    F->Show();
    ProcessMessages();
    auto Shown = [&]() -> std::string {
        THintWindow* W = App->HintWindow();
        return W && W->HandleAllocated() && IsWindowVisible(W->Handle()) ? W->Caption() : std::string();
    };
    auto Wait = [](int Ms) {
        AdvanceClock(static_cast<DWORD>(Ms));
        ProcessMessages();
    };
    SendMouse(A, WM_MOUSEMOVE, 20, 20);
    EXPECT_EQ(App->Hint(), "The first panel");
    Wait(App->HintPause - 20);
    EXPECT_EQ(Shown(), "");
    Wait(30);
    EXPECT_EQ(Shown(), "First");
    // Moving inside the control keeps the hint; on to the next control it follows after the
    // short pause.
    SendMouse(A, WM_MOUSEMOVE, 25, 22);
    EXPECT_EQ(Shown(), "First");
    SendMouse(B, WM_MOUSEMOVE, 20, 20);
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(App->Hint(), "The second panel");
    Wait(App->HintShortPause + 10);
    EXPECT_EQ(Shown(), "Second");
    // A press hides it at once.
    SendMouse(B, WM_LBUTTONDOWN, 20, 20);
    SendMouse(B, WM_LBUTTONUP, 20, 20);
    EXPECT_EQ(Shown(), "");
    // Off the hinted controls: nothing, and the status text clears.
    SendMouse(F, WM_MOUSEMOVE, 120, 150);
    Wait(App->HintPause + 10);
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(App->Hint(), "");
    // Long after the last hint went, the next one waits the whole pause again.
    SendMouse(A, WM_MOUSEMOVE, 20, 20);
    Wait(App->HintShortPause + 10);
    EXPECT_EQ(Shown(), "");
    Wait(App->HintPause);
    EXPECT_EQ(Shown(), "First");
    SendMouse(F, WM_MOUSEMOVE, 120, 150);
    Wait(App->HintPause + 10);
    // With the hints switched off the status text still follows the pointer; no window shows.
    App->SetShowHint(false);
    SendMouse(A, WM_MOUSEMOVE, 20, 20);
    EXPECT_EQ(App->Hint(), "The first panel");
    Wait(App->HintPause + 10);
    EXPECT_EQ(Shown(), "");
    App->SetShowHint(true);
}

// A dialog takes the pointer away from the control it rested on: no hint of that control is
// left waiting or showing when the dialog is gone (it would stand over whatever is there now).
TEST_F(ApplicationTest, NoHintOutlivesADialog)
{
    auto* F = new TForm(App);
    F->SetBounds(100, 100, 300, 200);
    F->SetShowHint(true);
    auto* A = new TTestPanel(F);
    A->SetBounds(10, 10, 80, 40);
    A->SetHint("Open|Open a file");
    A->SetParent(F);
    F->Show();
    ProcessMessages();
    auto Shown = [&] {
        THintWindow* W = App->HintWindow();
        return W && W->HandleAllocated() && IsWindowVisible(W->Handle());
    };
    for (const bool WasShowing : {false, true}) {
        SendMouse(A, WM_MOUSEMOVE, 20, 20);
        if (WasShowing) {
            AdvanceClock(App->HintPause + 10);
            ProcessMessages();
            ASSERT_TRUE(Shown());
        }
        Dialogs.ExpectMessageBox(IDOK, "Done");
        MessageBox(F->Handle(), "Done", "Box", MB_OK);
        EXPECT_FALSE(Shown()) << WasShowing;
        AdvanceClock(App->HintPause + 10);
        ProcessMessages();
        EXPECT_FALSE(Shown()) << WasShowing;
    }
}

// A status line: paints the application's hint, as the programs' status bars do.
class TStatusLine : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<std::string> Painted;

protected:
    void Paint() override { Painted.push_back(Application->Hint()); }
};

TEST_F(ApplicationTest, AMenuItemsHintShowsInTheStatusLineWhileTheMenuIsOpen)
{
    auto* F = CreateFormFromText<TStreamForm>(App, StreamDescription);
    auto* Status = new TStatusLine(F);
    Status->SetParent(F);
    Status->SetHeight(20);
    Status->SetAlign(alBottom);
    App->OnHint = [&](TObject*) { Status->Invalidate(); };
    F->Show();
    ProcessMessages();
    Status->Painted.clear();
    Menus.ExpectHighlightOnly({"Copy"});
    F->PopupMenu1->Popup(300, 300);
    // Painted with the hint before the menu closed, and cleared afterwards.
    EXPECT_NE(std::find(Status->Painted.begin(), Status->Painted.end(), "Copy the selection"),
              Status->Painted.end());
    ProcessMessages();
    ASSERT_FALSE(Status->Painted.empty());
    EXPECT_EQ(Status->Painted.back(), "");
    App->OnHint = nullptr;
}

// A menu of the bar shows its own hint while it is open, before any of its items is highlighted,
// whether opened by a press on the bar or by Alt and its letter.
TEST_F(ApplicationTest, AMenuOfTheBarShowsItsHintWhileOpen)
{
    auto* F = CreateFormFromText<TStreamForm>(App, StreamDescription);
    F->File1->Hint = "File related commands";
    std::vector<std::string> Hints;
    App->OnHint = [&](TObject*) { Hints.push_back(App->Hint()); };
    F->Show();
    ProcessMessages();
    auto Layout = F->MenuBarLayout();
    ASSERT_EQ(Layout.size(), 1u);
    RECT WR;
    GetWindowRect(F->Handle(), &WR);
    const POINT OnFile{WR.left + Layout[0].second.left + 5, WR.top + Layout[0].second.top + 5};
    const std::function<void()> Openers[] = {
        [&] {
            SimulateMouseAt(OnFile.x, OnFile.y, WM_LBUTTONDOWN);
            ProcessMessages();
            SimulateMouseAt(OnFile.x, OnFile.y, WM_LBUTTONUP);
            ProcessMessages();
        },
        [&] { PressShortCut('F', TShiftState{ssAlt}); },
    };
    for (const auto& Open : Openers) {
        Hints.clear();
        Menus.ExpectHighlightOnly({"Save"});
        Open();
        EXPECT_EQ(Hints, (std::vector<std::string>{"File related commands", "Save the file", ""}));
    }
    App->OnHint = nullptr;
}

class TMarkedHint : public THintWindow {
public:
    using THintWindow::THintWindow;
    static int Made;
    void ActivateHint(const TRect& Rect, const std::string& AHint) override
    {
        ++Made;
        THintWindow::ActivateHint(Rect, "[" + AHint + "]");
    }
};
int TMarkedHint::Made = 0;

TEST_F(ApplicationTest, HintWindowClassIsUsed)
{
    auto* F = CreateFormFromText<TStreamForm>(App, StreamDescription);
    F->Show();
    ProcessMessages();
    App->SetHintWindowClass(HintWindowClassOf<TMarkedHint>());
    TMarkedHint::Made = 0;
    SendMouse(F->Panel1, WM_MOUSEMOVE, 20, 10);
    AdvanceClock(App->HintPause + 10);
    ProcessMessages();
    EXPECT_EQ(TMarkedHint::Made, 1);
    ASSERT_NE(dynamic_cast<TMarkedHint*>(App->HintWindow()), nullptr);
    EXPECT_EQ(App->HintWindow()->Caption(), "[Panel]");
}

TEST_F(ApplicationTest, RightClickShowsThePopupMenuWithItsComponent)
{
    auto* F = CreateFormFromText<TStreamForm>(App, StreamDescription);
    F->Show();
    ProcessMessages();
    Menus.ExpectChoice({"Copy"});
    ClickControl(F->Label1, 3, 3, true); // the label has no menu: its parent's is used
    EXPECT_EQ(F->CopiedFrom, F->Panel1);
    EXPECT_EQ(Menus.MenusShown(), 1);
    EXPECT_EQ(Menus.LastCaptions(), (std::vector<std::string>{"Copy"}));
    F->PopupMenu1->AutoPopup = false;
    ClickControl(F->Panel1, 30, 30, true);
    EXPECT_EQ(Menus.MenusShown(), 1);
}

TEST_F(ApplicationTest, MDIChildLifeCycle)
{
    TForm* Frame = nullptr;
    App->CreateForm(&Frame);
    Frame->SetFormStyle(fsMDIForm);
    auto* Menu = new TMainMenu(Frame);
    auto* Window = new TMenuItem(Frame);
    Window->SetCaption("&Window");
    Menu->Items()->Add(Window);
    auto* CascadeItem = new TMenuItem(Frame);
    CascadeItem->SetCaption("&Cascade");
    Window->Add(CascadeItem);
    Frame->SetMenu(Menu);
    Frame->SetWindowMenu(Window);
    Frame->SetBounds(0, 0, 640, 480);
    Frame->Show();
    ProcessMessages();
    ASSERT_NE(Frame->ClientHandle(), nullptr);

    std::vector<std::string> Log;
    std::vector<int> CountsSeen;
    ScreenInstance()->OnActiveFormChange = [&](TObject*) { CountsSeen.push_back(Frame->MDIChildCount()); };
    auto NewChild = [&](const std::string& Name) {
        auto* C = new TForm(App);
        C->SetName(Name);
        C->SetCaption(Name);
        C->SetFormStyle(fsMDIChild);
        C->OnActivate = [&Log, Name](TObject*) { Log.push_back(Name + " activate"); };
        C->OnDeactivate = [&Log, Name](TObject*) { Log.push_back(Name + " deactivate"); };
        C->OnDestroy = [&Log, Name](TObject*) { Log.push_back(Name + " destroy"); };
        C->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
        C->Show();
        ProcessMessages();
        return C;
    };
    TForm* A = NewChild("Doc1");
    TForm* B = NewChild("Doc2");
    EXPECT_EQ(Frame->MDIChildCount(), 2);
    EXPECT_EQ(Frame->ActiveMDIChild(), B);
    EXPECT_EQ(Frame->MDIChildren(0), B);
    EXPECT_EQ(GetParent(A->Handle()), Frame->ClientHandle());
    EXPECT_EQ(ScreenInstance()->ActiveCustomForm(), B);
    EXPECT_EQ(Log, (std::vector<std::string>{"Doc1 activate", "Doc1 deactivate", "Doc2 activate"}));

    // The window menu lists the documents in the order they were opened, the active one checked.
    ASSERT_EQ(Window->Count(), 4);
    EXPECT_TRUE(Window->Items(1)->IsLine());
    EXPECT_EQ(Window->Items(2)->Caption(), "&1 Doc1");
    EXPECT_EQ(Window->Items(3)->Caption(), "&2 Doc2");
    EXPECT_FALSE(Window->Items(2)->Checked());
    EXPECT_TRUE(Window->Items(3)->Checked());
    Window->Items(2)->Click();
    EXPECT_EQ(Frame->ActiveMDIChild(), A);
    Frame->Next();
    EXPECT_EQ(Frame->ActiveMDIChild(), B);
    Frame->Previous();
    EXPECT_EQ(Frame->ActiveMDIChild(), A);

    // A click into the other document (where the active one does not cover it) activates it.
    B->SetBounds(200, 100, 300, 200);
    ClickControl(B, B->ClientWidth() - 5, B->ClientHeight() - 5);
    EXPECT_EQ(Frame->ActiveMDIChild(), B);
    ClickControl(A, 20, 20);
    EXPECT_EQ(Frame->ActiveMDIChild(), A);

    Frame->Cascade();
    EXPECT_LT(B->Left(), A->Left()); // the active one is cascaded last, on top
    Frame->Tile();
    RECT R;
    GetClientRect(Frame->ClientHandle(), &R);
    EXPECT_EQ(A->Width(), R.right);
    EXPECT_EQ(A->Height() + B->Height(), R.bottom);

    // Minimised documents line up along the bottom of the client area.
    A->SetWindowState(wsMinimized);
    EXPECT_EQ(A->Top() + A->Height(), R.bottom);
    EXPECT_EQ(A->Left(), 0);
    EXPECT_LT(A->Width(), R.right / 2);
    A->SetWindowState(wsNormal);
    EXPECT_EQ(A->Width(), R.right);
    int TiledHeight = B->Height();
    B->SetWindowState(wsMaximized);
    EXPECT_EQ(B->ClientHeight(), R.bottom);
    B->SetWindowState(wsNormal);
    EXPECT_EQ(B->Height(), TiledHeight);

    // Closing with caFree: released after the handlers, the other document becomes active.
    Log.clear();
    CountsSeen.clear();
    A->Close();
    EXPECT_EQ(Frame->MDIChildCount(), 2); // still there until its messages are handled
    ProcessMessages();
    EXPECT_EQ(Frame->MDIChildCount(), 1);
    EXPECT_EQ(Frame->ActiveMDIChild(), B);
    EXPECT_NE(std::find(Log.begin(), Log.end(), "Doc1 destroy"), Log.end());
    EXPECT_NE(std::find(Log.begin(), Log.end(), "Doc2 activate"), Log.end());
    ASSERT_FALSE(CountsSeen.empty());
    EXPECT_EQ(CountsSeen.back(), 1);
    EXPECT_EQ(Window->Count(), 3);
    EXPECT_EQ(Window->Items(2)->Caption(), "&1 Doc2");

    CountsSeen.clear();
    B->Close();
    ProcessMessages();
    EXPECT_EQ(Frame->MDIChildCount(), 0);
    ASSERT_FALSE(CountsSeen.empty());
    EXPECT_EQ(CountsSeen.back(), 0);
    EXPECT_EQ(Frame->ActiveMDIChild(), nullptr);
    EXPECT_EQ(Window->Count(), 1);
    ScreenInstance()->OnActiveFormChange = nullptr;
}

// The keyboard goes to the active document's control: when a document is activated, and after a
// message box over the frame (which has no control of its own to focus).
TEST_F(ApplicationTest, FocusGoesToTheActiveDocumentsControl)
{
    TForm* Frame = ShowDocumentFrame();
    std::vector<TEdit*> Edits;
    for (const char* Name : {"Doc1", "Doc2"}) {
        auto* C = new TForm(App);
        C->SetCaption(Name);
        C->SetFormStyle(fsMDIChild);
        auto* E = new TEdit(C);
        E->SetParent(C);
        C->Show();
        ProcessMessages();
        Edits.push_back(E);
    }
    // A new document takes the keyboard in its first control; so does one activated again.
    EXPECT_EQ(GetFocus(), Edits[1]->Handle());
    Frame->Next();
    EXPECT_EQ(GetFocus(), Edits[0]->Handle());
    Frame->Next();
    ASSERT_EQ(GetFocus(), Edits[1]->Handle());
    Dialogs.ExpectMessageBox(IDOK);
    ShowMessage("Done.");
    ProcessMessages();
    EXPECT_EQ(GetActiveWindow(), Frame->Handle());
    EXPECT_EQ(GetFocus(), Edits[1]->Handle());
    Dialogs.VerifyAllUsed();
}

// A tool window of the frame: docked (a child) or floating (a window of its own that a press
// does not activate).
class TToolPanel : public TCustomControl {
public:
    TToolPanel(TComponent* AOwner, bool Floating) : TCustomControl(AOwner), FFloating(Floating)
    {
        ControlStyle.Include(csAcceptsControls);
    }

protected:
    TW_MESSAGE_HANDLERS(TToolPanel);
    void CreateParams(TCreateParams& Params) override
    {
        TCustomControl::CreateParams(Params);
        if (FFloating) {
            Params.Style = WS_POPUP | WS_BORDER;
            Params.ExStyle = 0;
        }
    }
    void WMMouseActivate(TWMMouseActivate Message)
    {
        if (FFloating)
            Message.Result = MA_NOACTIVATE;
        else
            DefaultHandler(Message);
    }

private:
    bool FFloating;
};
TW_PUBLISH(TToolPanel, TCustomControl)
{
    Cls.Message(WM_MOUSEACTIVATE, &TToolPanel::WMMouseActivate);
}

// A tool window whose field had the keyboard hides: the keyboard goes back to the active
// document, whether the tool window was docked in the frame or floating.
TEST_F(ApplicationTest, HidingAToolWindowGivesTheKeyboardBackToTheDocument)
{
    for (bool Floating : {false, true}) {
        SCOPED_TRACE(Floating ? "floating" : "docked");
        TForm* Frame = ShowDocumentFrame();
        auto* Doc = new TForm(App);
        Doc->SetFormStyle(fsMDIChild);
        auto* Memo = new TMemo(Doc);
        Memo->SetParent(Doc);
        Doc->Show();
        auto* Tool = new TToolPanel(Frame, Floating);
        Tool->SetBounds(Floating ? 650 : 0, 10, 120, 60);
        Tool->SetAlign(Floating ? alNone : alTop);
        Tool->SetParent(Frame);
        auto* Field = new TEdit(Frame);
        Field->SetParent(Tool);
        ProcessMessages();
        ASSERT_EQ(GetFocus(), Memo->Handle());
        ClickControl(Field, 5, 5);
        ASSERT_EQ(GetFocus(), Field->Handle());
        Tool->Hide();
        ProcessMessages();
        EXPECT_EQ(GetFocus(), Memo->Handle());
        EXPECT_EQ(GetActiveWindow(), Frame->Handle());
        Frame->BeforeDestruction();
        delete Frame;
    }
}

// A form whose events reach its own members, as a program's forms have them.
class TFormWithEvents : public TForm {
public:
    explicit TFormWithEvents(TComponent* AOwner) : TForm(AOwner)
    {
        OnActivate = [this](TObject*) { Note("activate"); };
        OnDeactivate = [this](TObject*) { Note("deactivate"); };
    }
    void Note(const std::string& Event) { Events.push_back(Event); }
    std::vector<std::string> Events;
};

// A form freed while the field of its floating tool window has the keyboard: the tool window
// going hands the activation back to the form, which is half freed by then and must not hear it.
TEST_F(ApplicationTest, AFormFreedWithItsToolWindowFocusedHearsNothingOnTheWay)
{
    auto* Form = new TFormWithEvents(App);
    Form->SetBounds(0, 0, 300, 200);
    auto* Tool = new TToolPanel(Form, true);
    Tool->SetBounds(320, 10, 120, 60);
    Tool->SetParent(Form);
    auto* Field = new TEdit(Form);
    Field->SetParent(Tool);
    Field->OnExit = [Form](TObject*) { Form->Note("exit"); };
    Form->Show();
    ProcessMessages();
    ClickControl(Field, 5, 5);
    ASSERT_EQ(GetFocus(), Field->Handle());
    Form->BeforeDestruction();
    delete Form;
    ProcessMessages();
    EXPECT_EQ(GetFocus(), nullptr);
}

// The Window menu lists nine documents and leads to the others through "More Windows..."; Ctrl+F6
// and Ctrl+Tab go to the next document, with Shift back again.
TEST_F(ApplicationTest, EveryDocumentIsReachableFromTheWindowMenuAndTheKeyboard)
{
    TForm* Frame = ShowDocumentFrame();
    auto* Menu = new TMainMenu(Frame);
    auto* Window = new TMenuItem(Frame);
    Window->SetCaption("&Window");
    Menu->Items()->Add(Window);
    auto* Tile = new TMenuItem(Frame);
    Tile->SetCaption("&Tile");
    Window->Add(Tile);
    Frame->SetMenu(Menu);
    Frame->SetWindowMenu(Window);
    std::vector<TForm*> Docs;
    for (int I = 1; I <= 11; ++I) {
        auto* C = new TForm(App);
        C->SetCaption("Doc" + std::to_string(I));
        C->SetFormStyle(fsMDIChild);
        auto* E = new TMemo(C);
        E->SetParent(C);
        C->Show();
        ProcessMessages();
        Docs.push_back(C);
    }
    ASSERT_EQ(Window->Count(), 1 + 1 + 9 + 1);
    EXPECT_EQ(Window->Items(10)->Caption(), "&9 Doc9");
    TMenuItem* More = Window->Items(11);
    EXPECT_EQ(More->Caption(), "&More Windows...");

    std::vector<std::string> Offered;
    int Preselected = -1;
    Dialogs.Expect(TDialogKind::SelectWindow, [&](TDialogRequest& R) {
        Offered = R.Items;
        Preselected = R.ItemIndex;
        R.ItemIndex = 9;
        return 1;
    });
    More->Click();
    ProcessMessages();
    ASSERT_EQ(Offered.size(), 11u);
    EXPECT_EQ(Offered[0], "Doc1");
    EXPECT_EQ(Offered[10], "Doc11");
    EXPECT_EQ(Preselected, 10);
    EXPECT_EQ(Frame->ActiveMDIChild(), Docs[9]);
    EXPECT_EQ(Dialogs.Records().back().Caption, "Select Window");
    // A cancelled choice changes nothing.
    Dialogs.Expect(TDialogKind::SelectWindow, [](TDialogRequest& R) {
        R.ItemIndex = 2;
        return 0;
    });
    More = Window->Items(11); // the list was rebuilt for the new active document
    More->Click();
    EXPECT_EQ(Frame->ActiveMDIChild(), Docs[9]);

    const struct {
        WORD Key;
        TShiftState Shift;
    } Steps[] = {
        {VK_F6, {ssCtrl}}, {VK_TAB, {ssCtrl}}, {VK_F6, {ssCtrl, ssShift}}, {VK_TAB, {ssCtrl, ssShift}}};
    for (const auto& Step : Steps) {
        TCustomForm* Before = Frame->ActiveMDIChild();
        TCustomForm* Behind = Frame->MDIChildren(1);
        TCustomForm* Last = Frame->MDIChildren(Frame->MDIChildCount() - 1);
        PressShortCut(Step.Key, Step.Shift);
        TCustomForm* Expected = Step.Shift.Contains(ssShift) ? Last : Behind;
        EXPECT_EQ(Frame->ActiveMDIChild(), Expected) << Step.Key;
        EXPECT_NE(Frame->ActiveMDIChild(), Before);
        HWND Focus = GetFocus();
        EXPECT_TRUE(Focus && IsChild(Expected->Handle(), Focus));
    }
    // The keys typed nothing into the documents.
    for (TForm* D : Docs)
        EXPECT_EQ(static_cast<TMemo*>(D->Controls(0))->Text(), "");
}

// A press anywhere on an inactive document activates it, its scroll bars included.
TEST_F(ApplicationTest, APressOnADocumentsScrollBarActivatesIt)
{
    TForm* Frame = ShowDocumentFrame();
    std::vector<TMemo*> Memos;
    for (const char* Name : {"Doc1", "Doc2"}) {
        auto* C = new TForm(App);
        C->SetCaption(Name);
        C->SetFormStyle(fsMDIChild);
        auto* M = new TMemo(C);
        M->SetParent(C);
        M->SetAlign(alClient);
        M->SetScrollBars(ssBoth);
        C->Show();
        ProcessMessages();
        Memos.push_back(M);
    }
    Frame->Tile();
    Frame->ActivateMDIChild(static_cast<TCustomForm*>(Memos[1]->Owner()));
    ProcessMessages();
    TMemo* Inactive = Memos[0];
    // Just right of the client area: the vertical bar.
    const int BarX = Inactive->ClientWidth() + GetSystemMetrics(SM_CXVSCROLL) / 2;
    ASSERT_EQ(SendMessage(Inactive->Handle(), WM_NCHITTEST, 0,
                          [&] {
                              POINT P{BarX, 10};
                              ClientToScreen(Inactive->Handle(), &P);
                              return PointToLParam(P.x, P.y);
                          }()),
              HTVSCROLL);
    // Both queued first: the bar's own loop runs until the button is up.
    SimulateMouse(Inactive->Handle(), WM_LBUTTONDOWN, BarX, 10);
    SimulateMouse(Inactive->Handle(), WM_LBUTTONUP, BarX, 10);
    ProcessMessages();
    EXPECT_EQ(Frame->ActiveMDIChild(), Inactive->Owner());
}

// A maximised document fills the frame's client area with its client area: its caption and
// borders lie outside, and its buttons move to the frame's menu bar. A document opened or
// activated while the active one is maximised is maximised in its turn.
TEST_F(ApplicationTest, AMaximisedDocumentLendsItsCaptionToTheFrame)
{
    TForm* Frame = ShowDocumentFrame();
    auto* Menu = new TMainMenu(Frame);
    auto* FileItem = new TMenuItem(Frame);
    FileItem->SetCaption("&File");
    Menu->Items()->Add(FileItem);
    Frame->SetMenu(Menu);
    auto NewDoc = [&](const std::string& Name) {
        auto* C = new TForm(App);
        C->SetCaption(Name);
        C->SetFormStyle(fsMDIChild);
        C->SetBounds(10, 10, 200, 150);
        C->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
        C->Show();
        ProcessMessages();
        return C;
    };
    TForm* A = NewDoc("Doc1");
    EXPECT_TRUE(Frame->MenuBarButtons().empty());
    A->SetWindowState(wsMaximized);
    ProcessMessages();
    RECT Area;
    GetClientRect(Frame->ClientHandle(), &Area);
    POINT AreaOrigin{0, 0}, DocOrigin{0, 0};
    ClientToScreen(Frame->ClientHandle(), &AreaOrigin);
    ClientToScreen(A->Handle(), &DocOrigin);
    EXPECT_EQ(DocOrigin.x, AreaOrigin.x);
    EXPECT_EQ(DocOrigin.y, AreaOrigin.y);
    EXPECT_EQ(A->ClientWidth(), Area.right);
    EXPECT_EQ(A->ClientHeight(), Area.bottom);
    auto Buttons = Frame->MenuBarButtons();
    ASSERT_EQ(Buttons.size(), 3u);
    EXPECT_EQ(Buttons[0].first, static_cast<UINT>(SC_MINIMIZE));
    EXPECT_EQ(Buttons[1].first, static_cast<UINT>(SC_RESTORE));
    EXPECT_EQ(Buttons[2].first, static_cast<UINT>(SC_CLOSE));
    auto Bar = Frame->MenuBarLayout();
    ASSERT_FALSE(Bar.empty());
    EXPECT_GT(Buttons[0].second.left, Bar.back().second.right);
    EXPECT_EQ(Buttons[2].second.top, Bar.back().second.top + 2);

    TForm* B = NewDoc("Doc2");
    EXPECT_EQ(B->WindowState(), wsMaximized);
    EXPECT_EQ(A->WindowState(), wsNormal);
    EXPECT_EQ(B->ClientWidth(), Area.right);
    Frame->ActivateMDIChild(A);
    EXPECT_EQ(A->WindowState(), wsMaximized);
    EXPECT_EQ(B->WindowState(), wsNormal);

    // The buttons on the bar act on the document: restore, then (maximised again) close.
    RECT WR;
    GetWindowRect(Frame->Handle(), &WR);
    auto Press = [&](const TRect& R) {
        const int X = WR.left + (R.left + R.right) / 2, Y = WR.top + (R.top + R.bottom) / 2;
        SimulateMouseAt(X, Y, WM_LBUTTONDOWN);
        SimulateMouseAt(X, Y, WM_LBUTTONUP);
        ProcessMessages();
    };
    Press(Frame->MenuBarButtons()[1].second);
    EXPECT_EQ(A->WindowState(), wsNormal);
    EXPECT_EQ(A->Width(), 200);
    EXPECT_TRUE(Frame->MenuBarButtons().empty());
    A->SetWindowState(wsMaximized);
    Press(Frame->MenuBarButtons()[2].second);
    EXPECT_EQ(Frame->MDIChildCount(), 1);
    EXPECT_EQ(Frame->ActiveMDIChild(), B);
}

TEST_F(ApplicationTest, ClosingADocumentMinimisesItAndIconsLineUp)
{
    TForm* Frame = ShowDocumentFrame();
    std::vector<TForm*> Docs;
    for (int I = 0; I < 3; ++I) {
        auto* C = new TForm(App);
        C->SetCaption("Doc" + std::to_string(I + 1));
        C->SetFormStyle(fsMDIChild);
        C->Show();
        ProcessMessages();
        Docs.push_back(C);
    }
    // A document closed without an OnClose of its own is minimised, not hidden or freed.
    Docs[0]->Close();
    Docs[1]->Close();
    ProcessMessages();
    EXPECT_EQ(Frame->MDIChildCount(), 3);
    EXPECT_EQ(Docs[0]->WindowState(), wsMinimized);
    EXPECT_EQ(Docs[1]->WindowState(), wsMinimized);
    EXPECT_TRUE(Docs[0]->Visible());
    RECT R;
    GetClientRect(Frame->ClientHandle(), &R);
    // The icons sit side by side along the bottom, after being moved away too.
    auto CheckRow = [&] {
        EXPECT_EQ(Docs[0]->Top() + Docs[0]->Height(), R.bottom);
        EXPECT_EQ(Docs[1]->Top(), Docs[0]->Top());
        EXPECT_TRUE(Docs[0]->Left() + Docs[0]->Width() <= Docs[1]->Left() ||
                    Docs[1]->Left() + Docs[1]->Width() <= Docs[0]->Left());
        EXPECT_EQ(std::min(Docs[0]->Left(), Docs[1]->Left()), 0);
    };
    CheckRow();
    Docs[0]->SetBounds(200, 50, Docs[0]->Width(), Docs[0]->Height());
    Frame->ArrangeIcons();
    CheckRow();
    EXPECT_EQ(Docs[2]->WindowState(), wsNormal);
    // caMinimize on a top-level form minimises it as well; a document without a minimise button
    // cannot be closed that way and stays as it is.
    auto* Tool = new TForm(App);
    Tool->Show();
    ProcessMessages();
    Tool->OnClose = [](TObject*, TCloseAction& Action) { Action = caMinimize; };
    Tool->Close();
    EXPECT_EQ(Tool->WindowState(), wsMinimized);
    EXPECT_TRUE(IsIconic(Tool->Handle()));
    Docs[2]->SetBorderIcons(TBorderIcons{biSystemMenu});
    Docs[2]->Close();
    EXPECT_EQ(Docs[2]->WindowState(), wsNormal);
    EXPECT_TRUE(Docs[2]->Visible());
}

TEST_F(ApplicationTest, MDIChildWithoutFrameIsRefused)
{
    auto* C = new TForm(App);
    C->SetFormStyle(fsMDIChild);
    EXPECT_THROW(C->Show(), EInvalidOperation);
    C->SetFormStyle(fsNormal);
}

TEST_F(ApplicationTest, CloseActionsHideFreeAndNone)
{
    TForm* Main = nullptr;
    App->CreateForm(&Main);
    Main->Show();
    auto* F = new TForm(App);
    F->Show();
    ProcessMessages();
    TCloseAction Next = caNone;
    bool Destroyed = false;
    F->OnClose = [&](TObject*, TCloseAction& Action) { Action = Next; };
    F->OnDestroy = [&](TObject*) { Destroyed = true; };
    F->Close();
    EXPECT_TRUE(F->Visible());
    Next = caHide;
    F->Close();
    EXPECT_FALSE(F->Visible());
    F->Show();
    Next = caFree;
    F->Close();
    EXPECT_FALSE(Destroyed);
    ProcessMessages();
    EXPECT_TRUE(Destroyed);
    EXPECT_FALSE(App->Terminated());
    Main->Close();
    EXPECT_TRUE(App->Terminated());
}

TEST_F(ApplicationTest, FileDialogsAnswerFromTheQueue)
{
    std::string Dir = MakeTempDir("docs");
    std::string Existing = Dir + "/old.txt";
    WriteFileBytes(Existing, "x");
    TSaveDialog Save(nullptr);
    Save.DefaultExt = "txt";
    Save.Options.Include(ofOverwritePrompt);
    // A name without extension gets the default one; an existing file asks first.
    Dialogs.ExpectSaveFile(Dir + "/old");
    Dialogs.ExpectMessageBox(IDNO, "already exists");
    Dialogs.ExpectSaveFile(Dir + "/new");
    EXPECT_TRUE(Save.Execute());
    EXPECT_EQ(Save.FileName, Dir + "/new.txt");

    TOpenDialog Open(nullptr);
    Open.Options.Include(ofFileMustExist);
    Open.Filter = "Text files (*.txt)|*.txt|All files|*.*";
    EXPECT_EQ(Open.FilterPairs().size(), 2u);
    Dialogs.ExpectOpenFile("");
    EXPECT_FALSE(Open.Execute());
    Dialogs.ExpectOpenFile(Existing);
    EXPECT_TRUE(Open.Execute());
    EXPECT_EQ(Open.FileName, Existing);

    TColorDialog Color(nullptr);
    Dialogs.ExpectColor(clRed);
    EXPECT_TRUE(Color.Execute());
    EXPECT_EQ(Color.Color, clRed);

    Dialogs.ExpectMessageBox(mrYes);
    EXPECT_EQ(MessageDlg("Proceed?", mtConfirmation, mbYesNoCancel, 0), mrYes);
    EXPECT_EQ(Dialogs.Records().back().Caption, "Confirm");
    EXPECT_EQ(Dialogs.Records().back().Flags, MB_YESNOCANCEL | MB_ICONQUESTION);
}

// The default extension, however the form writes it ("*.html", ".tdo", "tdo"), goes only onto a
// name that has none and names no file; a file that exists opens as typed.
TEST_F(ApplicationTest, TheDefaultExtensionCompletesOnlyANameThatIsNotThere)
{
    const std::string Dir = MakeTempDir("ext");
    WriteFileBytes(Dir + "/README", "x");
    WriteFileBytes(Dir + "/Makefile.html", "x");
    const struct {
        const char* DefaultExt;
        const char* Typed;
        const char* Expected;
    } Cases[] = {
        {"*.html", "README", "README"},
        {"*.html", "page", "page.html"},
        {"*.html", "Makefile", "Makefile.html"},
        {"*.html", "notes.txt", "notes.txt"},
        {".tdo", "list", "list.tdo"},
        {"tdo", "list", "list.tdo"},
        {"*.*", "list", "list"},
        {"", "list", "list"},
    };
    for (const auto& C : Cases) {
        TOpenDialog Open(nullptr);
        Open.DefaultExt = C.DefaultExt;
        Dialogs.ExpectOpenFile(Dir + "/" + C.Typed);
        EXPECT_TRUE(Open.Execute()) << C.Typed;
        EXPECT_EQ(Open.FileName, Dir + "/" + C.Expected) << C.DefaultExt << " " << C.Typed;
    }
}

// The filter's entries as the file dialog lists them: the label once, with the patterns as this
// system matches them ("*.*" would hide every file without an extension).
TEST_F(ApplicationTest, FileDialogFiltersShowEachPatternOnce)
{
    TOpenDialog Open(nullptr);
    Open.Filter = "All files (*.*)|*.*|HTML|*.html|Pages (*.htm;*.html)|*.htm;*.html|Text File|*.txt";
    EXPECT_EQ(FileDialogFilters(Open),
              (std::vector<std::string>{"All files (*)", "HTML (*.html)", "Pages (*.htm *.html)",
                                        "Text File (*.txt)"}));
}

TEST_F(ApplicationTest, FileDialogsOpenWhereTheNameOrTheInitialDirectorySays)
{
    const std::string Dir = MakeTempDir("start");
    std::string WinDir = "c:" + Dir;
    std::replace(WinDir.begin(), WinDir.end(), '/', '\\');
    struct TCase {
        std::string FileName, InitialDir, Expected;
    } Cases[] = {
        {"", "", ""},
        {"page.html", "", "page.html"},
        {"", Dir, Dir},
        {"", WinDir, Dir},
        {"page.html", Dir, Dir + "/page.html"},
        {"page.html", WinDir + "\\", Dir + "/page.html"},
        {Dir + "/old.html", "/elsewhere", Dir + "/old.html"},
        {WinDir + "\\old.html", "/elsewhere", Dir + "/old.html"},
    };
    for (const TCase& C : Cases) {
        TOpenDialog D(nullptr);
        D.FileName = C.FileName;
        D.InitialDir = C.InitialDir;
        EXPECT_EQ(D.InitialPath(), C.Expected) << C.FileName << " in " << C.InitialDir;
    }
}

TEST_F(ApplicationTest, RunShowsTheMainFormAndEndsWhenItCloses)
{
    TForm* Main = nullptr;
    App->CreateForm(&Main);
    bool Shown = false;
    Main->OnShow = [&](TObject*) { Shown = true; };
    int Waits = 0;
    SetWaitHandler([&] {
        if (++Waits == 2)
            PostMessage(Main->Handle(), WM_CLOSE, 0, 0);
        return Waits < 100;
    });
    App->Run();
    SetWaitHandler(nullptr);
    EXPECT_TRUE(Shown);
    EXPECT_TRUE(App->Terminated());
    EXPECT_LT(Waits, 100);
}

TEST_F(ApplicationTest, MainWindowHooksSeeTheApplicationsMessages)
{
    std::vector<UINT> Seen;
    int Id = App->HookMainWindow([&](TMessage& M) {
        if (M.Msg == WM_USER + 7) {
            Seen.push_back(M.Msg);
            return true;
        }
        return false;
    });
    PostMessage(App->Handle(), WM_USER + 7, 0, 0);
    ProcessMessages();
    App->UnhookMainWindow(Id);
    PostMessage(App->Handle(), WM_USER + 7, 0, 0);
    ProcessMessages();
    EXPECT_EQ(Seen.size(), 1u);
}

// Code that hooks the application window hears the program gain and lose activation, with
// Active already telling the new state.
TEST_F(ApplicationTest, MainWindowHooksHearActivationOfTheProgram)
{
    SetApplicationActive(true);
    ProcessMessages();
    std::vector<std::pair<WPARAM, bool>> Seen;
    int Id = App->HookMainWindow([&](TMessage& M) {
        if (M.Msg == CM_APPACTIVATE)
            Seen.emplace_back(M.WParam, App->Active());
        return false;
    });
    SetApplicationActive(false);
    SetApplicationActive(false);
    SetApplicationActive(true);
    ProcessMessages();
    App->UnhookMainWindow(Id);
    EXPECT_EQ(Seen, (std::vector<std::pair<WPARAM, bool>>{{0, false}, {1, true}}));
}

TEST_F(ApplicationTest, HelpGoesToTheViewer)
{
    App->HelpFile = "wendle.hlp";
    EXPECT_TRUE(App->HelpCommand(HELP_CONTENTS, 0));
    ASSERT_EQ(Fixture.Recorder.Calls().size(), 1u);
    EXPECT_EQ(Fixture.Recorder.Calls()[0].Kind, TSystemCall::Help);
    EXPECT_EQ(Fixture.Recorder.Calls()[0].File, "wendle.hlp");
}

} // namespace

// A logout asks the main form as Exit does; a refusal cancels it and the program runs on, an
// agreement ends the message loop. Without leave to ask, nobody is asked.
TEST_F(ApplicationTest, LogoutAsksTheMainFormsCloseQuery)
{
    TForm* Main = nullptr;
    App->CreateForm(&Main);
    Main->Show();
    ProcessMessages();
    std::vector<std::string> Asked;
    bool Agree = false;
    Main->OnCloseQuery = [&](TObject*, bool& CanClose) {
        Asked.push_back("asked");
        CanClose = Agree;
    };
    EXPECT_FALSE(App->EndSession(true));
    EXPECT_FALSE(App->Terminated());
    EXPECT_EQ(Asked.size(), 1u);
    EXPECT_TRUE(Main->Visible());

    Agree = true;
    EXPECT_TRUE(App->EndSession(true));
    EXPECT_EQ(Asked.size(), 2u);
    EXPECT_TRUE(App->Terminated());

    EXPECT_TRUE(App->EndSession(false));
    EXPECT_EQ(Asked.size(), 2u);
}
