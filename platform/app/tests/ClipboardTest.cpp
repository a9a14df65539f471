#include "platform/app/Clipbrd.h"
#include "platform/classes/TypInfo.h"
#include "platform/testing/FormTesting.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace testing_support;

// A component that travels through the clipboard in its stored form.
class TClipThing : public TComponent {
public:
    using TComponent::TComponent;
    std::string Caption;
    int Level = 0;
};
TW_PUBLISH(TClipThing, TComponent)
{
    Cls.Str("Caption", &TClipThing::Caption);
    Cls.Int("Level", &TClipThing::Level).Default(0);
}

namespace {

class ClipboardTest : public ::testing::Test {
protected:
    TWindowTest Windows;
};

TEST_F(ClipboardTest, TextRoundTripGivesCrLfLines)
{
    struct Case {
        const char* Put;
        const char* Read;
    } Cases[] = {
        {"one line", "one line"},
        {"first\r\nsecond\r\n", "first\r\nsecond\r\n"},
        {"lf\nonly", "lf\r\nonly"},
        {"cr\ronly", "cr\r\nonly"},
        {"mixed\r\n\n\r", "mixed\r\n\r\n\r\n"},
        {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"},
    };
    for (const Case& C : Cases) {
        Clipboard()->SetAsText(C.Put);
        EXPECT_EQ(Clipboard()->AsText(), C.Read) << C.Put;
        EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
        EXPECT_TRUE(Clipboard()->HasFormat(CF_UNICODETEXT));
        EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
    }
    char Buffer[6];
    Clipboard()->SetAsText("truncated text");
    EXPECT_EQ(Clipboard()->GetTextBuf(Buffer, sizeof Buffer), 5);
    EXPECT_STREQ(Buffer, "trunc");
}

TEST_F(ClipboardTest, EmptyClipboardHoldsNothing)
{
    Clipboard()->SetAsText("something");
    Clipboard()->Clear();
    EXPECT_EQ(Clipboard()->FormatCount(), 0);
    EXPECT_EQ(EnumClipboardFormats(0), 0u);
    EXPECT_EQ(Clipboard()->AsText(), "");
    EXPECT_EQ(Clipboard()->GetAsHandle(CF_TEXT), THandle(0));
}

TEST_F(ClipboardTest, RegisteredFormatsAreStableAndNamed)
{
    const UINT Icon = RegisterClipboardFormat("Corrin Icon");
    EXPECT_GE(Icon, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormat("corrin icon"), Icon);
    const UINT Other = RegisterClipboardFormat("Another Format");
    EXPECT_NE(Other, Icon);
    EXPECT_EQ(RegisterClipboardFormat(""), 0u);

    char Name[64];
    EXPECT_EQ(GetClipboardFormatName(Icon, Name, sizeof Name), 11);
    EXPECT_STREQ(Name, "Corrin Icon");
    EXPECT_EQ(GetClipboardFormatName(Icon, Name, 7), 6);
    EXPECT_STREQ(Name, "Corrin");
    EXPECT_EQ(GetClipboardFormatName(CF_TEXT, Name, sizeof Name), 0);
}

TEST_F(ClipboardTest, NamedFormatRoundTripKeepsEveryByte)
{
    const WORD Format = static_cast<WORD>(RegisterClipboardFormat("Corrin Icon"));
    const std::string Data("\0\x01icon\xFF\x00tail", 12);

    // Text and the named format in one change.
    Clipboard()->Open();
    Clipboard()->SetAsText("beside");
    Clipboard()->SetAsBytes(Format, Data);
    Clipboard()->Close();
    EXPECT_TRUE(Clipboard()->HasFormat(Format));
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->GetAsBytes(Format), Data);
    EXPECT_EQ(Clipboard()->AsText(), "beside");

    // Read the way the icon unit does: open, lock the block, copy GlobalSize bytes.
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL Block = GetClipboardData(Format);
    ASSERT_NE(Block, nullptr);
    ASSERT_EQ(GlobalSize(Block), Data.size());
    const void* P = GlobalLock(Block);
    ASSERT_NE(P, nullptr);
    EXPECT_EQ(std::memcmp(P, Data.data(), Data.size()), 0);
    GlobalUnlock(Block);
    CloseClipboard();

    std::vector<UINT> Listed;
    for (UINT F = EnumClipboardFormats(0); F; F = EnumClipboardFormats(F))
        Listed.push_back(F);
    EXPECT_EQ(Listed, (std::vector<UINT>{CF_TEXT, CF_OEMTEXT, CF_UNICODETEXT, Format}));
    EXPECT_EQ(Clipboard()->FormatCount(), 4);
    EXPECT_EQ(Clipboard()->Formats(3), Format);

    // A later change of its own replaces everything.
    Clipboard()->SetAsText("alone");
    EXPECT_FALSE(Clipboard()->HasFormat(Format));
}

TEST_F(ClipboardTest, OpenedElsewhereCannotBeOpened)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr));
    EXPECT_THROW(Clipboard()->Open(), EClipboardException);
    CloseClipboard();
    EXPECT_NO_THROW(Clipboard()->SetAsText("free again"));
    EXPECT_FALSE(CloseClipboard()); // not open
    EXPECT_EQ(SetClipboardData(CF_TEXT, GlobalAllocBytes(std::string("x", 2))), nullptr);
}

