#include "platform/classes/Classes.h"
#include "platform/classes/TypInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Message tables: a chain of classes, each handling some messages in named methods. The
// classes live at namespace scope because TW_PUBLISH and TW_MESSAGE_HANDLERS name them there.

constexpr UINT MsgOnlyBase = WM_USER + 1;    // the base handles it, the derived class does not
constexpr UINT MsgBoth = WM_USER + 2;        // both handle it; the derived one passes it on
constexpr UINT MsgOnlyDerived = WM_USER + 3; // only the derived class; it passes it to DefaultHandler
constexpr UINT MsgNobody = WM_USER + 4;
constexpr UINT MsgPairA = WM_USER + 5; // one method for two numbers
constexpr UINT MsgPairB = WM_USER + 6;

class TMsgTestBase : public TObject {
public:
    std::vector<std::string> Log;
    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0)
    {
        TMessage M{Msg, WParam, LParam, 0};
        Dispatch(M);
        return M.Result;
    }
    void DefaultHandler(TMessage& Message) override
    {
        Log.push_back("default " + std::to_string(Message.Msg - WM_USER));
        Message.Result = -1;
    }

protected:
    TW_MESSAGE_HANDLERS(TMsgTestBase);
    void WMOnlyBase(TMessage& Message)
    {
        Log.push_back("base only");
        Message.Result = 10;
    }
    // Through a view: the result written to the view is the message's.
    void WMBoth(TWMSize Message)
    {
        Log.push_back("base both " + std::to_string(Message.Width()) + "x" +
                      std::to_string(Message.Height()));
        Message.Result += 100;
    }
};

class TMsgTestDerived : public TMsgTestBase {
protected:
    TW_MESSAGE_HANDLERS(TMsgTestDerived);
    void WMBoth(TWMSize Message)
    {
        Log.push_back("derived both");
        Message.Result = 1;
        TMsgTestBase::WMBoth(Message);
    }
    void WMOnlyDerived(TMessage& Message)
    {
        Log.push_back("derived only");
        DefaultHandler(Message);
    }
    void WMPair(TMessage& Message) { Log.push_back("pair " + std::to_string(Message.Msg - WM_USER)); }
};

// A private descendant with no registration of its own.
class TMsgTestPrivate : public TMsgTestDerived {};

TW_PUBLISH(TMsgTestBase, TObject)
{
    Cls.Message(MsgOnlyBase, &TMsgTestBase::WMOnlyBase);
    Cls.Message(MsgBoth, &TMsgTestBase::WMBoth);
}

TW_PUBLISH(TMsgTestDerived, TMsgTestBase)
{
    Cls.Message(MsgBoth, &TMsgTestDerived::WMBoth);
    Cls.Message(MsgOnlyDerived, &TMsgTestDerived::WMOnlyDerived);
    Cls.Message({MsgPairA, MsgPairB}, &TMsgTestDerived::WMPair);
}

// Registered at run time by the test that registers classes late and out of order.
class TMsgLateParent : public TObject {
public:
    std::vector<std::string> Log;
    void Parent(TMessage&) { Log.push_back("parent"); }
};
class TMsgLateChild : public TMsgLateParent {
public:
    void Child(TMessage&) { Log.push_back("child"); }
    void OtherChild(TMessage&) { Log.push_back("other child"); }
};

namespace {

struct TCase {
    const char* Name;
    UINT Msg;
    std::vector<std::string> Log;
    LRESULT Result;
};

TEST(MessageTable, DerivedHandlersComeFirstAndPassOnToTheBaseOrDefaultHandler)
{
    const TCase Cases[] = {
        {"base only", MsgOnlyBase, {"base only"}, 10},
        {"both", MsgBoth, {"derived both", "base both 40x30"}, 101},
        {"derived only", MsgOnlyDerived, {"derived only", "default 3"}, -1},
        {"nobody", MsgNobody, {"default 4"}, -1},
        {"pair a", MsgPairA, {"pair 5"}, 0},
        {"pair b", MsgPairB, {"pair 6"}, 0},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TMsgTestDerived Derived;
        EXPECT_EQ(Derived.Send(C.Msg, 0, MAKELPARAM(40, 30)), C.Result);
        EXPECT_EQ(Derived.Log, C.Log);
        // A private descendant without a registration answers as its nearest registered class.
        TMsgTestPrivate Private;
        EXPECT_EQ(Private.Send(C.Msg, 0, MAKELPARAM(40, 30)), C.Result);
        EXPECT_EQ(Private.Log, C.Log);
    }
}

TEST(MessageTable, TheBaseClassKeepsItsOwnTable)
{
    TMsgTestBase Base;
    EXPECT_EQ(Base.Send(MsgBoth, 0, MAKELPARAM(7, 8)), 100);
    EXPECT_EQ(Base.Send(MsgOnlyDerived), -1);
    EXPECT_EQ(Base.Send(MsgPairA), -1);
    EXPECT_EQ(Base.Log, (std::vector<std::string>{"base both 7x8", "default 3", "default 5"}));
}

TEST(MessageTable, ClassesRegisteredLateAndChildFirstStillFlattenWithTheChildWinning)
{
    TMsgLateChild Child;
    TMessage M{MsgBoth, 0, 0, 0};
    Child.Dispatch(M); // nothing registered yet: no handler, the default does nothing
    EXPECT_TRUE(Child.Log.empty());

    PublishClass<TMsgLateChild, TMsgLateParent>("TMsgLateChild").Message(MsgBoth, &TMsgLateChild::Child);
    Child.Dispatch(M);
    PublishClass<TMsgLateParent, TObject>("TMsgLateParent")
        .Message(MsgBoth, &TMsgLateParent::Parent)
        .Message(MsgOnlyBase, &TMsgLateParent::Parent);
    Child.Dispatch(M);
    M.Msg = MsgOnlyBase;
    Child.Dispatch(M);
    EXPECT_EQ(Child.Log, (std::vector<std::string>{"child", "child", "parent"}));

    // Registering a class again replaces its table, even after it has been used.
    Child.Log.clear();
    PublishClass<TMsgLateChild, TMsgLateParent>("TMsgLateChild").Message(MsgBoth, &TMsgLateChild::OtherChild);
    M.Msg = MsgBoth;
    Child.Dispatch(M);
    EXPECT_EQ(Child.Log, (std::vector<std::string>{"other child"}));
}

TEST(MessageTable, MapKeepsTheLastHandlerOfANumberGivenTwice)
{
    const TMessageMap<int> Map{{WM_PAINT, 1}, {WM_SIZE, 2}, {WM_PAINT, 3}, {WM_MOVE, 4}};
    ASSERT_NE(Map.Find(WM_PAINT), nullptr);
    EXPECT_EQ(*Map.Find(WM_PAINT), 3);
    EXPECT_EQ(*Map.Find(WM_SIZE), 2);
    EXPECT_EQ(*Map.Find(WM_MOVE), 4);
    EXPECT_EQ(Map.Find(WM_CLOSE), nullptr);
    EXPECT_EQ(Map.Count(), 3u);
}

} // namespace
