#include "platform/controls/TabNotBk.h"

#include "platform/classes/TypInfo.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

// ---- TTabbedNotebook --------------------------------------------------------------------------

TTabbedNotebook::TTabbedNotebook(TComponent* AOwner) : TPageHost(AOwner), FTabFont(new TFont())
{
    ControlStyle.Exclude(csAcceptsControls);
    ControlStyle.Exclude(csClickEvents);
    SetBounds(0, 0, 300, 250);
    SetColor(clBtnFace);
    FTabFont->OnChange = [this](TObject*) {
        Realign();
        Invalidate();
    };
    AddDefaultPage();
}

TTabbedNotebook::~TTabbedNotebook()
{
    // The pages go while the tab font they are laid out by still exists.
    DestroyPages();
    FTabFont->OnChange = nullptr;
    delete FTabFont;
}

TPageHostPage* TTabbedNotebook::CreatePage()
{
    return new TTabPage(this);
}

bool TTabbedNotebook::IsOwnPage(TPageHostPage* P) const
{
    return dynamic_cast<TTabPage*>(P) != nullptr;
}

void TTabbedNotebook::PageShown(bool)
{
    Invalidate();
}

void TTabbedNotebook::PagesChanged(bool Added)
{
    // A new page may start a new row of tabs.
    if (Added)
        Realign();
    Invalidate();
}

void TTabbedNotebook::SetTabsPerRow(int Value)
{
    Value = std::max(1, Value);
    if (FTabsPerRow != Value) {
        FTabsPerRow = Value;
        Realign();
        Invalidate();
    }
}

int TTabbedNotebook::TabHeight()
{
    // Measured without the window, which may not exist yet.
    TBitmap Probe(1, 1);
    Probe.Canvas()->SetFont(FTabFont);
    return Probe.Canvas()->TextHeight("Ag") + 6;
}

int TTabbedNotebook::RowCount() const
{
    int N = std::max(1, PageCount());
    return (N + FTabsPerRow - 1) / FTabsPerRow;
}

TRect TTabbedNotebook::TabRect(int Index)
{
    if (Index < 0 || Index >= PageCount())
        return Rect(0, 0, 0, 0);
    int Cols = std::min(PageCount(), FTabsPerRow);
    int W = std::max(1, (Width() - 4) / Cols);
    int H = TabHeight();
    // The active tab's row sits next to the page and the rows after it move up above it, so the
    // active tab opens into its page without covering a tab of another row.
    const int Rows = RowCount();
    const int ActiveRow = PageIndex() >= 0 ? PageIndex() / FTabsPerRow : Rows - 1;
    const int Row = (Index / FTabsPerRow - ActiveRow - 1 + 2 * Rows) % Rows;
    const int Col = Index % FTabsPerRow;
    TRect R = Bounds(2 + Col * W, 2 + Row * H, W, H);
    if (Index == PageIndex())
        InflateRect(&R, 2, 2);
    return R;
}

int TTabbedNotebook::TabAt(int X, int Y)
{
    TPoint P{X, Y};
    // The active tab is drawn over its neighbours, so it is tried first.
    if (PageIndex() >= 0) {
        TRect R = TabRect(PageIndex());
        if (PtInRect(&R, P))
            return PageIndex();
    }
    for (int I = 0; I < PageCount(); ++I) {
        TRect R = TabRect(I);
        if (PtInRect(&R, P))
            return I;
    }
    return -1;
}

void TTabbedNotebook::AdjustClientRect(TRect& Rect)
{
    Rect.top += 2 + RowCount() * TabHeight();
    InflateRect(&Rect, -4, -4);
}

void TTabbedNotebook::Loaded()
{
    TPageHost::Loaded();
    Realign();
}

void TTabbedNotebook::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    int Tab = TabAt(X, Y);
    if (Tab < 0)
        return;
    if (Tab != PageIndex()) {
        bool Allow = true;
        if (OnChange)
            OnChange(this, Tab, Allow);
        if (!Allow)
            return;
        ShowPage(Tab);
    }
    Click();
}

void TTabbedNotebook::WMEraseBkgnd(TWMEraseBkgnd Message)
{
    Message.Result = 1;
}

void TTabbedNotebook::Paint()
{
    TCanvas* C = Canvas();
    TRect All = ClientRect();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Color());
    C->FillRect(All);
    int Strip = 2 + RowCount() * TabHeight();
    RECT Page = Rect(0, Strip, All.right, All.bottom);
    DrawEdge(C->Handle(), &Page, EDGE_RAISED, BF_RECT);
    auto DrawTab = [&](int I) {
        TRect R = TabRect(I);
        C->Brush()->SetColor(Color());
        C->FillRect(R);
        RECT E = R;
        DrawEdge(C->Handle(), &E, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT);
        if (I == PageIndex()) {
            // The active tab opens into its page.
            C->FillRect(Rect(R.left + 2, R.bottom - 2, R.right - 2, Strip + 2));
        }
        C->SetFont(FTabFont);
        HDC DC = C->Handle();
        SetBkMode(DC, TRANSPARENT);
        SetTextColor(DC, ColorToColorRef(Enabled() ? FTabFont->Color() : clGrayText));
        RECT T = R;
        const std::string& Text = PageAt(I)->Caption();
        DrawText(DC, Text.c_str(), static_cast<int>(Text.size()), &T, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    };
    for (int I = 0; I < PageCount(); ++I)
        if (I != PageIndex())
            DrawTab(I);
    if (PageIndex() >= 0)
        DrawTab(PageIndex());
}

TW_PUBLISH(TTabPage, TCustomControl) {}

TW_PUBLISH(TTabbedNotebook, TCustomControl)
{
    Cls.Strings("Pages", &TTabbedNotebook::Pages, &TTabbedNotebook::SetPages);
    Cls.Int("PageIndex", &TTabbedNotebook::PageIndex, &TTabbedNotebook::SetPageIndex).Default(0);
    Cls.Str("ActivePage", &TTabbedNotebook::ActivePage, &TTabbedNotebook::SetActivePage);
    Cls.Object("TabFont", &TTabbedNotebook::TabFont, &TTabbedNotebook::SetTabFont);
    Cls.Int("TabsPerRow", &TTabbedNotebook::TabsPerRow, &TTabbedNotebook::SetTabsPerRow).Default(3);
    Cls.Event("OnChange", &TTabbedNotebook::OnChange);
    Cls.Message(WM_ERASEBKGND, &TTabbedNotebook::WMEraseBkgnd);
}

namespace {
const bool TabEventsRegistered = [] {
    RegisterEventType<TPageChangeEvent>("TPageChangeEvent");
    return true;
}();
} // namespace
