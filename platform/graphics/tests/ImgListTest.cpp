#include "platform/graphics/ImgList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A strip of Count 4x4 images: image i is filled with Colors[i] and has a clFuchsia border.
void Strip(TBitmap& B, const std::vector<TColor>& Colors)
{
    B.SetSize(4 * int(Colors.size()), 4);
    TCanvas* C = B.Canvas();
    C->Brush()->SetColor(clFuchsia);
    C->FillRect(Rect(0, 0, B.Width(), 4));
    for (std::size_t I = 0; I < Colors.size(); ++I) {
        C->Brush()->SetColor(Colors[I]);
        C->FillRect(Rect(int(I) * 4 + 1, 1, int(I) * 4 + 3, 3));
    }
}

class ImageListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Dest.SetSize(12, 12);
        Clear();
    }
    void Clear()
    {
        Dest.Canvas()->Brush()->SetColor(clTeal);
        Dest.Canvas()->FillRect(Rect(0, 0, 12, 12));
    }
    TColor At(int X, int Y) { return Dest.Canvas()->Pixels(X, Y); }
    TImageList List{4, 4};
    TBitmap Dest;
};

TEST_F(ImageListTest, AddMaskedSplitsAStripAndDrawsTransparently)
{
    TBitmap B;
    Strip(B, {clRed, clBlue, clLime});
    int Changes = 0;
    List.OnChange = [&](TObject*) { ++Changes; };
    EXPECT_EQ(List.AddMasked(&B, clFuchsia), 0);
    EXPECT_EQ(List.Count(), 3);
    EXPECT_EQ(List.AddMasked(&B, clFuchsia), 3);
    EXPECT_EQ(List.Count(), 6);
    EXPECT_EQ(Changes, 2);

    List.Draw(Dest.Canvas(), 2, 2, 1);
    EXPECT_EQ(At(2, 2), clTeal); // the border is transparent
    EXPECT_EQ(At(5, 5), clTeal);
    EXPECT_EQ(At(3, 3), clBlue);
    EXPECT_EQ(At(4, 4), clBlue);
    EXPECT_EQ(At(6, 6), clTeal);

    // A background colour fills the transparent part in dsNormal.
    List.SetBkColor(clYellow);
    List.Draw(Dest.Canvas(), 6, 6, 2);
    EXPECT_EQ(At(6, 6), clYellow);
    EXPECT_EQ(At(7, 7), clLime);
    // dsTransparent ignores it.
    List.Draw(Dest.Canvas(), 6, 0, 0, dsTransparent, itImage);
    EXPECT_EQ(At(6, 0), clTeal);
    EXPECT_EQ(At(7, 1), clRed);
}

TEST_F(ImageListTest, AddTakesAnExplicitMaskAndGetBitmapGivesTheImageBack)
{
    TBitmap Image;
    Strip(Image, {clRed});
    TBitmap Mask(4, 4);
    Mask.Canvas()->Brush()->SetColor(clBlack);
    Mask.Canvas()->FillRect(Rect(0, 0, 4, 4));
    Mask.Canvas()->SetPixels(0, 0, clWhite);   // only the corner is transparent
    Mask.Canvas()->Brush()->SetColor(clWhite); // the colour that turns white
    Mask.SetMonochrome(true);
    ASSERT_EQ(List.Add(&Image, &Mask), 0);
    List.Draw(Dest.Canvas(), 0, 0, 0);
    EXPECT_EQ(At(0, 0), clTeal);
    EXPECT_EQ(At(1, 0), clFuchsia);
    EXPECT_EQ(At(1, 1), clRed);

    TBitmap Out;
    List.GetBitmap(0, &Out);
    EXPECT_EQ(Out.Width(), 4);
    EXPECT_EQ(Out.Height(), 4);
    EXPECT_EQ(Out.Canvas()->Pixels(0, 0), clWhite); // drawn over the new bitmap's white
    EXPECT_EQ(Out.Canvas()->Pixels(1, 1), clRed);
    TBitmap OutMask;
    List.GetMask(0, &OutMask);
    EXPECT_TRUE(OutMask.Monochrome());
    EXPECT_EQ(OutMask.Canvas()->Pixels(0, 0), clWhite);
    EXPECT_EQ(OutMask.Canvas()->Pixels(1, 0), clBlack);

    // Through the handle, as the common controls draw.
    Clear();
    EXPECT_TRUE(ImageList_DrawEx(List.Handle(), 0, Dest.Canvas()->Handle(), 5, 5, 0, 0, CLR_NONE, CLR_NONE,
                                 ILD_TRANSPARENT));
    EXPECT_EQ(At(5, 5), clTeal);
    EXPECT_EQ(At(6, 6), clRed);
    EXPECT_EQ(ImageList_GetImageCount(List.Handle()), 1);
    EXPECT_FALSE(
        ImageList_DrawEx(List.Handle(), 7, Dest.Canvas()->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE, 0));
}

