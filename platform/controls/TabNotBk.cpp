#include "platform/controls/TabNotBk.h"

#include "platform/classes/TypInfo.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

// ---- TTabPage ---------------------------------------------------------------------------------

TTabPage::TTabPage(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle.Include(csAcceptsControls);
    ControlStyle.Exclude(csClickEvents);
    SetVisible(false);
    SetAlign(alClient);
    SetParentColor(true);
}

TTabPage::~TTabPage()
{
    if (auto* Book = dynamic_cast<TTabbedNotebook*>(FParent))
        Book->PageRemoved(this);
}

void TTabPage::SetParent(TWinControl* AParent)
{
    auto* Old = dynamic_cast<TTabbedNotebook*>(FParent);
    TCustomControl::SetParent(AParent);
    auto* New = dynamic_cast<TTabbedNotebook*>(AParent);
    if (Old && Old != New)
        Old->PageRemoved(this);
    if (New && New != Old)
        New->PageAdded(this);
}

void TTabPage::Paint()
{
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

// ---- The page list ----------------------------------------------------------------------------

class TTabbedPages : public TStrings {
public:
    explicit TTabbedPages(TTabbedNotebook* Book) : FBook(Book) {}
    int GetCount() const override { return FBook->PageCount(); }
    std::string Get(int Index) const override { return Checked(Index)->Caption(); }
    void Put(int Index, const std::string& S) override
    {
        Checked(Index)->SetCaption(S);
        FBook->Invalidate();
    }
    TObject* GetObject(int Index) const override { return Checked(Index); }
    void PutObject(int, TObject*) override {}
    void Insert(int Index, const std::string& S) override
    {
        if (Index < 0 || Index > GetCount())
            throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
        auto* P = new TTabPage(FBook);
        P->SetCaption(S);
        P->SetParent(FBook);
        auto& Pages = FBook->FPages;
        Pages.pop_back();
        Pages.insert(Pages.begin() + Index, P);
        if (FBook->FPageIndex >= Index && Pages.size() > 1)
            ++FBook->FPageIndex;
        if (FBook->FPageIndex < 0)
            FBook->ShowPage(0);
        FBook->Invalidate();
    }
    void Delete(int Index) override { delete Checked(Index); }
    void Clear() override
    {
        while (FBook->PageCount() > 0)
            delete FBook->FPages.back();
    }

private:
    TTabPage* Checked(int Index) const
    {
        if (Index < 0 || Index >= GetCount())
            throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
        return FBook->FPages[static_cast<std::size_t>(Index)];
    }
    TTabbedNotebook* FBook;
};

// ---- TTabbedNotebook --------------------------------------------------------------------------

TTabbedNotebook::TTabbedNotebook(TComponent* AOwner)
    : TCustomControl(AOwner), FAccess(new TTabbedPages(this)), FTabFont(new TFont())
{
    ControlStyle.Exclude(csAcceptsControls);
    ControlStyle.Exclude(csClickEvents);
    SetBounds(0, 0, 300, 250);
    SetColor(clBtnFace);
    FTabFont->OnChange = [this](TObject*) {
        Realign();
        Invalidate();
    };
    FDefaultPage = new TTabPage(this);
    FDefaultPage->SetCaption("Default");
    FDefaultPage->SetParent(this);
}

TTabbedNotebook::~TTabbedNotebook()
{
    FChanging = true;
    while (!FPages.empty()) {
        TTabPage* P = FPages.back();
        FPages.pop_back();
        delete P;
    }
    delete FAccess;
    FTabFont->OnChange = nullptr;
    delete FTabFont;
}

TTabPage* TTabbedNotebook::Page(int Index) const
{
    if (Index < 0 || Index >= PageCount())
        return nullptr;
    return FPages[static_cast<std::size_t>(Index)];
}

void TTabbedNotebook::SetPages(TStrings* Value)
{
    FAccess->Assign(Value);
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
    int Row = Index / FTabsPerRow, Col = Index % FTabsPerRow;
    TRect R = Bounds(2 + Col * W, 2 + Row * H, W, H);
    if (Index == FPageIndex)
        InflateRect(&R, 2, 2);
    return R;
}

int TTabbedNotebook::TabAt(int X, int Y)
{
    TPoint P{X, Y};
    // The active tab is drawn over its neighbours, so it is tried first.
    if (FPageIndex >= 0) {
        TRect R = TabRect(FPageIndex);
        if (PtInRect(&R, P))
            return FPageIndex;
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

void TTabbedNotebook::PageAdded(TTabPage* P)
{
    if (FChanging || std::find(FPages.begin(), FPages.end(), P) != FPages.end())
        return;
    if (FDefaultPage && P != FDefaultPage && ComponentState().Contains(csLoading)) {
        TTabPage* D = FDefaultPage;
        FDefaultPage = nullptr;
        delete D;
    }
    FPages.push_back(P);
    if (FPageIndex < 0 && !ComponentState().Contains(csLoading))
        ShowPage(0);
    else
        P->SetVisible(false);
    Realign();
    Invalidate();
}

void TTabbedNotebook::PageRemoved(TTabPage* P)
{
    if (P == FDefaultPage)
        FDefaultPage = nullptr;
    auto It = std::find(FPages.begin(), FPages.end(), P);
    if (It == FPages.end() || FChanging)
        return;
    int Index = static_cast<int>(It - FPages.begin());
    FPages.erase(It);
    if (ComponentState().Contains(csDestroying))
        return;
    if (FPages.empty())
        FPageIndex = -1;
    else if (Index < FPageIndex)
        --FPageIndex;
    else if (Index == FPageIndex) {
        FPageIndex = -1;
        ShowPage(std::min(Index, PageCount() - 1));
    }
    Invalidate();
}

void TTabbedNotebook::ShowPage(int Index)
{
    if (Index < 0 || Index >= PageCount())
        return;
    TTabPage* New = FPages[static_cast<std::size_t>(Index)];
    New->SetVisible(true);
    New->BringToFront();
    for (TTabPage* P : FPages)
        if (P != New)
            P->SetVisible(false);
    FPageIndex = Index;
    Invalidate();
}

void TTabbedNotebook::SetPageIndex(int Value)
{
    if (ComponentState().Contains(csLoading)) {
        FLoadedPageIndex = Value;
        return;
    }
    if (Value < 0 || Value >= PageCount() || Value == FPageIndex)
        return;
    ShowPage(Value);
}

std::string TTabbedNotebook::ActivePage() const
{
    TTabPage* P = Page(FPageIndex);
    return P ? P->Caption() : std::string();
}

void TTabbedNotebook::SetActivePage(const std::string& Value)
{
    if (ComponentState().Contains(csLoading)) {
        FLoadedActivePage = Value;
        return;
    }
    for (int I = 0; I < PageCount(); ++I)
        if (FPages[static_cast<std::size_t>(I)]->Caption() == Value) {
            SetPageIndex(I);
            return;
        }
}

void TTabbedNotebook::Loaded()
{
    TCustomControl::Loaded();
    int Index = FLoadedPageIndex >= 0 && FLoadedPageIndex < PageCount() ? FLoadedPageIndex : 0;
    for (int I = 0; !FLoadedActivePage.empty() && I < PageCount(); ++I)
        if (FPages[static_cast<std::size_t>(I)]->Caption() == FLoadedActivePage)
            Index = I;
    FPageIndex = -1;
    ShowPage(Index);
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
    if (Tab != FPageIndex) {
        bool Allow = true;
        if (OnChange)
            OnChange(this, Tab, Allow);
        if (!Allow)
            return;
        ShowPage(Tab);
    }
    Click();
}

void TTabbedNotebook::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;
        return;
    }
    TCustomControl::Dispatch(Message);
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
        if (I == FPageIndex) {
            // The active tab opens into its page.
            C->FillRect(Rect(R.left + 2, R.bottom - 2, R.right - 2, Strip + 2));
        }
        C->SetFont(FTabFont);
        HDC DC = C->Handle();
        SetBkMode(DC, TRANSPARENT);
        SetTextColor(DC, ColorToColorRef(Enabled() ? FTabFont->Color() : clGrayText));
        RECT T = R;
        const std::string& Text = FPages[static_cast<std::size_t>(I)]->Caption();
        DrawText(DC, Text.c_str(), static_cast<int>(Text.size()), &T, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    };
    for (int I = 0; I < PageCount(); ++I)
        if (I != FPageIndex)
            DrawTab(I);
    if (FPageIndex >= 0)
        DrawTab(FPageIndex);
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
}

namespace {
const bool TabEventsRegistered = [] {
    RegisterEventType<TPageChangeEvent>("TPageChangeEvent");
    return true;
}();
} // namespace
