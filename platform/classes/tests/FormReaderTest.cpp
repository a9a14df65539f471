#include "FakeControls.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TextFiles.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::string AllKindsForm()
{
    return testing_support::ReadFileBytes(std::string(TW_TEST_DATA_DIR) +
                                          "/classes/tests/data/AllKinds.form");
}

// A form description around the given body lines; the body starts on line 2.
std::string FormWith(const std::string& Body)
{
    return "object F: TFakeForm\n" + Body + "end\n";
}

bool AnyLoading(TComponent* Root)
{
    if (Root->ComponentState().Contains(csLoading) || Root->ComponentState().Contains(csReading))
        return true;
    for (int I = 0; I < Root->ComponentCount(); ++I)
        if (AnyLoading(Root->Components(I)))
            return true;
    return false;
}

class FormReader : public testing::Test {
protected:
    void SetUp() override
    {
        Text = AllKindsForm();
        ASSERT_FALSE(Text.empty());
    }
    std::string Text;
};

TEST_F(FormReader, ReadsEveryValueKind)
{
    TFakeForm Form;
    ReadForm(&Form, Text, "AllKinds.form");

    EXPECT_EQ(Form.Name(), "FakeForm1");
    EXPECT_EQ(Form.Left, -8);
    EXPECT_EQ(Form.Top(), 16);
    EXPECT_EQ(Form.Caption, "It's a A form\r\nsecond line");
    EXPECT_FALSE(Form.Visible);
    EXPECT_TRUE(Form.Enabled); // not in the file: the constructor's value stays
    EXPECT_EQ(Form.Color, 0x0000FF);
    EXPECT_EQ(Form.Cursor, -21);
    EXPECT_DOUBLE_EQ(Form.Ratio, 25.0);
    EXPECT_EQ(Form.Mark, '\x1E');
    EXPECT_EQ(Form.Align, faClient);
    EXPECT_EQ(Form.Anchors, (TFakeAligns{faTop, faBottom}));
    EXPECT_EQ(Form.ZOrder, 255);
    EXPECT_EQ(Form.Font()->Name, "Courier New");
    EXPECT_EQ(Form.Font()->Height(), -16);
    EXPECT_EQ(Form.Font()->Style, (TFakeFontStyles{ffBold, ffItalic}));
    EXPECT_EQ(Form.Font()->Color, 0x80);
    EXPECT_EQ(Form.Lines()->Text(), "first\r\nsecond\r\n\r\n\xC3\xA9t\xC3\xA9\r\n");
    ASSERT_EQ(Form.Items()->Count(), 2);
    EXPECT_EQ(Form.Items()->Items(0)->Caption, "A");
    EXPECT_EQ(Form.Items()->Items(0)->Width, 10);
    EXPECT_EQ(Form.Items()->Items(0)->Kind, fkBold);
    EXPECT_EQ(Form.Items()->Items(0)->Lines()->Text(), "x\r\n");
    EXPECT_EQ(Form.Items()->Items(1)->Caption, "B");
    EXPECT_EQ(Form.Items()->Items(1)->Width, 50);
    EXPECT_EQ(Form.Data, std::string("\x00\x01\xFF\x7F", 4));
    EXPECT_EQ(Form.Blob, "abc"); // through a stream

    // Components: owned by the root, parented by the enclosing object, stored in the fields.
    ASSERT_NE(Form.Panel1, nullptr);
    ASSERT_NE(Form.Button1, nullptr);
    ASSERT_NE(Form.Timer1, nullptr);
    EXPECT_EQ(Form.ComponentCount(), 3);
    EXPECT_EQ(Form.Button1->Owner(), &Form);
    EXPECT_EQ(Form.Button1->ParentControl, Form.Panel1);
    EXPECT_EQ(Form.Panel1->ParentControl, &Form);
    EXPECT_EQ(Form.FindComponent("Button1"), Form.Button1);
    EXPECT_EQ(Form.Panel1->Caption, "panel");
    EXPECT_DOUBLE_EQ(Form.Panel1->Ratio, 3.0);
    EXPECT_EQ(Form.Button1->Cursor, 1);
    EXPECT_EQ(Form.Button1->Color, static_cast<std::int32_t>(0x80000005));
    EXPECT_TRUE(Form.Button1->Anchors.Empty());
    EXPECT_EQ(Form.Timer1->Interval, 250);

    // References, forward ones included, resolved after the whole form.
    EXPECT_EQ(Form.Buddy(), Form.Panel1);
    EXPECT_EQ(Form.Panel1->Buddy(), Form.Button1);
    EXPECT_EQ(Form.Items()->Items(0)->Link, Form.Button1);
}

