#include "platform/controls/ScrollBox.h"

#include "platform/classes/TypInfo.h"

#include <algorithm>

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner)
{
    ControlStyle.Include(csAcceptsControls);
    ControlStyle.Exclude(csClickEvents);
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TScrollBox::SetBorderStyle(TBorderStyle Value)
{
    if (FBorderStyle != Value) {
        FBorderStyle = Value;
        if (HandleAllocated())
            RecreateWnd();
    }
}

void TScrollBox::SetAutoScroll(bool Value)
{
    if (FAutoScroll != Value) {
        FAutoScroll = Value;
        if (!Value)
            ScrollTo(0, 0);
        UpdateScrollBars();
    }
}

void TScrollBox::CreateParams(TCreateParams& Params)
{
    TScrollingWinControl::CreateParams(Params);
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::ScrollTo(int X, int Y)
{
    UpdateScrollBars();
    MoveContents(X, Y);
}

void TScrollBox::MoveContents(int X, int Y)
{
    X = std::clamp(X, 0, std::max(0, FHorzRange - ClientWidth()));
    Y = std::clamp(Y, 0, std::max(0, FVertRange - ClientHeight()));
    int DX = FHorzPos - X, DY = FVertPos - Y;
    if (DX == 0 && DY == 0)
        return;
    FHorzPos = X;
    FVertPos = Y;
    // The children move; the ranges are measured from the scrolled origin, so they stay.
    FUpdating = true;
    DisableAlign();
    for (int I = 0; I < ControlCount(); ++I) {
        TControl* C = Controls(I);
        if (C->Align() == alNone)
            C->SetBounds(C->Left() + DX, C->Top() + DY, C->Width(), C->Height());
    }
    EnableAlign();
    FUpdating = false;
    UpdateScrollBars();
    Invalidate();
}

void TScrollBox::ScrollInView(TControl* AControl)
{
    if (!AControl || !ContainsControl(AControl))
        return;
    UpdateScrollBars();
    TPoint TopLeft = ScreenToClient(AControl->ClientToScreen(Point(0, 0)));
    int X = FHorzPos, Y = FVertPos;
    if (TopLeft.x < 0)
        X += TopLeft.x;
    else if (TopLeft.x + AControl->Width() > ClientWidth())
        X += std::min(TopLeft.x, TopLeft.x + AControl->Width() - ClientWidth());
    if (TopLeft.y < 0)
        Y += TopLeft.y;
    else if (TopLeft.y + AControl->Height() > ClientHeight())
        Y += std::min(TopLeft.y, TopLeft.y + AControl->Height() - ClientHeight());
    ScrollTo(X, Y);
}

void TScrollBox::UpdateScrollBars()
{
    if (FUpdating)
        return;
    FUpdating = true;
    int Right = 0, Bottom = 0;
    if (FAutoScroll) {
        for (int I = 0; I < ControlCount(); ++I) {
            TControl* C = Controls(I);
            if (!C->Visible() || C->Align() != alNone)
                continue;
            Right = std::max(Right, C->Left() + C->Width() + FHorzPos);
            Bottom = std::max(Bottom, C->Top() + C->Height() + FVertPos);
        }
    }
    FHorzRange = Right;
    FVertRange = Bottom;
    const bool Same = FShownHorzRange == FHorzRange && FShownVertRange == FVertRange &&
                      FShownHorzPos == FHorzPos && FShownVertPos == FVertPos && FShownWidth == Width() &&
                      FShownHeight == Height();
    if (HandleAllocated() && !Same) {
        FShownHorzRange = FHorzRange;
        FShownVertRange = FVertRange;
        FShownHorzPos = FHorzPos;
        FShownVertPos = FVertPos;
        FShownWidth = Width();
        FShownHeight = Height();
        // Showing one bar narrows the client area, which may call for the other.
        for (int Pass = 0; Pass < 2; ++Pass) {
            SCROLLINFO Info{};
            Info.cbSize = sizeof(Info);
            Info.fMask = SIF_ALL;
            Info.nMin = 0;
            Info.nMax = std::max(0, FHorzRange - 1);
            Info.nPage = static_cast<UINT>(std::max(0, ClientWidth()));
            Info.nPos = FHorzPos;
            ShowScrollBar(Handle(), SB_HORZ, FAutoScroll && FHorzRange > ClientWidth());
            SetScrollInfo(Handle(), SB_HORZ, &Info, TRUE);
            Info.nMax = std::max(0, FVertRange - 1);
            Info.nPage = static_cast<UINT>(std::max(0, ClientHeight()));
            Info.nPos = FVertPos;
            ShowScrollBar(Handle(), SB_VERT, FAutoScroll && FVertRange > ClientHeight());
            SetScrollInfo(Handle(), SB_VERT, &Info, TRUE);
        }
    }
    FUpdating = false;
    // A smaller content or a larger box may leave the view scrolled too far.
    int X = std::clamp(FHorzPos, 0, std::max(0, FHorzRange - ClientWidth()));
    int Y = std::clamp(FVertPos, 0, std::max(0, FVertRange - ClientHeight()));
    if (X != FHorzPos || Y != FVertPos)
        MoveContents(X, Y);
}

void TScrollBox::AlignControls(TControl* AControl, TRect& Rect)
{
    TScrollingWinControl::AlignControls(AControl, Rect);
    UpdateScrollBars();
}

void TScrollBox::SizeChanged()
{
    TScrollingWinControl::SizeChanged();
    UpdateScrollBars();
}

void TScrollBox::Scrolled(int Bar, int Code)
{
    const bool Horz = Bar == SB_HORZ;
    int Pos = Horz ? FHorzPos : FVertPos;
    int Page = Horz ? ClientWidth() : ClientHeight();
    int Range = Horz ? FHorzRange : FVertRange;
    switch (Code) {
    case SB_LINEUP:
        Pos -= Increment;
        break;
    case SB_LINEDOWN:
        Pos += Increment;
        break;
    case SB_PAGEUP:
        Pos -= Page;
        break;
    case SB_PAGEDOWN:
        Pos += Page;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO Info{};
        Info.cbSize = sizeof(Info);
        Info.fMask = SIF_TRACKPOS;
        GetScrollInfo(Handle(), Bar, &Info);
        Pos = Info.nTrackPos;
        break;
    }
    case SB_TOP:
        Pos = 0;
        break;
    case SB_BOTTOM:
        Pos = Range;
        break;
    default:
        return;
    }
    if (Horz)
        ScrollTo(Pos, FVertPos);
    else
        ScrollTo(FHorzPos, Pos);
}

// Children placed by hand do not ask their parent to realign when they move, so the ranges are
// measured again when the list of children changes and before each paint.
void TScrollBox::CMControlListChange(TMessage& Message)
{
    DefaultHandler(Message);
    UpdateScrollBars();
}

void TScrollBox::WMPaint(TWMPaint Message)
{
    UpdateScrollBars();
    TScrollingWinControl::WMPaint(Message);
}

// The box's own scroll bars; a scroll-bar child's messages go on to be reflected to it.
void TScrollBox::WMHScroll(TWMHScroll Message)
{
    if (Message.ScrollBar()) {
        TScrollingWinControl::WMHScroll(Message);
        return;
    }
    Scrolled(SB_HORZ, LOWORD(Message.WParam));
    Message.Result = 0;
}

void TScrollBox::WMVScroll(TWMVScroll Message)
{
    if (Message.ScrollBar()) {
        TScrollingWinControl::WMVScroll(Message);
        return;
    }
    Scrolled(SB_VERT, LOWORD(Message.WParam));
    Message.Result = 0;
}

TW_PUBLISH(TScrollBox, TScrollingWinControl)
{
    Cls.Enum("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle).Default(bsSingle);
    Cls.Bool("AutoScroll", &TScrollBox::AutoScroll, &TScrollBox::SetAutoScroll).Default(true);
    Cls.Message(CM_CONTROLLISTCHANGE, &TScrollBox::CMControlListChange);
    Cls.Message(WM_PAINT, &TScrollBox::WMPaint);
    Cls.Message(WM_HSCROLL, &TScrollBox::WMHScroll);
    Cls.Message(WM_VSCROLL, &TScrollBox::WMVScroll);
}
