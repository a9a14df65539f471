#include "platform/controls/ExtCtrls.h"

#include "platform/classes/TypInfo.h"
#include "platform/rtl/SysUtils.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

void FillSolid(TCanvas* Canvas, const TRect& R, TColor Color)
{
    if (R.right <= R.left || R.bottom <= R.top)
        return;
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Color);
    Canvas->FillRect(R);
}

} // namespace

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width)
{
    // Each ring: the top row (but its last pixel) and the left column (but its last pixel) in
    // TopColor, the right column and the bottom row in BottomColor.
    for (; Width > 0; --Width) {
        const TRect R = Rect;
        if (R.right - R.left <= 0 || R.bottom - R.top <= 0)
            break;
        FillSolid(Canvas, ::Rect(R.left, R.top, R.right - 1, R.top + 1), TopColor);
        FillSolid(Canvas, ::Rect(R.left, R.top, R.left + 1, R.bottom - 1), TopColor);
        FillSolid(Canvas, ::Rect(R.right - 1, R.top, R.right, R.bottom), BottomColor);
        FillSolid(Canvas, ::Rect(R.left, R.bottom - 1, R.right, R.bottom), BottomColor);
        InflateRect(&Rect, -1, -1);
    }
}

// ---- TCustomPanel -----------------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle.Include(csAcceptsControls);
    ControlStyle.Include(csSetCaption);
    ControlStyle.Include(csOpaque);
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TCustomPanel::SetBevelInner(TPanelBevel Value)
{
    if (FBevelInner != Value) {
        FBevelInner = Value;
        Realign();
        Invalidate();
    }
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value)
{
    if (FBevelOuter != Value) {
        FBevelOuter = Value;
        Realign();
        Invalidate();
    }
}

void TCustomPanel::SetBevelWidth(TBevelWidth Value)
{
    Value = std::max(1, Value);
    if (FBevelWidth != Value) {
        FBevelWidth = Value;
        Realign();
        Invalidate();
    }
}

void TCustomPanel::SetBorderWidth(TBorderWidth Value)
{
    Value = std::max(0, Value);
    if (FBorderWidth != Value) {
        FBorderWidth = Value;
        Realign();
        Invalidate();
    }
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value)
{
    if (FBorderStyle != Value) {
        FBorderStyle = Value;
        Realign();
        Invalidate();
    }
}

void TCustomPanel::SetAlignment(TAlignment Value)
{
    if (FAlignment != Value) {
        FAlignment = Value;
        Invalidate();
    }
}

int TCustomPanel::FrameWidth() const
{
    int W = FBorderWidth;
    if (FBorderStyle == bsSingle)
        ++W;
    if (FBevelOuter != bvNone)
        W += FBevelWidth;
    if (FBevelInner != bvNone)
        W += FBevelWidth;
    return W;
}

void TCustomPanel::AdjustClientRect(TRect& Rect)
{
    int W = FrameWidth();
    InflateRect(&Rect, -W, -W);
}

void TCustomPanel::Paint()
{
    TCanvas* C = Canvas();
    TRect R = ClientRect();
    auto Bevel = [&](TPanelBevel Kind) {
        if (Kind == bvNone)
            return;
        if (Kind == bvSpace)
            Frame3D(C, R, Color(), Color(), FBevelWidth);
        else if (Kind == bvLowered)
            Frame3D(C, R, clBtnShadow, clBtnHighlight, FBevelWidth);
        else
            Frame3D(C, R, clBtnHighlight, clBtnShadow, FBevelWidth);
    };
    if (FBorderStyle == bsSingle)
        Frame3D(C, R, clWindowFrame, clWindowFrame, 1);
    Bevel(FBevelOuter);
    Frame3D(C, R, Color(), Color(), FBorderWidth);
    Bevel(FBevelInner);
    FillSolid(C, R, Color());
    if (!Caption().empty()) {
        static const UINT Align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
        C->SetFont(Font());
        HDC DC = C->Handle();
        SetBkMode(DC, TRANSPARENT);
        SetTextColor(DC, ColorToColorRef(Enabled() ? Font()->Color() : clGrayText));
        RECT T = R;
        DrawText(DC, Caption().c_str(), static_cast<int>(Caption().size()), &T,
                 DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | Align[FAlignment]);
    }
}

