#include "components/addons/AdCtrls.h"

#include "components/addons/AdHelpersVcl.h"
#include "platform/app/SysInfo.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/win/WinUser.h"

#include <algorithm>
#include <map>

// The shared enumerations are registered here as well (same names), so a program that reads
// these buttons from its forms has them even when no other unit using them is linked in.
TW_ENUM(TAlignment, "taLeftJustify", "taRightJustify", "taCenter");
TW_ENUM(TButtonLayout, "blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom");
TW_ENUM(TButtonStyle, "bsAutoDetect", "bsWin31", "bsNew");
TW_ENUM(TAdDropDownMenuPos, "dmpBottom", "dmpRight");
TW_ENUM(TAdGlyphState, "gsUp", "gsDisabled", "gsDown", "gsExclusive", "gsInactive");
TW_ENUM(TTextLayout, "tlTop", "tlCenter", "tlBottom");
TW_ENUM(TShadowPosition, "spLeftTop", "spLeftBottom", "spRightBottom", "spRightTop");

namespace {

constexpr int MaxCaptionLength = 255;

// The class library's "new-style controls": a platform of version 4 or later.
bool NewStyleControls()
{
    static const bool NewStyle = [] {
        OSVERSIONINFO Info;
        return GetVersionEx(&Info) && Info.dwMajorVersion >= 4;
    }();
    return NewStyle;
}

UINT AlignmentFlag(TAlignment Alignment)
{
    switch (Alignment) {
    case taLeftJustify:
        return DT_LEFT;
    case taRightJustify:
        return DT_RIGHT;
    default:
        return DT_CENTER;
    }
}

} // namespace

// ---- TAdButtonGlyph -------------------------------------------------------------------------
TAdButtonGlyph::TAdButtonGlyph() : FOriginal(std::make_unique<TBitmap>())
{
    FOriginal->OnChange = [this](TObject* Sender) { GlyphChanged(Sender); };
}

TAdButtonGlyph::~TAdButtonGlyph()
{
    FOriginal->OnChange = nullptr;
    DiscardStateImages();
}

void TAdButtonGlyph::SetGlyph(TBitmap* Value)
{
    if (Value)
        FOriginal->Assign(Value);
    else
        FOriginal->SetSize(0, 0);
    // Assigning may share the pixels without a change notification: make sure of one.
    GlyphChanged(FOriginal.get());
}

void TAdButtonGlyph::SetNumGlyphs(int Value)
{
    if (Value > 5)
        Value = 5;
    if (Value <= 0 || Value == FNumGlyphs)
        return;
    FNumGlyphs = static_cast<TAdNumGlyphs>(Value);
    DiscardStateImages();
    if (OnChange)
        OnChange(this);
}

void TAdButtonGlyph::GlyphChanged(TObject* Sender)
{
    if (FMaking)
        return;
    (void)Sender;
    DiscardStateImages();
    const int W = FOriginal->Width();
    const int H = FOriginal->Height();
    if (H > 0) {
        FTransparentColor = FOriginal->TransparentColor() & ~clPaletteRelative;
        if (W % H == 0) {
            const int Count = W / H;
            // Never fewer than one glyph: the layout divides by the count.
            FNumGlyphs = static_cast<TAdNumGlyphs>(Count > 5 || Count < 1 ? 1 : Count);
        }
    }
    if (OnChange)
        OnChange(this);
}

void TAdButtonGlyph::DiscardStateImages()
{
    FImages.clear();
    std::fill(std::begin(FIndexes), std::end(FIndexes), -1);
}

TColor TAdButtonGlyph::GrayOfColor(TColor Color) const
{
    if (Color == FTransparentColor)
        return Color;
    const COLORREF C = ColorToColorRef(Color);
    const int R = GetRValue(C), G = GetGValue(C), B = GetBValue(C);
    const int Level = (77 * R + 150 * G + 29 * B) >> 8;
    return static_cast<TColor>(RGB(Level, Level, Level));
}

int TAdButtonGlyph::MakeStateImage(TAdGlyphState State)
{
    if (State == gsDown && FNumGlyphs < 3)
        State = gsUp;
    if (FIndexes[State] != -1)
        return FIndexes[State];
    const int W = FOriginal->Width();
    const int H = FOriginal->Height();
    if (W == 0 || H == 0)
        return -1;

    FMaking = true;
    try {
        const int IW = W / FNumGlyphs;
        auto Image = std::make_unique<TBitmap>();
        Image->SetSize(IW, H);
        Image->Canvas()->Brush()->SetColor(clBtnFace);
        const int Number = State < FNumGlyphs ? State : 0;
        auto CopyGlyph = [&](int GlyphNumber) {
            Image->Canvas()->CopyRect(Rect(0, 0, IW, H), FOriginal->Canvas(),
                                      Rect(GlyphNumber * IW, 0, (GlyphNumber + 1) * IW, H));
        };
        switch (State) {
        case gsUp:
        case gsDown:
        case gsExclusive:
            CopyGlyph(Number);
            break;
        case gsDisabled:
            if (FNumGlyphs < 2)
                Image.reset(MakeDisabledBitmap(FOriginal.get(), clBlack));
            else
                CopyGlyph(1);
            break;
        case gsInactive:
            if (FNumGlyphs < 5) {
                TCanvas* Source = FOriginal->Canvas();
                TCanvas* Dest = Image->Canvas();
                for (int Y = 0; Y < H; ++Y)
                    for (int X = 0; X < IW; ++X)
                        Dest->SetPixels(X, Y, GrayOfColor(ColorToRGB(Source->Pixels(X, Y))));
            } else {
                CopyGlyph(4);
            }
            break;
        }
        FImages.push_back(std::move(Image));
        FIndexes[State] = static_cast<int>(FImages.size()) - 1;
        FOriginal->Dormant();
    } catch (...) {
        FMaking = false;
        throw;
    }
    FMaking = false;
    return FIndexes[State];
}

TBitmap* TAdButtonGlyph::StateImage(int Index) const
{
    if (Index < 0 || Index >= static_cast<int>(FImages.size()))
        return nullptr;
    return FImages[Index].get();
}