TEST_F(FormReader, EventsBindTheFormsHandlers)
{
    TFakeForm Form;
    ReadForm(&Form, Text, "AllKinds.form");
    ASSERT_TRUE(Form.OnClick);
    Form.OnClick(&Form);
    Form.Button1->OnClick(Form.Button1);
    Form.Button1->OnMouseDown(Form.Button1, 1, 20, 30);
    EXPECT_FALSE(Form.Panel1->OnClick);
    EXPECT_EQ(Form.Calls, (std::vector<std::string>{"Button1Click(FakeForm1)", "Button1Click(Button1)",
                                                    "Panel1MouseDown(Button1,1,20,30)"}));
}

TEST_F(FormReader, ListsAndCollectionsAreReadIntoTheExistingObjects)
{
    TFakeForm Form;
    TStringList* Lines = Form.Lines();
    TFakeItems* Items = Form.Items();
    Lines->Add("from the constructor");
    Items->Add();
    int Changes = 0;
    Lines->OnChange = [&](TObject*) { ++Changes; };
    Items->Updates.clear();

    ReadForm(&Form, Text, "AllKinds.form");
    EXPECT_EQ(Form.Lines(), Lines);
    EXPECT_EQ(Form.Items(), Items);
    EXPECT_EQ(Form.SetLinesCalls, 0);
    EXPECT_EQ(Form.SetItemsCalls, 0);
    EXPECT_EQ(Lines->Count(), 4); // cleared first
    EXPECT_EQ(Changes, 1);        // one change for the whole list
    EXPECT_EQ(Items->Count(), 2);
    EXPECT_EQ(Items->Updates, (std::vector<TCollectionItem*>{nullptr}));
}

TEST_F(FormReader, ComponentsAreLoadingWhileReadAndLoadedAfterwards)
{
    TFakeForm Form;
    TFakeControl::LoadLog.clear();
    ReadForm(&Form, Text, "AllKinds.form");
    EXPECT_EQ(TFakeControl::LoadLog, (std::vector<std::string>{"FakeForm1", "Panel1", "Button1"}));
    for (TFakeControl* C : {static_cast<TFakeControl*>(&Form), Form.Panel1, Form.Button1}) {
        EXPECT_EQ(C->LoadedCalls, 1) << C->Name();
        EXPECT_FALSE(C->StateAtLoaded.Contains(csLoading)) << C->Name();
        EXPECT_FALSE(C->StateAtLoaded.Contains(csReading)) << C->Name();
    }
    // Named while being read.
    EXPECT_TRUE(Form.Button1->StateWhenNamed.Contains(csLoading));
    EXPECT_TRUE(Form.Button1->StateWhenNamed.Contains(csReading));
    // The root is Loaded first, while the others are still loading, and references are set.
    EXPECT_EQ(Form.StillLoadingAtLoaded, (std::vector<std::string>{"Panel1", "Button1", "Timer1"}));
    EXPECT_EQ(Form.Panel1->BuddyAtLoaded, Form.Button1);
    EXPECT_FALSE(AnyLoading(&Form));
}