void TCustomPanel::WMEraseBkgnd(TWMEraseBkgnd Message)
{
    Message.Result = 1;
}

// ---- TBevel -----------------------------------------------------------------------------------

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    ControlStyle.Include(csReplicatable);
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape Value)
{
    if (FShape != Value) {
        FShape = Value;
        Invalidate();
    }
}

void TBevel::SetStyle(TBevelStyle Value)
{
    if (FStyle != Value) {
        FStyle = Value;
        Invalidate();
    }
}

void TBevel::Paint()
{
    TCanvas* C = Canvas();
    // Lowered: the shadow above and left, the highlight below and right; raised the reverse.
    TColor Dark = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor Light = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    const int W = Width(), H = Height();
    TRect R;
    switch (FShape) {
    case bsBox:
        R = Rect(0, 0, W, H);
        Frame3D(C, R, Dark, Light, 1);
        break;
    case bsFrame:
        // Two offset rings give the etched groove (or ridge).
        R = Rect(1, 1, W, H);
        Frame3D(C, R, Light, Light, 1);
        R = Rect(0, 0, W - 1, H - 1);
        Frame3D(C, R, Dark, Dark, 1);
        break;
    case bsTopLine:
        FillSolid(C, Rect(0, 0, W, 1), Dark);
        FillSolid(C, Rect(0, 1, W, 2), Light);
        break;
    case bsBottomLine:
        FillSolid(C, Rect(0, H - 2, W, H - 1), Dark);
        FillSolid(C, Rect(0, H - 1, W, H), Light);
        break;
    case bsLeftLine:
        FillSolid(C, Rect(0, 0, 1, H), Dark);
        FillSolid(C, Rect(1, 0, 2, H), Light);
        break;
    case bsRightLine:
        FillSolid(C, Rect(W - 2, 0, W - 1, H), Dark);
        FillSolid(C, Rect(W - 1, 0, W, H), Light);
        break;
    case bsSpacer:
        break;
    }
}

// ---- TShape -----------------------------------------------------------------------------------

TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner), FPen(new TPen()), FBrush(new TBrush())
{
    ControlStyle.Include(csReplicatable);
    SetBounds(0, 0, 65, 65);
    FPen->OnChange = [this](TObject*) { Invalidate(); };
    FBrush->OnChange = [this](TObject*) { Invalidate(); };
}

TShape::~TShape()
{
    delete FPen;
    delete FBrush;
}

void TShape::SetShape(TShapeType Value)
{
    if (FShape != Value) {
        FShape = Value;
        Invalidate();
    }
}

void TShape::Paint()
{
    TCanvas* C = Canvas();
    C->SetPen(FPen);
    C->SetBrush(FBrush);
    // The pen is centred on the outline, so the figure is inset by half its width.
    int PW = FPen->Width();
    int X = PW / 2, Y = PW / 2;
    int W = Width() - PW + 1, H = Height() - PW + 1;
    if (PW == 0) {
        --W;
        --H;
    }
    int S = std::min(W, H);
    if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
        X += (W - S) / 2;
        Y += (H - S) / 2;
        W = H = S;
    }
    switch (FShape) {
    case stRectangle:
    case stSquare:
        C->Rectangle(X, Y, X + W, Y + H);
        break;
    case stRoundRect:
    case stRoundSquare:
        C->RoundRect(X, Y, X + W, Y + H, S / 4, S / 4);
        break;
    case stEllipse:
    case stCircle:
        C->Ellipse(X, Y, X + W, Y + H);
        break;
    }
}