TPoint TAdButtonGlyph::DrawGlyphImage(TCanvas* Canvas, const TPoint& GlyphPos, TAdGlyphState State)
{
    if (FOriginal->Empty())
        return Point(0, 0);
    TBitmap* Image = StateImage(MakeStateImage(State));
    if (!Image)
        return Point(0, 0);
    // The made disabled image of a single glyph lies on clBtnFace.
    const TColor Transparent = State == gsDisabled && FNumGlyphs == 1 ? clBtnFace : FTransparentColor;
    DrawBitmapTransparent(Canvas, GlyphPos.x, GlyphPos.y, Transparent, Image);
    return Point(Image->Width(), Image->Height());
}

std::string TAdButtonGlyph::FitCaption(TCanvas* Canvas, const std::string& Caption, int MaxWidth)
{
    std::string Text = CutToChars(Caption, MaxCaptionLength);
    if (WordWrap)
        return Text;
    std::string Result;
    std::size_t Start = 0;
    bool First = true;
    while (Start <= Text.size()) {
        std::size_t End = Text.find('\n', Start);
        std::string Line = Text.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        if (!First)
            Result += "\r\n";
        Result += EllipsizeText(Line, Canvas, MaxWidth);
        First = false;
        if (End == std::string::npos)
            break;
        Start = End + 1;
    }
    while (!Result.empty() && (Result.back() == ' ' || Result.back() == '\r' || Result.back() == '\n'))
        Result.pop_back();
    return CutToChars(Result, MaxCaptionLength);
}

void TAdButtonGlyph::DrawCaptionText(TCanvas* Canvas, const std::string& Caption, TRect TextBounds,
                                     TAdGlyphState State)
{
    const UINT Flags = (WordWrap ? DT_WORDBREAK : 0) | DT_VCENTER | AlignmentFlag(Alignment);
    DrawButtonText(Canvas, CutToChars(Caption, MaxCaptionLength), TextBounds, Flags, State == gsDisabled,
                   0xFFFFFF, 0x808080);
}

void TAdButtonGlyph::DrawDropDownMark(TCanvas* Canvas, int X, int Y, TAdGlyphState State)
{
    auto Triangle = [Canvas](int X0, int Y0, TColor Color) {
        for (int I = 0; I <= 6; ++I)
            Canvas->SetPixels(X0 + I, Y0 - 1, Color);
        for (int I = 1; I <= 5; ++I)
            Canvas->SetPixels(X0 + I, Y0, Color);
        for (int I = 2; I <= 4; ++I)
            Canvas->SetPixels(X0 + I, Y0 + 1, Color);
        Canvas->SetPixels(X0 + 3, Y0 + 2, Color);
    };
    if (State == gsDisabled) {
        Triangle(X + 1, Y + 1, clWhite);
        Triangle(X, Y, clBtnShadow);
    } else {
        Triangle(X, Y, clBtnText);
    }
}

void TAdButtonGlyph::LayoutGlyphAndCaption(TCanvas* Canvas, const TRect& Client, TPoint& GlyphPos,
                                           TRect& TextBounds, bool DropDownMark, int Margin, int Spacing,
                                           TButtonLayout Layout, std::string& Caption)
{
    const TPoint ClientSize = Point(Client.right - Client.left, Client.bottom - Client.top);
    TPoint GlyphSize = Point(FOriginal->Width() / FNumGlyphs, FOriginal->Height());
    const bool Horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;

    int RoomW, RoomH;
    if (Horizontal) {
        RoomW = ClientSize.x - GlyphSize.x - 2;
        if (Margin != -1)
            RoomW -= Margin;
        if (Spacing != -1)
            RoomW -= Spacing;
        if (DropDownMark)
            RoomW -= 9;
        RoomH = ClientSize.y - 2;
    } else {
        RoomW = ClientSize.x - 2;
        RoomH = ClientSize.y - GlyphSize.y - 2;
        if (Margin != -1)
            RoomH -= Margin;
        if (Spacing != -1)
            RoomH -= Spacing;
    }
    RoomW = std::max(RoomW, 0);
    RoomH = std::max(RoomH, 0);

    Caption = FitCaption(Canvas, Caption, RoomW);
    TPoint TextSize;
    if (Caption.empty()) {
        TextBounds = Rect(0, 0, 0, 0);
    } else {
        TextBounds = Rect(0, 0, RoomW, 0);
        Canvas->RequiredState(csAllValid);
        DrawText(Canvas->Handle(), Caption.c_str(), static_cast<int>(Caption.size()), &TextBounds,
                 DT_CALCRECT | DT_CENTER | (WordWrap ? DT_WORDBREAK : 0) | AlignmentFlag(Alignment));
        TextBounds.bottom = TextBounds.top + std::min<int>(TextBounds.bottom - TextBounds.top, RoomH);
        TextBounds.right = TextBounds.left + std::min<int>(TextBounds.right - TextBounds.left, RoomW);
    }
    TextSize = Point(TextBounds.right - TextBounds.left, TextBounds.bottom - TextBounds.top);

    if (DropDownMark) {
        if (GlyphSize.x == 0 || GlyphSize.y == 0 || Layout == blGlyphLeft)
            TextSize.x += 9; // the mark follows the text
        else
            GlyphSize.x += 6; // the mark follows the glyph
    }

    TPoint TextPos;
    if (Horizontal) {
        GlyphPos.y = ClientSize.y / 2 - GlyphSize.y / 2;
        TextPos.y = ClientSize.y / 2 - TextSize.y / 2;
    } else {
        GlyphPos.x = ClientSize.x / 2 - GlyphSize.x / 2;
        TextPos.x = ClientSize.x / 2 - TextSize.x / 2;
    }

    if (TextSize.x == 0 || GlyphSize.x == 0)
        Spacing = 0;

    const int ClientAxis = Horizontal ? ClientSize.x : ClientSize.y;
    const int GlyphAxis = Horizontal ? GlyphSize.x : GlyphSize.y;
    const int TextAxis = Horizontal ? TextSize.x : TextSize.y;
    if (Margin == -1) {
        if (Spacing == -1) {
            const int Total = GlyphAxis + TextAxis;
            Margin = (ClientAxis - Total) / 3;
            Spacing = Margin;
        } else {
            const int Total = GlyphAxis + Spacing + TextAxis;
            Margin = ClientAxis / 2 - Total / 2;
        }
    } else if (Spacing == -1) {
        const int Total = ClientAxis - Margin - GlyphAxis;
        Spacing = Total / 2 - TextAxis / 2;
    }

    switch (Layout) {
    case blGlyphLeft:
        GlyphPos.x = Margin;
        TextPos.x = GlyphPos.x + GlyphSize.x + Spacing;
        break;
    case blGlyphRight:
        GlyphPos.x = ClientSize.x - Margin - GlyphSize.x;
        TextPos.x = GlyphPos.x - Spacing - TextSize.x;
        break;
    case blGlyphTop:
        GlyphPos.y = Margin;
        TextPos.y = GlyphPos.y + GlyphSize.y + Spacing;
        break;
    case blGlyphBottom:
        GlyphPos.y = ClientSize.y - Margin - GlyphSize.y;
        TextPos.y = GlyphPos.y - Spacing - TextSize.y;
        break;
    }

    GlyphPos.x += Client.left;
    GlyphPos.y += Client.top;
    OffsetRect(&TextBounds, Client.left + TextPos.x, Client.top + TextPos.y);
}