TEST_F(FormReader, FreeNotificationOfReadReferencesWorks)
{
    TFakeForm Form;
    ReadForm(&Form, Text, "AllKinds.form");
    delete Form.Button1;
    EXPECT_EQ(Form.Panel1->Buddy(), nullptr);
}

TEST_F(FormReader, WrittenFormReadsBackTheSame)
{
    TFakeForm A;
    ReadForm(&A, Text, "AllKinds.form");
    const std::string Written = WriteForm(&A);
    TFakeForm B;
    TStringStream Stream(Written);
    ReadForm(&B, &Stream, "written.form");
    EXPECT_EQ(WriteForm(&B), Written);

    EXPECT_EQ(B.Caption, A.Caption);
    EXPECT_EQ(B.Mark, A.Mark);
    EXPECT_EQ(B.Lines()->Text(), A.Lines()->Text());
    EXPECT_EQ(B.Items()->Count(), 2);
    EXPECT_EQ(B.Items()->Items(0)->Link, B.Button1);
    EXPECT_EQ(B.Panel1->Buddy(), B.Button1);
    EXPECT_EQ(B.Button1->ParentControl, B.Panel1);
    EXPECT_EQ(B.Data, A.Data);
    EXPECT_EQ(B.Blob, "abc");
    EXPECT_FALSE(B.OnClick); // a closure has no handler name to write

    // Values by name, defaults left out.
    EXPECT_NE(Written.find("\r\n  Color = clRed\r\n"), std::string::npos) << Written;
    EXPECT_NE(Written.find("\r\n  Anchors = [faTop, faBottom]\r\n"), std::string::npos) << Written;
    EXPECT_NE(Written.find("\r\n  Font.Style = [ffBold, ffItalic]\r\n"), std::string::npos) << Written;
    EXPECT_NE(Written.find("\r\n  Mark = #30\r\n"), std::string::npos) << Written;
    EXPECT_NE(Written.find("\r\n  Caption = 'It''s a A form'#13#10'second line'\r\n"), std::string::npos)
        << Written;
    EXPECT_NE(Written.find("\r\n      Anchors = []\r\n"), std::string::npos) << Written;
    EXPECT_EQ(Written.find("Enabled"), std::string::npos) << Written;
    EXPECT_EQ(Written.find("Width = 50"), std::string::npos) << Written;
}

TEST(FormReaderValues, StreamStyleBinaryErrorsCarryTheLine)
{
    TFakeForm Form;
    try {
        ReadForm(&Form, FormWith("  Left = 1\n  Blob = {}\n"), "blob.form");
        FAIL();
    } catch (const EFormError&) {
        FAIL() << "a reader error, not the stream's";
    } catch (const EReadError& E) {
        EXPECT_EQ(E.Message(), "blob.form, line 3: Stream read error");
    }
}

TEST(FormReaderValues, AComponentFreedWhileReadingIsNotFinished)
{
    TFakeForm Form;
    TFakeControl::LoadLog.clear();
    ReadForm(
        &Form,
        FormWith("  object Panel1: TFakeControl\n    Buddy = F\n    Items = <\n      item\n        Link = F\n"
                 "      end>\n  end\n  DropPanel = True\n"),
        "drop.form");
    EXPECT_EQ(Form.ComponentCount(), 0);
    EXPECT_EQ(TFakeControl::LoadLog, (std::vector<std::string>{"F"}));
}

