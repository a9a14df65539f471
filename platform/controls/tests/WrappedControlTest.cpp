// Controls built on a window class of their own (CreateSubClass): the class procedure keeps
// state the control never sees, gets the whole destruction of its window, and handles a press
// before the control's mouse events.
#include "platform/classes/TypInfo.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdEdit.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/WinTesting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

constexpr UINT WM_TYPE_TEXT = WM_USER + 1; // the class changes its own text, as typing would

std::vector<std::string>& ClassLog()
{
    static std::vector<std::string> L;
    return L;
}

// The class's procedure, a function per message like the layer's own window classes.
using TClassHandler = LRESULT (*)(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

LRESULT TypeText(HWND Wnd, UINT, WPARAM, LPARAM LParam)
{
    // Straight to the default procedure: the text changes without the control hearing of it.
    return DefWindowProc(Wnd, WM_SETTEXT, 0, LParam);
}

LRESULT LButtonDown(HWND, UINT, WPARAM, LPARAM)
{
    ClassLog().push_back("class down");
    return 0;
}

LRESULT Destroy(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    ClassLog().push_back(Msg == WM_DESTROY ? "destroy" : "ncdestroy");
    return DefWindowProc(Wnd, Msg, WParam, LParam);
}

LRESULT WrappedClassProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    static const TMessageMap<TClassHandler> Handlers{
        {WM_TYPE_TEXT, &TypeText},
        {WM_LBUTTONDOWN, &LButtonDown},
        {WM_DESTROY, &Destroy},
        {WM_NCDESTROY, &Destroy},
    };
    const TClassHandler* Handler = Handlers.Find(Msg);
    return (Handler ? *Handler : &DefWindowProc)(Wnd, Msg, WParam, LParam);
}

void RegisterWrappedClass()
{
    WNDCLASS Existing;
    if (GetClassInfo(nullptr, "TestWrapped", &Existing))
        return;
    WNDCLASS WC;
    WC.style = CS_DBLCLKS;
    WC.lpfnWndProc = WrappedClassProc;
    WC.hCursor = LoadCursor(nullptr, IDC_ARROW);
    WC.lpszClassName = "TestWrapped";
    RegisterClass(&WC);
}

class TWrapped : public TWinControl {
public:
    explicit TWrapped(TComponent* AOwner) : TWinControl(AOwner) {}
    using TWinControl::DestroyHandle;

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TWinControl::CreateParams(Params);
        RegisterWrappedClass();
        CreateSubClass(Params, "TestWrapped");
    }
};

// A control painting itself (no class procedure of its own).
class TPlain : public TCustomControl {
public:
    explicit TPlain(TComponent* AOwner) : TCustomControl(AOwner) {}
    std::vector<std::string>* Log = nullptr;

protected:
    TW_MESSAGE_HANDLERS(TPlain);
    void WMLButtonDown(TWMLButtonDown M)
    {
        if (Log)
            Log->push_back("dispatch down");
        TCustomControl::WMLButtonDown(M);
    }
};

TW_PUBLISH(TPlain, TCustomControl)
{
    Cls.Message(WM_LBUTTONDOWN, &TPlain::WMLButtonDown);
}

class WrappedTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClassLog().clear();
        Form = new TForm(nullptr);
        Form->SetBounds(100, 100, 400, 300);
        Form->Show();
        ProcessMessages();
    }
    void TearDown() override
    {
        Form->BeforeDestruction();
        delete Form;
    }
    template <class T> T* Add(int L, int T_, int W, int H)
    {
        T* C = new T(Form);
        C->SetBounds(L, T_, W, H);
        C->SetParent(Form);
        return C;
    }
    TWindowTest Fixture;
    TForm* Form = nullptr;
};

TEST_F(WrappedTest, TextTheWindowHoldsSurvivesANewWindowAndHavingNone)
{
    auto* W = Add<TWrapped>(10, 10, 100, 30);
    W->SetText("given");
    ProcessMessages();
    HWND Old = W->Handle();
    SendMessage(Old, WM_TYPE_TEXT, 0, reinterpret_cast<LPARAM>("typed"));
    W->RecreateWnd();
    ProcessMessages();
    ASSERT_NE(W->Handle(), Old);
    EXPECT_EQ(GetWindowTextString(W->Handle()), "typed");
    SendMessage(W->Handle(), WM_TYPE_TEXT, 0, reinterpret_cast<LPARAM>("again"));
    W->DestroyHandle();
    ASSERT_FALSE(W->HandleAllocated());
    EXPECT_EQ(W->Text(), "again");
}

TEST_F(WrappedTest, TextTypedIntoAnEditSurvivesRecreatingItsWindow)
{
    auto* E = Add<TEdit>(10, 10, 120, 24);
    ProcessMessages();
    E->SetFocus();
    ProcessMessages();
    PressKey('A', "a");
    PressKey('B', "b");
    ProcessMessages();
    ASSERT_EQ(GetWindowTextString(E->Handle()), "ab");
    E->SetBorderStyle(bsNone); // a new window
    ProcessMessages();
    EXPECT_EQ(E->Text(), "ab");
    EXPECT_TRUE(E->Modified());
}

TEST_F(WrappedTest, ClassProcedureSeesTheWholeDestructionOfItsWindow)
{
    auto* W = Add<TWrapped>(10, 10, 100, 30);
    ProcessMessages();
    HWND Wnd = W->Handle();
    delete W;
    EXPECT_FALSE(IsWindow(Wnd));
    EXPECT_EQ(ClassLog(), (std::vector<std::string>{"destroy", "ncdestroy"}));
    EXPECT_EQ(FindControl(Wnd), nullptr);
}

TEST_F(WrappedTest, ClassProcedureHandlesAPressBeforeTheMouseDownEvent)
{
    auto* W = Add<TWrapped>(10, 10, 100, 30);
    ProcessMessages();
    W->OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) {
        ClassLog().push_back("event down");
    };
    W->OnClick = [](TObject*) { ClassLog().push_back("click"); };
    ASSERT_TRUE(ClickControl(W, 5, 5));
    EXPECT_EQ(ClassLog(), (std::vector<std::string>{"class down", "event down", "click"}));

    // A control without a class procedure keeps its order: its event, then the default.
    std::vector<std::string> Log;
    auto* P = Add<TPlain>(10, 60, 100, 30);
    ProcessMessages();
    P->Log = &Log;
    P->OnMouseDown = [&Log](TObject*, TMouseButton, TShiftState, int, int) { Log.push_back("event down"); };
    P->OnClick = [&Log](TObject*) { Log.push_back("click"); };
    ASSERT_TRUE(ClickControl(P, 5, 5));
    EXPECT_EQ(Log, (std::vector<std::string>{"dispatch down", "event down", "click"}));
    P->Log = nullptr;
}

} // namespace
