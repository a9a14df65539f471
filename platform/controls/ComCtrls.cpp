#include "platform/controls/ComCtrls.h"

#include "platform/classes/TypInfo.h"
#include "platform/controls/StdLists.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

// ---- TStatusPanel / TStatusPanels ---------------------------------------------------------
void TStatusPanel::SetText(const std::string& Value)
{
    if (Value != FText) {
        FText = Value;
        Changed(false);
    }
}

void TStatusPanel::SetWidth(int Value)
{
    if (Value != FWidth) {
        FWidth = Value;
        Changed(true);
    }
}

void TStatusPanel::SetAlignment(TAlignment Value)
{
    if (Value != FAlignment) {
        FAlignment = Value;
        Changed(false);
    }
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value)
{
    if (Value != FBevel) {
        FBevel = Value;
        Changed(false);
    }
}

void TStatusPanel::SetStyle(TStatusPanelStyle Value)
{
    if (Value != FStyle) {
        FStyle = Value;
        Changed(false);
    }
}

void TStatusPanel::Assign(TPersistent* Source)
{
    if (auto* P = dynamic_cast<TStatusPanel*>(Source)) {
        FText = P->FText;
        FWidth = P->FWidth;
        FAlignment = P->FAlignment;
        FBevel = P->FBevel;
        FStyle = P->FStyle;
        Changed(true);
        return;
    }
    TCollectionItem::Assign(Source);
}

TStatusPanels::TStatusPanels(TStatusBar* StatusBar)
    : TCollection(CollectionItemClass<TStatusPanel>(), StatusBar), FStatusBar(StatusBar)
{
}

void TStatusPanels::Update(TCollectionItem* Item)
{
    (void)Item;
    if (FStatusBar)
        FStatusBar->Invalidate();
}

// ---- TStatusBar -------------------------------------------------------------------------------
TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner), FPanels(new TStatusPanels(this))
{
    ControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
    FColor = clBtnFace;
    FWidth = 150;
    FHeight = 19;
    FAlign = alBottom;
}

TStatusBar::~TStatusBar()
{
    delete FPanels;
    FPanels = nullptr;
}

void TStatusBar::SetSimplePanel(bool Value)
{
    if (Value != FSimplePanel) {
        FSimplePanel = Value;
        Invalidate();
    }
}

void TStatusBar::SetSimpleText(const std::string& Value)
{
    if (Value != FSimpleText) {
        FSimpleText = Value;
        if (FSimplePanel)
            Invalidate();
    }
}

void TStatusBar::SetSizeGrip(bool Value)
{
    if (Value != FSizeGrip) {
        FSizeGrip = Value;
        Invalidate();
    }
}

TRect TStatusBar::PanelRect(int Index) const
{
    int N = FPanels ? FPanels->Count() : 0;
    if (Index < 0 || Index >= N)
        return TRect{};
    int Right = ClientWidth() - (FSizeGrip ? ClientHeight() - 2 : 0);
    int X = 0;
    for (int I = 0; I < Index; ++I)
        X += FPanels->Items(I)->Width() + 2;
    // The last panel takes what is left, as the bar's own control does.
    int R = Index == N - 1 ? std::max(X + FPanels->Items(Index)->Width(), Right)
                           : X + FPanels->Items(Index)->Width();
    return TRect{X, 2, R, ClientHeight()};
}

void TStatusBar::DrawPanelFrame(const TRect& R, TStatusPanelBevel Bevel)
{
    if (Bevel == pbNone)
        return;
    RECT E = R;
    DrawEdge(Canvas()->Handle(), &E, Bevel == pbLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
}

void TStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect)
{
    if (OnDrawPanel)
        OnDrawPanel(this, Panel, Rect);
}