TRect TAdButtonGlyph::DrawGlyphAndCaption(TCanvas* Canvas, const TRect& Client, TAdGlyphState State,
                                          bool DropDownMark, int Spacing, int Margin, TButtonLayout Layout,
                                          const std::string& Caption)
{
    TPoint GlyphPos;
    TRect TextBounds;
    std::string Text = Caption;
    LayoutGlyphAndCaption(Canvas, Client, GlyphPos, TextBounds, DropDownMark, Margin, Spacing, Layout, Text);
    const TPoint Drawn = DrawGlyphImage(Canvas, GlyphPos, State);
    DrawCaptionText(Canvas, Text, TextBounds, State);
    if (DropDownMark) {
        const bool GlyphEmpty = FOriginal->Width() == 0 || FOriginal->Height() == 0;
        if (!GlyphEmpty && Layout != blGlyphLeft)
            DrawDropDownMark(Canvas, GlyphPos.x + Drawn.x + 1, GlyphPos.y + Drawn.y / 2, State);
        else
            DrawDropDownMark(Canvas, TextBounds.right + 3,
                             TextBounds.top + (TextBounds.bottom - TextBounds.top) / 2, State);
    }
    return TextBounds;
}

// ---- The frame ----------------------------------------------------------------------------
TRect PaintButtonFrame(TCanvas* Canvas, const TRect& Client, bool IsDown, bool Flat, TButtonStyle Style)
{
    TRect R = Client;
    const bool NewLook = Style == bsNew || (Style == bsAutoDetect && NewStyleControls());
    if (NewLook) {
        if (Flat) {
            if (IsDown)
                Frame3D(Canvas, R, clWindowFrame, clBtnHighlight, 1);
            else
                Frame3D(Canvas, R, clBtnHighlight, clBtnShadow, 1);
        } else if (IsDown) {
            Frame3D(Canvas, R, clWindowFrame, clBtnHighlight, 1);
            Frame3D(Canvas, R, clBtnShadow, clBtnFace, 1);
        } else {
            Frame3D(Canvas, R, clBtnHighlight, clWindowFrame, 1);
            Frame3D(Canvas, R, clBtnFace, clBtnShadow, 1);
        }
    } else if (Flat) {
        if (IsDown)
            Frame3D(Canvas, R, clWindowFrame, clBtnHighlight, 1);
        else
            Frame3D(Canvas, R, clBtnHighlight, clWindowFrame, 1);
    } else {
        Frame3D(Canvas, R, clWindowFrame, clWindowFrame, 1);
        if (IsDown) {
            Canvas->Pen()->SetColor(clBtnShadow);
            Canvas->MoveTo(R.left, R.bottom - 1);
            Canvas->LineTo(R.left, R.top);
            Canvas->LineTo(R.right, R.top);
        } else {
            Frame3D(Canvas, R, clBtnHighlight, clBtnShadow, 1);
        }
    }
    InflateRect(&R, -1, -1);
    return R;
}

// ---- TAdSpeedButton -------------------------------------------------------------------------
int TAdSpeedButton::FInstanceCount = 0;
TBitmap* TAdSpeedButton::FSharedCheckerPattern = nullptr;

TAdSpeedButton::TAdSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TAdButtonGlyph>()), FImage(std::make_unique<TBitmap>())
{
    SetBounds(Left(), Top(), 25, 25);
    ControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks, csReplicatable};
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
    SetShowHint(true);
    SetParentShowHint(false);
    ++FInstanceCount;
}

TAdSpeedButton::~TAdSpeedButton()
{
    FGlyph.reset();
    if (--FInstanceCount == 0) {
        delete FSharedCheckerPattern;
        FSharedCheckerPattern = nullptr;
    }
    FImage.reset();
    FInRepeatTick = false;
    FreeRepeatTimer();
    FreeRetiredTimer();
}

TBitmap* TAdSpeedButton::SharedCheckerPattern()
{
    if (!FSharedCheckerPattern)
        FSharedCheckerPattern = MakeCheckerPattern(clBtnFace, clWhite);
    return FSharedCheckerPattern;
}

namespace {
// Buttons waiting to free a retired repeat timer, by the thread timer that will do it.
std::map<UINT_PTR, TAdSpeedButton*>& RetiringButtons()
{
    static std::map<UINT_PTR, TAdSpeedButton*> Map;
    return Map;
}
} // namespace

void TAdSpeedButton::FreeRepeatTimer()
{
    if (!FRepeatTimer)
        return;
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->OnTimer = nullptr;
    if (!FInRepeatTick) {
        delete FRepeatTimer;
        FRepeatTimer = nullptr;
        return;
    }
    // Turned off by a click of its own tick: the timer's window is still handling that tick, so
    // it is freed from a fresh message once the tick has returned.
    FreeRetiredTimer();
    FRetiredTimer = FRepeatTimer;
    FRepeatTimer = nullptr;
    FRetireTimerId = SetTimer(nullptr, 0, 1, &TAdSpeedButton::RetiredTimerDue);
    if (FRetireTimerId)
        RetiringButtons()[FRetireTimerId] = this;
}

void TAdSpeedButton::FreeRetiredTimer()
{
    if (FRetireTimerId) {
        KillTimer(nullptr, FRetireTimerId);
        RetiringButtons().erase(FRetireTimerId);
        FRetireTimerId = 0;
    }
    delete FRetiredTimer;
    FRetiredTimer = nullptr;
}

void TAdSpeedButton::RetiredTimerDue(HWND, UINT, std::uintptr_t Id, DWORD)
{
    auto It = RetiringButtons().find(Id);
    if (It == RetiringButtons().end()) {
        KillTimer(nullptr, Id);
        return;
    }
    It->second->FreeRetiredTimer();
}