// ---- TImage -----------------------------------------------------------------------------------

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(new TPicture())
{
    FPicture->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage()
{
    FPicture->OnChange = nullptr;
    delete FPicture;
}

TCanvas* TImage::Canvas()
{
    if (!FPicture->Graphic()) {
        TBitmap* B = FPicture->Bitmap();
        B->SetSize(Width(), Height());
    }
    auto* B = dynamic_cast<TBitmap*>(FPicture->Graphic());
    if (!B)
        throw EInvalidOperation("Can only modify an image if it contains a bitmap");
    return B->Canvas();
}

void TImage::SetAutoSize(bool Value)
{
    if (FAutoSize != Value) {
        FAutoSize = Value;
        PictureChanged(this);
    }
}

void TImage::SetStretch(bool Value)
{
    if (FStretch != Value) {
        FStretch = Value;
        Invalidate();
    }
}

void TImage::SetCenter(bool Value)
{
    if (FCenter != Value) {
        FCenter = Value;
        Invalidate();
    }
}

void TImage::SetTransparent(bool Value)
{
    if (FTransparent != Value) {
        FTransparent = Value;
        PictureChanged(this);
    }
}

TRect TImage::DestRect() const
{
    int W = FPicture->Width(), H = FPicture->Height();
    if (FStretch)
        return Rect(0, 0, Width(), Height());
    if (FCenter)
        return Bounds((Width() - W) / 2, (Height() - H) / 2, W, H);
    return Rect(0, 0, W, H);
}

void TImage::PictureChanged(TObject*)
{
    if (FDrawing)
        return;
    FDrawing = true;
    try {
        if (TGraphic* G = FPicture->Graphic();
            G && G->Transparent() != FTransparent && !dynamic_cast<TIcon*>(G))
            G->SetTransparent(FTransparent);
    } catch (...) {
        FDrawing = false;
        throw;
    }
    FDrawing = false;
    if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
        SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
    // An opaque picture that covers the control spares the parent's background.
    TGraphic* G = FPicture->Graphic();
    if (G && !G->Transparent() &&
        (FStretch || (FPicture->Width() >= Width() && FPicture->Height() >= Height())))
        ControlStyle.Include(csOpaque);
    else
        ControlStyle.Exclude(csOpaque);
    Invalidate();
}

void TImage::Paint()
{
    TGraphic* G = FPicture->Graphic();
    if (!G || G->Empty() || FDrawing)
        return;
    FDrawing = true;
    try {
        TGraphicControl::Canvas()->StretchDraw(DestRect(), G);
    } catch (...) {
        FDrawing = false;
        throw;
    }
    FDrawing = false;
}

// ---- TPaintBox --------------------------------------------------------------------------------

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner)
{
    ControlStyle.Include(csReplicatable);
    SetBounds(0, 0, 105, 105);
    SetParentColor(true);
}

void TPaintBox::Paint()
{
    Canvas()->SetFont(Font());
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->Brush()->SetColor(Color());
    if (OnPaint)
        OnPaint(this);
}

// ---- TTimer -----------------------------------------------------------------------------------

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner)
{
    // A new timer runs at once (Enabled, 1000 ms), except one made before the program's
    // window system exists (a unit's start-up code): that one starts when next changed.
    if (QCoreApplication::instance())
        UpdateTimer();
}

TTimer::~TTimer()
{
    if (FWindowHandle && IsWindow(FWindowHandle)) {
        KillTimer(FWindowHandle, 1);
        DeallocateHWnd(FWindowHandle);
    }
}

void TTimer::SetEnabled(bool Value)
{
    if (FEnabled != Value) {
        FEnabled = Value;
        UpdateTimer();
    }
}

void TTimer::SetInterval(unsigned Value)
{
    if (FInterval != Value) {
        FInterval = Value;
        UpdateTimer();
    }
}

void TTimer::UpdateTimer()
{
    // The hidden window is made when a timer first has to run (a timer may be made before
    // the window system is up, at program start), and again after the window went away.
    bool Alive = FWindowHandle && IsWindow(FWindowHandle);
    if (Alive)
        KillTimer(FWindowHandle, 1);
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDesigning))
        return;
    if (FInterval == 0 || !FEnabled)
        return;
    if (!Alive)
        FWindowHandle = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
    SetTimer(FWindowHandle, 1, FInterval, nullptr);
}

void TTimer::Loaded()
{
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::Timer()
{
    if (OnTimer)
        OnTimer(this);
}

void TTimer::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_TIMER) {
        // A timer stopped while the message waited fires no more.
        if (FEnabled && FInterval != 0)
            SafeCall(this, [this] { Timer(); });
        Message.Result = 0;
        return;
    }
    Message.Result = DefWindowProc(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
}