// A collection read a second time frees the items of the first reading, the items of
// collections inside them too: references those items were still waiting for must go with them.
TEST(FormReaderValues, ACollectionReadAgainDropsTheReferencesOfItsOldItems)
{
    const std::string Nested = "    item\n      Sub = <\n        item\n          Link = Button1\n"
                               "        end>\n    end>\n";
    struct {
        const char* What;
        std::string Body;
        int Outer, Inner; // items afterwards; Inner counts the first item's Sub
        bool Linked;      // the first inner item links Button1
    } Cases[] = {
        {"outer emptied", "  Items = <\n" + Nested + "  Items = <>\n", 0, 0, false},
        {"outer read anew", "  Items = <\n" + Nested + "  Items = <\n" + Nested, 1, 1, true},
        {"inner emptied",
         "  Items = <\n    item\n      Sub = <\n        item\n          Link = Button1\n"
         "        end>\n      Sub = <>\n    end>\n",
         1, 0, false},
        {"outer item relinked",
         "  Items = <\n    item\n      Link = Button1\n    end>\n  Items = <\n"
         "    item\n    end>\n",
         1, 0, false},
    };
    for (const auto& C : Cases) {
        TFakeForm Form;
        ReadForm(&Form, FormWith(C.Body + "  object Button1: TFakeControl\n  end\n"), "again.form");
        ASSERT_EQ(Form.Items()->Count(), C.Outer) << C.What;
        if (C.Outer == 0)
            continue;
        TFakeItem* First = Form.Items()->Items(0);
        EXPECT_EQ(First->Link, nullptr) << C.What;
        ASSERT_EQ(First->Sub()->Count(), C.Inner) << C.What;
        if (C.Inner > 0)
            EXPECT_EQ(First->Sub()->ItemsAs<TFakeItem>(0)->Link, C.Linked ? Form.Button1 : nullptr) << C.What;
    }
}

TEST(FormReaderValues, NilClearsReferencesAndEvents)
{
    TFakeForm Form;
    ReadForm(&Form,
             FormWith("  OnClick = Button1Click\n  Buddy = F\n  object Button1: TFakeControl\n  end\n"
                      "  OnClick = nil\n  Buddy = nil\n"),
             "t.form");
    EXPECT_FALSE(Form.OnClick);
    EXPECT_EQ(Form.Buddy(), nullptr);
}

TEST(FormReaderValues, ReferencesByPathAndToTheRoot)
{
    TFakeForm Form;
    ReadForm(
        &Form,
        "object F: TFakeForm\n  Buddy = F.Panel1\n  object Panel1: TFakeControl\n    Buddy = F\n  end\nend\n",
        "t.form");
    EXPECT_EQ(Form.Buddy(), Form.Panel1);
    EXPECT_EQ(Form.Panel1->Buddy(), &Form);
}

TEST(FormReaderValues, UnregisteredFormReadsThroughItsRegisteredBase)
{
    TPlainForm Form(nullptr);
    ReadForm(&Form, "object Plain: TPlainForm\n  Caption = 'plain'\n  Font.Height = 9\nend", "plain.form");
    EXPECT_EQ(Form.Caption, "plain");
    EXPECT_EQ(Form.Font()->Height(), 9);
}

TEST(FormReaderValues, InheritedUsesTheExistingComponent)
{
    TFakeForm Form;
    auto* Existing = new TFakeControl(&Form);
    Existing->SetName("Panel1");
    ReadForm(&Form, FormWith("  inherited Panel1: TFakeControl\n    Caption = 'again'\n  end\n"), "t.form");
    EXPECT_EQ(Form.ComponentCount(), 1);
    EXPECT_EQ(Existing->Caption, "again");
    EXPECT_EQ(Existing->LoadedCalls, 1);
}

TEST(FormReaderValues, SecondInstanceUnderOneOwnerIsRenamed)
{
    TComponent App(nullptr);
    auto* First = new TFakeForm(&App);
    auto* Second = new TFakeForm(&App);
    ReadForm(First, "object Child: TFakeForm\nend", "child.form");
    ReadForm(Second, "object Child: TFakeForm\nend", "child.form");
    EXPECT_EQ(First->Name(), "Child");
    EXPECT_EQ(Second->Name(), "Child_2");
}