void TAdSpeedButton::SetAlignment(TAlignment Value)
{
    if (Value != FGlyph->Alignment) {
        FGlyph->Alignment = Value;
        Invalidate();
    }
}

void TAdSpeedButton::SetAllowAllUp(bool Value)
{
    FAllowAllUp = Value;
    BroadcastGroupDown();
}

void TAdSpeedButton::SetAllowTimer(bool Value)
{
    FAllowTimer = Value;
    if (!Value)
        FreeRepeatTimer(); // from inside its own tick the timer goes once the tick returns
}

void TAdSpeedButton::SetGroupIndex(int Value)
{
    FGroupIndex = Value;
    BroadcastGroupDown();
}

void TAdSpeedButton::SetDown(bool Value)
{
    if (FGroupIndex == 0)
        Value = false;
    if (Value == FDown)
        return;
    if (FDown && !FAllowAllUp)
        return; // the last down button of a group stays down
    FDown = Value;
    FState = Value ? gsExclusive : gsUp;
    Invalidate();
    if (Value)
        BroadcastGroupDown();
}

void TAdSpeedButton::SetDropDownMenu(TPopupMenu* Value)
{
    if (FDropDownMenu == Value)
        return;
    if (FDropDownMenu)
        FDropDownMenu->RemoveFreeNotification(this);
    FDropDownMenu = Value;
    if (Value)
        Value->FreeNotification(this);
    if (FMarkDropDown)
        Invalidate();
}

void TAdSpeedButton::SetFlat(bool Value)
{
    if (Value != FFlat) {
        FFlat = Value;
        Invalidate();
    }
}

void TAdSpeedButton::SetGlyph(TBitmap* Value)
{
    FGlyph->SetGlyph(Value);
    Invalidate();
}

void TAdSpeedButton::SetGrayedInactive(bool Value)
{
    if (Value != FGrayedInactive) {
        FGrayedInactive = Value;
        Invalidate();
    }
}

void TAdSpeedButton::SetLayout(TButtonLayout Value)
{
    if (Value != FLayout) {
        FLayout = Value;
        Invalidate();
    }
}

void TAdSpeedButton::SetMargin(int Value)
{
    if (Value != FMargin && Value >= -1) {
        FMargin = Value;
        Invalidate();
    }
}

void TAdSpeedButton::SetMarkDropDown(bool Value)
{
    if (Value != FMarkDropDown) {
        FMarkDropDown = Value;
        Invalidate();
    }
}

void TAdSpeedButton::SetNumGlyphs(int Value)
{
    FGlyph->SetNumGlyphs(Value); // its change event invalidates
}

void TAdSpeedButton::SetSpacing(int Value)
{
    if (Value != FSpacing) {
        FSpacing = Value;
        Invalidate();
    }
}

void TAdSpeedButton::SetStyle(TButtonStyle Value)
{
    if (Value != FStyle) {
        FStyle = Value;
        Invalidate();
    }
}

void TAdSpeedButton::SetTransparent(bool Value)
{
    if (Value != FTransparent) {
        FTransparent = Value;
        Invalidate();
    }
}

void TAdSpeedButton::SetWordWrap(bool Value)
{
    if (Value != FGlyph->WordWrap) {
        FGlyph->WordWrap = Value;
        Invalidate();
    }
}

HPALETTE TAdSpeedButton::GetPalette()
{
    return FGlyph->Glyph()->Palette();
}

TAdGlyphState TAdSpeedButton::CurrentLook() const
{
    if (!Enabled())
        return gsDisabled;
    return FFlat ? gsInactive : gsUp;
}

void TAdSpeedButton::Loaded()
{
    TGraphicControl::Loaded();
    FGlyph->MakeStateImage(CurrentLook());
}

void TAdSpeedButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDropDownMenu)
        FDropDownMenu = nullptr;
}

bool TAdSpeedButton::IsInside(int X, int Y) const
{
    return X >= 0 && X < ClientWidth() && Y >= 0 && Y <= ClientHeight();
}

void TAdSpeedButton::Paint()
{
    const bool Designing = ComponentState().Contains(csDesigning);
    if (!Enabled() && !Designing) {
        FState = gsDisabled;
        FDragging = false;
    } else if (FState == gsDisabled && Enabled()) {
        FState = FDown && FGroupIndex != 0 ? gsExclusive : gsUp;
    }
    TAdGlyphState PaintState = FState;
    if (FFlat && !FMouseInControl && !Designing)
        PaintState = gsInactive;

    FImage->SetSize(Width(), Height());
    TCanvas* C = FImage->Canvas();
    C->SetFont(Font());
    C->Brush()->SetColor(clBtnFace);
    C->Brush()->SetStyle(bsSolid);
    TRect R = Rect(0, 0, Width(), Height());
    C->FillRect(R);
    if (FTransparent)
        PaintParentBackground(this, C);

    if (!(PaintState == gsInactive && FState != gsExclusive))
        R = PaintButtonFrame(C, R, FState == gsDown || FState == gsExclusive, FFlat, FStyle);
    else
        InflateRect(&R, -2, -2);

    if (FState == gsExclusive && !FFlat) {
        TRect Fill = R;
        InflateRect(&Fill, 1, 1);
        C->Brush()->SetBitmap(SharedCheckerPattern());
        C->FillRect(Fill);
        C->Brush()->SetBitmap(nullptr);
        C->Brush()->SetColor(clBtnFace);
    }
    if (FState == gsDown || FState == gsExclusive)
        OffsetRect(&R, 1, 1);

    const TAdGlyphState GlyphState = FState == gsDisabled || !FGrayedInactive ? FState : PaintState;
    FGlyph->DrawGlyphAndCaption(C, R, GlyphState, FMarkDropDown && FDropDownMenu, FSpacing, FMargin, FLayout,
                                Caption());
    Canvas()->Draw(0, 0, FImage.get());
}

bool TAdSpeedButton::ShowDropDownMenu(const TPoint& P, bool Manual)
{
    if (!FDropDownMenu || ComponentState().Contains(csDesigning) || !(FDropDownMenu->AutoPopup || Manual))
        return false;
    if (TCustomForm* Form = GetParentForm(this))
        if (Form->Active())
            Form->SendCancelMode(nullptr);
    FDropDownMenu->SetPopupComponent(this);
    const TPoint Screen = ClientToScreen(P);
    FDropDownMenu->Popup(Screen.x, Screen.y);
    return true;
}

void TAdSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (FMenuTracking)
        return;
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Enabled() && !FMouseInControl) {
        FMouseInControl = true;
        Repaint();
    }
    if (Button != mbLeft || !Enabled() || Shift.Contains(ssShift) || Shift.Contains(ssDouble))
        return;
    if (!FDown) {
        FState = gsDown;
        Repaint();
    }
    FDragging = true;

    FMenuTracking = true;
    try {
        const TPoint MenuPoint = MenuPosition == dmpBottom ? Point(-1, Height()) : Point(Width(), -1);
        if (ShowDropDownMenu(MenuPoint, false)) {
            // The menu had the mouse while it was open; the press is over.
            SetMouseCapture(false);
            ReleasePress(Button, X, Y);
            // The click that closed the menu over this button must not press it again.
            MSG M;
            if (PeekMessage(&M, nullptr, 0, 0, PM_NOREMOVE) &&
                (M.message == WM_LBUTTONDOWN || M.message == WM_LBUTTONDBLCLK)) {
                const TPoint P = ScreenToClient(M.pt);
                if (P.x >= 0 && P.x <= ClientWidth() - 1 && P.y >= 0 && P.y <= ClientHeight())
                    PurgeQueuedMessage(nullptr, M.message);
            }
        }
    } catch (...) {
        FMenuTracking = false;
        throw;
    }
    FMenuTracking = false;

    if (FAllowTimer) {
        if (!FRepeatTimer)
            FRepeatTimer = new TTimer(this);
        FRepeatTimer->SetEnabled(false);
        FRepeatTimer->SetInterval(InitPause);
        FRepeatTimer->OnTimer = [this](TObject* Sender) { RepeatTimerFired(Sender); };
        FRepeatTimer->SetEnabled(true);
    }
}

void TAdSpeedButton::RepeatTimerFired(TObject* Sender)
{
    (void)Sender;
    if (!FRepeatTimer)
        return;
    FRepeatTimer->SetInterval(RepeatInterval);
    if (FState != gsDown || !MouseCapture())
        return;
    FInRepeatTick = true;
    try {
        Click();
    } catch (...) {
        FInRepeatTick = false;
        if (FRepeatTimer)
            FRepeatTimer->SetEnabled(false);
        throw;
    }
    FInRepeatTick = false;
}

void TAdSpeedButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging)
        return;
    TAdGlyphState NewState;
    if (FDown)
        NewState = gsExclusive;
    else
        NewState = IsInside(X, Y) ? gsDown : gsUp;
    if (NewState != FState) {
        FState = NewState;
        Repaint();
    }
}

void TAdSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    ReleasePress(Button, X, Y);
    if (FRepeatTimer)
        FRepeatTimer->SetEnabled(false);
}

void TAdSpeedButton::ReleasePress(TMouseButton Button, int X, int Y)
{
    if (FDragging && Button == mbLeft) {
        FDragging = false;
        const bool Inside = IsInside(X, Y);
        if (FGroupIndex == 0) {
            FState = gsUp;
            FMouseInControl = false;
            if (Inside)
                Repaint();
            else
                Invalidate();
        } else if (Inside) {
            SetDown(!FDown);
            if (FDown)
                Repaint();
        } else {
            if (FDown)
                FState = gsExclusive;
            Repaint();
        }
        if (Inside && !FMenuTracking)
            Click();
    }
    UpdateHotTracking();
}

void TAdSpeedButton::UpdateHotTracking()
{
    const bool Old = FMouseInControl;
    POINT P;
    GetCursorPos(&P);
    FMouseInControl = Enabled() && FindDragTarget(P, true) == this && IsOwnThreadActive();
    if (Old != FMouseInControl && FFlat) {
        if (FMouseInControl)
            Repaint();
        else
            Invalidate();
    }
}

void TAdSpeedButton::BroadcastGroupDown()
{
    if (FGroupIndex == 0 || !Parent())
        return;
    TMessage Message;
    Message.Msg = GroupButtonDownMessage;
    Message.WParam = static_cast<WPARAM>(FGroupIndex);
    Message.LParam = reinterpret_cast<LPARAM>(static_cast<TObject*>(this));
    Message.Result = 0;
    Parent()->Broadcast(Message);
}

void TAdSpeedButton::Click()
{
    if (TCustomForm* Form = GetParentForm(this))
        Form->SetModalResult(ModalResult);
    TGraphicControl::Click();
}

bool TAdSpeedButton::IsAccelerator(char Key) const
{
    const std::string& Text = Caption();
    for (std::size_t I = 0; I + 1 < Text.size(); ++I) {
        if (Text[I] != '&')
            continue;
        if (Text[I + 1] == '&') {
            ++I; // "&&" is a plain ampersand
            continue;
        }
        const auto Lower = [](char Ch) { return Ch >= 'A' && Ch <= 'Z' ? char(Ch - 'A' + 'a') : Ch; };
        return Lower(Text[I + 1]) == Lower(Key);
    }
    return false;
}

void TAdSpeedButton::WMLButtonDblClk(TWMLButtonDblClk Message)
{
    if (FMenuTracking)
        return;
    // The base would fire DblClick for every double click; here only a down button does.
    const bool HadDoubleClicks = ControlStyle.Contains(csDoubleClicks);
    ControlStyle.Exclude(csDoubleClicks);
    try {
        TGraphicControl::WMLButtonDblClk(Message);
    } catch (...) {
        if (HadDoubleClicks)
            ControlStyle.Include(csDoubleClicks);
        throw;
    }
    if (HadDoubleClicks)
        ControlStyle.Include(csDoubleClicks);
    if (FDown)
        DblClick();
}

void TAdSpeedButton::WMRButtonDown(TWMRButtonDown Message)
{
    TGraphicControl::WMRButtonDown(Message);
    UpdateHotTracking();
}

void TAdSpeedButton::WMRButtonUp(TWMRButtonUp Message)
{
    TGraphicControl::WMRButtonUp(Message);
    UpdateHotTracking();
}

void TAdSpeedButton::CMEnabledChanged(TMessage&)
{
    FGlyph->MakeStateImage(CurrentLook());
    UpdateHotTracking();
    Repaint();
}

