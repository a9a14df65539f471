// TTabbedNotebook: pages with a row (or rows) of tabs above them; a click on a tab shows its page.
#pragma once

#include "platform/controls/Controls.h"
#include "platform/controls/PageHosts.h"

#include <functional>
#include <string>
#include <vector>

using TPageChangeEvent = std::function<void(TObject* Sender, int NewTab, bool& AllowChange)>;

class TTabPage : public TPageHostPage {
public:
    explicit TTabPage(TComponent* AOwner) : TPageHostPage(AOwner) {}
};

// The pages and their captions work as in TPageHost; the captions are the tab texts.
// OnChange(Sender, NewTab, AllowChange) comes before a click switches the page and may refuse;
// OnClick comes after the tab was clicked.
class TTabbedNotebook : public TPageHost {
public:
    explicit TTabbedNotebook(TComponent* AOwner);
    ~TTabbedNotebook() override;

    TTabPage* Page(int Index) const { return static_cast<TTabPage*>(PageAt(Index)); }
    TFont* TabFont() const { return FTabFont; }
    void SetTabFont(TFont* Value) { FTabFont->Assign(Value); }
    int TabsPerRow() const { return FTabsPerRow; }
    void SetTabsPerRow(int Value);
    // The tab's rectangle in client coordinates (empty for an index out of range).
    TRect TabRect(int Index);
    // The tab at a client point, or -1.
    int TabAt(int X, int Y);

    TPageChangeEvent OnChange;

protected:
    TW_MESSAGE_HANDLERS(TTabbedNotebook);
    void WMEraseBkgnd(TWMEraseBkgnd Message);

    TPageHostPage* CreatePage() override;
    bool IsOwnPage(TPageHostPage* P) const override;
    void PageShown(bool Changed) override;
    void PagesChanged(bool Added) override;
    void AdjustClientRect(TRect& Rect) override;
    void Loaded() override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    int TabHeight();
    int RowCount() const;
    TFont* FTabFont;
    int FTabsPerRow = 3;
};