TEST(FormReaderValues, SetterErrorsPassOnWithFormAndLine)
{
    TFakeForm Form;
    try {
        ReadForm(&Form,
                 FormWith("  object Panel1: TFakeControl\n  end\n  object Panel1: TFakeControl\n  end\n"),
                 "dup.form");
        FAIL();
    } catch (const EComponentError& E) {
        EXPECT_EQ(E.Message(), "dup.form, line 4: A component named Panel1 already exists");
    }
    EXPECT_EQ(Form.ComponentCount(), 1); // the half-made second one is gone
    EXPECT_FALSE(AnyLoading(&Form));
}

// Unknown class, property, value or handler: the form, the line and the word.
struct TErrorCase {
    const char* Body;
    int Line;
    const char* Word;
    const char* Problem;
};

const TErrorCase ErrorCases[] = {
    {"  object X: TNoSuchClass\n  end\n", 2, "TNoSuchClass", "Class not found:"},
    {"  object X: TFakeFont\n  end\n", 2, "TFakeFont", "Not a component class:"},
    {"  Left = 1\n  Colour = 3\n", 3, "Colour", "Unknown property"},
    {"  Font.Nmae = 'x'\n", 2, "Font.Nmae", "Unknown property"},
    {"  Caption.Text = 'x'\n", 2, "Caption.Text", "Not an object property"},
    {"  Align = faMiddle\n", 2, "faMiddle", "Invalid property value"},
    {"  Anchors = [faTop, faSide]\n", 2, "faSide", "Invalid property value"},
    {"  Color = clNoSuchColour\n", 2, "clNoSuchColour", "Invalid property value"},
    {"  Cursor = crNoSuch\n", 2, "crNoSuch", "Invalid property value"},
    {"  Visible = Maybe\n", 2, "Maybe", "Invalid property value"},
    {"  Left = 'ten'\n", 2, "ten", "Invalid property value"},
    {"  Caption = 10\n", 2, "10", "Invalid property value"},
    {"  Left = 1.5\n", 2, "1.5", "Invalid property value"},
    {"  Lines = < >\n", 2, "<", "Invalid property value"},
    {"  ZOrder = 256\n", 2, "256", "Value out of range"},
    {"  Left = 4294967296\n", 2, "4294967296", "Value out of range"},
    {"  Mark = 'ab'\n", 2, "ab", "One character expected, found"},
    {"  LoadedCalls = 1\n", 2, "LoadedCalls", "Read-only property"},
    {"  OnClick = NoSuchClick\n", 2, "NoSuchClick", "Unknown handler"},
    {"  OnMouseDown = Button1Click\n", 2, "Button1Click",
     "Handler does not fit TFakeMouseEvent OnMouseDown:"},
    {"  OnClick = Panel1MouseDown\n", 2, "Panel1MouseDown", "Handler does not fit TNotifyEvent OnClick:"},
    {"\n\n  Buddy = Nobody\n", 4, "Nobody", "Unknown component"},
    {"  Buddy = Timer1\n  object Timer1: TFakeTimer\n  end\n", 2, "Timer1",
     "Component is not a TFakeControl:"},
    {"  Items = <\n    item\n      Colour = 1\n    end>\n", 4, "Colour", "Unknown property"},
    {"  object Timer1: TFakeControl\n  end\n", 2, "Timer1", "Field does not fit the component's class:"},
    {"  inherited Ghost: TFakeControl\n  end\n", 2, "Ghost", "Unknown inherited component"},
};

class FormReaderErrors : public testing::TestWithParam<TErrorCase> {};

// A long string in an error is cut short, and never inside a character.
TEST(FormReaderErrorsWord, LongStringsAreCutBetweenCharacters)
{
    std::string Value = "abc";
    for (int I = 0; I < 30; ++I)
        Value += "\xC3\xA9"; // two bytes each: byte 40 falls inside one
    for (const std::string& Body : {"  Left = '" + Value + "'\n", "  Caption = '" + Value + "\n"}) {
        TFakeForm Form;
        try {
            ReadForm(&Form, FormWith(Body), "long.form");
            FAIL() << Body;
        } catch (const EFormError& E) {
            EXPECT_EQ(E.Word(), Value.substr(0, 39) + "...");
            EXPECT_TRUE(IsValidUtf8(E.Message()));
        }
    }
}

