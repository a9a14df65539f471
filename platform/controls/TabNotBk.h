// TTabbedNotebook: pages with a row (or rows) of tabs above them; a click on a tab shows its page.
#pragma once

#include "platform/controls/Controls.h"

#include <functional>
#include <string>
#include <vector>

class TTabbedNotebook;

using TPageChangeEvent = std::function<void(TObject* Sender, int NewTab, bool& AllowChange)>;

class TTabPage : public TCustomControl {
public:
    explicit TTabPage(TComponent* AOwner);
    ~TTabPage() override;
    void SetParent(TWinControl* AParent) override;

protected:
    void Paint() override;
};

// Pages lists the page captions (the tab texts); PageIndex ignores values out of range.
// OnChange(Sender, NewTab, AllowChange) comes before a click switches the page and may refuse;
// OnClick comes after the tab was clicked.
class TTabbedNotebook : public TCustomControl {
public:
    explicit TTabbedNotebook(TComponent* AOwner);
    ~TTabbedNotebook() override;

    TStrings* Pages() const { return FAccess; }
    void SetPages(TStrings* Value);
    int PageIndex() const { return FPageIndex; }
    void SetPageIndex(int Value);
    std::string ActivePage() const;
    void SetActivePage(const std::string& Value);
    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabPage* Page(int Index) const;
    TFont* TabFont() const { return FTabFont; }
    void SetTabFont(TFont* Value) { FTabFont->Assign(Value); }
    int TabsPerRow() const { return FTabsPerRow; }
    void SetTabsPerRow(int Value);
    // The tab's rectangle in client coordinates (empty for an index out of range).
    TRect TabRect(int Index);
    // The tab at a client point, or -1.
    int TabAt(int X, int Y);

    TPageChangeEvent OnChange;

    void Dispatch(TMessage& Message) override;

protected:
    void AdjustClientRect(TRect& Rect) override;
    void Loaded() override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    friend class TTabPage;
    friend class TTabbedPages;
    int TabHeight();
    int RowCount() const;
    void PageAdded(TTabPage* Page);
    void PageRemoved(TTabPage* Page);
    void ShowPage(int Index);
    std::vector<TTabPage*> FPages;
    TStrings* FAccess;
    TFont* FTabFont;
    int FTabsPerRow = 3;
    int FPageIndex = -1;
    int FLoadedPageIndex = -1;
    std::string FLoadedActivePage; // read before the pages exist
    TTabPage* FDefaultPage = nullptr;
    bool FChanging = false;
};
