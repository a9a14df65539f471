#include "components/addons/BalloonHint.h"

#include "platform/app/Application.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/WinGdi.h"

#include <algorithm>
#include <cstring>

namespace {

// The hinted control of the last cycle, and the component whose free notification guards it.
TControl* gHintControl = nullptr;
TBalloonHint* gHintGuard = nullptr;
// The component whose handler the application calls.
TBalloonHint* gHooked = nullptr;

void ForgetHintControl()
{
    if (gHintControl && gHintGuard)
        gHintControl->RemoveFreeNotification(gHintGuard);
    gHintControl = nullptr;
    gHintGuard = nullptr;
}

struct TStyleMetrics {
    int DX, DY;
    TColor TopLeft, BottomRight;
};

TStyleMetrics MetricsOf(THintStyle Style)
{
    switch (Style) {
    case hsFlat:
        return {6, 4, clWindowFrame, clWindowFrame};
    case hsOffice:
        return {6, 6, cl3DLight, cl3DDkShadow};
    default:
        return {8, 4, cl3DLight, cl3DDkShadow};
    }
}

// Whether the row of a monochrome bitmap holds a pixel of the colour.
bool RowHas(HDC DC, int Row, COLORREF Colour)
{
    for (int X = 0; X < 32; ++X)
        if (GetPixel(DC, X, Row) == Colour)
            return true;
    return false;
}

} // namespace

TControl* HintControl()
{
    return gHintControl;
}

TBalloonHint* FindHintComponent()
{
    if (!Application || !Application->MainForm())
        return nullptr;
    TCustomForm* Form = Application->MainForm();
    for (int I = 0; I < Form->ComponentCount(); ++I)
        if (auto* Hint = dynamic_cast<TBalloonHint*>(Form->Components(I)))
            return Hint;
    return nullptr;
}

void HintFontFromLogFont(TFont* Font, const LOGFONT& Status, bool Office, TStrings* Installed)
{
    Font->SetName(std::string(Status.lfFaceName, strnlen(Status.lfFaceName, 32)));
    Font->SetHeight(Status.lfHeight);
    TFontStyles Style;
    if (Status.lfWeight > 500)
        Style.Include(fsBold);
    if (Status.lfItalic)
        Style.Include(fsItalic);
    if (Status.lfUnderline)
        Style.Include(fsUnderline);
    if (Status.lfStrikeOut)
        Style.Include(fsStrikeOut);
    Font->SetStyle(Style);
    switch (Status.lfPitchAndFamily & 3) {
    case FIXED_PITCH:
        Font->SetPitch(fpFixed);
        break;
    case VARIABLE_PITCH:
        Font->SetPitch(fpVariable);
        break;
    default:
        Font->SetPitch(fpDefault);
        break;
    }
    if (Office && Font->Name() == "MS Sans Serif" && Installed && Installed->IndexOf("Tahoma") >= 0)
        Font->SetName("Tahoma");
}

// ---- The component ----------------------------------------------------------------------------

TBalloonHint::TBalloonHint(TComponent* AOwner) : TComponent(AOwner), FHintFont(std::make_unique<TFont>())
{
    FHintFont->SetColor(clInfoText);
    const bool Designing = ComponentState().Contains(csDesigning);
    if (Application) {
        if (!Designing) {
            Application->SetHintWindowClass(HintWindowClassOf<THintWindow95>());
            FUtilityWnd = AllocateHWnd([this](TMessage& M) { UtilityWndProc(M); });
        }
        // Off and on again, so the next hint makes a window of the new class.
        Application->SetShowHint(false);
        Application->SetShowHint(true);
        Application->OnShowHint = [this](std::string& HintStr, bool& CanShow, THintInfo& HintInfo) {
            DoShowHint(HintStr, CanShow, HintInfo);
        };
        gHooked = this;
        Application->HintShortPause = 25;
        Application->HintPause = 500;
        Application->HintHidePause = 5000;
    }
    SetHintStyle(hsWindows95);
    ReadHintFont();
}

TBalloonHint::~TBalloonHint()
{
    if (gHintGuard == this)
        ForgetHintControl();
    // Unhooked, so a later hint cycle never reaches a freed component (the hint window finds
    // its component afresh at each activation).
    if (gHooked == this) {
        gHooked = nullptr;
        if (Application && !Application->ComponentState().Contains(csDestroying)) {
            Application->OnShowHint = nullptr;
            Application->SetHintWindowClass(nullptr);
        }
    }
    if (FUtilityWnd)
        DeallocateHWnd(FUtilityWnd);
}