TEST_P(FormReaderErrors, NameFormLineAndWord)
{
    const TErrorCase& C = GetParam();
    TFakeForm Form;
    try {
        ReadForm(&Form, FormWith(C.Body), "Unit1.form");
        FAIL() << "no error for: " << C.Body;
    } catch (const EFormError& E) {
        EXPECT_EQ(E.FormName(), "Unit1.form");
        EXPECT_EQ(E.Line(), C.Line) << E.Message();
        EXPECT_EQ(E.Word(), C.Word) << E.Message();
        EXPECT_EQ(E.Problem(), C.Problem) << E.Message();
        EXPECT_EQ(E.Message(),
                  "Unit1.form, line " + std::to_string(C.Line) + ": " + C.Problem + " '" + C.Word + "'");
    }
    EXPECT_FALSE(AnyLoading(&Form));
}

INSTANTIATE_TEST_SUITE_P(Table, FormReaderErrors, testing::ValuesIn(ErrorCases),
                         [](const testing::TestParamInfo<TErrorCase>& Info) {
                             return "Case" + std::to_string(Info.index);
                         });

TEST(FormReaderErrorsRoot, RootClassMustMatch)
{
    TFakeForm Form;
    try {
        ReadForm(&Form, "object F: TFakeTimer\nend", "r.form");
        FAIL();
    } catch (const EFormError& E) {
        EXPECT_EQ(E.Line(), 1);
        EXPECT_EQ(E.Word(), "TFakeTimer");
    }
    // A base class of the root is fine.
    ReadForm(&Form, "object F: TFakeControl\nend", "r.form");
}

// Malformed text: an EFormError, never a crash, a hang or another exception.
const char* const MalformedCases[] = {
    "",
    "   \r\n  ",
    "end",
    "object",
    "object F",
    "object F:",
    "object F: TFakeForm",
    "object F: TFakeForm\n  Left",
    "object F: TFakeForm\n  Left =",
    "object F: TFakeForm\n  Left = \nend",
    "object F: TFakeForm\n  = 3\nend",
    "object F: TFakeForm\n  Caption = 'open\nend",
    "object F: TFakeForm\n  Caption = 'a' +\nend",
    "object F: TFakeForm\n  Caption = 'a' + 3\nend",
    "object F: TFakeForm\n  Caption = #\nend",
    "object F: TFakeForm\n  Caption = #x1\nend",
    "object F: TFakeForm\n  Caption = #$\nend",
    "object F: TFakeForm\n  Caption = #1114112\nend",
    "object F: TFakeForm\n  Caption = #$D800\nend",
    "object F: TFakeForm\n  Caption = #99999999999999999999\nend",
    "object F: TFakeForm\n  Left = 99999999999999999999\nend",
    "object F: TFakeForm\n  Left = $\nend",
    "object F: TFakeForm\n  Left = $1G\nend",
    "object F: TFakeForm\n  Left = $11112222333344445\nend",
    "object F: TFakeForm\n  Left = 12abc\nend",
    "object F: TFakeForm\n  Ratio = 1e999\nend",
    "object F: TFakeForm\n  Lines.Strings = (\n 'a'\nend",
    "object F: TFakeForm\n  Lines.Strings = ( 'a' 3 )\nend",
    "object F: TFakeForm\n  Items = <\n item\n Width = 1\n",
    "object F: TFakeForm\n  Items = < item end\nend",
    "object F: TFakeForm\n  Items = < thing end >\nend",
    "object F: TFakeForm\n  Data = { 0F",
    "object F: TFakeForm\n  Data = { 0 }\nend",
    "object F: TFakeForm\n  Data = { zz }\nend",
    "object F: TFakeForm\n  Anchors = [faTop\nend",
    "object F: TFakeForm\n  Anchors = [faTop faBottom]\nend",
    "object F: TFakeForm\n  Anchors = [3]\nend",
    "object F: TFakeForm\n  object\nend",
    "object F: TFakeForm\n  object X: TFakeControl\n",
    "object F: TFakeForm\n  object 3: TFakeControl\n  end\nend",
    "object F: TFakeForm\n  object X: TFakeControl [\n  end\nend",
    "object F: TFakeForm\n  Left = 1 ; \nend",
    "object F: TFakeForm\n  Left = 1\n\x01\nend",
    "object F: TFakeForm\nend\nend",
    "object F: TFakeForm\nend\nobject G: TFakeForm\nend",
    "object F: TFakeForm\n  OnClick = 'Button1Click'\nend",
    "object F: TFakeForm\n  Font = 3\nend",
};