namespace {

void PanelText(TCanvas* C, const TRect& R, const std::string& Text, TAlignment Align)
{
    TRect Inner{R.left + 1, R.top + 1, R.right - 1, R.bottom - 1};
    int W = C->TextWidth(Text);
    int X = Inner.left + 2;
    if (Align == taCenter)
        X = Inner.left + (Inner.right - Inner.left - W) / 2;
    else if (Align == taRightJustify)
        X = Inner.right - 2 - W;
    int Y = Inner.top + (Inner.bottom - Inner.top - C->TextHeight("Wg")) / 2;
    C->Brush()->SetStyle(bsClear);
    C->TextRect(Inner, X, Y, Text);
    C->Brush()->SetStyle(bsSolid);
}

} // namespace

void TStatusBar::Paint()
{
    TCanvas* C = Canvas();
    C->SetFont(FFont);
    C->Brush()->SetColor(FColor);
    TRect Client = ClientRect();
    C->FillRect(Client);
    if (FSimplePanel) {
        TRect R{0, 2, Client.right - (FSizeGrip ? Client.bottom - 2 : 0), Client.bottom};
        DrawPanelFrame(R, pbLowered);
        PanelText(C, R, FSimpleText, taLeftJustify);
    } else {
        for (int I = 0; I < FPanels->Count(); ++I) {
            TStatusPanel* P = FPanels->Items(I);
            TRect R = PanelRect(I);
            DrawPanelFrame(R, P->Bevel());
            if (P->Style() == psOwnerDraw)
                DrawPanel(P, TRect{R.left + 1, R.top + 1, R.right - 1, R.bottom - 1});
            else
                PanelText(C, R, P->Text(), P->Alignment());
        }
    }
    if (FSizeGrip) {
        // Three pairs of diagonal strokes in the bottom-right corner.
        int R = Client.right, B = Client.bottom;
        for (int K = 0; K < 3; ++K) {
            int D = 4 + 4 * K;
            C->Pen()->SetColor(clBtnHighlight);
            C->MoveTo(R - D - 1, B);
            C->LineTo(R, B - D - 1);
            C->Pen()->SetColor(clBtnShadow);
            C->MoveTo(R - D, B);
            C->LineTo(R, B - D);
            C->MoveTo(R - D + 1, B);
            C->LineTo(R, B - D + 1);
        }
    }
}

// ---- TTreeNode --------------------------------------------------------------------------------
TTreeNode::~TTreeNode()
{
    for (TTreeNode* C : FChildren)
        delete C;
}

TCustomTreeView* TTreeNode::TreeView() const
{
    return FOwner ? FOwner->Owner() : nullptr;
}

void TTreeNode::SetText(const std::string& Value)
{
    if (Value != FText) {
        FText = Value;
        FOwner->Changed();
    }
}

int TTreeNode::Level() const
{
    int L = 0;
    for (TTreeNode* P = FParent; P; P = P->FParent)
        ++L;
    return L;
}

TTreeNode* TTreeNode::Item(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FChildren[static_cast<std::size_t>(Index)];
}

int TTreeNode::Index() const
{
    const auto& S = FOwner->SiblingsOf(FParent);
    return static_cast<int>(std::find(S.begin(), S.end(), this) - S.begin());
}

int TTreeNode::AbsoluteIndex() const
{
    int I = 0;
    for (TTreeNode* N = FOwner->GetFirstNode(); N && N != this; N = N->GetNext())
        ++I;
    return I;
}

