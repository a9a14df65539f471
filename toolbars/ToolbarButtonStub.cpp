#include "toolbars/ToolbarButtonStub.h"

#include "platform/classes/TypInfo.h"
#include "platform/graphics/WinGdi.h"

TToolbarButton::TToolbarButton(TComponent* AOwner) : TSpeedButton(AOwner)
{
    SetFlat(true);
    SetBounds(0, 0, 23, 22);
}

void TToolbarButton::Loaded()
{
    TSpeedButton::Loaded();
    TBitmap* G = Glyph();
    if (NumGlyphs() != 1 || G->Empty())
        return;
    const int W = G->Width(), H = G->Height();
    const TColor Transparent = G->Canvas()->Pixels(0, H - 1);
    TBitmap Strip;
    Strip.SetSize(2 * W, H);
    TCanvas* C = Strip.Canvas();
    C->Brush()->SetColor(Transparent);
    C->FillRect(TRect{0, 0, 2 * W, H});
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            TColor P = G->Canvas()->Pixels(X, Y);
            C->SetPixels(X, Y, P);
            // The dark parts of the image make the embossed shape: a light copy one pixel down
            // and right, under a shadow-coloured one.
            int Light = GetRValue(P) * 30 + GetGValue(P) * 59 + GetBValue(P) * 11;
            if (P != Transparent && Light < 192 * 100) {
                if (X + 1 < W && Y + 1 < H)
                    C->SetPixels(W + X + 1, Y + 1, ColorToRGB(clBtnHighlight));
            }
        }
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            TColor P = G->Canvas()->Pixels(X, Y);
            int Light = GetRValue(P) * 30 + GetGValue(P) * 59 + GetBValue(P) * 11;
            if (P != Transparent && Light < 192 * 100)
                C->SetPixels(W + X, Y, ColorToRGB(clBtnShadow));
        }
    SetGlyph(&Strip);
    SetNumGlyphs(2);
}

TW_ENUM(TButtonDisplayMode, "dmBoth", "dmGlyphOnly", "dmTextOnly");

TW_PUBLISH(TToolbarButton, TSpeedButton)
{
    Cls.Bool("Flat", &TToolbarButton::Flat, &TToolbarButton::SetFlat).Default(true);
    Cls.Enum("DisplayMode", &TToolbarButton::DisplayMode).Default(dmBoth);
    Cls.Bool("Repeating", &TToolbarButton::Repeating).Default(false);
}