class FormReaderMalformed : public testing::TestWithParam<const char*> {};

TEST_P(FormReaderMalformed, IsAnErrorNotACrash)
{
    TFakeForm Form;
    EXPECT_THROW(ReadForm(&Form, GetParam(), "bad.form"), EFormError);
    EXPECT_FALSE(AnyLoading(&Form));
}

INSTANTIATE_TEST_SUITE_P(Table, FormReaderMalformed, testing::ValuesIn(MalformedCases),
                         [](const testing::TestParamInfo<const char*>& Info) {
                             return "Case" + std::to_string(Info.index);
                         });

TEST_F(FormReader, EveryTruncationOfAGoodFormIsAnError)
{
    // The last bytes are "end\n": dropping only the final line break still leaves a whole form.
    const std::size_t Whole = Text.find_last_of('d') + 1;
    for (std::size_t Len = 0; Len < Whole; ++Len) {
        TFakeForm Form;
        EXPECT_THROW(ReadForm(&Form, Text.substr(0, Len), "cut.form"), EFormError) << "length " << Len;
        ASSERT_FALSE(AnyLoading(&Form)) << "length " << Len;
    }
}

TEST(FormReaderValues, DeepNestingIsRefused)
{
    std::string S = "object F: TFakeForm\n";
    for (int I = 0; I < 200; ++I)
        S += "object C" + std::to_string(I) + ": TFakeControl\n";
    for (int I = 0; I < 200; ++I)
        S += "end\n";
    S += "end\n";
    TFakeForm Form;
    try {
        ReadForm(&Form, S, "deep.form");
        FAIL();
    } catch (const EFormError& E) {
        EXPECT_EQ(E.Problem(), "Objects nested too deeply at");
    }
}

TEST(FormReaderValues, CommentsCaseAndLineBreakStyles)
{
    TFakeForm Form;
    ReadForm(&Form,
             "OBJECT F: tfakeform // the root\r  LEFT = 3\r\n  visible = true\n  align = FACLIENT\rEND",
             "c.form");
    EXPECT_EQ(Form.Left, 3);
    EXPECT_EQ(Form.Align, faClient);
    try {
        ReadForm(&Form, "object F: TFakeForm\r  Left = 3\r\n  Colour = 1\nend", "c.form");
        FAIL();
    } catch (const EFormError& E) {
        EXPECT_EQ(E.Line(), 3); // CR, CR LF and LF each end one line
    }
}

// ---------------------------------------------------------------------------------------------
// The registry itself.

TEST(Registry, DefaultsMatchTheConstructor)
{
    TFakeControl C(nullptr);
    EXPECT_TRUE(PropsDifferingFromDefault(&C).empty());
    EXPECT_TRUE(PropsDifferingFromDefault(C.Font()).empty());
    C.Left = 4;
    C.Anchors = {};
    EXPECT_EQ(PropsDifferingFromDefault(&C), (std::vector<std::string>{"Left", "Anchors"}));
}