TEST_F(ClipboardTest, BitmapRoundTrip)
{
    TBitmap Source;
    Source.SetSize(3, 2);
    Source.Canvas()->SetPixels(0, 0, clRed);
    Source.Canvas()->SetPixels(2, 1, clBlue);
    Source.Canvas()->SetPixels(1, 0, clLime);
    Clipboard()->SetAsText("replaced by the bitmap");
    Clipboard()->Assign(&Source);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));

    TBitmap Copy;
    Copy.Assign(Clipboard());
    ASSERT_EQ(Copy.Width(), 3);
    ASSERT_EQ(Copy.Height(), 2);
    EXPECT_EQ(Copy.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(Copy.Canvas()->Pixels(1, 0), clLime);
    EXPECT_EQ(Copy.Canvas()->Pixels(2, 1), clBlue);

    TPicture Picture;
    Picture.Assign(Clipboard());
    ASSERT_NE(dynamic_cast<TBitmap*>(Picture.Graphic()), nullptr);
    EXPECT_EQ(Picture.Width(), 3);

    // Nothing to read a bitmap from.
    Clipboard()->SetAsText("text only");
    TBitmap None;
    EXPECT_THROW(None.Assign(Clipboard()), EConvertError);
}

TEST_F(ClipboardTest, PictureReadsARegisteredGraphicFormat)
{
    const WORD Format = static_cast<WORD>(RegisterClipboardFormat("Test Bitmap Stream"));
    TPicture::RegisterClipboardFormat(Format, [] { return std::make_unique<TBitmap>(); });
    TBitmap Source;
    Source.SetSize(4, 5);
    Clipboard()->SetAsBytes(Format, Source.SaveToBytes());

    TPicture Picture;
    Picture.Assign(Clipboard());
    TPicture::UnregisterClipboardFormat(Format);
    ASSERT_NE(Picture.Graphic(), nullptr);
    EXPECT_EQ(Picture.Width(), 4);
    EXPECT_EQ(Picture.Height(), 5);
}

// A viewer window that records the chain messages and passes them on as viewers must.
struct TViewer {
    HWND Wnd = nullptr;
    HWND Next = nullptr;
    std::vector<UINT> Got;
    TViewer()
    {
        Wnd = AllocateHWnd([this](TMessage& M) {
            if (M.Msg == WM_DRAWCLIPBOARD) {
                Got.push_back(M.Msg);
                if (Next)
                    SendMessage(Next, M.Msg, M.WParam, M.LParam);
            } else if (M.Msg == WM_CHANGECBCHAIN) {
                Got.push_back(M.Msg);
                if (reinterpret_cast<HWND>(M.WParam) == Next)
                    Next = reinterpret_cast<HWND>(M.LParam);
                else if (Next)
                    SendMessage(Next, M.Msg, M.WParam, M.LParam);
            }
            M.Result = DefWindowProc(Wnd, M.Msg, M.WParam, M.LParam);
        });
    }
    ~TViewer() { DeallocateHWnd(Wnd); }
    void Join() { Next = SetClipboardViewer(Wnd); }
    void Leave()
    {
        ChangeClipboardChain(Wnd, Next);
        Next = nullptr;
    }
};

TEST_F(ClipboardTest, ViewerChainHearsEveryChange)
{
    TViewer A, B;
    A.Join();
    EXPECT_EQ(A.Next, nullptr);
    EXPECT_EQ(A.Got, std::vector<UINT>{WM_DRAWCLIPBOARD}); // told at once on joining
    B.Join();
    EXPECT_EQ(B.Next, A.Wnd);
    EXPECT_EQ(GetClipboardViewer(), B.Wnd);
    A.Got.clear();
    B.Got.clear();

    Clipboard()->SetAsText("changed");
    EXPECT_EQ(B.Got, std::vector<UINT>{WM_DRAWCLIPBOARD});
    EXPECT_EQ(A.Got, std::vector<UINT>{WM_DRAWCLIPBOARD}); // passed on by B

    // A named format change is a change too.
    A.Got.clear();
    Clipboard()->SetAsBytes(static_cast<WORD>(RegisterClipboardFormat("Corrin Icon")), "ico");
    EXPECT_EQ(A.Got, std::vector<UINT>{WM_DRAWCLIPBOARD});

    // A leaves from the middle... B hears it and links past it.
    B.Got.clear();
    A.Leave();
    EXPECT_EQ(B.Got, std::vector<UINT>{WM_CHANGECBCHAIN});
    EXPECT_EQ(B.Next, nullptr);
    A.Got.clear();
    B.Got.clear();
    Clipboard()->SetAsText("after A left");
    EXPECT_TRUE(A.Got.empty());
    EXPECT_EQ(B.Got, std::vector<UINT>{WM_DRAWCLIPBOARD});

    // ... and the first viewer leaving hands the head of the chain on.
    B.Leave();
    EXPECT_EQ(GetClipboardViewer(), nullptr);
    B.Got.clear();
    Clipboard()->SetAsText("nobody watches");
    EXPECT_TRUE(B.Got.empty());
}