void TAdSpeedButton::CMVisibleChanged(TMessage& Message)
{
    TGraphicControl::CMVisibleChanged(Message);
    if (Visible())
        UpdateHotTracking();
}

void TAdSpeedButton::CMFontChanged(TMessage&)
{
    Invalidate();
}

void TAdSpeedButton::CMTextChanged(TMessage&)
{
    Invalidate();
}

void TAdSpeedButton::CMSysColorChange(TMessage&)
{
    FGlyph->DiscardStateImages();
    Invalidate();
}

void TAdSpeedButton::CMMouseEnter(TMessage& Message)
{
    if (Message.LParam == 0 || Message.LParam == reinterpret_cast<LPARAM>(this)) {
        if (!FMouseInControl && Enabled() && IsOwnThreadActive()) {
            FMouseInControl = true;
            if (FFlat)
                Repaint();
        }
    }
    TGraphicControl::CMMouseEnter(Message);
}

void TAdSpeedButton::CMMouseLeave(TMessage& Message)
{
    if (Message.LParam == 0 || Message.LParam == reinterpret_cast<LPARAM>(this)) {
        if (FMouseInControl && Enabled() && !FDragging) {
            FMouseInControl = false;
            if (FFlat)
                Invalidate();
        }
    }
    TGraphicControl::CMMouseLeave(Message);
}

void TAdSpeedButton::CMDialogChar(TCMDialogChar Message)
{
    if (IsAccelerator(static_cast<char>(Message.WParam)) && Enabled()) {
        Click();
        Message.Result = 1;
        return;
    }
    TGraphicControl::CMDialogChar(Message);
}

void TAdSpeedButton::GroupButtonDown(TMessage& Message)
{
    if (static_cast<int>(Message.WParam) != FGroupIndex || !Parent() || !Parent()->HandleAllocated())
        return;
    auto* Sender = dynamic_cast<TAdSpeedButton*>(reinterpret_cast<TObject*>(Message.LParam));
    if (!Sender || Sender == this)
        return;
    if (Sender->Down() && FDown) {
        FDown = false;
        FState = gsUp;
        Invalidate();
    }
    FAllowAllUp = Sender->AllowAllUp();
}

TW_PUBLISH(TAdSpeedButton, TGraphicControl)
{
    Cls.Enum("Alignment", &TAdSpeedButton::Alignment, &TAdSpeedButton::SetAlignment).Default(taCenter);
    Cls.Bool("AllowAllUp", &TAdSpeedButton::AllowAllUp, &TAdSpeedButton::SetAllowAllUp).Default(false);
    Cls.Bool("AllowTimer", &TAdSpeedButton::AllowTimer, &TAdSpeedButton::SetAllowTimer).Default(false);
    Cls.Int("GroupIndex", &TAdSpeedButton::GroupIndex, &TAdSpeedButton::SetGroupIndex).Default(0);
    Cls.Bool("Down", &TAdSpeedButton::Down, &TAdSpeedButton::SetDown).Default(false);
    Cls.Component("DropDownMenu", &TAdSpeedButton::DropDownMenu, &TAdSpeedButton::SetDropDownMenu);
    Cls.Enum("MenuPosition", &TAdSpeedButton::MenuPosition).Default(dmpBottom);
    Cls.Bool("Flat", &TAdSpeedButton::Flat, &TAdSpeedButton::SetFlat).Default(false);
    Cls.Object("Glyph", &TAdSpeedButton::Glyph, &TAdSpeedButton::SetGlyph);
    Cls.Bool("GrayedInactive", &TAdSpeedButton::GrayedInactive, &TAdSpeedButton::SetGrayedInactive)
        .Default(true);
    Cls.Int("InitPause", &TAdSpeedButton::InitPause).Default(500);
    Cls.Enum("Layout", &TAdSpeedButton::Layout, &TAdSpeedButton::SetLayout).Default(blGlyphTop);
    Cls.Int("Margin", &TAdSpeedButton::Margin, &TAdSpeedButton::SetMargin).Default(-1);
    Cls.Bool("MarkDropDown", &TAdSpeedButton::MarkDropDown, &TAdSpeedButton::SetMarkDropDown).Default(true);
    Cls.Int("ModalResult", &TAdSpeedButton::ModalResult).Default(0);
    Cls.Int("NumGlyphs", &TAdSpeedButton::NumGlyphs, &TAdSpeedButton::SetNumGlyphs).Default(1);
    Cls.Int("RepeatInterval", &TAdSpeedButton::RepeatInterval).Default(100);
    Cls.Bool("ShowHint", &TAdSpeedButton::ShowHint, &TAdSpeedButton::SetShowHint).Default(true);
    Cls.Bool("ParentShowHint", &TAdSpeedButton::ParentShowHint, &TAdSpeedButton::SetParentShowHint)
        .Default(false);
    Cls.Int("Spacing", &TAdSpeedButton::Spacing, &TAdSpeedButton::SetSpacing).Default(1);
    Cls.Enum("Style", &TAdSpeedButton::Style, &TAdSpeedButton::SetStyle).Default(bsAutoDetect);
    Cls.Bool("Transparent", &TAdSpeedButton::Transparent, &TAdSpeedButton::SetTransparent).Default(false);
    Cls.Bool("WordWrap", &TAdSpeedButton::WordWrap, &TAdSpeedButton::SetWordWrap).Default(false);
    Cls.Message(WM_LBUTTONDBLCLK, &TAdSpeedButton::WMLButtonDblClk);
    Cls.Message(WM_RBUTTONDOWN, &TAdSpeedButton::WMRButtonDown);
    Cls.Message(WM_RBUTTONUP, &TAdSpeedButton::WMRButtonUp);
    Cls.Message(CM_ENABLEDCHANGED, &TAdSpeedButton::CMEnabledChanged);
    Cls.Message(CM_VISIBLECHANGED, &TAdSpeedButton::CMVisibleChanged);
    Cls.Message(CM_FONTCHANGED, &TAdSpeedButton::CMFontChanged);
    Cls.Message(CM_TEXTCHANGED, &TAdSpeedButton::CMTextChanged);
    Cls.Message(CM_SYSCOLORCHANGE, &TAdSpeedButton::CMSysColorChange);
    Cls.Message(CM_MOUSEENTER, &TAdSpeedButton::CMMouseEnter);
    Cls.Message(CM_MOUSELEAVE, &TAdSpeedButton::CMMouseLeave);
    Cls.Message(CM_DIALOGCHAR, &TAdSpeedButton::CMDialogChar);
    Cls.Message(GroupButtonDownMessage, &TAdSpeedButton::GroupButtonDown);
}

