// Common controls: the status bar with its panels and the tree view with its nodes. Both paint
// through their canvas in the classic colours and the control's font.
//
// A tree's nodes are stored in its form description as the string list `Items`, one node per
// line in depth-first order, each line the node's text after one blank per level of depth:
//
//     object TreeView1: TTreeView
//       Indent = 19
//       Items.Strings = (
//         'Date'
//         ' getDate()'
//         'Window'
//         ' history'
//         '  length')
//     end
//
// A line deeper than one level below the line before it is taken as one level below it, so a
// malformed list still gives a tree. Blanks at the start of a node's own text are not kept.
#pragma once

#include "platform/controls/Controls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// ---- Status bar -------------------------------------------------------------------------------
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
enum TStatusPanelStyle { psText, psOwnerDraw };

class TStatusBar;

class TStatusPanel : public TCollectionItem {
public:
    explicit TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel Value);
    TStatusPanelStyle Style() const { return FStyle; }
    void SetStyle(TStatusPanelStyle Value);
    void Assign(TPersistent* Source) override;
    std::string DisplayName() const override { return FText; }

private:
    std::string FText;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelBevel FBevel = pbLowered;
    TStatusPanelStyle FStyle = psText;
};

class TStatusPanels : public TCollection {
public:
    explicit TStatusPanels(TStatusBar* StatusBar);
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusPanel* Items(int Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }
    TStatusPanel* operator[](int Index) const { return Items(Index); }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TStatusBar* FStatusBar;
};

using TDrawPanelEvent = std::function<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

class TStatusBar : public TCustomControl {
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;

    TStatusPanels* Panels() const { return FPanels; }
    void SetPanels(TStatusPanels* Value) { FPanels->Assign(Value); }
    // One panel across the whole bar showing SimpleText, instead of Panels.
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& Value);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    // Where a panel is drawn (the last one reaches to the grip); empty for a bad index.
    TRect PanelRect(int Index) const;

    TDrawPanelEvent OnDrawPanel;
    TCanvas* Canvas() const { return TCustomControl::Canvas(); }

protected:
    void Paint() override;
    virtual void DrawPanel(TStatusPanel* Panel, const TRect& Rect);

private:
    void DrawPanelFrame(const TRect& R, TStatusPanelBevel Bevel);
    TStatusPanels* FPanels;
    bool FSimplePanel = false;
    std::string FSimpleText;
    bool FSizeGrip = true;
};
TW_LINK_CLASS(TStatusBar);

// ---- Tree view --------------------------------------------------------------------------------
class TTreeNodes;
class TCustomTreeView;

class TTreeNode : public TPersistent {
public:
    TTreeNode(TTreeNodes* Owner, TTreeNode* Parent) : FOwner(Owner), FParent(Parent) {}
    ~TTreeNode() override;

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    void* Data = nullptr;
    int ImageIndex = -1;
    int SelectedIndex = -1;

    TTreeNode* Parent() const { return FParent; }
    TTreeNodes* Owner() const { return FOwner; }
    TCustomTreeView* TreeView() const;
    int Level() const;
    int Count() const { return static_cast<int>(FChildren.size()); }
    TTreeNode* Item(int Index) const;
    bool HasChildren() const { return !FChildren.empty(); }
    int Index() const; // among its siblings
    int AbsoluteIndex() const;
    TTreeNode* GetFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front(); }
    TTreeNode* GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back(); }
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    // Depth-first order through the whole tree.
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    // The next and previous node shown (parents expanded).
    TTreeNode* GetNextVisible() const;
    TTreeNode* GetPrevVisible() const;
    bool IsVisible() const; // every parent expanded

    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool Value);
    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    bool Selected() const;
    void SetSelected(bool Value);
    bool Focused() const { return Selected(); }
    // Removes the node and its children from the tree and frees them.
    void Delete();
    void DeleteChildren();
    // The row of the node in the tree's client area (empty when it is not shown).
    TRect DisplayRect(bool TextOnly) const;

private:
    friend class TTreeNodes;
    TTreeNodes* FOwner;
    TTreeNode* FParent;
    std::vector<TTreeNode*> FChildren;
    std::string FText;
    bool FExpanded = false;
};

// All the nodes of a tree view. Item and Count go through every node depth-first.
class TTreeNodes : public TPersistent {
public:
    explicit TTreeNodes(TCustomTreeView* Owner) : FOwner(Owner) {}
    ~TTreeNodes() override;

