#include "components/addons/ShadeLab.h"

#include "components/addons/AdHelpersVcl.h"
#include "platform/classes/TypInfo.h"
#include "platform/win/WinUser.h"

TW_ENUM(TStyle, "stNormal", "stShadow", "stRaised", "stSunken");

namespace {

constexpr std::size_t MaxCaptionChars = 255;

} // namespace

TShadeLabel::TShadeLabel(TComponent* AOwner) : TLabel(AOwner)
{
    SetTransparent(true);
    Font()->SetName("Arial");
}

void TShadeLabel::SetStyle(TStyle Value)
{
    if (Value != FStyle) {
        FStyle = Value;
        Invalidate();
    }
}

void TShadeLabel::SetShadowOffset(int Value)
{
    if (Value != FShadowOffset) {
        FShadowOffset = Value;
        Invalidate();
    }
}

void TShadeLabel::SetShadowColor(TColor Value)
{
    if (Value != FShadowColor) {
        FShadowColor = Value;
        Repaint();
    }
}

void TShadeLabel::SetPrintBkColor(TColor Value)
{
    if (Value != FPrintBkColor) {
        FPrintBkColor = Value;
        Repaint();
    }
}

void TShadeLabel::DrawTextAt(int Offset, TColor Color)
{
    TRect R = ClientRect();
    OffsetRect(&R, Offset, Offset);
    Canvas()->Font()->SetColor(Color);
    const std::string Text = CutToChars(Caption(), MaxCaptionChars);
    DrawText(Canvas()->Handle(), Text.c_str(), static_cast<int>(Text.size()), &R, FDrawFlags);
}

void TShadeLabel::Paint()
{
    TCanvas* C = Canvas();
    if (!Transparent()) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        C->FillRect(ClientRect());
    }
    static const UINT Align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    FDrawFlags = Align[Alignment()] | DT_EXPANDTABS | (WordWrap() ? DT_WORDBREAK : 0) |
                 (ShowAccelChar() ? 0 : DT_NOPREFIX);
    C->Brush()->SetStyle(bsClear);
    C->SetFont(Font());
    switch (FStyle) {
    case stRaised:
        DrawTextAt(1, FShadowColor);
        DrawTextAt(-1, clBtnHighlight);
        break;
    case stSunken:
        DrawTextAt(1, clBtnHighlight);
        DrawTextAt(-1, FShadowColor);
        break;
    case stShadow:
        DrawTextAt(FShadowOffset, FShadowColor);
        break;
    case stNormal:
        break;
    }
    DrawTextAt(0, Enabled() ? Font()->Color() : clGrayText);
}

TW_PUBLISH(TShadeLabel, TLabel)
{
    Cls.Enum("Style", &TShadeLabel::Style, &TShadeLabel::SetStyle).Default(stSunken);
    Cls.Int("ShadowOffset", &TShadeLabel::ShadowOffset, &TShadeLabel::SetShadowOffset).Default(3);
    Cls.Color("ShadowColor", &TShadeLabel::ShadowColor, &TShadeLabel::SetShadowColor).Default(clBtnShadow);
    Cls.Color("PrintBkColor", &TShadeLabel::PrintBkColor, &TShadeLabel::SetPrintBkColor).Default(0xFFFFFF);
    Cls.Str("About", &TShadeLabel::About);
    Cls.Bool("Transparent", &TShadeLabel::Transparent, &TShadeLabel::SetTransparent).Default(true);
    // Its own font (Arial), so not the parent's.
    Cls.Bool("ParentFont", &TShadeLabel::ParentFont, &TShadeLabel::SetParentFont).Default(false);
}
