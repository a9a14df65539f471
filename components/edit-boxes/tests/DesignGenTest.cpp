#include "components/edit-boxes/DesignGen.h"
#include "components/edit-boxes/ScreenMetrics.h"

#include "platform/graphics/Graphics.h"
#include "platform/rtl/Registry.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

const char* const ProductKey = "Software\\Marrowby\\Quillet";

// Each test starts without the design core and with an empty emulated registry of its own.
class DesignGen : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramName("wendle");
        DesignGenFinalization();
    }
    void TearDown() override { DesignGenFinalization(); }

    static void WriteKnownControls(const std::function<void(TRegistry&)>& Write)
    {
        TRegistry Reg;
        ASSERT_TRUE(Reg.OpenKey(ProductKey, true));
        Write(Reg);
    }
    static std::vector<std::string> KnownControls()
    {
        std::vector<std::string> Names;
        TStringList* List = DesignApplication->KnownControls();
        for (int I = 0; I < List->Count(); ++I)
            Names.push_back(List->Strings(I));
        return Names;
    }
    static int RegistrationsOf(const std::string& EditorName)
    {
        int N = 0;
        for (const TPropertyEditorRegistration& R : PropertyEditorRegistrations())
            N += R.EditorClass.Name == EditorName;
        return N;
    }
};

TEST_F(DesignGen, FirstStartCreatesTheProductKeyWithNoValues)
{
    {
        TRegistry Reg;
        ASSERT_FALSE(Reg.KeyExists(ProductKey));
    }
    DesignGenInitialization();
    ASSERT_TRUE(DesignApplication);
    EXPECT_TRUE(KnownControls().empty());

    // Read back from the file, not from the design core's own registry object.
    TRegistry Reg;
    ASSERT_TRUE(Reg.OpenKeyReadOnly(ProductKey));
    EXPECT_TRUE(Reg.ValueNames().empty());
    EXPECT_NE(ReadFileBytes(RegistryFileName()).find("HKEY_CURRENT_USER\\Software\\Marrowby\\Quillet"),
              std::string::npos);
}

TEST_F(DesignGen, KnownControlsComeSortedAndOnceFromTheRegistry)
{
    WriteKnownControls(
        [](TRegistry& Reg) { Reg.WriteString("KnownActiveXs", "Zeta.Ctl\r\nAlpha.Ctl\r\nZeta.Ctl\r\n"); });
    DesignGenInitialization();
    EXPECT_EQ(KnownControls(), (std::vector<std::string>{"Alpha.Ctl", "Zeta.Ctl"}));
}

TEST_F(DesignGen, KnownControlsOfAnotherTypeCountAsMissing)
{
    // What another program left there must not stop the start-up.
    const std::vector<std::function<void(TRegistry&)>> Writers = {
        [](TRegistry& Reg) { Reg.WriteInteger("KnownActiveXs", 7); },
        [](TRegistry& Reg) {
            const char Bytes[] = {1, 2, 3};
            Reg.WriteBinaryData("KnownActiveXs", Bytes, 3);
        },
    };
    for (const auto& Write : Writers) {
        DesignGenFinalization();
        WriteKnownControls(Write);
        ASSERT_NO_THROW(DesignGenInitialization());
        ASSERT_TRUE(DesignApplication);
        EXPECT_TRUE(KnownControls().empty());
        // The value is left as it was.
        TRegistry Reg;
        ASSERT_TRUE(Reg.OpenKeyReadOnly(ProductKey));
        EXPECT_TRUE(Reg.ValueExists("KnownActiveXs"));
    }
}