TTreeNode* TTreeNode::GetNextSibling() const
{
    const auto& S = FOwner->SiblingsOf(FParent);
    std::size_t I = static_cast<std::size_t>(Index());
    return I + 1 < S.size() ? S[I + 1] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const
{
    const auto& S = FOwner->SiblingsOf(FParent);
    std::size_t I = static_cast<std::size_t>(Index());
    return I > 0 ? S[I - 1] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const
{
    if (!FChildren.empty())
        return FChildren.front();
    for (const TTreeNode* N = this; N; N = N->FParent)
        if (TTreeNode* S = N->GetNextSibling())
            return S;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const
{
    TTreeNode* S = GetPrevSibling();
    if (!S)
        return FParent;
    while (!S->FChildren.empty())
        S = S->FChildren.back();
    return S;
}

bool TTreeNode::IsVisible() const
{
    for (TTreeNode* P = FParent; P; P = P->FParent)
        if (!P->FExpanded)
            return false;
    return true;
}

TTreeNode* TTreeNode::GetNextVisible() const
{
    if (FExpanded && !FChildren.empty())
        return FChildren.front();
    for (const TTreeNode* N = this; N; N = N->FParent)
        if (TTreeNode* S = N->GetNextSibling())
            return S;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const
{
    TTreeNode* S = GetPrevSibling();
    if (!S)
        return FParent;
    while (S->FExpanded && !S->FChildren.empty())
        S = S->FChildren.back();
    return S;
}

void TTreeNode::SetExpanded(bool Value)
{
    if (Value == FExpanded)
        return;
    TCustomTreeView* T = TreeView();
    if (T && !(Value ? T->CanExpand(this) : T->CanCollapse(this)))
        return;
    FExpanded = Value;
    if (!Value && T && T->FSelected) {
        // A selection inside a collapsed branch moves up to the branch.
        for (TTreeNode* P = T->FSelected->FParent; P; P = P->FParent)
            if (P == this) {
                T->SetSelected(this);
                break;
            }
    }
    if (T) {
        if (Value && T->OnExpanded)
            T->OnExpanded(T, this);
        if (!Value && T->OnCollapsed)
            T->OnCollapsed(T, this);
    }
    FOwner->Changed();
}

void TTreeNode::Expand(bool Recurse)
{
    SetExpanded(true);
    if (Recurse)
        for (TTreeNode* C : FChildren)
            C->Expand(true);
}

void TTreeNode::Collapse(bool Recurse)
{
    SetExpanded(false);
    if (Recurse)
        for (TTreeNode* C : FChildren)
            C->Collapse(true);
}

bool TTreeNode::Selected() const
{
    TCustomTreeView* T = TreeView();
    return T && T->Selected() == this;
}

void TTreeNode::SetSelected(bool Value)
{
    TCustomTreeView* T = TreeView();
    if (!T)
        return;
    if (Value)
        T->SetSelected(this);
    else if (T->Selected() == this)
        T->SetSelected(nullptr);
}

void TTreeNode::DeleteChildren()
{
    while (!FChildren.empty())
        FChildren.back()->Delete();
}

void TTreeNode::Delete()
{
    if (TCustomTreeView* T = TreeView())
        T->NodeDeleting(this);
    auto& S = FOwner->SiblingsOf(FParent);
    S.erase(std::remove(S.begin(), S.end(), this), S.end());
    TTreeNodes* Owner = FOwner;
    delete this;
    Owner->Changed();
}

TRect TTreeNode::DisplayRect(bool TextOnly) const
{
    TCustomTreeView* T = TreeView();
    if (!T)
        return TRect{};
    int Row = T->RowOf(this);
    int Top = T->RowOf(T->TopItem() ? T->TopItem() : FOwner->GetFirstNode());
    if (Row < 0 || Top < 0)
        return TRect{};
    int H = T->RowHeight();
    int Y = (Row - Top) * H;
    if (!TextOnly)
        return TRect{0, Y, T->ClientWidth(), Y + H};
    TCanvas* C = T->Canvas();
    C->SetFont(T->Font());
    int X = T->ButtonLeft(this) + T->Indent();
    return TRect{X, Y, X + C->TextWidth(FText) + 4, Y + H};
}

// ---- TTreeNodes -------------------------------------------------------------------------------
TTreeNodes::~TTreeNodes()
{
    for (TTreeNode* N : FRoots)
        delete N;
}

int TTreeNodes::Count() const
{
    int C = 0;
    for (TTreeNode* N = GetFirstNode(); N; N = N->GetNext())
        ++C;
    return C;
}

TTreeNode* TTreeNodes::Item(int Index) const
{
    int I = 0;
    for (TTreeNode* N = GetFirstNode(); N; N = N->GetNext(), ++I)
        if (I == Index)
            return N;
    throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
}

TTreeNode* TTreeNodes::InsertAt(TTreeNode* Parent, std::size_t Pos, const std::string& S)
{
    auto* N = new TTreeNode(this, Parent);
    N->FText = S;
    auto& Sib = SiblingsOf(Parent);
    Sib.insert(Sib.begin() + static_cast<std::ptrdiff_t>(std::min(Pos, Sib.size())), N);
    Changed();
    return N;
}

TTreeNode* TTreeNodes::Add(TTreeNode* Sibling, const std::string& S)
{
    TTreeNode* Parent = Sibling ? Sibling->Parent() : nullptr;
    return InsertAt(Parent, SiblingsOf(Parent).size(), S);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* Sibling, const std::string& S)
{
    return InsertAt(Sibling ? Sibling->Parent() : nullptr, 0, S);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const std::string& S)
{
    return InsertAt(Parent, SiblingsOf(Parent).size(), S);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* Parent, const std::string& S)
{
    return InsertAt(Parent, 0, S);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* Node, const std::string& S)
{
    if (!Node)
        return Add(nullptr, S);
    return InsertAt(Node->Parent(), static_cast<std::size_t>(Node->Index()), S);
}

void TTreeNodes::Clear()
{
    BeginUpdate();
    while (!FRoots.empty())
        FRoots.back()->Delete();
    EndUpdate();
}

void TTreeNodes::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Changed();
}

void TTreeNodes::Changed()
{
    if (FUpdateCount == 0 && FOwner)
        FOwner->NodesChanged();
}

void TTreeNodes::Assign(TPersistent* Source)
{
    if (auto* Other = dynamic_cast<TTreeNodes*>(Source)) {
        TStringList L;
        Other->SaveToStrings(&L);
        LoadFromStrings(&L);
        return;
    }
    TPersistent::Assign(Source);
}

void TTreeNodes::SaveToStrings(TStrings* Lines) const
{
    Lines->BeginUpdate();
    Lines->Clear();
    for (TTreeNode* N = GetFirstNode(); N; N = N->GetNext())
        Lines->Add(std::string(static_cast<std::size_t>(N->Level()), ' ') + N->Text());
    Lines->EndUpdate();
}

void TTreeNodes::LoadFromStrings(TStrings* Lines)
{
    BeginUpdate();
    Clear();
    TTreeNode* Last = nullptr;
    for (int I = 0; I < Lines->Count(); ++I) {
        std::string S = Lines->Strings(I);
        std::size_t Depth = S.find_first_not_of(' ');
        if (Depth == std::string::npos)
            Depth = S.size();
        std::string Text = S.substr(Depth);
        int Level = static_cast<int>(Depth);
        int LastLevel = Last ? Last->Level() : -1;
        Level = std::min(Level, LastLevel + 1); // no jumps of more than one level
        TTreeNode* Parent = Last;
        for (int L = LastLevel; L >= Level && Parent; --L)
            Parent = Parent->Parent();
        Last = AddChild(Parent, Text);
    }
    EndUpdate();
}

// ---- TCustomTreeView --------------------------------------------------------------------------
TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TCustomControl(AOwner), FNodes(std::make_unique<TTreeNodes>(this)),
      FStoredItems(std::make_unique<TStringList>())
{
    ControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
    FColor = clWindow;
    FTabStop = true;
    FWidth = 121;
    FHeight = 97;
}

TCustomTreeView::~TCustomTreeView()
{
    // Nodes go first so that nothing calls back into a half-destroyed view.
    FSelected = nullptr;
    FTopItem = nullptr;
    TTreeNodes* Nodes = FNodes.release();
    Nodes->FOwner = nullptr;
    delete Nodes;
}

void TCustomTreeView::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_VSCROLL;
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::CreateWnd()
{
    TCustomControl::CreateWnd();
    UpdateScrollBar();
}

TStrings* TCustomTreeView::StoredItems()
{
    FNodes->SaveToStrings(FStoredItems.get());
    return FStoredItems.get();
}

void TCustomTreeView::Loaded()
{
    TCustomControl::Loaded();
    FNodes->LoadFromStrings(FStoredItems.get());
}

void TCustomTreeView::SetIndent(int Value)
{
    if (Value != FIndent && Value >= 0) {
        FIndent = Value;
        Invalidate();
    }
}

void TCustomTreeView::SetBorderStyle(TBorderStyle Value)
{
    if (Value != FBorderStyle) {
        FBorderStyle = Value;
        if (HandleAllocated())
            RecreateWnd();
    }
}

int TCustomTreeView::RowHeight() const
{
    return FontLineHeight(FFont) + 3;
}

int TCustomTreeView::VisibleRowCount() const
{
    return std::max(1, ClientHeight() / RowHeight());
}

int TCustomTreeView::RowOf(const TTreeNode* Node) const
{
    if (!Node || !Node->IsVisible())
        return -1;
    int R = 0;
    for (TTreeNode* N = FNodes->GetFirstNode(); N; N = N->GetNextVisible(), ++R)
        if (N == Node)
            return R;
    return -1;
}

TTreeNode* TCustomTreeView::NodeAtRow(int Row) const
{
    if (Row < 0)
        return nullptr;
    TTreeNode* N = FNodes->GetFirstNode();
    for (int R = 0; N && R < Row; ++R)
        N = N->GetNextVisible();
    return N;
}

int TCustomTreeView::ButtonLeft(const TTreeNode* Node) const
{
    // The column of a node's button; its text starts one indent further right.
    int Column = Node->Level() + (ShowRoot ? 1 : 0);
    return (Column - 1) * FIndent;
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) const
{
    if (X < 0 || Y < 0 || X >= ClientWidth() || Y >= ClientHeight())
        return nullptr;
    int Top = std::max(0, RowOf(FTopItem));
    return NodeAtRow(Top + Y / RowHeight());
}

void TCustomTreeView::SetTopItem(TTreeNode* Value)
{
    int Rows = 0;
    for (TTreeNode* N = FNodes->GetFirstNode(); N; N = N->GetNextVisible())
        ++Rows;
    int Row = Value ? RowOf(Value) : 0;
    if (Row < 0)
        return;
    Row = std::clamp(Row, 0, std::max(0, Rows - VisibleRowCount()));
    TTreeNode* New = NodeAtRow(Row);
    if (New != FTopItem) {
        FTopItem = New;
        UpdateScrollBar();
        Invalidate();
    }
}

void TCustomTreeView::MakeVisible(TTreeNode* Node)
{
    for (TTreeNode* P = Node ? Node->Parent() : nullptr; P; P = P->Parent())
        P->SetExpanded(true);
    int Row = RowOf(Node), Top = std::max(0, RowOf(FTopItem)), Rows = VisibleRowCount();
    if (Row < 0)
        return;
    if (Row < Top)
        SetTopItem(Node);
    else if (Row >= Top + Rows)
        SetTopItem(NodeAtRow(Row - Rows + 1));
}

void TCustomTreeView::NodesChanged()
{
    if (FTopItem && !FTopItem->IsVisible())
        FTopItem = nullptr;
    if (!FTopItem)
        FTopItem = FNodes->GetFirstNode();
    SetTopItem(FTopItem);
    UpdateScrollBar();
    Invalidate();
}

void TCustomTreeView::NodeDeleting(TTreeNode* Node)
{
    auto Inside = [Node](TTreeNode* N) {
        for (; N; N = N->Parent())
            if (N == Node)
                return true;
        return false;
    };
    if (Inside(FTopItem))
        FTopItem = nullptr;
    if (Inside(FSelected)) {
        FSelected = nullptr;
        Change(nullptr);
    }
}

void TCustomTreeView::UpdateScrollBar()
{
    if (!HandleAllocated())
        return;
    int Rows = 0;
    for (TTreeNode* N = FNodes->GetFirstNode(); N; N = N->GetNextVisible())
        ++Rows;
    SCROLLINFO SI;
    SI.fMask = SIF_ALL;
    SI.nMax = std::max(0, Rows - 1);
    SI.nPage = static_cast<UINT>(VisibleRowCount());
    SI.nPos = std::max(0, RowOf(FTopItem));
    SetScrollInfo(FHandle, SB_VERT, &SI, TRUE);
}

bool TCustomTreeView::CanChange(TTreeNode* Node)
{
    bool Allow = true;
    if (OnChanging)
        OnChanging(this, Node, Allow);
    return Allow;
}

void TCustomTreeView::Change(TTreeNode* Node)
{
    if (OnChange)
        OnChange(this, Node);
}

bool TCustomTreeView::CanExpand(TTreeNode* Node)
{
    bool Allow = true;
    if (OnExpanding)
        OnExpanding(this, Node, Allow);
    return Allow;
}

bool TCustomTreeView::CanCollapse(TTreeNode* Node)
{
    bool Allow = true;
    if (OnCollapsing)
        OnCollapsing(this, Node, Allow);
    return Allow;
}

void TCustomTreeView::SetSelected(TTreeNode* Value)
{
    if (Value == FSelected || !CanChange(Value))
        return;
    FSelected = Value;
    if (Value)
        MakeVisible(Value);
    Invalidate();
    Change(Value);
}

void TCustomTreeView::SelectByUser(TTreeNode* Node)
{
    if (Node)
        SetSelected(Node);
}

void TCustomTreeView::FullExpand()
{
    FNodes->BeginUpdate();
    for (TTreeNode* N = FNodes->GetFirstNode(); N; N = N->GetNext())
        if (N->HasChildren())
            N->SetExpanded(true);
    FNodes->EndUpdate();
}

void TCustomTreeView::FullCollapse()
{
    FNodes->BeginUpdate();
    for (TTreeNode* N = FNodes->GetFirstNode(); N; N = N->GetNext())
        N->SetExpanded(false);
    FNodes->EndUpdate();
}

void TCustomTreeView::Paint()
{
    TCanvas* C = Canvas();
    C->SetFont(FFont);
    C->Brush()->SetColor(FColor);
    TRect Client = ClientRect();
    C->FillRect(Client);
    int H = RowHeight();
    int Y = 0;
    bool HasFocus = Focused();
    for (TTreeNode* N = FTopItem ? FTopItem : FNodes->GetFirstNode(); N && Y < Client.bottom;
         N = N->GetNextVisible(), Y += H) {
        int BL = ButtonLeft(N);
        int Mid = Y + H / 2;
        int BX = BL + FIndent / 2;
        if (ShowLines && BL >= 0) {
            C->Pen()->SetColor(clGray);
            C->MoveTo(BX, Mid);
            C->LineTo(BL + FIndent, Mid);
            // The vertical line joins the siblings (from the one above to the one below).
            bool Above = N->GetPrevSibling() || N->Parent();
            C->MoveTo(BX, Above ? Y : Mid);
            C->LineTo(BX, N->GetNextSibling() ? Y + H : Mid + 1);
            // The parents' lines pass through this row where they have more siblings below.
            for (TTreeNode* P = N->Parent(); P; P = P->Parent()) {
                int PX = ButtonLeft(P) + FIndent / 2;
                if (P->GetNextSibling() && ButtonLeft(P) >= 0) {
                    C->MoveTo(PX, Y);
                    C->LineTo(PX, Y + H);
                }
            }
        }
        if (ShowButtons && N->HasChildren() && BL >= 0) {
            TRect B{BX - 4, Mid - 4, BX + 5, Mid + 5};
            C->Brush()->SetColor(FColor);
            C->Pen()->SetColor(clGray);
            C->Rectangle(B);
            C->Pen()->SetColor(clWindowText);
            C->MoveTo(BX - 2, Mid);
            C->LineTo(BX + 3, Mid);
            if (!N->Expanded()) {
                C->MoveTo(BX, Mid - 2);
                C->LineTo(BX, Mid + 3);
            }
        }
        int TX = BL + FIndent;
        TRect TR{TX, Y, TX + C->TextWidth(N->Text()) + 4, Y + H};
        bool Sel = N == FSelected && (HasFocus || !HideSelection);
        C->Brush()->SetColor(Sel ? (HasFocus ? clHighlight : clBtnFace) : FColor);
        C->Font()->SetColor(Sel && HasFocus ? clHighlightText : FFont->Color());
        C->FillRect(TR);
        C->Brush()->SetStyle(bsClear);
        C->TextOut(TX + 2, Y + (H - FontLineHeight(FFont)) / 2, N->Text());
        C->Brush()->SetStyle(bsSolid);
        if (N == FSelected && HasFocus)
            C->DrawFocusRect(TR);
    }
}

void TCustomTreeView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && !Shift.Contains(ssDouble)) {
        if (CanFocus() && !Focused())
            SetFocus();
        if (TTreeNode* N = GetNodeAt(X, Y)) {
            int BX = ButtonLeft(N) + FIndent / 2;
            if (N->HasChildren() && ShowButtons && X >= BX - 6 && X <= BX + 6)
                N->SetExpanded(!N->Expanded());
            else if (X >= ButtonLeft(N) + FIndent)
                SelectByUser(N);
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomTreeView::DblClick()
{
    // A double click opens or closes the branch, then the event runs.
    if (FSelected && FSelected->HasChildren())
        FSelected->SetExpanded(!FSelected->Expanded());
    TCustomControl::DblClick();
}

void TCustomTreeView::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0)
        return;
    TTreeNode* S = FSelected;
    TTreeNode* Target = nullptr;
    switch (Key) {
    case VK_UP:
        Target = S ? S->GetPrevVisible() : FNodes->GetFirstNode();
        break;
    case VK_DOWN:
        Target = S ? S->GetNextVisible() : FNodes->GetFirstNode();
        break;
    case VK_HOME:
        Target = FNodes->GetFirstNode();
        break;
    case VK_END:
        for (TTreeNode* N = FNodes->GetFirstNode(); N; N = N->GetNextVisible())
            Target = N;
        break;
    case VK_LEFT:
        if (S && S->Expanded() && S->HasChildren())
            S->SetExpanded(false);
        else if (S)
            Target = S->Parent();
        break;
    case VK_RIGHT:
        if (S && S->HasChildren() && !S->Expanded())
            S->SetExpanded(true);
        else if (S)
            Target = S->GetFirstChild();
        break;
    case VK_ADD:
        if (S)
            S->SetExpanded(true);
        break;
    case VK_SUBTRACT:
        if (S)
            S->SetExpanded(false);
        break;
    default:
        return;
    }
    if (Target)
        SelectByUser(Target);
    Key = 0;
}

void TCustomTreeView::WMGetDlgCode(TWMGetDlgCode Message)
{
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TCustomTreeView::WMSetFocus(TWMSetFocus Message)
{
    Invalidate();
    TCustomControl::WMSetFocus(Message);
}

void TCustomTreeView::WMKillFocus(TWMKillFocus Message)
{
    Invalidate();
    DefaultHandler(Message);
}

void TCustomTreeView::WMSize(TWMSize Message)
{
    DefaultHandler(Message);
    SetTopItem(FTopItem);
    UpdateScrollBar();
}

void TCustomTreeView::WMVScroll(TWMVScroll Message)
{
    const int Top = ScrolledPos(Message, std::max(0, RowOf(FTopItem)), VisibleRowCount(), 1 << 30);
    TTreeNode* Last = nullptr;
    TTreeNode* N = FNodes->GetFirstNode();
    for (int R = 0; N && R < Top; ++R) {
        Last = N;
        N = N->GetNextVisible();
    }
    SetTopItem(N ? N : Last);
    Message.Result = 0;
}

void TCustomTreeView::WMMouseWheel(TWMMouseWheel Message)
{
    int Lines = -Message.WheelDelta() / 120 * 3;
    int Top = std::max(0, RowOf(FTopItem) + Lines);
    TTreeNode* N = NodeAtRow(Top);
    if (!N)
        for (N = FNodes->GetFirstNode(); N && N->GetNextVisible(); N = N->GetNextVisible()) {
        }
    SetTopItem(N);
    Message.Result = 0;
}

// ---- Registration -----------------------------------------------------------------------------
TW_ENUM(TStatusPanelBevel, "pbNone", "pbLowered", "pbRaised");
TW_ENUM(TStatusPanelStyle, "psText", "psOwnerDraw");

[[maybe_unused]] static const bool TwComCtrlsTypes = [] {
    // The alignment names belong to the class library as a whole; whichever unit comes first
    // registers them.
    if (!EnumInfoOf(typeid(TAlignment)))
        RegisterEnum<TAlignment>("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});
    RegisterEventType<TTVChangedEvent>("TTVChangedEvent");
    RegisterEventType<TTVChangingEvent>("TTVChangingEvent");
    RegisterEventType<TDrawPanelEvent>("TDrawPanelEvent");
    return true;
}();

TW_PUBLISH(TStatusPanel, TCollectionItem)
{
    Cls.Str("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
    Cls.Int("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth).Default(50);
    Cls.Enum("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment).Default(taLeftJustify);
    Cls.Enum("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel).Default(pbLowered);
    Cls.Enum("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle).Default(psText);
}

TW_PUBLISH(TStatusBar, TCustomControl)
{
    Cls.Enum("Align", &TControl::Align, &TControl::SetAlign).Default(alBottom);
    Cls.Color("Color", &TControl::Color, &TControl::SetColor).Default(clBtnFace);
    Cls.Collection("Panels", &TStatusBar::Panels);
    Cls.Bool("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(false);
    Cls.Str("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
    Cls.Bool("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip).Default(true);
    Cls.Event("OnDrawPanel", &TStatusBar::OnDrawPanel);
}

TW_PUBLISH(TCustomTreeView, TCustomControl)
{
    Cls.Message(WM_GETDLGCODE, &TCustomTreeView::WMGetDlgCode);
    Cls.Message(WM_SETFOCUS, &TCustomTreeView::WMSetFocus);
    Cls.Message(WM_KILLFOCUS, &TCustomTreeView::WMKillFocus);
    Cls.Message(WM_SIZE, &TCustomTreeView::WMSize);
    Cls.Message(WM_VSCROLL, &TCustomTreeView::WMVScroll);
    Cls.Message(WM_MOUSEWHEEL, &TCustomTreeView::WMMouseWheel);
}

TW_PUBLISH(TTreeView, TCustomTreeView)
{
    Cls.Color("Color", &TControl::Color, &TControl::SetColor).Default(clWindow);
    Cls.Strings("Items", [](TTreeView* T) { return T->StoredItems(); });
    Cls.Int("Indent", &TCustomTreeView::Indent, &TCustomTreeView::SetIndent).Default(19);
    Cls.Bool("ShowLines", &TCustomTreeView::ShowLines).Default(true);
    Cls.Bool("ShowRoot", &TCustomTreeView::ShowRoot).Default(true);
    Cls.Bool("ShowButtons", &TCustomTreeView::ShowButtons).Default(true);
    Cls.Bool("ReadOnly", &TCustomTreeView::ReadOnly).Default(false);
    Cls.Bool("HideSelection", &TCustomTreeView::HideSelection).Default(true);
    Cls.Enum("BorderStyle", &TCustomTreeView::BorderStyle, &TCustomTreeView::SetBorderStyle)
        .Default(bsSingle);
    Cls.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
    Cls.Event("OnChange", &TCustomTreeView::OnChange);
    Cls.Event("OnChanging", &TCustomTreeView::OnChanging);
}