TEST_F(ImageListTest, SizeErrorsAndIndexErrors)
{
    TBitmap Small(3, 4);
    EXPECT_THROW(List.Add(&Small, nullptr), EInvalidOperation);
    EXPECT_THROW(List.AddMasked(&Small, clWhite), EInvalidOperation);
    EXPECT_EQ(List.Count(), 0);
    TBitmap B;
    Strip(B, {clRed, clBlue});
    List.AddMasked(&B, clFuchsia);
    try {
        List.Replace(0, &Small, nullptr);
        FAIL();
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "Invalid image size");
    }
    try {
        List.Replace(5, &B, nullptr);
        FAIL();
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "Unable to Replace Image");
    }
    EXPECT_THROW(List.Delete(2), EInvalidOperation);
    // An index outside the list draws nothing.
    List.Draw(Dest.Canvas(), 0, 0, 9);
    EXPECT_EQ(At(1, 1), clTeal);
}

TEST_F(ImageListTest, ReplaceDeleteAndMoveKeepTheOrder)
{
    TBitmap B;
    Strip(B, {clRed, clBlue, clLime});
    List.AddMasked(&B, clFuchsia);
    TBitmap One;
    Strip(One, {clYellow});
    List.ReplaceMasked(1, &One, clFuchsia);
    List.Delete(0);
    ASSERT_EQ(List.Count(), 2);
    List.Move(1, 0);
    TBitmap Out;
    List.GetBitmap(0, &Out);
    EXPECT_EQ(Out.Canvas()->Pixels(1, 1), clLime);
    List.GetBitmap(1, &Out);
    EXPECT_EQ(Out.Canvas()->Pixels(1, 1), clYellow);
    List.Delete(-1);
    EXPECT_EQ(List.Count(), 0);
}

TEST_F(ImageListTest, DisabledImagesAreEmbossedAndUnmaskedListsOpaque)
{
    TBitmap B;
    Strip(B, {clBlack});
    List.AddMasked(&B, clFuchsia);
    List.Draw(Dest.Canvas(), 0, 0, 0, false);
    // The 2x2 black square at (1,1): shadow in place, highlight peeking out one pixel further.
    EXPECT_EQ(At(1, 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(2, 2), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(3, 3), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(At(0, 0), clTeal);

    TImageList Opaque(4, 4);
    Opaque.SetMasked(false);
    Opaque.AddMasked(&B, clFuchsia);
    Opaque.Draw(Dest.Canvas(), 6, 6, 0);
    EXPECT_EQ(At(6, 6), clFuchsia);
}

TEST_F(ImageListTest, AddIconScalesToTheListSizeAndKeepsItsTransparency)
{
    TIconImage Image;
    Image.Image.Width = Image.Image.Height = 2;
    Image.Image.BitsPerPixel = 32;
    Image.Image.HasAlpha = true;
    Image.Image.Pixels = {0xFFFF0000u, 0x00000000u, 0xFF0000FFu, 0xFF00FF00u}; // red, clear / blue, green
    TIcon Icon;
    Icon.SetImage(Image);
    ASSERT_EQ(List.AddIcon(&Icon), 0);
    List.Draw(Dest.Canvas(), 0, 0, 0);
    EXPECT_EQ(At(1, 1), clRed);
    EXPECT_EQ(At(2, 1), clTeal);
    EXPECT_EQ(At(3, 0), clTeal);
    EXPECT_EQ(At(0, 3), clBlue);
    EXPECT_EQ(At(3, 3), clLime);
    TIcon Back;
    List.GetIcon(0, &Back);
    EXPECT_EQ(Back.Width(), 4);
    TIcon Empty;
    EXPECT_THROW(List.AddIcon(&Empty), EInvalidOperation);
}

TEST_F(ImageListTest, ChangeLinksHearChangesUntilTheyGo)
{
    TBitmap B;
    Strip(B, {clRed});
    int Heard = 0;
    {
        TChangeLink Link;
        Link.OnChange = [&](TObject* Sender) {
            EXPECT_EQ(Sender, &List);
            ++Heard;
        };
        List.RegisterChanges(&Link);
        EXPECT_EQ(Link.Sender(), &List);
        List.AddMasked(&B, clFuchsia);
    }
    List.AddMasked(&B, clFuchsia);
    EXPECT_EQ(Heard, 1);

    TImageList Copy;
    Copy.Assign(&List);
    EXPECT_EQ(Copy.Width(), 4);
    EXPECT_EQ(Copy.Count(), 2);
    List.SetWidth(8); // a new size empties the list
    EXPECT_EQ(List.Count(), 0);
    EXPECT_EQ(Copy.Count(), 2);
}

TEST_F(ImageListTest, ListIsAComponentFreedWithItsOwner)
{
    auto Owner = std::make_unique<TComponent>(nullptr);
    auto* Owned = new TImageList(Owner.get()); // owned and freed by Owner
    HIMAGELIST H = Owned->Handle();
    EXPECT_EQ(TImageList::FromHandle(H), Owned);
    Owner.reset();
    EXPECT_EQ(TImageList::FromHandle(H), nullptr);
    EXPECT_EQ(ImageList_GetImageCount(H), 0);
}

} // namespace