TEST_F(DesignGen, ValuesAreReadByTheTypeOfTheDefault)
{
    WriteKnownControls([](TRegistry& Reg) {
        Reg.WriteInteger("Count", 42);
        Reg.WriteString("Name", "abc");
        Reg.WriteBool("Flag", true);
        Reg.WriteFloat("Ratio", 2.5);
    });
    ASSERT_TRUE(TRegistry().OpenKey(std::string(ProductKey) + "\\Sub", true));
    {
        TRegistry Reg;
        ASSERT_TRUE(Reg.OpenKey(std::string(ProductKey) + "\\Sub", false));
        Reg.WriteString("Deep", "inner");
    }
    struct {
        const char* Path;
        Variant Default;
        Variant Expected;
    } Cases[] = {
        {"Count", Variant(1), Variant(42)},
        {"Count", Variant::OfType(varSmallint, 1), Variant::OfType(varSmallint, 42)},
        {"Name", Variant("x"), Variant("abc")},
        {"Flag", Variant(false), Variant(true)},
        {"Ratio", Variant(1.0), Variant(2.5)},
        {"Sub\\Deep", Variant("x"), Variant("inner")},
        {"Missing", Variant(9), Variant(9)},
        {"Name", Variant(9), Variant(9)}, // another type: the default
        {"Count", Variant("x"), Variant("x")},
    };
    for (const auto& C : Cases) {
        Variant Result;
        ReadRegistryValue(C.Path, C.Default, Result);
        EXPECT_TRUE(Result == C.Expected) << C.Path << ": " << Result.AsString();
    }

    // An unsupported default type raises, even for a value that exists.
    Variant Result;
    try {
        ReadRegistryValue("Name", Variant(), Result);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "This type isn't supported by WriteToRegistry");
    }
    // A missing value never gets to the type.
    EXPECT_NO_THROW(ReadRegistryValue("Missing", Variant(), Result));

    std::string Key, Name;
    RegistryValueLocation("Sub\\Deep", Key, Name);
    EXPECT_EQ(Key, "Software\\Marrowby\\Quillet\\Sub\\");
    EXPECT_EQ(Name, "Deep");
}

TEST_F(DesignGen, StandardEditorsAreRegisteredOncePerProcess)
{
    ClearDesignTimeRegistrations();
    DesignGenInitialization();
    EXPECT_EQ(RegistrationsOf("TColorProperty"), 1);
    EXPECT_EQ(RegistrationsOf("TFontSizePropEdit"), 1);
    EXPECT_EQ(RegistrationsOf("TFakePropertyEditor"), 1);
    DesignGenFinalization();
    DesignGenInitialization();
    // The probe finds the colour editor, so only the design core's own fake editor comes again.
    EXPECT_EQ(RegistrationsOf("TColorProperty"), 1);
    EXPECT_EQ(RegistrationsOf("TIntegerProperty"), 1);
    EXPECT_EQ(RegistrationsOf("TFakePropertyEditor"), 2);

    struct {
        const TClassInfo* Class;
        const char* Prop;
        const char* Editor;
    } Cases[] = {
        {ClassInfo<TFont>(), "Size", "TFontSizePropEdit"},
        {ClassInfo<TFont>(), "Color", "TColorProperty"},
        {ClassInfo<TFont>(), "Name", "TStringProperty"},
        {ClassInfo<TFakeComponent>(), "NN", "TFakePropertyEditor"},
        {ClassInfo<TFakeComponent>(), "Name", "TStringProperty"},
        {ClassInfo<TPen>(), "Width", "TIntegerProperty"},
    };
    for (const auto& C : Cases) {
        ASSERT_TRUE(C.Class) << C.Prop;
        const TPropInfo* Prop = C.Class->FindProp(C.Prop);
        ASSERT_TRUE(Prop) << C.Prop;
        EXPECT_EQ(FindPropertyEditorClass(C.Class, Prop).Name, C.Editor) << C.Class->Name << "." << C.Prop;
    }
    EXPECT_EQ(FindComponentEditorClass(ClassInfo<TFakeComponent>()).Name, "TFakeComponentEditor");

    // The font size editor offers its sizes in order.
    TFont Font;
    std::vector<std::string> Sizes;
    GetComponentProperties({&Font}, AllPropKinds(), nullptr, [&](std::unique_ptr<TPropertyEditor> Editor) {
        if (Editor->GetName() == "Size") {
            EXPECT_TRUE(Editor->GetAttributes().Contains(paValueList));
            Editor->GetValues([&](const std::string& S) { Sizes.push_back(S); });
        }
    });
    EXPECT_EQ(Sizes, (std::vector<std::string>{"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24",
                                               "26", "28", "36", "48", "72"}));
}