void TBalloonHint::SetHintStyle(THintStyle Value)
{
    if (Value == FHintStyle)
        return;
    FHintStyle = Value;
    if (Value == hsOffice)
        ReadHintFont();
}

void TBalloonHint::ReadHintFont()
{
    NONCLIENTMETRICS Metrics;
    if (!SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof Metrics, &Metrics, 0))
        return;
    HintFontFromLogFont(FHintFont.get(), Metrics.lfStatusFont, FHintStyle == hsOffice,
                        ScreenInstance()->Fonts());
}

void TBalloonHint::DoShowHint(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)
{
    if (OnShowHint)
        OnShowHint(HintStr, CanShow, HintInfo);
    if (gHintControl == HintInfo.HintControl && gHintGuard == this)
        return;
    ForgetHintControl();
    gHintControl = HintInfo.HintControl;
    if (gHintControl) {
        gHintGuard = this;
        gHintControl->FreeNotification(this);
    }
}

void TBalloonHint::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == gHintControl && gHintGuard == this) {
        gHintControl = nullptr;
        gHintGuard = nullptr;
    }
}

void TBalloonHint::UtilityWndProc(TMessage& Message)
{
    if (Message.Msg == WM_WININICHANGE)
        ReadHintFont();
    Message.Result = DefWindowProc(FUtilityWnd, Message.Msg, Message.WParam, Message.LParam);
}

// ---- The hint window --------------------------------------------------------------------------

THintWindow95::THintWindow95(TComponent* AOwner) : THintWindow(AOwner) {}

THintWindow95::~THintWindow95() = default;

void THintWindow95::CreateParams(TCreateParams& Params)
{
    THintWindow::CreateParams(Params);
    Params.Style &= ~WS_BORDER;
}

TBalloonHint* THintWindow95::Component() const
{
    // The one found at activation, while it is still there (a repaint may come after it went).
    return FHintComponent && FindHintComponent() == FHintComponent ? FHintComponent : nullptr;
}

THintStyle THintWindow95::Style() const
{
    TBalloonHint* Hint = Component();
    return Hint ? Hint->HintStyle() : hsWindows95;
}

int THintWindow95::CursorBottomOffset(HBITMAP Mask, int HotSpotY)
{
    BITMAP Info{};
    if (!Mask || !GetObject(Mask, sizeof Info, &Info))
        return 32;
    HDC DC = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Mask);
    int Result = 32;
    bool Found = false;
    for (int Row = std::min(31, int(Info.bmHeight) - 1); Row >= 0 && !Found; --Row)
        if (RowHas(DC, Row, RGB(0, 0, 0))) {
            Result = Row - HotSpotY;
            Found = true;
        }
    // The XOR half starts at row 32: row 31 is the AND half's last, white wherever nothing is drawn.
    for (int Row = std::min(63, int(Info.bmHeight) - 1); Row >= 32 && !Found; --Row)
        if (RowHas(DC, Row, RGB(255, 255, 255))) {
            Result = Row - HotSpotY - 32;
            Found = true;
        }
    SelectObject(DC, Old);
    DeleteDC(DC);
    return Result;
}