TEST(Registry, GenericAccessByName)
{
    TFakeControl C(nullptr);
    SetOrdProp(&C, "Left", 12);
    EXPECT_EQ(C.Left, 12);
    EXPECT_EQ(GetOrdProp(&C, "top"), 0);
    SetEnumProp(&C, "Align", "faBottom");
    EXPECT_EQ(GetEnumProp(&C, "Align"), "faBottom");
    SetStrProp(&C, "Caption", "hi");
    EXPECT_EQ(GetStrProp(&C, "Caption"), "hi");
    SetFloatProp(&C, "Ratio", 0.5);
    EXPECT_DOUBLE_EQ(GetFloatProp(&C, "Ratio"), 0.5);
    EXPECT_EQ(GetObjectProp(&C, "Font"), C.Font());
    EXPECT_TRUE(IsPublishedProp(&C, "onclick"));
    EXPECT_FALSE(IsPublishedProp(&C, "Colour"));
    EXPECT_THROW(GetOrdProp(&C, "Colour"), EPropertyError);
    EXPECT_THROW(SetOrdProp(&C, "LoadedCalls", 1), EPropertyError);
    EXPECT_THROW(SetEnumProp(&C, "Align", "faMiddle"), EPropertyError);
    EXPECT_EQ(GetEnumName(faTop), "faTop");
    EXPECT_EQ(GetEnumValue<TFakeAlign>("FACLIENT"), 3);
}

TEST(Registry, TypeNamesForMessages)
{
    const TClassInfo* Info = FindClassInfo("tfakecontrol");
    ASSERT_NE(Info, nullptr);
    EXPECT_EQ(Info->FindProp("Font")->TypeName(), "TFakeFont");
    EXPECT_EQ(Info->FindProp("Anchors")->TypeName(), "set of TFakeAlign");
    EXPECT_EQ(Info->FindProp("Align")->TypeName(), "TFakeAlign");
    EXPECT_EQ(Info->FindProp("Color")->TypeName(), "TColor");
    EXPECT_EQ(Info->FindProp("Items")->TypeName(), "TFakeItems");
    EXPECT_EQ(Info->FindProp("OnClick")->TypeName(), "TNotifyEvent");
    EXPECT_EQ(Info->FindProp("Name")->TypeName(), "String"); // from TComponent
    EXPECT_EQ(FindClassInfo("TFakeForm")->Parent(), Info);
}

TEST(Registry, CreateComponentByName)
{
    TComponent Owner(nullptr);
    TComponent* C = CreateComponent("tfaketimer", &Owner);
    EXPECT_EQ(C->ClassName(), "TFakeTimer");
    EXPECT_EQ(C->Owner(), &Owner);
    EXPECT_THROW(CreateComponent("TFakeFont", &Owner), EClassNotFound); // not a component
    EXPECT_THROW(CreateComponent("TNoSuch", &Owner), EClassNotFound);
}

TEST(Registry, IdentMapsAreExtensible)
{
    std::int64_t V = 0;
    EXPECT_FALSE(IdentToInt("TCursor", "crBusyTest", V));
    RegisterIdents("TCursor", {{"crBusyTest", 7}});
    EXPECT_TRUE(IdentToInt("TCURSOR", "CRBUSYTEST", V));
    EXPECT_EQ(V, 7);
    EXPECT_TRUE(IdentToInt("TCursor", "crHandPoint", V)); // earlier entries stay
    std::string Name;
    EXPECT_TRUE(IntToIdent("TColor", 0x0000FF, Name));
    EXPECT_EQ(Name, "clRed");
    TFakeControl C(nullptr);
    ReadForm(&C, "object C: TFakeControl\n  Cursor = crBusyTest\nend", "c.form");
    EXPECT_EQ(C.Cursor, 7);
}

} // namespace