// ---- The shadowed label -----------------------------------------------------------------------

int PaintShadowedText(HDC DC, const char* Text, int Length, TRect& Rect, UINT Flags, int ShadowSize,
                      COLORREF ShadowColor, TShadowPosition ShadowPos)
{
    TRect TextRect = Rect;
    TRect ShadowRect = Rect;
    switch (ShadowPos) {
    case spLeftTop:
        OffsetRect(&ShadowRect, -ShadowSize, -ShadowSize);
        break;
    case spLeftBottom:
        OffsetRect(&ShadowRect, -ShadowSize, ShadowSize);
        break;
    case spRightBottom:
        OffsetRect(&ShadowRect, ShadowSize, ShadowSize);
        break;
    case spRightTop:
        OffsetRect(&ShadowRect, ShadowSize, -ShadowSize);
        break;
    }
    const COLORREF OldColor = SetTextColor(DC, ShadowColor);
    int Result = DrawText(DC, Text, Length, &ShadowRect, Flags);
    if (Result > 0)
        Result += ShadowSize;
    SetTextColor(DC, OldColor);
    DrawText(DC, Text, Length, &TextRect, Flags);
    UnionRect(&Rect, &TextRect, &ShadowRect);
    return Result;
}

TAdCustomLabel::TAdCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    ControlStyle.Include(csOpaque);
    ControlStyle.Include(csReplicatable);
    SetBounds(0, 0, 65, 17);
}

void TAdCustomLabel::SetAlignment(TAlignment Value)
{
    if (Value != FAlignment) {
        FAlignment = Value;
        Invalidate();
    }
}

void TAdCustomLabel::SetAutoSize(bool Value)
{
    if (Value != FAutoSize) {
        FAutoSize = Value;
        AdjustBounds();
    }
}

void TAdCustomLabel::SetFocusControl(TWinControl* Value)
{
    if (Value == FFocusControl)
        return;
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value)
        Value->FreeNotification(this);
    if (FShowFocus)
        Invalidate();
}

void TAdCustomLabel::SetLayout(TTextLayout Value)
{
    if (Value != FLayout) {
        FLayout = Value;
        Invalidate();
    }
}

void TAdCustomLabel::SetShadowColor(TColor Value)
{
    if (Value != FShadowColor) {
        FShadowColor = Value;
        Invalidate();
    }
}

void TAdCustomLabel::SetShadowSize(int Value)
{
    const auto Size = static_cast<std::uint8_t>(std::clamp(Value, 0, 255));
    if (Size != FShadowSize) {
        FShadowSize = Size;
        AdjustBounds();
        Invalidate();
    }
}

void TAdCustomLabel::SetShadowPos(TShadowPosition Value)
{
    if (Value != FShadowPos) {
        FShadowPos = Value;
        Invalidate();
    }
}

void TAdCustomLabel::SetShowAccelChar(bool Value)
{
    if (Value != FShowAccelChar) {
        FShowAccelChar = Value;
        Invalidate();
    }
}

void TAdCustomLabel::SetShowFocus(bool Value)
{
    if (Value != FShowFocus) {
        FShowFocus = Value;
        Invalidate();
    }
}

void TAdCustomLabel::SetTransparent(bool Value)
{
    if (Value == Transparent())
        return;
    if (Value)
        ControlStyle.Exclude(csOpaque);
    else
        ControlStyle.Include(csOpaque);
    Invalidate();
}

void TAdCustomLabel::SetWordWrap(bool Value)
{
    if (Value != FWordWrap) {
        FWordWrap = Value;
        AdjustBounds();
    }
}

void TAdCustomLabel::DoDrawText(TRect& Rect, UINT Flags)
{
    std::string Text = Caption();
    // An empty label still measures one line high.
    if ((Flags & DT_CALCRECT) && (Text.empty() || (FShowAccelChar && Text == "&")))
        Text += ' ';
    TCanvas* C = Canvas();
    C->SetFont(Font());
    TColor Shadow = FShadowColor;
    int Size = FShadowSize;
    TShadowPosition Pos = FShadowPos;
    if (!Enabled()) {
        C->Font()->SetColor(clGrayText);
        Shadow = clBtnHighlight;
        if (Size == 0 && NewStyleControls()) {
            // The engraved look of disabled text.
            Size = 1;
            Pos = spRightBottom;
        }
    }
    if (!FShowAccelChar)
        Flags |= DT_NOPREFIX;
    PaintShadowedText(C->Handle(), Text.c_str(), static_cast<int>(Text.size()), Rect, Flags, Size,
                      ColorToRGB(Shadow), Pos);
}

void TAdCustomLabel::Paint()
{
    const bool Designing = ComponentState().Contains(csDesigning);
    if (!Enabled() && !Designing)
        FDragging = false;
    TCanvas* C = Canvas();
    const TRect Client = ClientRect();
    if (!Transparent()) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        C->FillRect(Client);
    }
    C->Brush()->SetStyle(bsClear);
    TRect R = Client;
    InflateRect(&R, -1, 0);
    const UINT Flags = (FWordWrap ? DT_WORDBREAK : 0) | AlignmentFlag(FAlignment);
    if (FLayout != tlTop) {
        DoDrawText(R, Flags | DT_EXPANDTABS | DT_CALCRECT);
        R.left = Client.left;
        R.right = Client.right;
        const int Room = Height() - R.bottom;
        OffsetRect(&R, 0, FLayout == tlBottom ? Room : Room / 2);
    }
    DoDrawText(R, Flags | DT_EXPANDTABS);
    if (FShowFocus && FFocusControl && FFocusControl->Focused() && !Designing) {
        InflateRect(&R, 1, 0);
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(Color());
        C->DrawFocusRect(R);
    }
}

void TAdCustomLabel::AdjustBounds()
{
    if (!FAutoSize || ComponentState().Contains(csLoading))
        return;
    TRect R = ClientRect();
    InflateRect(&R, -1, 0);
    // Measured on a screen DC: the label may have no parent to paint on yet.
    HDC DC = GetDC(nullptr);
    TCanvas* C = Canvas();
    static_cast<TControlCanvas*>(C)->FreeHandle();
    C->SetHandle(DC);
    try {
        DoDrawText(R, (FWordWrap ? DT_WORDBREAK : 0) | DT_EXPANDTABS | DT_CALCRECT);
    } catch (...) {
        C->SetHandle(nullptr);
        ReleaseDC(nullptr, DC);
        throw;
    }
    C->SetHandle(nullptr);
    ReleaseDC(nullptr, DC);
    InflateRect(&R, 1, 0);
    int X = Left();
    if (FAlignment == taRightJustify)
        X += Width() - R.right;
    SetBounds(X, Top(), R.right, R.bottom);
}

