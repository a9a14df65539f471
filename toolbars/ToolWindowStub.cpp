#include "toolbars/ToolWindowStub.h"

#include "platform/classes/TypInfo.h"

#include "platform/graphics/WinGdi.h"
#include "platform/win/Messages.h"
#include "toolbars/DockStub.h"
#include <algorithm>

TToolWindow::TToolWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    FColor = clBtnFace;
    ControlStyle = ControlStyle + TControlStyle{csCaptureMouse};
    SetBounds(120, 80, 200, 150);
}

TRect TToolWindow::ClientRect() const
{
    return TRect{0, 0, std::max(0, Width() - 2 * FrameSize),
                 std::max(0, Height() - 2 * FrameSize - CaptionHeight)};
}

void TToolWindow::SetClientWidth(int Value)
{
    SetWidth(Value + 2 * FrameSize);
}

void TToolWindow::SetClientHeight(int Value)
{
    SetHeight(Value + 2 * FrameSize + CaptionHeight);
}

void TToolWindow::AdjustClientRect(TRect& Rect)
{
    Rect = TRect{FrameSize, FrameSize + CaptionHeight, Width() - FrameSize, Height() - FrameSize};
}

TRect TToolWindow::CloseBoxRect() const
{
    int Right = Width() - FrameSize - 1;
    return TRect{Right - (CaptionHeight - 2), FrameSize + 1, Right, FrameSize + CaptionHeight - 1};
}

void TToolWindow::Dispatch(TMessage& Message)
{
    TCustomControl::Dispatch(Message);
    // A window that comes up floats above the documents and bars of its form.
    if (Message.Msg == CM_VISIBLECHANGED && Message.WParam)
        BringToFront();
}

void TToolWindow::Paint()
{
    TRect R{0, 0, Width(), Height()};
    TCanvas* C = Canvas();
    C->Brush()->SetColor(Color());
    C->FillRect(R);
    DrawEdge(C->Handle(), &R, EDGE_RAISED, BF_RECT);
    TRect Cap{FrameSize, FrameSize, Width() - FrameSize, FrameSize + CaptionHeight};
    C->Brush()->SetColor(clActiveCaption);
    C->FillRect(Cap);
    C->Font()->SetColor(clCaptionText);
    C->Font()->SetStyle(TFontStyles{fsBold});
    C->Brush()->SetStyle(bsClear);
    C->TextOut(Cap.left + 3, Cap.top + 1, Caption());
    if (CloseButton) {
        TRect B = CloseBoxRect();
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clBtnFace);
        C->FillRect(B);
        DrawEdge(C->Handle(), &B, EDGE_RAISED, BF_RECT);
        C->Pen()->SetColor(clBtnText);
        C->MoveTo(B.left + 3, B.top + 3);
        C->LineTo(B.right - 3, B.bottom - 3);
        C->MoveTo(B.right - 4, B.top + 3);
        C->LineTo(B.left + 2, B.bottom - 3);
    }
}

void TToolWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || Y >= FrameSize + CaptionHeight)
        return;
    TRect B = CloseBoxRect();
    if (CloseButton && X >= B.left && X < B.right && Y >= B.top && Y < B.bottom) {
        SetMouseCapture(false); // the release may never reach a hidden window
        SetVisible(false);
        return;
    }
    BringToFront();
    FMoving = true;
    FGrab = TPoint{X, Y};
}

void TToolWindow::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    if (FMoving)
        SetBounds(Left() + X - FGrab.x, Top() + Y - FGrab.y, Width(), Height());
}

void TToolWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    FMoving = false;
}

TW_PUBLISH(TToolWindow, TCustomControl)
{
    Cls.Bool("Resizable", &TToolWindow::Resizable).Default(true);
    Cls.Bool("CloseButton", &TToolWindow::CloseButton).Default(true);
    Cls.Component("DockedTo", &TToolWindow::DockedTo);
    Cls.Int("DockRow", &TToolWindow::DockRow).Default(0);
    Cls.Int("DockPos", &TToolWindow::DockPos).Default(-1);
    Cls.Int("ClientWidth", &TToolWindow::ClientWidth, &TToolWindow::SetClientWidth);
    Cls.Int("ClientHeight", &TToolWindow::ClientHeight, &TToolWindow::SetClientHeight);
}
