#include "platform/classes/TypInfo.h"
#include "platform/controls/Controls.h"
#include "platform/controls/tests/ControlsTestFixture.h"
#include "platform/testing/FormTesting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

// Controls written the way new ones are: named handlers in the class's message table, each
// passing on to its base class's method or to DefaultHandler.

// A windowed control whose left edge sizes it; it logs presses before the base handles them.
class TMsgTestGrip : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<std::string>* Log = nullptr;

protected:
    TW_MESSAGE_HANDLERS(TMsgTestGrip);
    void WMNCHitTest(TWMNCHitTest Message)
    {
        DefaultHandler(Message); // no base handles it: the window class answers
        if (Message.Result == HTCLIENT && ScreenToClient(Message.Pos()).x < 4)
            Message.Result = HTLEFT;
    }
    void WMLButtonDown(TWMLButtonDown Message)
    {
        Log->push_back("grip press " + std::to_string(Message.XPos()));
        TCustomControl::WMLButtonDown(Message);
    }
};

// A windowless control that keeps the right button to itself.
class TMsgTestMark : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    std::vector<std::string>* Log = nullptr;

protected:
    TW_MESSAGE_HANDLERS(TMsgTestMark);
    void WMRButtonDown(TWMRButtonDown) { Log->push_back("mark keeps right"); }
};

// A private descendant without a registration: it answers as the grip.
class TMsgTestPlainGrip : public TMsgTestGrip {
public:
    using TMsgTestGrip::TMsgTestGrip;
};

TW_PUBLISH(TMsgTestGrip, TCustomControl)
{
    Cls.Message(WM_NCHITTEST, &TMsgTestGrip::WMNCHitTest);
    Cls.Message(WM_LBUTTONDOWN, &TMsgTestGrip::WMLButtonDown);
}

TW_PUBLISH(TMsgTestMark, TGraphicControl)
{
    Cls.Message(WM_RBUTTONDOWN, &TMsgTestMark::WMRButtonDown);
}

namespace {

class MessageHandlers : public controls_testing::TBuiltFormTest {
protected:
    template <class T> T* AddLogged(const std::string& Name, int L, int T_)
    {
        T* C = Add<T>(Name, L, T_, 60, 40);
        C->Log = &Log;
        C->OnMouseDown = [this, Name](TObject*, TMouseButton B, TShiftState, int X, int) {
            Log.push_back(Name + " OnMouseDown " + std::to_string(B) + " " + std::to_string(X));
        };
        return C;
    }
    std::vector<std::string> Log;
};

TEST_F(MessageHandlers, DerivedHandlerRunsFirstAndTheBaseStillFiresTheEvents)
{
    TMsgTestGrip* Grip = AddLogged<TMsgTestGrip>("Grip", 10, 10);
    TMsgTestPlainGrip* Plain = AddLogged<TMsgTestPlainGrip>("Plain", 10, 60);
    TMsgTestMark* Mark = AddLogged<TMsgTestMark>("Mark", 100, 10);
    ProcessMessages();

    ASSERT_TRUE(SendMouse(Grip, WM_LBUTTONDOWN, 7, 5));
    SendMouse(Grip, WM_LBUTTONUP, 7, 5);
    ASSERT_TRUE(SendMouse(Plain, WM_LBUTTONDOWN, 9, 5));
    SendMouse(Plain, WM_LBUTTONUP, 9, 5);
    // The windowless control gets its presses through the form: its own handler for the right
    // button, the base's for the left.
    ASSERT_TRUE(SendMouse(Mark, WM_RBUTTONDOWN, 3, 3));
    SendMouse(Mark, WM_RBUTTONUP, 3, 3);
    ASSERT_TRUE(SendMouse(Mark, WM_LBUTTONDOWN, 5, 3));
    SendMouse(Mark, WM_LBUTTONUP, 5, 3);

    EXPECT_EQ(
        Log, (std::vector<std::string>{"grip press 7", "Grip OnMouseDown 0 7", "grip press 9",
                                       "Plain OnMouseDown 0 9", "mark keeps right", "Mark OnMouseDown 0 5"}));
}

TEST_F(MessageHandlers, HandlerWithoutABaseMethodGetsTheWindowClassAnswerFromDefaultHandler)
{
    TMsgTestGrip* Grip = AddLogged<TMsgTestGrip>("Grip", 10, 10);
    ProcessMessages();
    const TPoint Origin = Grip->ClientToScreen(TPoint{0, 0});
    const struct {
        int X;
        LRESULT Hit;
    } Cases[] = {{1, HTLEFT}, {30, HTCLIENT}, {200, HTNOWHERE}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.X);
        EXPECT_EQ(SendMessage(Grip->Handle(), WM_NCHITTEST, 0, PointToLParam(Origin.x + C.X, Origin.y + 5)),
                  C.Hit);
    }
}

} // namespace
