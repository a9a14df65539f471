// Colours, the graphics objects (font, pen, brush) and the canvas.
#include "platform/graphics/Graphics.h"
#include "platform/classes/TypInfo.h"

#include <cstring>
#include <limits>

// ---------------------------------------------------------------------------------------------
// Colours

namespace {

struct TColorName {
    TColor Value;
    const char* Name;
};

// In the order the colour boxes list them; the two aliases at the end are found by name only,
// so a colour always prints under its first name.
const TColorName ColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};
const TColorName ColorAliases[] = {
    {clLtGray, "clLtGray"},
    {clDkGray, "clDkGray"},
};

// Stored form descriptions write colours by these names ("Color = clBtnFace").
const bool ColorIdentsRegistered = [] {
    std::vector<TIdentEntry> Entries;
    for (const TColorName& Entry : ColorNames)
        Entries.push_back({Entry.Name, Entry.Value});
    for (const TColorName& Entry : ColorAliases)
        Entries.push_back({Entry.Name, Entry.Value});
    RegisterIdents("TColor", Entries);
    return true;
}();

} // namespace

TColor ColorToRGB(TColor Color)
{
    if (Color < 0)
        return static_cast<TColor>(GetSysColor(Color & 0xFF));
    return Color;
}

COLORREF ColorToColorRef(TColor Color)
{
    const COLORREF C = static_cast<COLORREF>(ColorToRGB(Color));
    // A palette index still needs the DC's palette to resolve; everything else is plain RGB.
    if ((C & 0xFF000000u) == 0x01000000u)
        return C;
    return C & 0x00FFFFFFu;
}

bool ColorToIdent(TColor Color, std::string& Ident)
{
    for (const TColorName& Entry : ColorNames)
        if (Entry.Value == Color) {
            Ident = Entry.Name;
            return true;
        }
    return false;
}

bool IdentToColor(const std::string& Ident, TColor& Color)
{
    for (const TColorName& Entry : ColorNames)
        if (SameText(Ident, Entry.Name)) {
            Color = Entry.Value;
            return true;
        }
    for (const TColorName& Entry : ColorAliases)
        if (SameText(Ident, Entry.Name)) {
            Color = Entry.Value;
            return true;
        }
    return false;
}

std::string ColorToString(TColor Color)
{
    std::string Ident;
    if (ColorToIdent(Color, Ident))
        return Ident;
    return "$" + IntToHex(static_cast<std::uint32_t>(Color), 8);
}

TColor StringToColor(const std::string& S)
{
    TColor Color;
    if (IdentToColor(Trim(S), Color))
        return Color;
    // System colours are written as $800000xx, above the signed range: take any 32-bit pattern.
    const std::int64_t Value = StrToInt64(S);
    if (Value < std::numeric_limits<std::int32_t>::min() || Value > std::numeric_limits<std::uint32_t>::max())
        throw EConvertError("'" + S + "' is not a valid integer value");
    return static_cast<TColor>(static_cast<std::uint32_t>(Value));
}

void GetColorValues(const std::function<void(const std::string&)>& Proc)
{
    for (const TColorName& Entry : ColorNames)
        Proc(Entry.Name);
}

// ---------------------------------------------------------------------------------------------
// Graphics objects

void TGraphicsObject::Changed()
{
    HGDIOBJ Old = FHandle;
    const bool Owned = FOwnsHandle;
    FHandle = nullptr;
    FOwnsHandle = true;
    if (OnChange)
        OnChange(this);
    if (Old && Owned)
        DeleteObject(Old);
}

void TGraphicsObject::DropHandle()
{
    if (FHandle && FOwnsHandle)
        DeleteObject(FHandle);
    FHandle = nullptr;
    FOwnsHandle = true;
}

void TGraphicsObject::AdoptHandle(HGDIOBJ Value)
{
    Changed();
    DropHandle(); // a listener may have made a new handle from the attributes meanwhile
    FHandle = Value;
    FOwnsHandle = true;
}

// --- TFont

TFont::TFont() = default;

TFont::~TFont()
{
    DropHandle();
}

