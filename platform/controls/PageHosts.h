// The page handling notebooks share: a stack of client-aligned pages of which one shows.
#pragma once

#include "platform/controls/Controls.h"

#include <string>
#include <vector>

class TPageHost;

// One page of a page host: a container shown while it is the active page. It tells the host
// when it joins or leaves it.
class TPageHostPage : public TCustomControl {
public:
    explicit TPageHostPage(TComponent* AOwner);
    ~TPageHostPage() override;
    void SetParent(TWinControl* AParent) override;

protected:
    void Paint() override;
};

// Pages lists the page captions (adding a string adds a page, deleting one deletes it);
// PageIndex ignores values out of range; ActivePage is the caption of the page showing (setting
// a caption no page has changes nothing). A host starts with one page, "Default", which pages
// read from a description replace.
class TPageHost : public TCustomControl {
public:
    TStrings* Pages() const { return FAccess; }
    void SetPages(TStrings* Value);
    int PageIndex() const { return FPageIndex; }
    void SetPageIndex(int Value);
    std::string ActivePage() const;
    void SetActivePage(const std::string& Value);
    int PageCount() const { return static_cast<int>(FPages.size()); }

protected:
    explicit TPageHost(TComponent* AOwner);
    ~TPageHost() override;

    // A new, unparented page of this host's kind.
    virtual TPageHostPage* CreatePage() = 0;
    // Whether P is of this host's page kind (others parented here are plain children).
    virtual bool IsOwnPage(TPageHostPage* P) const = 0;
    // After a page was shown; Changed when the index moved.
    virtual void PageShown(bool /*Changed*/) {}
    // After the page list or a caption changed; Added when a page joined.
    virtual void PagesChanged(bool /*Added*/) {}

    TPageHostPage* PageAt(int Index) const;
    // For the derived constructor, once CreatePage works.
    void AddDefaultPage();
    // Frees the pages; the derived destructor calls it while the host can still hear of them.
    void DestroyPages();
    void ShowPage(int Index);
    void Loaded() override;
    void Paint() override;

private:
    friend class TPageHostPage;
    friend class TPageHostPages;
    void PageAdded(TPageHostPage* Page);
    void PageRemoved(TPageHostPage* Page);
    std::vector<TPageHostPage*> FPages;
    TStrings* FAccess;
    int FPageIndex = -1;
    int FLoadedPageIndex = -1;
    std::string FLoadedActivePage; // read before the pages exist
    TPageHostPage* FDefaultPage = nullptr;
    bool FChanging = false;
};