void THintWindow95::ActivateHint(const TRect& Rect, const std::string& AHint)
{
    SetCaption(AHint);
    FHintComponent = FindHintComponent();
    const TStyleMetrics M = MetricsOf(Style());

    FBitmap = std::make_unique<TBitmap>();
    if (FHintComponent)
        FBitmap->Canvas()->Font()->Assign(FHintComponent->HintFont());
    else {
        // No component: the system's status font.
        NONCLIENTMETRICS Metrics;
        if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof Metrics, &Metrics, 0))
            HintFontFromLogFont(FBitmap->Canvas()->Font(), Metrics.lfStatusFont, false, nullptr);
        FBitmap->Canvas()->Font()->SetColor(clInfoText);
    }
    TRect R = Rect;
    DrawText(FBitmap->Canvas()->Handle(), AHint.c_str(), -1, &R, DT_NOPREFIX | DT_CALCRECT | DT_WORDBREAK);
    R.right += M.DX;
    R.bottom += M.DY;
    FTextWidth = (R.right - R.left) - M.DX;
    FTextHeight = (R.bottom - R.top) - M.DY;

    // At the pointer, below its lowest drawn row.
    POINT P{};
    GetCursorPos(&P);
    ICONINFO Icon;
    int Offset = 32;
    if (GetIconInfo(GetCursor(), &Icon)) {
        Offset = CursorBottomOffset(Icon.hbmMask, int(Icon.yHotspot));
        if (Icon.hbmMask)
            DeleteObject(Icon.hbmMask);
        if (Icon.hbmColor)
            DeleteObject(Icon.hbmColor);
    }
    R = Bounds(P.x, P.y + Offset, R.right - R.left, R.bottom - R.top);

    const int ScreenW = ScreenInstance()->Width();
    const int ScreenH = ScreenInstance()->Height();
    if (R.right > ScreenW) {
        R.left += ScreenW - R.right;
        R.right = R.left + M.DX + FTextWidth;
    }
    if (R.bottom > ScreenH) {
        TControl* Control = HintControl();
        if (Style() == hsOffice || dynamic_cast<TCustomForm*>(Control)) {
            R.bottom = P.y - 2;
            R.top = R.bottom - FTextHeight - M.DY;
        } else if (Control) {
            R.bottom = Control->Parent() ? Control->Parent()->ClientToScreen(Point(0, Control->Top())).y
                                         : Control->Top();
            R.top = R.bottom - FTextHeight - M.DY;
        }
    }
    THintWindow::ActivateHint(R, AHint);
    FBitmap->SetSize(Width(), Height());
}

void THintWindow95::DrawHintFrame(TCanvas* Canvas, const TRect& Rect, TColor TopLeftColor,
                                  TColor BottomRightColor)
{
    HDC DC = Canvas->Handle();
    HPEN Pen = CreatePen(PS_SOLID, 1, ColorToRGB(TopLeftColor));
    HGDIOBJ Old = SelectObject(DC, Pen);
    const POINT TopLeft[] = {{Rect.left, Rect.bottom - 2}, {Rect.left, Rect.top}, {Rect.right - 1, Rect.top}};
    Polyline(DC, TopLeft, 3);
    SelectObject(DC, Old);
    DeleteObject(Pen);
    Pen = CreatePen(PS_SOLID, 1, ColorToRGB(BottomRightColor));
    Old = SelectObject(DC, Pen);
    const POINT BottomRight[] = {
        {Rect.left, Rect.bottom - 1}, {Rect.right - 1, Rect.bottom - 1}, {Rect.right - 1, Rect.top - 1}};
    Polyline(DC, BottomRight, 3);
    SelectObject(DC, Old);
    DeleteObject(Pen);
}

void THintWindow95::Paint()
{
    // The bitmap of the last activation stays for repaints of the same hint.
    if (!FBitmap) {
        FBitmap = std::make_unique<TBitmap>();
        if (TBalloonHint* Hint = Component())
            FBitmap->Canvas()->Font()->Assign(Hint->HintFont());
    }
    if (FBitmap->Width() != Width() || FBitmap->Height() != Height())
        FBitmap->SetSize(Width(), Height());
    TCanvas* C = FBitmap->Canvas();
    const TRect Client = ClientRect();
    HBRUSH Back = CreateSolidBrush(GetSysColor(COLOR_INFOBK));
    FillRect(C->Handle(), &Client, Back);
    DeleteObject(Back);
    const TStyleMetrics M = MetricsOf(Style());
    DrawHintFrame(C, Client, M.TopLeft, M.BottomRight);
    SetBkMode(C->Handle(), TRANSPARENT);
    TRect TextRect;
    TextRect.left = (Client.right - FTextWidth) / 2;
    TextRect.top = (Client.bottom - FTextHeight) / 2;
    TextRect.right = Client.right;
    TextRect.bottom = TextRect.top + FTextHeight;
    C->Font()->SetColor(clInfoText);
    SetTextColor(C->Handle(), ColorToRGB(clInfoText));
    DrawText(C->Handle(), Caption().c_str(), -1, &TextRect, DT_NOPREFIX | DT_NOCLIP | DT_WORDBREAK);
    Canvas()->Draw(0, 0, FBitmap.get());
}

// ---- Published properties ---------------------------------------------------------------------

TW_ENUM(THintStyle, "hsFlat", "hsOffice", "hsWindows95");

TW_PUBLISH(TBalloonHint, TComponent)
{
    Cls.Enum("HintStyle", &TBalloonHint::HintStyle, &TBalloonHint::SetHintStyle).Default(hsWindows95);
}

TW_PUBLISH(THintWindow95, THintWindow) {}