TEST_F(ClipboardTest, OwnerHearsWhenItsDataIsReplaced)
{
    std::vector<UINT> Got;
    HWND Owner = AllocateHWnd([&](TMessage& M) {
        if (M.Msg == WM_DESTROYCLIPBOARD)
            Got.push_back(M.Msg);
    });
    ASSERT_TRUE(OpenClipboard(Owner));
    EmptyClipboard();
    SetClipboardData(CF_TEXT, GlobalAllocBytes(std::string("mine", 5)));
    CloseClipboard();
    EXPECT_EQ(GetClipboardOwner(), Owner);
    EXPECT_TRUE(Got.empty());
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(Got, std::vector<UINT>{WM_DESTROYCLIPBOARD});
    DeallocateHWnd(Owner);
}

TEST_F(ClipboardTest, PaletteTravelsWithTheBitmap)
{
    std::vector<char> Buffer(sizeof(LOGPALETTE) + 3 * sizeof(PALETTEENTRY), 0);
    auto* Log = reinterpret_cast<LOGPALETTE*>(Buffer.data());
    Log->palVersion = 0x300;
    Log->palNumEntries = 3;
    PALETTEENTRY Entries[3] = {{10, 20, 30, 0}, {40, 50, 60, 0}, {70, 80, 90, 0}};
    std::memcpy(Log->palPalEntry, Entries, sizeof Entries);
    TBitmap Source;
    Source.SetSize(2, 2);
    Source.SetPalette(CreatePalette(Log));
    Clipboard()->Assign(&Source);
    ASSERT_TRUE(Clipboard()->HasFormat(CF_PALETTE));

    ASSERT_TRUE(OpenClipboard(nullptr));
    HPALETTE Palette = static_cast<HPALETTE>(GetClipboardData(CF_PALETTE));
    ASSERT_NE(Palette, nullptr);
    PALETTEENTRY Read[3] = {};
    EXPECT_EQ(GetPaletteEntries(Palette, 0, 3, Read), 3u);
    EXPECT_EQ(Read[1].peRed, 40);
    EXPECT_EQ(Read[2].peBlue, 90);
    CloseClipboard();
}

TEST_F(ClipboardTest, ComponentRoundTrip)
{
    TComponent Source(nullptr), Target(nullptr);
    auto* Thing = new TClipThing(&Source);
    Thing->SetName("Thing1");
    Thing->Caption = "copied \"thing\"";
    Thing->Level = 7;
    Clipboard()->SetComponent(Thing);
    EXPECT_TRUE(Clipboard()->HasFormat(static_cast<WORD>(CF_COMPONENT())));

    TComponent* Pasted = Clipboard()->GetComponent(&Target, nullptr);
    ASSERT_NE(Pasted, nullptr);
    auto* Copy = dynamic_cast<TClipThing*>(Pasted);
    ASSERT_NE(Copy, nullptr);
    EXPECT_EQ(Copy->Owner(), &Target);
    EXPECT_EQ(Copy->Name(), "Thing1");
    EXPECT_EQ(Copy->Caption, "copied \"thing\"");
    EXPECT_EQ(Copy->Level, 7);

    Clipboard()->SetAsText("no component");
    EXPECT_EQ(Clipboard()->GetComponent(&Target, nullptr), nullptr);
    // Garbage under the component format is an error, not a crash.
    Clipboard()->SetAsBytes(static_cast<WORD>(CF_COMPONENT()), "object X: TNoSuchClassHere\r\nend\r\n");
    EXPECT_THROW(Clipboard()->GetComponent(&Target, nullptr), Exception);
    Clipboard()->SetAsBytes(static_cast<WORD>(CF_COMPONENT()), "\x01\x02 not a form");
    EXPECT_THROW(Clipboard()->GetComponent(&Target, nullptr), Exception);
}

} // namespace