void TFont::Assign(TPersistent* Source)
{
    if (auto* Src = dynamic_cast<TFont*>(Source)) {
        if (Src == this)
            return;
        const bool Same = FName == Src->FName && FHeight == Src->FHeight && FStyle == Src->FStyle &&
                          FColor == Src->FColor && FPitch == Src->FPitch && FCharset == Src->FCharset;
        FName = Src->FName;
        FHeight = Src->FHeight;
        FStyle = Src->FStyle;
        FColor = Src->FColor;
        FPitch = Src->FPitch;
        FCharset = Src->FCharset;
        if (!Same)
            Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

LOGFONT TFont::LogFont() const
{
    LOGFONT LF;
    LF.lfHeight = FHeight;
    LF.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    LF.lfItalic = FStyle.Contains(fsItalic) ? 1 : 0;
    LF.lfUnderline = FStyle.Contains(fsUnderline) ? 1 : 0;
    LF.lfStrikeOut = FStyle.Contains(fsStrikeOut) ? 1 : 0;
    LF.lfCharSet = FCharset;
    LF.lfOutPrecision = OUT_DEFAULT_PRECIS;
    LF.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    LF.lfQuality = DEFAULT_QUALITY;
    LF.lfPitchAndFamily = FPitch == fpFixed      ? FIXED_PITCH
                          : FPitch == fpVariable ? VARIABLE_PITCH
                                                 : DEFAULT_PITCH;
    // Cut at a character boundary so the face name stays valid UTF-8.
    std::size_t Len = std::min<std::size_t>(FName.size(), LF_FACESIZE - 1);
    while (Len > 0 && Len < FName.size() && (static_cast<unsigned char>(FName[Len]) & 0xC0) == 0x80)
        --Len;
    std::memcpy(LF.lfFaceName, FName.data(), Len);
    LF.lfFaceName[Len] = '\0';
    return LF;
}

HFONT TFont::Handle()
{
    if (!FHandle) {
        const LOGFONT LF = LogFont();
        FHandle = CreateFontIndirect(&LF);
        FOwnsHandle = true;
    }
    return FHandle;
}

void TFont::SetHandle(HFONT Value)
{
    LOGFONT LF;
    if (Value && GetObject(Value, sizeof(LF), &LF) > 0) {
        FName = LF.lfFaceName;
        FHeight = LF.lfHeight;
        FStyle = TFontStyles();
        if (LF.lfWeight >= FW_SEMIBOLD)
            FStyle.Include(fsBold);
        if (LF.lfItalic)
            FStyle.Include(fsItalic);
        if (LF.lfUnderline)
            FStyle.Include(fsUnderline);
        if (LF.lfStrikeOut)
            FStyle.Include(fsStrikeOut);
        FCharset = LF.lfCharSet;
        const int Pitch = LF.lfPitchAndFamily & 3;
        FPitch = Pitch == FIXED_PITCH ? fpFixed : Pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
    }
    AdoptHandle(Value);
}

void TFont::SetName(const TFontName& Value)
{
    if (Value.empty() || Value == FName)
        return;
    FName = Value;
    Changed();
}

void TFont::SetHeight(int Value)
{
    if (Value == FHeight)
        return;
    FHeight = Value;
    Changed();
}

int TFont::Size() const
{
    return -MulDiv(FHeight, 72, PixelsPerInch());
}

void TFont::SetSize(int Value)
{
    SetHeight(-MulDiv(Value, PixelsPerInch(), 72));
}

void TFont::SetStyle(TFontStyles Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TFont::SetColor(TColor Value)
{
    // The colour is not part of the GDI font: only the listeners need to know.
    if (Value == FColor)
        return;
    FColor = Value;
    if (OnChange)
        OnChange(this);
}

void TFont::SetPitch(TFontPitch Value)
{
    if (Value == FPitch)
        return;
    FPitch = Value;
    Changed();
}

void TFont::SetCharset(TFontCharset Value)
{
    if (Value == FCharset)
        return;
    FCharset = Value;
    Changed();
}

// --- TPen

int PenModeToRop2(TPenMode Mode)
{
    static const int Rop2[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                               R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                               R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                               R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
    const int Index = static_cast<int>(Mode);
    return Index >= 0 && Index < 16 ? Rop2[Index] : R2_COPYPEN;
}

TPen::TPen() = default;

TPen::~TPen()
{
    DropHandle();
}

void TPen::Assign(TPersistent* Source)
{
    if (auto* Src = dynamic_cast<TPen*>(Source)) {
        if (Src == this)
            return;
        const bool Same =
            FColor == Src->FColor && FStyle == Src->FStyle && FWidth == Src->FWidth && FMode == Src->FMode;
        FColor = Src->FColor;
        FStyle = Src->FStyle;
        FWidth = Src->FWidth;
        FMode = Src->FMode;
        if (!Same)
            Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

HPEN TPen::Handle()
{
    if (!FHandle) {
        static const int Styles[] = {PS_SOLID,      PS_DASH, PS_DOT,        PS_DASHDOT,
                                     PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        FHandle = CreatePen(Styles[FStyle], FWidth, ColorToColorRef(FColor));
        FOwnsHandle = true;
    }
    return FHandle;
}

void TPen::SetHandle(HPEN Value)
{
    LOGPEN LP;
    if (Value && GetObject(Value, sizeof(LP), &LP) > 0) {
        FColor = static_cast<TColor>(LP.lopnColor);
        FWidth = LP.lopnWidth.x;
        const UINT Style = LP.lopnStyle & PS_STYLE_MASK;
        FStyle = Style <= PS_INSIDEFRAME ? static_cast<TPenStyle>(Style) : psSolid;
    }
    AdoptHandle(Value);
}

void TPen::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TPen::SetStyle(TPenStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TPen::SetWidth(int Value)
{
    if (Value < 0 || Value == FWidth)
        return;
    FWidth = Value;
    Changed();
}

void TPen::SetMode(TPenMode Value)
{
    // The mode is applied to the DC, not stored in the pen: the handle stays.
    if (Value == FMode)
        return;
    FMode = Value;
    if (OnChange)
        OnChange(this);
}

// --- TBrush

TBrush::TBrush() = default;

TBrush::~TBrush()
{
    DropHandle();
}

void TBrush::Assign(TPersistent* Source)
{
    if (auto* Src = dynamic_cast<TBrush*>(Source)) {
        if (Src == this)
            return;
        const bool Same = FColor == Src->FColor && FStyle == Src->FStyle && FBitmap == Src->FBitmap;
        FColor = Src->FColor;
        FStyle = Src->FStyle;
        FBitmap = Src->FBitmap;
        if (!Same)
            Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

HBRUSH TBrush::Handle()
{
    if (!FHandle) {
        FOwnsHandle = true;
        if (FBitmap && !FBitmap->Empty())
            FHandle = CreatePatternBrush(FBitmap->Handle());
        else if (FStyle == bsSolid)
            FHandle = CreateSolidBrush(ColorToColorRef(FColor));
        else if (FStyle == bsClear) {
            FHandle = GetStockObject(NULL_BRUSH);
            FOwnsHandle = false;
        } else
            FHandle = CreateHatchBrush(static_cast<int>(FStyle) - static_cast<int>(bsHorizontal),
                                       ColorToColorRef(FColor));
    }
    return FHandle;
}

void TBrush::SetHandle(HBRUSH Value)
{
    LOGBRUSH LB;
    if (Value && GetObject(Value, sizeof(LB), &LB) > 0) {
        FColor = static_cast<TColor>(LB.lbColor);
        FBitmap = nullptr;
        if (LB.lbStyle == BS_NULL)
            FStyle = bsClear;
        else if (LB.lbStyle == BS_HATCHED && LB.lbHatch <= HS_DIAGCROSS)
            FStyle = static_cast<TBrushStyle>(bsHorizontal + static_cast<int>(LB.lbHatch));
        else
            FStyle = bsSolid;
    }
    AdoptHandle(Value);
}

void TBrush::SetColor(TColor Value)
{
    if (Value == FColor && FStyle != bsClear)
        return;
    FColor = Value;
    if (FStyle == bsClear)
        FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TBrush::SetBitmap(TBitmap* Value)
{
    if (Value == FBitmap)
        return;
    FBitmap = Value;
    Changed();
}

// ---------------------------------------------------------------------------------------------
// TCanvas

TCanvas::TCanvas()
{
    FFont.OnChange = [this](TObject*) { FontChanged(); };
    FPen.OnChange = [this](TObject*) { PenChanged(); };
    FBrush.OnChange = [this](TObject*) { BrushChanged(); };
}

TCanvas::~TCanvas()
{
    SetHandle(nullptr);
    FFont.OnChange = nullptr;
    FPen.OnChange = nullptr;
    FBrush.OnChange = nullptr;
}

void TCanvas::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TCanvas::Changing()
{
    if (OnChanging)
        OnChanging(this);
}

void TCanvas::CreateHandle() {}

void TCanvas::RequiredState(TCanvasState ReqState)
{
    const TCanvasState Needed = ReqState - FState;
    if (Needed.Empty())
        return;
    if (Needed.Contains(csHandleValid)) {
        CreateHandle();
        if (!FHandle)
            throw EInvalidOperation("Canvas does not allow drawing");
    }
    if (Needed.Contains(csFontValid))
        CreateFont();
    if (Needed.Contains(csPenValid))
        CreatePen();
    if (Needed.Contains(csBrushValid))
        CreateBrush();
    FState += Needed;
}

void TCanvas::CreateFont()
{
    HGDIOBJ Old = SelectObject(FHandle, FFont.Handle());
    if (!FOldFont)
        FOldFont = Old;
    SetTextColor(FHandle, ColorToColorRef(FFont.Color()));
}

void TCanvas::CreatePen()
{
    HGDIOBJ Old = SelectObject(FHandle, FPen.Handle());
    if (!FOldPen)
        FOldPen = Old;
    SetROP2(FHandle, PenModeToRop2(FPen.Mode()));
}

void TCanvas::CreateBrush()
{
    UnrealizeObject(FBrush.Handle());
    HGDIOBJ Old = SelectObject(FHandle, FBrush.Handle());
    if (!FOldBrush)
        FOldBrush = Old;
    if (FBrush.Style() == bsSolid) {
        SetBkColor(FHandle, ColorToColorRef(FBrush.Color()));
        SetBkMode(FHandle, OPAQUE);
    } else {
        // Hatches draw their gaps in the background colour only when opaque: leave them alone.
        SetBkColor(FHandle, ~ColorToColorRef(FBrush.Color()) & 0x00FFFFFFu);
        SetBkMode(FHandle, TRANSPARENT);
    }
}

void TCanvas::FontChanged()
{
    if (FState.Contains(csFontValid)) {
        FState.Exclude(csFontValid);
        SelectObject(FHandle, FOldFont ? FOldFont : GetStockObject(SYSTEM_FONT));
        FOldFont = nullptr;
    }
}

void TCanvas::PenChanged()
{
    if (FState.Contains(csPenValid)) {
        FState.Exclude(csPenValid);
        SelectObject(FHandle, FOldPen ? FOldPen : GetStockObject(BLACK_PEN));
        FOldPen = nullptr;
    }
}

void TCanvas::BrushChanged()
{
    if (FState.Contains(csBrushValid)) {
        FState.Exclude(csBrushValid);
        SelectObject(FHandle, FOldBrush ? FOldBrush : GetStockObject(WHITE_BRUSH));
        FOldBrush = nullptr;
    }
}

void TCanvas::DeselectHandles()
{
    if (FHandle) {
        FontChanged();
        PenChanged();
        BrushChanged();
    }
    FOldFont = FOldPen = FOldBrush = nullptr;
}

void TCanvas::Refresh()
{
    DeselectHandles();
}

HDC TCanvas::Handle()
{
    Changing();
    RequiredState(csAllValid);
    return FHandle;
}

void TCanvas::SetHandle(HDC Value)
{
    if (FHandle == Value)
        return;
    if (FHandle) {
        DeselectHandles();
        GetCurrentPositionEx(FHandle, &FPenPos);
        FHandle = nullptr;
        FState = TCanvasState();
    }
    if (Value) {
        FState.Include(csHandleValid);
        FHandle = Value;
        MoveToEx(FHandle, FPenPos.x, FPenPos.y, nullptr);
    }
}

void TCanvas::Lock()
{
    FLock.lock();
    ++FLockCount;
}

void TCanvas::Unlock()
{
    if (FLockCount == 0)
        return;
    --FLockCount;
    FLock.unlock();
}

bool TCanvas::TryLock()
{
    if (!FLock.try_lock())
        return false;
    ++FLockCount;
    return true;
}

TPoint TCanvas::PenPos()
{
    RequiredState({csHandleValid});
    TPoint P;
    GetCurrentPositionEx(FHandle, &P);
    return P;
}

void TCanvas::MoveTo(int X, int Y)
{
    RequiredState({csHandleValid});
    MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y)
{
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::LineTo(FHandle, X, Y);
    Changed();
}

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4)
{
    Changing();
    RequiredState({csHandleValid, csPenValid});
    ::Arc(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4)
{
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Chord(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4)
{
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Pie(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2)
{
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Ellipse(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2)
{
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Rectangle(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3)
{
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
    Changed();
}

void TCanvas::Polygon(const TPoint* Points, int Count)
{
    if (!Points || Count <= 0)
        return;
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Polygon(FHandle, Points, Count);
    Changed();
}

void TCanvas::Polyline(const TPoint* Points, int Count)
{
    if (!Points || Count <= 0)
        return;
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::Polyline(FHandle, Points, Count);
    Changed();
}

void TCanvas::PolyBezier(const TPoint* Points, int Count)
{
    if (!Points || Count <= 0)
        return;
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    ::PolyBezier(FHandle, Points, static_cast<DWORD>(Count));
    Changed();
}

void TCanvas::FloodFill(int X, int Y, TColor Color, TFillStyle FillStyle)
{
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    ExtFloodFill(FHandle, X, Y, ColorToColorRef(Color),
                 FillStyle == fsSurface ? FLOODFILLSURFACE : FLOODFILLBORDER);
    Changed();
}

void TCanvas::FillRect(const TRect& Rect)
{
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    ::FillRect(FHandle, &Rect, FBrush.Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& Rect)
{
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    ::FrameRect(FHandle, &Rect, FBrush.Handle());
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect)
{
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    ::DrawFocusRect(FHandle, &Rect);
    Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source)
{
    if (!Canvas)
        return;
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    Canvas->RequiredState({csHandleValid, csBrushValid});
    StretchBlt(FHandle, Dest.left, Dest.top, Dest.right - Dest.left, Dest.bottom - Dest.top, Canvas->FHandle,
               Source.left, Source.top, Source.right - Source.left, Source.bottom - Source.top, FCopyMode);
    Changed();
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic)
{
    if (!Graphic || Graphic->Empty())
        return;
    Changing();
    RequiredState({csHandleValid});
    SetBkColor(FHandle, ColorToColorRef(FBrush.Color()));
    Graphic->Draw(this, Rect(X, Y, X + Graphic->Width(), Y + Graphic->Height()));
    Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic)
{
    if (!Graphic || Graphic->Empty())
        return;
    Changing();
    RequiredState({csHandleValid});
    Graphic->Draw(this, Rect);
    Changed();
}

void TCanvas::TextOut(int X, int Y, const std::string& Text)
{
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    ExtTextOut(FHandle, X, Y, static_cast<UINT>(TextFlags), nullptr, Text.data(),
               static_cast<UINT>(Text.size()), nullptr);
    MoveTo(X + TextWidth(Text), Y);
    Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const std::string& Text)
{
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    UINT Options = ETO_CLIPPED | static_cast<UINT>(TextFlags);
    if (FBrush.Style() != bsClear)
        Options |= ETO_OPAQUE;
    ExtTextOut(FHandle, X, Y, Options, &Rect, Text.data(), static_cast<UINT>(Text.size()), nullptr);
    Changed();
}

TSize TCanvas::TextExtent(const std::string& Text)
{
    RequiredState({csHandleValid, csFontValid});
    TSize Size;
    GetTextExtentPoint32(FHandle, Text.data(), static_cast<int>(Text.size()), &Size);
    return Size;
}

TColor TCanvas::Pixels(int X, int Y)
{
    RequiredState({csHandleValid});
    return static_cast<TColor>(GetPixel(FHandle, X, Y));
}

void TCanvas::SetPixels(int X, int Y, TColor Value)
{
    Changing();
    RequiredState({csHandleValid, csPenValid});
    SetPixel(FHandle, X, Y, ColorToColorRef(Value));
    Changed();
}

TRect TCanvas::ClipRect()
{
    RequiredState({csHandleValid});
    TRect R;
    GetClipBox(FHandle, &R);
    return R;
}
