// A document laid out on a bitmap canvas, with helpers to build text blocks directly.
#pragma once

#include "html-engine/HtmlModel.h"
#include "html-engine/HtmlSections.h"
#include "platform/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// An attribute list built from (symbol, text, value) triples.
inline std::unique_ptr<TAttributeList>
Attrs(std::initializer_list<std::tuple<THtmlSymbol, std::string, int>> List)
{
    auto L = std::make_unique<TAttributeList>();
    for (const auto& [Sym, Text, Value] : List)
        L->Add(new TAttribute(Sym, Text, Value));
    return L;
}

struct ModelFixture : ::testing::Test {
    TSectionList Doc{nullptr, nullptr};
    TBitmap Bitmap{400, 300};
    TMyFont Font;

    void SetUp() override
    {
        Doc.SetDefaults("Arial", "Courier New", clWhite, clBlue, clBlack, 12);
        Font.SetName("Arial");
        Font.SetNormalSize(&Doc, 12);
        Font.SetColor(clBlack);
        ClearBitmap();
    }

    TCanvas* Canvas() { return Bitmap.Canvas(); }

    // Gives Img a plain picture of one colour, as a fetch would (the fixture keeps the picture).
    TImageObj* WithPicture(TImageObj* Img, TColor Color = clGray, int Width = 20, int Height = 20)
    {
        auto Picture = std::make_unique<TBitmap>(Width, Height);
        Picture->Canvas()->Brush()->SetColor(Color);
        Picture->Canvas()->FillRect(Rect(0, 0, Width, Height));
        Img->Image = Picture.get();
        Pictures.push_back(std::move(Picture));
        return Img;
    }
    std::vector<std::unique_ptr<TBitmap>> Pictures;

    void ClearBitmap(TColor Color = clWhite)
    {
        Canvas()->Brush()->SetColor(Color);
        Canvas()->Brush()->SetStyle(bsSolid);
        Canvas()->FillRect(Rect(0, 0, Bitmap.Width(), Bitmap.Height()));
    }

    template <class T = TSection> T* AddSection(const std::string& Text, int Justify = 1)
    {
        auto* S = new T(0, Justify, nullptr, &Font);
        S->AddText(Text);
        Doc.Add(S);
        return S;
    }

    // Width of Text in the test font.
    int W(const std::string& Text, TMyFont* F = nullptr)
    {
        Canvas()->Font()->Assign(F ? F : &Font);
        return Canvas()->TextWidth(Text);
    }

    int LineHeight() { return TFontObj(Font, 0).FontHeight; }

    int Layout(int Width)
    {
        int Curs = 0, MaxWidth = 0;
        return Doc.DoLogic(Canvas(), 0, Curs, MaxWidth, Width);
    }

    void Paint(int X = 0) { Doc.Draw(Canvas(), Rect(0, 0, Bitmap.Width(), Bitmap.Height()), 0, X, 1300); }

    // The text of each line of S.
    static std::vector<std::string> LineTexts(const TSection* S)
    {
        std::vector<std::string> Out;
        for (int I = 0; I < S->Lines.Count(); ++I) {
            const LineRec* L = S->Line(I);
            Out.push_back(S->Buff.substr(L->Start, L->Ln));
        }
        return Out;
    }

    // Pixels of the rectangle that are not Color.
    int CountNot(TColor Color, int Left, int Top, int Right, int Bottom)
    {
        int N = 0;
        for (int Y = Top; Y < Bottom; ++Y)
            for (int X = Left; X < Right; ++X)
                if ((Canvas()->Pixels(X, Y) & 0xFFFFFF) != (Color & 0xFFFFFF))
                    ++N;
        return N;
    }
    int CountIs(TColor Color, int Left, int Top, int Right, int Bottom)
    {
        return (Right - Left) * (Bottom - Top) - CountNot(Color, Left, Top, Right, Bottom);
    }
};