    TCustomTreeView* Owner() const { return FOwner; }
    int Count() const;
    TTreeNode* Item(int Index) const;
    TTreeNode* operator[](int Index) const { return Item(Index); }
    TTreeNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front(); }
    int RootCount() const { return static_cast<int>(FRoots.size()); }
    TTreeNode* Root(int Index) const { return FRoots.at(static_cast<std::size_t>(Index)); }

    // A node after the last sibling of Sibling (a new root when Sibling is null).
    TTreeNode* Add(TTreeNode* Sibling, const std::string& S);
    TTreeNode* AddFirst(TTreeNode* Sibling, const std::string& S);
    // A node after the last child of Parent (a new root when Parent is null).
    TTreeNode* AddChild(TTreeNode* Parent, const std::string& S);
    TTreeNode* AddChildFirst(TTreeNode* Parent, const std::string& S);
    // A node before Node, among its siblings.
    TTreeNode* Insert(TTreeNode* Node, const std::string& S);
    void Delete(TTreeNode* Node) { Node->Delete(); }
    void Clear();
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    void Assign(TPersistent* Source) override;

    // The stored form: one line per node, depth-first, one leading blank per level.
    void SaveToStrings(TStrings* Lines) const;
    void LoadFromStrings(TStrings* Lines);

private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    std::vector<TTreeNode*>& SiblingsOf(TTreeNode* Parent) { return Parent ? Parent->FChildren : FRoots; }
    TTreeNode* InsertAt(TTreeNode* Parent, std::size_t Pos, const std::string& S);
    void Changed();
    TCustomTreeView* FOwner;
    std::vector<TTreeNode*> FRoots;
    int FUpdateCount = 0;
};

using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVExpandingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;

class TCustomTreeView : public TCustomControl {
public:
    explicit TCustomTreeView(TComponent* AOwner);
    ~TCustomTreeView() override;

    TTreeNodes* Items() const { return FNodes.get(); }
    void SetItems(TTreeNodes* Value) { FNodes->Assign(Value); }
    TTreeNode* Selected() const { return FSelected; }
    void SetSelected(TTreeNode* Value);
    // Horizontal step from a level to the next, in pixels.
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    bool ShowLines = true;
    bool ShowRoot = true;
    bool ShowButtons = true;
    bool ReadOnly = false;
    bool HideSelection = true;
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

    void FullExpand();
    void FullCollapse();
    // The first row shown, and the node at a client point (nullptr for none).
    TTreeNode* TopItem() const { return FTopItem; }
    void SetTopItem(TTreeNode* Value);
    TTreeNode* GetNodeAt(int X, int Y) const;
    // Height of a row: the font's line height and 3 pixels.
    int RowHeight() const;
    int VisibleRowCount() const; // rows that fit (at least 1)

    TTVChangedEvent OnChange;
    TTVChangingEvent OnChanging;
    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnExpanded;
    TTVExpandingEvent OnCollapsing;
    TTVExpandedEvent OnCollapsed;

    // The nodes changed (added, deleted, expanded): scroll range and picture follow.
    void NodesChanged();
    // The stored node list the form reader fills (Items in a description).
    TStrings* StoredItems();
    void Loaded() override;

protected:
    TW_MESSAGE_HANDLERS(TCustomTreeView);
    void WMGetDlgCode(TWMGetDlgCode Message);
    void WMSetFocus(TWMSetFocus Message);
    void WMKillFocus(TWMKillFocus Message);
    void WMSize(TWMSize Message);
    void WMVScroll(TWMVScroll Message);
    void WMMouseWheel(TWMMouseWheel Message);

    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void DblClick() override;
    virtual bool CanChange(TTreeNode* Node);
    virtual void Change(TTreeNode* Node);
    virtual bool CanExpand(TTreeNode* Node);
    virtual bool CanCollapse(TTreeNode* Node);
    // The node and everything below it is going away.
    void NodeDeleting(TTreeNode* Node);
    // The user moved the selection.
    void SelectByUser(TTreeNode* Node);
    void MakeVisible(TTreeNode* Node);
    void UpdateScrollBar();
    int RowOf(const TTreeNode* Node) const; // among the shown rows; -1 when hidden
    TTreeNode* NodeAtRow(int Row) const;
    int ButtonLeft(const TTreeNode* Node) const;

    std::unique_ptr<TTreeNodes> FNodes;
    std::unique_ptr<TStringList> FStoredItems;
    TTreeNode* FSelected = nullptr;
    TTreeNode* FTopItem = nullptr;
    int FIndent = 19;
    TBorderStyle FBorderStyle = bsSingle;
    friend class TTreeNode;
    friend class TTreeNodes;
};

class TTreeView : public TCustomTreeView {
public:
    explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};
TW_LINK_CLASS(TTreeView);
