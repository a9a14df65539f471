#include "toolbars/ToolbarStub.h"

#include "platform/classes/TypInfo.h"
#include "platform/graphics/WinGdi.h"
#include "toolbars/DockStub.h"

#include <algorithm>

namespace {
constexpr int HandleWidth = 9; // the drag grip in front of the first button
constexpr int Border = 2;
} // namespace

TToolbar::TToolbar(TComponent* AOwner) : TCustomControl(AOwner)
{
    FColor = clBtnFace;
    SetBounds(0, 0, 40, 26);
}

void TToolbar::SetDockedTo(TDock* Value)
{
    FDockedTo = Value;
    if (Value && Parent() != Value)
        SetParent(Value);
}

void TToolbar::SetDockRow(int Value)
{
    FDockRow = Value;
    DockChanged();
}

void TToolbar::SetDockPos(int Value)
{
    FDockPos = Value;
    DockChanged();
}

void TToolbar::DockChanged()
{
    if (auto* Dock = dynamic_cast<TDock*>(Parent()); Dock && !ComponentState().Contains(csLoading))
        Dock->ArrangeToolbars();
}

void TToolbar::Loaded()
{
    TCustomControl::Loaded();
    if (auto* Dock = dynamic_cast<TDock*>(Parent()))
        FDockedTo = Dock;
    ArrangeControls();
}

void TToolbar::AlignControls(TControl* AControl, TRect& Rect)
{
    (void)AControl;
    (void)Rect;
    ArrangeControls();
}

void TToolbar::ArrangeControls()
{
    if (FArranging)
        return;
    FArranging = true;
    int X = Border + (DragHandle ? HandleWidth : 0);
    int H = 22;
    for (int I = 0; I < ControlCount(); ++I) {
        TControl* C = Controls(I);
        if (!C->Visible())
            continue;
        C->SetBounds(X, Border, C->Width(), C->Height());
        X += C->Width();
        H = std::max(H, C->Height());
    }
    int W = X + Border, Hh = H + 2 * Border;
    if (W != Width() || Hh != Height()) {
        SetBounds(Left(), Top(), W, Hh);
        if (auto* Dock = dynamic_cast<TDock*>(Parent()))
            Dock->ArrangeToolbars();
    }
    FArranging = false;
}

void TToolbar::Paint()
{
    TRect R = ClientRect();
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(R);
    DrawEdge(Canvas()->Handle(), &R, BDR_RAISEDINNER, BF_RECT);
    if (DragHandle) {
        for (int X : {3, 6}) {
            TRect G{X, 3, X + 3, R.bottom - 3};
            DrawEdge(Canvas()->Handle(), &G, BDR_RAISEDINNER, BF_RECT);
        }
    }
}

TToolbarSep::TToolbarSep(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetBounds(0, 0, 6, 22);
}

void TToolbarSep::Paint()
{
    if (Blank)
        return;
    TRect R{Width() / 2 - 1, 1, Width() / 2 + 1, Height() - 1};
    DrawEdge(Canvas()->Handle(), &R, BDR_SUNKENOUTER, BF_LEFT | BF_RIGHT);
}

TW_PUBLISH(TToolbar, TCustomControl)
{
    Cls.Component("DockedTo", &TToolbar::DockedTo, &TToolbar::SetDockedTo);
    Cls.Int("DockRow", &TToolbar::DockRow, &TToolbar::SetDockRow).Default(0);
    Cls.Int("DockPos", &TToolbar::DockPos, &TToolbar::SetDockPos).Default(-1);
    Cls.Bool("CloseButton", &TToolbar::CloseButton).Default(true);
    Cls.Bool("DragHandle", &TToolbar::DragHandle).Default(true);
    Cls.Bool("FullSize", &TToolbar::FullSize).Default(false);
}

TW_PUBLISH(TToolbarSep, TGraphicControl)
{
    Cls.Bool("Blank", &TToolbarSep::Blank).Default(false);
}
