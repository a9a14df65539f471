#include "platform/controls/Buttons.h"

#include "platform/classes/TypInfo.h"

#include <algorithm>

void LayoutGlyphAndCaption(const TRect& Client, const TSize& GlyphSize, const TSize& TextSize,
                           TButtonLayout Layout, int Margin, int Spacing, TPoint& GlyphPos, TRect& TextRect)
{
    const int CW = Client.right - Client.left, CH = Client.bottom - Client.top;
    const bool Horz = Layout == blGlyphLeft || Layout == blGlyphRight;
    // Across the layout direction both are centred.
    TPoint GP{Client.left + (CW - GlyphSize.cx) / 2, Client.top + (CH - GlyphSize.cy) / 2};
    TPoint TP{Client.left + (CW - TextSize.cx) / 2, Client.top + (CH - TextSize.cy) / 2};
    const int Room = Horz ? CW : CH;
    const int GLen = Horz ? GlyphSize.cx : GlyphSize.cy;
    const int TLen = Horz ? TextSize.cx : TextSize.cy;
    if (GLen == 0 || TLen == 0)
        Spacing = 0;
    if (Margin == -1) {
        if (Spacing == -1) {
            int Total = GLen + TLen;
            Margin = (Room - Total) / 3;
            Spacing = Margin;
        } else {
            int Total = GLen + Spacing + TLen;
            Margin = (Room - Total) / 2;
        }
    } else if (Spacing == -1) {
        Spacing = (Room - Margin - GLen - TLen) / 2;
    }
    int GlyphAt, TextAt;
    if (Layout == blGlyphLeft || Layout == blGlyphTop) {
        GlyphAt = Margin;
        TextAt = Margin + GLen + Spacing;
    } else {
        // Glyph right / bottom: the margin is measured from that edge.
        GlyphAt = Room - Margin - GLen;
        TextAt = GlyphAt - Spacing - TLen;
    }
    if (Horz) {
        GP.x = Client.left + GlyphAt;
        TP.x = Client.left + TextAt;
    } else {
        GP.y = Client.top + GlyphAt;
        TP.y = Client.top + TextAt;
    }
    GlyphPos = GP;
    TextRect = Bounds(TP.x, TP.y, TextSize.cx, TextSize.cy);
}

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(new TBitmap())
{
    SetBounds(0, 0, 23, 22);
    ControlStyle = TControlStyle{csCaptureMouse, csDoubleClicks, csSetCaption};
    SetParentColor(true);
    SetColor(clBtnFace);
    FGlyph->OnChange = [this](TObject*) { GlyphChanged(); };
}

TSpeedButton::~TSpeedButton()
{
    FGlyph->OnChange = nullptr;
    delete FGlyph;
}

void TSpeedButton::GlyphChanged()
{
    int W = FGlyph->Width(), H = FGlyph->Height();
    if (H > 0 && W % H == 0 && W / H >= 1 && W / H <= 4)
        FNumGlyphs = W / H;
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(TNumGlyphs Value)
{
    Value = std::clamp(Value, 1, 4);
    if (FNumGlyphs != Value) {
        FNumGlyphs = Value;
        Invalidate();
    }
}

void TSpeedButton::SetGroupIndex(int Value)
{
    if (FGroupIndex != Value) {
        FGroupIndex = Value;
        UpdateExclusive();
    }
}

void TSpeedButton::SetDown(bool Value)
{
    if (FGroupIndex == 0)
        Value = false;
    if (Value == FDown)
        return;
    // The down button of a group without AllowAllUp stays down until another goes down.
    if (FDown && !FAllowAllUp && !ComponentState().Contains(csLoading))
        return;
    FDown = Value;
    if (Value) {
        if (FState == bsUp)
            Invalidate();
        FState = bsExclusive;
    } else {
        FState = bsUp;
        Repaint();
    }
    if (Value)
        UpdateExclusive();
    Invalidate();
}

void TSpeedButton::SetAllowAllUp(bool Value)
{
    if (FAllowAllUp != Value) {
        FAllowAllUp = Value;
        UpdateExclusive();
    }
}

void TSpeedButton::UpdateExclusive()
{
    if (FGroupIndex == 0 || !FParent)
        return;
    for (int I = 0; I < FParent->ControlCount(); ++I) {
        auto* B = dynamic_cast<TSpeedButton*>(FParent->Controls(I));
        if (!B || B == this || B->FGroupIndex != FGroupIndex)
            continue;
        if (FDown && B->FDown) {
            B->FDown = false;
            B->FState = bsUp;
            B->Invalidate();
        }
        B->FAllowAllUp = FAllowAllUp;
    }
}

void TSpeedButton::SetFlat(bool Value)
{
    if (FFlat != Value) {
        FFlat = Value;
        Invalidate();
    }
}

void TSpeedButton::SetLayout(TButtonLayout Value)
{
    if (FLayout != Value) {
        FLayout = Value;
        Invalidate();
    }
}

void TSpeedButton::SetSpacing(int Value)
{
    if (FSpacing != Value) {
        FSpacing = Value;
        Invalidate();
    }
}

void TSpeedButton::SetMargin(int Value)
{
    if (FMargin != Value && Value >= -1) {
        FMargin = Value;
        Invalidate();
    }
}

void TSpeedButton::Click()
{
    TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && Enabled()) {
        if (!FDown) {
            FState = bsDown;
            Invalidate();
        }
        FDragging = true;
    }
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging)
        return;
    TButtonState New = bsUp;
    if (X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight())
        New = FDown ? bsExclusive : bsDown;
    else if (FDown)
        New = bsExclusive;
    if (New != FState) {
        FState = New;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging)
        return;
    FDragging = false;
    bool Inside = X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
    if (FGroupIndex == 0) {
        FState = bsUp;
        Invalidate();
    } else if (Inside) {
        SetDown(!FDown);
        if (FDown)
            FState = bsExclusive;
        else
            FState = bsUp;
        Invalidate();
    } else {
        FState = FDown ? bsExclusive : bsUp;
        Invalidate();
    }
    if (Inside)
        Click();
}