TEST_F(DesignGen, RegistrationHooksLiveWithTheSingleton)
{
    EXPECT_THROW(RegisterComponents("Samples", {ClassInfo<TMClass>()}), EComponentError);
    DesignGenInitialization();
    DesignApplication->CurrentModule = "pkgA";
    RegisterComponents("Samples", {ClassInfo<TMClass>()});
    RegisterNoIcon({ClassInfo<TFakeComponent>()});
    DesignApplication->CurrentModule = "pkgB";
    RegisterComponents("Other", {ClassInfo<TMClass>()}); // updates the item it already has
    TClassItems* Items = DesignApplication->ClassItems();
    ASSERT_EQ(Items->Count(), 2);
    EXPECT_EQ(Items->Find(ClassInfo<TMClass>())->Page, "Other");
    EXPECT_EQ(Items->Find(ClassInfo<TMClass>())->Module, "pkgB");
    EXPECT_EQ(Items->Find(ClassInfo<TMClass>())->Flags, ClassItemPaged);
    EXPECT_EQ(Items->Find(ClassInfo<TFakeComponent>())->Flags, ClassItemNoIcon);
    EXPECT_TRUE(IsClassRegistered(ClassInfo<TMClass>()));

    // A module going away takes its items along, told through the designer's notification.
    auto* Action = static_cast<TActionListItem*>(DesignApplication->ActionList()->Add());
    Action->Module = "pkgA";
    const std::string Module = "pkgA";
    TRunDesigner::Notify(DM_REMOVEMODULE, 0, reinterpret_cast<LPARAM>(&Module), false);
    EXPECT_EQ(DesignApplication->ActionList()->Count(), 0);
    ASSERT_EQ(Items->Count(), 1);
    EXPECT_TRUE(Items->Find(ClassInfo<TMClass>()));

    // A hook someone else installed is left alone.
    DesignGenFinalization();
    EXPECT_EQ(RegisterComponentsProc, nullptr);
    EXPECT_EQ(RegisterNoIconProc, nullptr);
    EXPECT_EQ(DesignClients(), nullptr);
    static bool Called = false;
    RegisterNoIconProc = [](const TComponentClasses&) { Called = true; };
    DesignGenInitialization();
    RegisterNoIcon({ClassInfo<TMClass>()});
    EXPECT_TRUE(Called);
    DesignGenFinalization();
    EXPECT_NE(RegisterNoIconProc, nullptr);
    RegisterNoIconProc = nullptr;
}

TEST_F(DesignGen, TheExitRoutineFreesTheSingleton)
{
    DesignGenInitialization();
    ASSERT_TRUE(DesignApplication);
    RunExitProcs();
    EXPECT_EQ(DesignApplication, nullptr);
    // A later start registers its exit routine again.
    DesignGenInitialization();
    RunExitProcs();
    EXPECT_EQ(DesignApplication, nullptr);
}

TEST_F(DesignGen, RunDesignerNamesAndFindsComponents)
{
    TComponent Root(nullptr);
    Root.SetName("Form9");
    auto* A = new TMClass(&Root);
    A->SetName("MClass1");
    auto* B = new TMClass(&Root);
    B->SetName("MClass2");
    TRunDesigner Designer(&Root);
    EXPECT_EQ(Designer.UniqueName("MClass"), "MClass3");
    EXPECT_EQ(Designer.UniqueName("Fake"), "Fake1");
    EXPECT_EQ(Designer.GetComponent("mclass2"), B);
    EXPECT_EQ(Designer.GetComponent("Nothing"), nullptr);
    EXPECT_EQ(Designer.GetComponentName(A), "MClass1");
}

TEST(ScreenMetrics, StoresTheLogicalResolution)
{
    ScreenMetricsInitialization();
    EXPECT_EQ(ScreenLogPixelsX, 96);
    EXPECT_EQ(ScreenLogPixelsY, 96);
}

} // namespace