// ---- TNotebook --------------------------------------------------------------------------------

TNotebook::TNotebook(TComponent* AOwner) : TPageHost(AOwner)
{
    ControlStyle.Exclude(csClickEvents);
    ControlStyle.Exclude(csAcceptsControls);
    SetBounds(0, 0, 150, 150);
    SetColor(clBtnFace);
    AddDefaultPage();
}

TNotebook::~TNotebook()
{
    // Pages first, while this object can still hear about them.
    DestroyPages();
}

TPageHostPage* TNotebook::CreatePage()
{
    return new TNotebookPage(this);
}

bool TNotebook::IsOwnPage(TPageHostPage* P) const
{
    return dynamic_cast<TNotebookPage*>(P) != nullptr;
}

void TNotebook::PageShown(bool Changed)
{
    if (Changed && OnPageChanged && !ComponentState().Contains(csLoading))
        OnPageChanged(this);
}

// ---- Registration -----------------------------------------------------------------------------

TW_ENUM(TPanelBevel, "bvNone", "bvLowered", "bvRaised", "bvSpace");
TW_ENUM(TBevelStyle, "bsLowered", "bsRaised");
TW_ENUM(TBevelShape, "bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine",
        "bsSpacer");
TW_ENUM(TShapeType, "stRectangle", "stSquare", "stRoundRect", "stRoundSquare", "stEllipse", "stCircle");

TW_PUBLISH(TCustomPanel, TCustomControl)
{
    Cls.Enum("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner).Default(bvNone);
    Cls.Enum("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter).Default(bvRaised);
    Cls.Int("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth).Default(1);
    Cls.Int("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth).Default(0);
    Cls.Enum("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle).Default(bsNone);
    Cls.Enum("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment).Default(taCenter);
    Cls.Message(WM_ERASEBKGND, &TCustomPanel::WMEraseBkgnd);
}
TW_PUBLISH(TPanel, TCustomPanel) {}

TW_PUBLISH(TBevel, TGraphicControl)
{
    Cls.Enum("Shape", &TBevel::Shape, &TBevel::SetShape).Default(bsBox);
    Cls.Enum("Style", &TBevel::Style, &TBevel::SetStyle).Default(bsLowered);
}

TW_PUBLISH(TShape, TGraphicControl)
{
    Cls.Enum("Shape", &TShape::Shape, &TShape::SetShape).Default(stRectangle);
    Cls.Object("Pen", &TShape::Pen, &TShape::SetPen);
    Cls.Object("Brush", &TShape::Brush, &TShape::SetBrush);
}

TW_PUBLISH(TImage, TGraphicControl)
{
    Cls.Object("Picture", &TImage::Picture, &TImage::SetPicture);
    Cls.Bool("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize).Default(false);
    Cls.Bool("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(false);
    Cls.Bool("Center", &TImage::Center, &TImage::SetCenter).Default(false);
    Cls.Bool("Transparent", &TImage::Transparent, &TImage::SetTransparent).Default(false);
}

TW_PUBLISH(TPaintBox, TGraphicControl)
{
    Cls.Event("OnPaint", &TPaintBox::OnPaint);
}

TW_PUBLISH(TTimer, TComponent)
{
    Cls.Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
    Cls.Int("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000);
    Cls.Event("OnTimer", &TTimer::OnTimer);
}

// Stored forms call a notebook page "TPage"; in code it has its own name, since the HTML
// engine's page block is a TPage too.
[[maybe_unused]] static const bool TwPublished_TNotebookPage =
    (PublishClass<TNotebookPage, TCustomControl>("TPage"), true);

TW_PUBLISH(TNotebook, TCustomControl)
{
    Cls.Strings("Pages", &TNotebook::Pages, &TNotebook::SetPages);
    Cls.Int("PageIndex", &TNotebook::PageIndex, &TNotebook::SetPageIndex).Default(0);
    Cls.Str("ActivePage", &TNotebook::ActivePage, &TNotebook::SetActivePage);
    Cls.Event("OnPageChanged", &TNotebook::OnPageChanged);
}
