// Object properties that take a string (Cls.FromString) and properties the writer leaves out
// (Stored(false)).
#include "platform/classes/FormReader.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <string>

// Loads itself from a preset name: "small" / "large"; anything else is refused.
class TPreset : public TPersistent {
public:
    int Width = 1;
    int Loads = 0;
};
class TColoredPreset : public TPreset {
public:
    int Hue = 0;
};
// No FromString of its own or inherited.
class TPlainPart : public TPersistent {
public:
    int Value = 0;
};

class TPresetHolder : public TComponent {
public:
    explicit TPresetHolder(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
    TPreset* Shape() { return &FShape; }
    TColoredPreset* Colored() { return &FColored; }
    TPlainPart* Plain() { return &FPlain; }
    TPreset* Missing() { return nullptr; }
    int Exact = 10;

private:
    TPreset FShape;
    TColoredPreset FColored;
    TPlainPart FPlain;
};

TW_PUBLISH(TPreset, TPersistent)
{
    Cls.Int("Width", &TPreset::Width).Default(1);
    Cls.FromString([](TPreset* P, const std::string& Name) {
        ++P->Loads;
        if (SameText(Name, "small"))
            P->Width = 2;
        else if (SameText(Name, "large"))
            P->Width = 40;
        else
            throw EConvertError("Unknown preset");
    });
}
TW_PUBLISH(TColoredPreset, TPreset)
{
    Cls.Int("Hue", &TColoredPreset::Hue).Default(0);
}
TW_PUBLISH(TPlainPart, TPersistent)
{
    Cls.Int("Value", &TPlainPart::Value).Default(0);
}
TW_PUBLISH(TPresetHolder, TComponent)
{
    Cls.Object("Shape", &TPresetHolder::Shape);
    Cls.Object("Colored", &TPresetHolder::Colored);
    Cls.Object("Plain", &TPresetHolder::Plain);
    Cls.Object("Missing", &TPresetHolder::Missing);
    // Rounded: derived from Exact, so writing both would be redundant.
    Cls.Int(
           "Rounded", [](TPresetHolder* H) { return H->Exact / 10 * 10; },
           [](TPresetHolder* H, int V) { H->Exact = V; })
        .Default(10)
        .Stored(false);
    Cls.Int("Exact", &TPresetHolder::Exact).Default(10);
}

namespace {

std::string Holder(const std::string& Body)
{
    return "object H: TPresetHolder\n" + Body + "end\n";
}

TEST(FormFromString, AnObjectPropertyTakesAStringThroughItsClass)
{
    TPresetHolder H;
    ReadForm(&H, Holder("  Shape = 'large'\n  Colored = 'sm' + 'all'\n  Colored.Hue = 3\n"), "p.form");
    EXPECT_EQ(H.Shape()->Width, 40);
    EXPECT_EQ(H.Shape()->Loads, 1);
    EXPECT_EQ(H.Colored()->Width, 2); // inherited from TPreset
    EXPECT_EQ(H.Colored()->Hue, 3);
    // The writer writes what the object holds, not the string.
    const std::string Written = WriteForm(&H);
    EXPECT_NE(Written.find("  Shape.Width = 40\r\n"), std::string::npos) << Written;
    EXPECT_EQ(Written.find("large"), std::string::npos) << Written;
}

TEST(FormFromString, RefusalsAreFormErrors)
{
    struct TCase {
        const char* Body;
        const char* Word;
        const char* Problem;
    } Cases[] = {
        {"  Shape = 'huge'\n", "huge", "Unknown preset"},   // the class's own refusal
        {"  Plain = 'x'\n", "x", "Invalid property value"}, // a class without FromString
        {"  Missing = 'small'\n", "Missing", "Property holds no object"},
        {"  Shape = 5\n", "5", "Invalid property value"}, // only strings go to it
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Body);
        TPresetHolder H;
        try {
            ReadForm(&H, Holder("  Tag = 1\n" + std::string(C.Body)), "p.form");
            ADD_FAILURE() << "accepted";
        } catch (const EFormError& E) {
            EXPECT_EQ(E.Line(), 3);
            EXPECT_EQ(E.Word(), C.Word);
            EXPECT_EQ(E.Problem(), C.Problem);
        }
    }
}

TEST(FormFromString, APropertyNotStoredIsReadButNotWritten)
{
    TPresetHolder H;
    ReadForm(&H, Holder("  Rounded = 37\n"), "p.form");
    EXPECT_EQ(H.Exact, 37);
    const std::string Written = WriteForm(&H);
    EXPECT_EQ(Written.find("Rounded"), std::string::npos) << Written;
    EXPECT_NE(Written.find("  Exact = 37\r\n"), std::string::npos) << Written;
    // Still checked against its default.
    EXPECT_EQ(PropsDifferingFromDefault(&H), (std::vector<std::string>{"Rounded", "Exact"}));
}

} // namespace
