#include "toolbars/DockStub.h"

#include "platform/classes/TypInfo.h"
#include "toolbars/ToolbarStub.h"

#include <algorithm>
#include <vector>

TDock::TDock(TComponent* AOwner) : TCustomControl(AOwner)
{
    FColor = clBtnFace;
    SetAlign(alTop);
    SetHeight(0);
}

void TDock::SetPosition(TDockPosition Value)
{
    FPosition = Value;
    static constexpr TAlign Aligns[] = {alTop, alBottom, alLeft, alRight};
    SetAlign(Aligns[Value]);
}

void TDock::Loaded()
{
    TCustomControl::Loaded();
    ArrangeToolbars();
}

void TDock::AlignControls(TControl* AControl, TRect& Rect)
{
    (void)AControl;
    (void)Rect;
    ArrangeToolbars();
}

void TDock::ArrangeToolbars()
{
    if (FArranging)
        return;
    FArranging = true;
    std::vector<TToolbar*> Bars;
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* Bar = dynamic_cast<TToolbar*>(Controls(I)); Bar && Bar->Visible())
            Bars.push_back(Bar);
    std::stable_sort(Bars.begin(), Bars.end(), [](TToolbar* A, TToolbar* B) {
        return A->DockRow() != B->DockRow() ? A->DockRow() < B->DockRow() : A->DockPos() < B->DockPos();
    });
    int Y = 0, RowHeight = 0, X = 0, Row = -1;
    for (TToolbar* Bar : Bars) {
        if (Bar->DockRow() != Row) {
            Y += RowHeight;
            RowHeight = 0;
            X = 0;
            Row = Bar->DockRow();
        }
        int Left = std::max(X, Bar->DockPos());
        Bar->SetBounds(Left, Y, Bar->Width(), Bar->Height());
        X = Left + Bar->Width();
        RowHeight = std::max(RowHeight, Bar->Height());
    }
    int Extent = Y + RowHeight;
    if (FPosition == dpTop || FPosition == dpBottom) {
        if (Height() != Extent)
            SetHeight(Extent);
    } else if (Width() != Extent) {
        SetWidth(Extent);
    }
    FArranging = false;
}

void TDock::Paint()
{
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

TW_ENUM(TDockPosition, "dpTop", "dpBottom", "dpLeft", "dpRight");

TW_PUBLISH(TDock, TCustomControl)
{
    Cls.Enum("Position", &TDock::Position, &TDock::SetPosition).Default(dpTop);
    Cls.Bool("AllowDrag", &TDock::AllowDrag).Default(true);
    Cls.Bool("BoundLines", &TDock::BoundLines).Default(false);
}