void TSpeedButton::CMMouseEnter(TMessage& Message)
{
    if (!FMouseInControl && Enabled()) {
        FMouseInControl = true;
        if (FFlat)
            Invalidate();
    }
    TGraphicControl::CMMouseEnter(Message);
}

void TSpeedButton::CMMouseLeave(TMessage& Message)
{
    if (FMouseInControl) {
        FMouseInControl = false;
        if (FFlat)
            Invalidate();
    }
    TGraphicControl::CMMouseLeave(Message);
}

void TSpeedButton::CMEnabledChanged(TMessage& Message)
{
    if (!Enabled())
        FMouseInControl = false;
    TGraphicControl::CMEnabledChanged(Message);
}

void TSpeedButton::CMTextChanged(TMessage&)
{
    Invalidate();
}

void TSpeedButton::Paint()
{
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    TButtonState S = Enabled() ? FState : bsDisabled;
    if (!Enabled() && FDown)
        S = bsExclusive;
    const bool Pushed = S == bsDown || S == bsExclusive;
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(S == bsExclusive && !FFlat ? cl3DLight : Color());
    C->FillRect(R);
    RECT E = R;
    if (FFlat) {
        if (Pushed)
            DrawEdge(C->Handle(), &E, BDR_SUNKENOUTER, BF_RECT);
        else if (FMouseInControl && Enabled())
            DrawEdge(C->Handle(), &E, BDR_RAISEDINNER, BF_RECT);
    } else if (Pushed) {
        DrawEdge(C->Handle(), &E, EDGE_SUNKEN, BF_RECT);
    } else {
        DrawEdge(C->Handle(), &E, EDGE_RAISED, BF_RECT);
    }

    // Glyph and caption.
    TSize GlyphSize{0, 0};
    if (!FGlyph->Empty())
        GlyphSize = TSize{FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
    C->SetFont(Font());
    TSize TextSize{0, 0};
    RECT TR = Rect(0, 0, R.right, 0);
    if (!Caption().empty()) {
        DrawText(C->Handle(), Caption().c_str(), static_cast<int>(Caption().size()), &TR,
                 DT_CALCRECT | DT_SINGLELINE);
        TextSize = TSize{TR.right - TR.left, TR.bottom - TR.top};
    }
    TRect Inner = R;
    InflateRect(&Inner, -2, -2);
    TPoint GlyphPos;
    TRect TextRect;
    LayoutGlyphAndCaption(Inner, GlyphSize, TextSize, FLayout, FMargin, FSpacing, GlyphPos, TextRect);
    if (Pushed) {
        GlyphPos.x += 1;
        GlyphPos.y += 1;
        OffsetRect(&TextRect, 1, 1);
    }
    if (GlyphSize.cx > 0) {
        int Index = S == bsUp ? 0 : S == bsDisabled ? 1 : S == bsDown ? 2 : 3;
        if (Index >= FNumGlyphs)
            Index = 0;
        TRect Src = Bounds(Index * GlyphSize.cx, 0, GlyphSize.cx, GlyphSize.cy);
        TColor Transparent = FGlyph->Canvas()->Pixels(0, GlyphSize.cy - 1);
        C->Brush()->SetStyle(bsClear);
        C->BrushCopy(Bounds(GlyphPos.x, GlyphPos.y, GlyphSize.cx, GlyphSize.cy), FGlyph, Src, Transparent);
    }
    if (TextSize.cx > 0) {
        HDC DC = C->Handle();
        SetBkMode(DC, TRANSPARENT);
        RECT T = TextRect;
        if (S == bsDisabled) {
            OffsetRect(&T, 1, 1);
            SetTextColor(DC, ColorToColorRef(clBtnHighlight));
            DrawText(DC, Caption().c_str(), static_cast<int>(Caption().size()), &T,
                     DT_CENTER | DT_SINGLELINE);
            OffsetRect(&T, -1, -1);
            SetTextColor(DC, ColorToColorRef(clBtnShadow));
        } else {
            SetTextColor(DC, ColorToColorRef(Font()->Color()));
        }
        DrawText(DC, Caption().c_str(), static_cast<int>(Caption().size()), &T, DT_CENTER | DT_SINGLELINE);
    }
}

TW_ENUM(TButtonLayout, "blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom");
TW_ENUM(TButtonState, "bsUp", "bsDisabled", "bsDown", "bsExclusive");
TW_ENUM(TButtonStyle, "bsAutoDetect", "bsWin31", "bsNew");

TW_PUBLISH(TSpeedButton, TGraphicControl)
{
    Cls.Object("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
    Cls.Int("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs).Default(1);
    Cls.Int("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
    Cls.Bool("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).Default(false);
    Cls.Bool("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(false);
    Cls.Bool("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(false);
    Cls.Enum("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout).Default(blGlyphLeft);
    Cls.Int("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).Default(4);
    Cls.Int("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin).Default(-1);
    Cls.Message(CM_MOUSEENTER, &TSpeedButton::CMMouseEnter);
    Cls.Message(CM_MOUSELEAVE, &TSpeedButton::CMMouseLeave);
    Cls.Message(CM_ENABLEDCHANGED, &TSpeedButton::CMEnabledChanged);
    Cls.Message(CM_TEXTCHANGED, &TSpeedButton::CMTextChanged);
}