void TAdCustomLabel::Loaded()
{
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TAdCustomLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TAdCustomLabel::MouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TAdCustomLabel::MouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TAdCustomLabel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && Enabled())
        FDragging = true;
}

void TAdCustomLabel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    FDragging = false;
    UpdateTracking();
}

void TAdCustomLabel::UpdateTracking()
{
    const bool Old = FMouseInControl;
    POINT P;
    GetCursorPos(&P);
    FMouseInControl = Enabled() && FindDragTarget(P, true) == this && IsOwnThreadActive();
    if (FMouseInControl != Old) {
        if (FMouseInControl)
            MouseEnter();
        else
            MouseLeave();
    }
}

void TAdCustomLabel::WMRButtonDown(TWMRButtonDown Message)
{
    TGraphicControl::WMRButtonDown(Message);
    UpdateTracking();
}

void TAdCustomLabel::WMRButtonUp(TWMRButtonUp Message)
{
    TGraphicControl::WMRButtonUp(Message);
    UpdateTracking();
}

void TAdCustomLabel::CMTextChanged(TMessage&)
{
    Invalidate();
    AdjustBounds();
}

void TAdCustomLabel::CMFontChanged(TMessage& Message)
{
    TGraphicControl::CMFontChanged(Message);
    AdjustBounds();
}

void TAdCustomLabel::CMEnabledChanged(TMessage& Message)
{
    TGraphicControl::CMEnabledChanged(Message);
    UpdateTracking();
}

void TAdCustomLabel::CMVisibleChanged(TMessage& Message)
{
    TGraphicControl::CMVisibleChanged(Message);
    if (Visible())
        UpdateTracking();
}

void TAdCustomLabel::CMMouseEnter(TMessage& Message)
{
    if (Message.LParam == 0 || Message.LParam == reinterpret_cast<LPARAM>(this)) {
        if (!FMouseInControl && Enabled() && IsOwnThreadActive()) {
            FMouseInControl = true;
            MouseEnter();
        }
    }
    TGraphicControl::CMMouseEnter(Message);
}

void TAdCustomLabel::CMMouseLeave(TMessage& Message)
{
    if (Message.LParam == 0 || Message.LParam == reinterpret_cast<LPARAM>(this)) {
        if (FMouseInControl && Enabled() && !FDragging) {
            FMouseInControl = false;
            MouseLeave();
        }
    }
    TGraphicControl::CMMouseLeave(Message);
}

void TAdCustomLabel::CMFocusChanged(TMessage& Message)
{
    const bool Now = FFocusControl && reinterpret_cast<LPARAM>(FFocusControl) == Message.LParam;
    if (Now != FFocused) {
        FFocused = Now;
        if (FShowFocus)
            Invalidate();
    }
}

void TAdCustomLabel::CMDialogChar(TCMDialogChar Message)
{
    if (FFocusControl && Enabled() && FShowAccelChar &&
        IsAccel(static_cast<WORD>(Message.WParam), Caption())) {
        if (FFocusControl->CanFocus())
            FFocusControl->SetFocus();
        Message.Result = 1;
    }
}

TW_PUBLISH(TAdCustomLabel, TGraphicControl)
{
    Cls.Message(WM_RBUTTONDOWN, &TAdCustomLabel::WMRButtonDown);
    Cls.Message(WM_RBUTTONUP, &TAdCustomLabel::WMRButtonUp);
    Cls.Message(CM_TEXTCHANGED, &TAdCustomLabel::CMTextChanged);
    Cls.Message(CM_FONTCHANGED, &TAdCustomLabel::CMFontChanged);
    Cls.Message(CM_ENABLEDCHANGED, &TAdCustomLabel::CMEnabledChanged);
    Cls.Message(CM_VISIBLECHANGED, &TAdCustomLabel::CMVisibleChanged);
    Cls.Message(CM_MOUSEENTER, &TAdCustomLabel::CMMouseEnter);
    Cls.Message(CM_MOUSELEAVE, &TAdCustomLabel::CMMouseLeave);
    Cls.Message(CM_FOCUSCHANGED, &TAdCustomLabel::CMFocusChanged);
    Cls.Message(CM_DIALOGCHAR, &TAdCustomLabel::CMDialogChar);
}

TW_PUBLISH(TAdLabel, TAdCustomLabel)
{
    Cls.Enum("Alignment", &TAdLabel::Alignment, &TAdLabel::SetAlignment).Default(taLeftJustify);
    Cls.Bool("AutoSize", &TAdLabel::AutoSize, &TAdLabel::SetAutoSize).Default(true);
    Cls.Component("FocusControl", &TAdLabel::FocusControl, &TAdLabel::SetFocusControl);
    Cls.Enum("Layout", &TAdLabel::Layout, &TAdLabel::SetLayout).Default(tlTop);
    Cls.Color("ShadowColor", &TAdLabel::ShadowColor, &TAdLabel::SetShadowColor).Default(clBtnHighlight);
    Cls.Int("ShadowSize", &TAdLabel::ShadowSize, &TAdLabel::SetShadowSize).Default(1);
    Cls.Enum("ShadowPos", &TAdLabel::ShadowPos, &TAdLabel::SetShadowPos).Default(spLeftTop);
    Cls.Bool("ShowAccelChar", &TAdLabel::ShowAccelChar, &TAdLabel::SetShowAccelChar).Default(true);
    Cls.Bool("ShowFocus", &TAdLabel::ShowFocus, &TAdLabel::SetShowFocus).Default(false);
    Cls.Bool("Transparent", &TAdLabel::Transparent, &TAdLabel::SetTransparent).Default(false);
    Cls.Bool("WordWrap", &TAdLabel::WordWrap, &TAdLabel::SetWordWrap).Default(false);
    Cls.Event("OnMouseEnter", &TAdLabel::OnMouseEnter);
    Cls.Event("OnMouseLeave", &TAdLabel::OnMouseLeave);
}
