#include "platform/controls/PageHosts.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>

// ---- TPageHostPage ----------------------------------------------------------------------------

TPageHostPage::TPageHostPage(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle.Include(csAcceptsControls);
    ControlStyle.Exclude(csClickEvents);
    SetVisible(false);
    SetAlign(alClient);
    SetParentColor(true);
}

TPageHostPage::~TPageHostPage()
{
    if (auto* Host = dynamic_cast<TPageHost*>(FParent))
        Host->PageRemoved(this);
}

void TPageHostPage::SetParent(TWinControl* AParent)
{
    auto* Old = dynamic_cast<TPageHost*>(FParent);
    TCustomControl::SetParent(AParent);
    auto* New = dynamic_cast<TPageHost*>(AParent);
    if (New && !New->IsOwnPage(this))
        New = nullptr;
    // PageRemoved ignores a page the host never took.
    if (Old && Old != New)
        Old->PageRemoved(this);
    if (New && New != Old)
        New->PageAdded(this);
}

void TPageHostPage::Paint()
{
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

// ---- The page list ----------------------------------------------------------------------------

// The captions of a host's pages, as a string list.
class TPageHostPages : public TStrings {
public:
    explicit TPageHostPages(TPageHost* Host) : FHost(Host) {}
    int GetCount() const override { return FHost->PageCount(); }
    std::string Get(int Index) const override { return Checked(Index)->Caption(); }
    void Put(int Index, const std::string& S) override
    {
        Checked(Index)->SetCaption(S);
        FHost->PagesChanged(false);
    }
    TObject* GetObject(int Index) const override { return Checked(Index); }
    void PutObject(int, TObject*) override {}
    void Insert(int Index, const std::string& S) override
    {
        if (Index < 0 || Index > GetCount())
            throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
        TPageHostPage* P = FHost->CreatePage();
        P->SetCaption(S);
        P->SetParent(FHost);
        // New pages go to the end; move this one where it was asked for.
        auto& Pages = FHost->FPages;
        Pages.pop_back();
        Pages.insert(Pages.begin() + Index, P);
        if (FHost->FPageIndex >= Index && Pages.size() > 1)
            ++FHost->FPageIndex;
        if (FHost->FPageIndex < 0)
            FHost->ShowPage(0);
        FHost->PagesChanged(false);
    }
    void Delete(int Index) override { delete Checked(Index); }
    void Clear() override
    {
        while (FHost->PageCount() > 0)
            delete FHost->FPages.back();
    }

private:
    TPageHostPage* Checked(int Index) const
    {
        if (Index < 0 || Index >= GetCount())
            throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
        return FHost->FPages[static_cast<std::size_t>(Index)];
    }
    TPageHost* FHost;
};

// ---- TPageHost --------------------------------------------------------------------------------

TPageHost::TPageHost(TComponent* AOwner) : TCustomControl(AOwner), FAccess(new TPageHostPages(this)) {}

TPageHost::~TPageHost()
{
    DestroyPages();
    delete FAccess;
}

void TPageHost::AddDefaultPage()
{
    FDefaultPage = CreatePage();
    FDefaultPage->SetCaption("Default");
    FDefaultPage->SetParent(this);
}

void TPageHost::DestroyPages()
{
    FChanging = true;
    while (!FPages.empty()) {
        TPageHostPage* P = FPages.back();
        FPages.pop_back();
        delete P;
    }
}

TPageHostPage* TPageHost::PageAt(int Index) const
{
    if (Index < 0 || Index >= PageCount())
        return nullptr;
    return FPages[static_cast<std::size_t>(Index)];
}

void TPageHost::SetPages(TStrings* Value)
{
    FAccess->Assign(Value);
}

void TPageHost::PageAdded(TPageHostPage* P)
{
    if (FChanging || std::find(FPages.begin(), FPages.end(), P) != FPages.end())
        return;
    // Pages read from a description replace the page a new host starts with.
    if (FDefaultPage && P != FDefaultPage && ComponentState().Contains(csLoading)) {
        TPageHostPage* D = FDefaultPage;
        FDefaultPage = nullptr;
        delete D;
    }
    FPages.push_back(P);
    if (FPageIndex < 0 && !ComponentState().Contains(csLoading))
        ShowPage(0);
    else
        P->SetVisible(false);
    PagesChanged(true);
}

void TPageHost::PageRemoved(TPageHostPage* P)
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
    if (FPages.empty()) {
        FPageIndex = -1;
    } else if (Index < FPageIndex) {
        --FPageIndex;
    } else if (Index == FPageIndex) {
        FPageIndex = -1;
        ShowPage(std::min(Index, PageCount() - 1));
    }
    PagesChanged(false);
}

void TPageHost::ShowPage(int Index)
{
    if (Index < 0 || Index >= PageCount())
        return;
    TPageHostPage* New = FPages[static_cast<std::size_t>(Index)];
    New->SetVisible(true);
    New->BringToFront();
    for (TPageHostPage* P : FPages)
        if (P != New)
            P->SetVisible(false);
    bool Changed = FPageIndex != Index;
    FPageIndex = Index;
    PageShown(Changed);
}

void TPageHost::SetPageIndex(int Value)
{
    if (ComponentState().Contains(csLoading)) {
        FLoadedPageIndex = Value;
        return;
    }
    // Out of range is ignored, as is the page showing.
    if (Value < 0 || Value >= PageCount() || Value == FPageIndex)
        return;
    ShowPage(Value);
}

std::string TPageHost::ActivePage() const
{
    TPageHostPage* P = PageAt(FPageIndex);
    return P ? P->Caption() : std::string();
}

void TPageHost::SetActivePage(const std::string& Value)
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

void TPageHost::Loaded()
{
    TCustomControl::Loaded();
    int Index = FLoadedPageIndex >= 0 && FLoadedPageIndex < PageCount() ? FLoadedPageIndex : 0;
    for (int I = 0; !FLoadedActivePage.empty() && I < PageCount(); ++I)
        if (FPages[static_cast<std::size_t>(I)]->Caption() == FLoadedActivePage)
            Index = I;
    FPageIndex = -1;
    ShowPage(Index);
}

void TPageHost::Paint()
{
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}
