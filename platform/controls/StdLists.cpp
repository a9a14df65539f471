#include "platform/controls/StdLists.h"

#include "platform/classes/TypInfo.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstring>

int FontLineHeight(TFont* Font)
{
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font->Handle());
    TEXTMETRIC TM;
    GetTextMetrics(DC, &TM);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    return TM.tmHeight;
}

namespace {

bool PtIn(const TRect& R, const TPoint& P)
{
    return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom;
}

bool IsLoading(const TComponent* C)
{
    return C->ComponentState().Contains(csLoading);
}

// Writes a string into the buffer of a LB_GETTEXT / CB_GETLBTEXT message.
LRESULT CopyText(const std::string& S, LPARAM Buffer)
{
    if (Buffer)
        std::memcpy(reinterpret_cast<char*>(Buffer), S.c_str(), S.size() + 1);
    return static_cast<LRESULT>(S.size());
}

// Items whose text starts with (LB_FINDSTRING) or equals (..EXACT) S, from after Start, wrapping.
int FindItem(const TStrings* Items, const std::string& S, int Start, bool Exact)
{
    int N = Items->Count();
    for (int K = 1; K <= N; ++K) {
        int I = ((Start < 0 ? -1 : Start) + K) % N;
        std::string T = Items->Strings(I);
        if (Exact ? AnsiCompareText(T, S) == 0 : AnsiCompareText(T.substr(0, S.size()), S) == 0)
            return I;
    }
    return -1;
}

// ---- The item messages both lists answer ----
// LB_ADDSTRING and CB_ADDSTRING, LB_GETTEXT and CB_GETLBTEXT ... do the same to the items of a
// list box and of a combo box; Err is the class's error answer (LB_ERR, CB_ERR).
int CountOf(const TListItems* Items)
{
    return Items ? Items->Count() : 0;
}

struct TItemCall {
    TListItems* Items;
    TMessage& Message;
    LRESULT Err;
    int Count() const { return CountOf(Items); }
    int Index() const { return static_cast<int>(static_cast<std::intptr_t>(Message.WParam)); }
    bool InRange(int I) const { return I >= 0 && I < Count(); }
    const char* Text() const { return Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : ""; }
};
using TItemAnswer = LRESULT (*)(const TItemCall& C);

LRESULT AddString(const TItemCall& C)
{
    return C.Items->Add(C.Text());
}

LRESULT InsertString(const TItemCall& C)
{
    const int N = C.Count();
    int Index = C.Index();
    if (Index == -1)
        Index = N;
    if (Index < 0 || Index > N)
        return C.Err;
    C.Items->Insert(Index, C.Text());
    return Index;
}

LRESULT DeleteString(const TItemCall& C)
{
    const int N = C.Count();
    if (!C.InRange(C.Index()))
        return C.Err;
    C.Items->Delete(C.Index());
    return N - 1;
}

LRESULT GetCount(const TItemCall& C)
{
    return C.Count();
}

LRESULT GetText(const TItemCall& C)
{
    return C.InRange(C.Index()) ? CopyText(C.Items->Strings(C.Index()), C.Message.LParam) : C.Err;
}

LRESULT GetTextLen(const TItemCall& C)
{
    return C.InRange(C.Index()) ? static_cast<LRESULT>(C.Items->Strings(C.Index()).size()) : C.Err;
}

LRESULT GetItemData(const TItemCall& C)
{
    return C.InRange(C.Index()) ? reinterpret_cast<LRESULT>(C.Items->Objects(C.Index())) : C.Err;
}

LRESULT SetItemData(const TItemCall& C)
{
    if (!C.InRange(C.Index()))
        return C.Err;
    C.Items->SetObjects(C.Index(), reinterpret_cast<TObject*>(C.Message.LParam));
    return 0;
}

LRESULT FindString(const TItemCall& C)
{
    return C.Count() == 0 ? C.Err : FindItem(C.Items, C.Text(), C.Index(), false);
}

LRESULT FindStringExact(const TItemCall& C)
{
    return C.Count() == 0 ? C.Err : FindItem(C.Items, C.Text(), C.Index(), true);
}

// Answers one of the item messages above for Items.
LRESULT AnswerItemMessage(TListItems* Items, TMessage& Message, LRESULT Err)
{
    static const TMessageMap<TItemAnswer> Answers{
        {LB_ADDSTRING, &AddString},
        {CB_ADDSTRING, &AddString},
        {LB_INSERTSTRING, &InsertString},
        {CB_INSERTSTRING, &InsertString},
        {LB_DELETESTRING, &DeleteString},
        {CB_DELETESTRING, &DeleteString},
        {LB_GETCOUNT, &GetCount},
        {CB_GETCOUNT, &GetCount},
        {LB_GETTEXT, &GetText},
        {CB_GETLBTEXT, &GetText},
        {LB_GETTEXTLEN, &GetTextLen},
        {CB_GETLBTEXTLEN, &GetTextLen},
        {LB_GETITEMDATA, &GetItemData},
        {CB_GETITEMDATA, &GetItemData},
        {LB_SETITEMDATA, &SetItemData},
        {CB_SETITEMDATA, &SetItemData},
        {LB_FINDSTRING, &FindString},
        {CB_FINDSTRING, &FindString},
        {LB_FINDSTRINGEXACT, &FindStringExact},
        {CB_FINDSTRINGEXACT, &FindStringExact},
    };
    const TItemAnswer* Answer = Answers.Find(Message.Msg);
    return Answer ? (*Answer)(TItemCall{Items, Message, Err}) : Err;
}

} // namespace

// ---- TListItems -------------------------------------------------------------------------------
void TListItems::Check(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        Error("List index out of bounds (%d)", Index);
}

std::string TListItems::Get(int Index) const
{
    Check(Index);
    return FItems[Index].Text;
}

void TListItems::Put(int Index, const std::string& S)
{
    Check(Index);
    FItems[Index].Text = S;
    Changed(-1, -1);
}

TObject* TListItems::GetObject(int Index) const
{
    Check(Index);
    return FItems[Index].Object;
}

void TListItems::PutObject(int Index, TObject* AObject)
{
    Check(Index);
    FItems[Index].Object = AObject;
}

void TListItems::Insert(int Index, const std::string& S)
{
    if (Index < 0 || Index > GetCount())
        Error("List index out of bounds (%d)", Index);
    FItems.insert(FItems.begin() + Index, TItem{S, nullptr, false});
    Changed(Index, -1);
}

void TListItems::Delete(int Index)
{
    Check(Index);
    FItems.erase(FItems.begin() + Index);
    Changed(-1, Index);
}

void TListItems::Clear()
{
    FItems.clear();
    Changed(-1, -2);
}

int TListItems::Add(const std::string& S)
{
    return AddObject(S, nullptr);
}

int TListItems::AddObject(const std::string& S, TObject* AObject)
{
    int Index = GetCount();
    if (Sorted) {
        auto It = std::upper_bound(FItems.begin(), FItems.end(), S, [](const std::string& A, const TItem& B) {
            return AnsiCompareText(A, B.Text) < 0;
        });
        Index = static_cast<int>(It - FItems.begin());
    }
    FItems.insert(FItems.begin() + Index, TItem{S, AObject, false});
    Changed(Index, -1);
    return Index;
}

void TListItems::Exchange(int Index1, int Index2)
{
    Check(Index1);
    Check(Index2);
    std::swap(FItems[Index1], FItems[Index2]);
    Changed(-1, -1);
}

void TListItems::SetUpdateState(bool Updating)
{
    if (!Updating)
        Changed(-1, -1);
}

void TListItems::Changed(int InsertedAt, int DeletedAt)
{
    if (auto* L = dynamic_cast<TCustomListBox*>(FControl))
        L->ItemsChanged(InsertedAt, DeletedAt);
    else if (auto* C = dynamic_cast<TCustomComboBox*>(FControl))
        C->ItemsChanged(InsertedAt, DeletedAt);
}

// ---- TCustomListBox ---------------------------------------------------------------------------
TCustomListBox::TCustomListBox(TComponent* AOwner) : TCustomControl(AOwner), FItems(new TListItems(this))
{
    ControlStyle = TControlStyle{csSetCaption, csDoubleClicks, csCaptureMouse, csOpaque};
    FColor = clWindow;
    FTabStop = true;
    FWidth = 121;
    FHeight = 97;
}

TCustomListBox::~TCustomListBox()
{
    delete FItems;
    FItems = nullptr;
}

void TCustomListBox::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_VSCROLL;
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd()
{
    TCustomControl::CreateWnd();
    UpdateScrollBar();
}

int TCustomListBox::ItemHeight() const
{
    if (FStyle == lbStandard)
        return std::max(1, FontLineHeight(FFont));
    return std::max(1, FItemHeight);
}

void TCustomListBox::SetItemHeight(int Value)
{
    if (Value > 0 && Value != FItemHeight) {
        FItemHeight = Value;
        UpdateScrollBar();
        Invalidate();
    }
}

void TCustomListBox::SetStyle(TListBoxStyle Value)
{
    if (Value != FStyle) {
        FStyle = Value;
        UpdateScrollBar();
        Invalidate();
    }
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value)
{
    if (Value != FBorderStyle) {
        FBorderStyle = Value;
        if (HandleAllocated())
            RecreateWnd();
    }
}

void TCustomListBox::SetSorted(bool Value)
{
    if (Value == FItems->Sorted)
        return;
    FItems->Sorted = Value;
    if (Value) {
        auto& V = FItems->Items();
        std::stable_sort(V.begin(), V.end(), [](const TListItems::TItem& A, const TListItems::TItem& B) {
            return AnsiCompareText(A.Text, B.Text) < 0;
        });
        if (!IsLoading(this))
            FItemIndex = -1;
        ItemsChanged(-1, -1);
    }
}

void TCustomListBox::Loaded()
{
    TCustomControl::Loaded();
    SetItemIndex(FItemIndex);
    SetTopIndex(FTopIndex);
}

void TCustomListBox::SetMultiSelect(bool Value)
{
    if (Value == FMultiSelect)
        return;
    FMultiSelect = Value;
    for (auto& It : FItems->Items())
        It.Selected = false;
    if (!Value && FItemIndex >= 0)
        FItems->Items()[FItemIndex].Selected = true;
    Invalidate();
}

void TCustomListBox::SetItemIndex(int Value)
{
    if (IsLoading(this) && Value >= FItems->Count()) {
        FItemIndex = Value; // the items come later in the description; checked in ItemsChanged
        return;
    }
    if (Value < -1 || Value >= FItems->Count())
        Value = -1;
    if (!FMultiSelect) {
        for (auto& It : FItems->Items())
            It.Selected = false;
        if (Value >= 0)
            FItems->Items()[Value].Selected = true;
    }
    FItemIndex = Value;
    FAnchor = Value;
    if (Value >= 0)
        MakeVisible(Value);
    Invalidate();
}

void TCustomListBox::SetTopIndex(int Value)
{
    int Max = std::max(0, FItems->Count() - VisibleRows());
    Value = std::clamp(Value, 0, Max);
    if (Value != FTopIndex) {
        FTopIndex = Value;
        UpdateScrollBar();
        Invalidate();
    }
}

bool TCustomListBox::Selected(int Index) const
{
    if (Index < 0 || Index >= FItems->Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FMultiSelect ? FItems->Items()[Index].Selected : Index == FItemIndex;
}

void TCustomListBox::SetSelected(int Index, bool Value)
{
    if (Index < 0 || Index >= FItems->Count())
        throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    if (FMultiSelect) {
        FItems->Items()[Index].Selected = Value;
        Invalidate();
    } else if (Value)
        SetItemIndex(Index);
    else if (Index == FItemIndex)
        SetItemIndex(-1);
}

int TCustomListBox::SelCount() const
{
    if (!FMultiSelect)
        return -1;
    return static_cast<int>(std::count_if(FItems->Items().begin(), FItems->Items().end(),
                                          [](const TListItems::TItem& It) { return It.Selected; }));
}

int TCustomListBox::VisibleRows() const
{
    return std::max(1, ClientHeight() / ItemHeight());
}

TRect TCustomListBox::ItemRect(int Index) const
{
    int H = ItemHeight();
    int Y = (Index - FTopIndex) * H;
    return TRect{0, Y, ClientWidth(), Y + H};
}

int TCustomListBox::ItemAtPos(const TPoint& Pos, bool Existing) const
{
    if (Pos.x < 0 || Pos.x >= ClientWidth() || Pos.y < 0 || Pos.y >= ClientHeight())
        return -1;
    int I = FTopIndex + Pos.y / ItemHeight();
    if (I < FItems->Count())
        return I;
    return Existing ? -1 : FItems->Count();
}

void TCustomListBox::ItemsChanged(int InsertedAt, int DeletedAt)
{
    if (!FItems)
        return;
    int N = FItems->Count();
    if (DeletedAt == -2) {
        FItemIndex = IsLoading(this) ? FItemIndex : -1;
        FTopIndex = 0;
        FAnchor = -1;
    } else if (InsertedAt >= 0 && FItemIndex >= InsertedAt && !IsLoading(this)) {
        ++FItemIndex;
    } else if (DeletedAt >= 0) {
        if (FItemIndex == DeletedAt)
            FItemIndex = -1;
        else if (FItemIndex > DeletedAt)
            --FItemIndex;
    }
    if (!IsLoading(this) && FItemIndex >= N)
        FItemIndex = -1;
    if (!FMultiSelect) {
        for (int I = 0; I < N; ++I)
            FItems->Items()[I].Selected = I == FItemIndex;
    }
    FTopIndex = std::clamp(FTopIndex, 0, std::max(0, N - 1));
    if (FItems->UpdateCount() == 0) {
        UpdateScrollBar();
        Invalidate();
    }
}

void TCustomListBox::UpdateScrollBar()
{
    if (!HandleAllocated())
        return;
    SCROLLINFO SI;
    SI.fMask = SIF_ALL;
    SI.nMin = 0;
    SI.nMax = std::max(0, FItems->Count() - 1);
    SI.nPage = static_cast<UINT>(VisibleRows());
    SI.nPos = FTopIndex;
    SetScrollInfo(FHandle, SB_VERT, &SI, TRUE);
}

void TCustomListBox::MakeVisible(int Index)
{
    if (Index < 0)
        return;
    int Rows = VisibleRows();
    if (Index < FTopIndex)
        SetTopIndex(Index);
    else if (Index >= FTopIndex + Rows)
        SetTopIndex(Index - Rows + 1);
}

int TCustomListBox::TextIndent(int Index) const
{
    (void)Index;
    return 2;
}

void TCustomListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    Canvas()->FillRect(Rect);
    if (Index < FItems->Count())
        Canvas()->TextOut(Rect.left + TextIndent(Index), Rect.top, FItems->Strings(Index));
}

void TCustomListBox::Paint()
{
    TCanvas* C = Canvas();
    C->SetFont(FFont);
    C->Brush()->SetColor(FColor);
    TRect Client = ClientRect();
    C->FillRect(Client);
    int N = FItems->Count();
    int H = ItemHeight();
    bool HasFocus = Focused();
    for (int I = FTopIndex; I < N; ++I) {
        TRect R = ItemRect(I);
        if (R.top >= Client.bottom)
            break;
        TOwnerDrawState State;
        bool Sel = FMultiSelect ? FItems->Items()[I].Selected : I == FItemIndex;
        if (Sel)
            State.Include(odSelected);
        if (I == FItemIndex && HasFocus)
            State.Include(odFocused);
        if (!Enabled())
            State.Include(odDisabled);
        C->Brush()->SetColor(Sel ? clHighlight : FColor);
        C->Font()->SetColor(Sel ? clHighlightText : FFont->Color());
        C->Brush()->SetStyle(bsSolid);
        if (FStyle == lbStandard) {
            C->FillRect(R);
            C->TextOut(R.left + TextIndent(I), R.top, FItems->Strings(I));
        } else {
            DrawItem(I, R, State);
        }
        if (State.Contains(odFocused))
            C->DrawFocusRect(R);
        (void)H;
    }
    // A focused empty list still shows where the caret is.
    if (N == 0 && HasFocus)
        C->DrawFocusRect(TRect{0, 0, Client.right, H});
}

void TCustomListBox::SelectionChangedByUser()
{
    Click();
}

void TCustomListBox::SelectByUser(int Index, TShiftState Shift, bool FromKey)
{
    int N = FItems->Count();
    if (N == 0)
        return;
    Index = std::clamp(Index, 0, N - 1);
    auto& V = FItems->Items();
    bool Changed = true;
    if (!FMultiSelect) {
        Changed = Index != FItemIndex;
        FItemIndex = Index;
        for (int I = 0; I < N; ++I)
            V[I].Selected = I == Index;
        FAnchor = Index;
    } else if (!FExtendedSelect) {
        if (!FromKey)
            V[Index].Selected = !V[Index].Selected;
        else
            Changed = false; // keys move the caret; the space bar toggles
        FItemIndex = Index;
    } else {
        bool Ctrl = Shift.Contains(ssCtrl), Sh = Shift.Contains(ssShift);
        if (Sh && FAnchor >= 0) {
            if (!Ctrl)
                for (auto& It : V)
                    It.Selected = false;
            int A = std::min(FAnchor, Index), B = std::max(FAnchor, Index);
            for (int I = A; I <= B; ++I)
                V[I].Selected = true;
        } else if (Ctrl) {
            if (!FromKey)
                V[Index].Selected = !V[Index].Selected;
            else
                Changed = false;
            FAnchor = Index;
        } else {
            for (auto& It : V)
                It.Selected = false;
            V[Index].Selected = true;
            FAnchor = Index;
        }
        FItemIndex = Index;
    }
    MakeVisible(Index);
    Invalidate();
    // A click always reports a selection, as the list box itself does; keys only when it moved.
    if (Changed || !FromKey)
        SelectionChangedByUser();
}

void TCustomListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (CanFocus() && !Focused())
            SetFocus();
        int I = ItemAtPos(TPoint{X, Y}, true);
        if (I >= 0 && !Shift.Contains(ssDouble))
            SelectByUser(I, Shift, false);
        FTracking = !FMultiSelect;
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomListBox::MouseMove(TShiftState Shift, int X, int Y)
{
    // Dragging with the button down moves a single selection along.
    if (FTracking && Shift.Contains(ssLeft)) {
        int I = ItemAtPos(TPoint{X, std::clamp(Y, 0, std::max(0, ClientHeight() - 1))}, true);
        if (I >= 0 && I != FItemIndex)
            SelectByUser(I, TShiftState{}, true);
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft)
        FTracking = false;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomListBox::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    int N = FItems->Count();
    if (N == 0 || Key == 0)
        return;
    int Cur = FItemIndex;
    int Rows = VisibleRows();
    int Target;
    switch (Key) {
    case VK_UP:
        Target = Cur < 0 ? 0 : Cur - 1;
        break;
    case VK_DOWN:
        Target = Cur < 0 ? 0 : Cur + 1;
        break;
    case VK_HOME:
        Target = 0;
        break;
    case VK_END:
        Target = N - 1;
        break;
    case VK_PRIOR:
        Target = Cur < 0 ? 0 : Cur - std::max(1, Rows - 1);
        break;
    case VK_NEXT:
        Target = Cur < 0 ? 0 : Cur + std::max(1, Rows - 1);
        break;
    default:
        return;
    }
    SelectByUser(std::clamp(Target, 0, N - 1), Shift, true);
    Key = 0;
}

void TCustomListBox::KeyPress(char& Key)
{
    TCustomControl::KeyPress(Key);
    if (Key == 0)
        return;
    if (Key == ' ' && FMultiSelect && FItemIndex >= 0) {
        auto& It = FItems->Items()[FItemIndex];
        It.Selected = !It.Selected;
        Invalidate();
        SelectionChangedByUser();
        return;
    }
    if (static_cast<unsigned char>(Key) > ' ' && static_cast<unsigned char>(Key) < 0x80) {
        int I = FindItem(FItems, std::string(1, Key), FItemIndex, false);
        if (I >= 0)
            SelectByUser(I, TShiftState{}, true);
    }
}

void TCustomListBox::WMGetDlgCode(TWMGetDlgCode Message)
{
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TCustomListBox::WMSetFocus(TWMSetFocus Message)
{
    Invalidate();
    TCustomControl::WMSetFocus(Message);
}

void TCustomListBox::WMKillFocus(TWMKillFocus Message)
{
    Invalidate();
    DefaultHandler(Message);
}

void TCustomListBox::WMSize(TWMSize Message)
{
    DefaultHandler(Message);
    SetTopIndex(FTopIndex);
    UpdateScrollBar();
}

void TCustomListBox::WMVScroll(TWMVScroll Message)
{
    SetTopIndex(ScrolledPos(Message, FTopIndex, VisibleRows(), CountOf(FItems)));
    Message.Result = 0;
}

void TCustomListBox::WMMouseWheel(TWMMouseWheel Message)
{
    SetTopIndex(FTopIndex - Message.WheelDelta() / 120 * 3);
    Message.Result = 0;
}

void TCustomListBox::LBItemMessage(TMessage& Message)
{
    Message.Result = AnswerItemMessage(FItems, Message, LB_ERR);
}

void TCustomListBox::LBResetContent(TMessage& Message)
{
    FItems->Clear();
    Message.Result = 0;
}

void TCustomListBox::LBGetCurSel(TMessage& Message)
{
    Message.Result = FMultiSelect ? LB_ERR : FItemIndex;
}

void TCustomListBox::LBSetCurSel(TMessage& Message)
{
    if (FMultiSelect) {
        Message.Result = LB_ERR;
        return;
    }
    const int Index = static_cast<int>(static_cast<std::intptr_t>(Message.WParam));
    const bool InRange = Index >= 0 && Index < CountOf(FItems);
    SetItemIndex(InRange ? Index : -1);
    Message.Result = InRange ? Index : LB_ERR;
}

void TCustomListBox::LBGetCaretIndex(TMessage& Message)
{
    Message.Result = FItemIndex;
}

void TCustomListBox::LBSetCaretIndex(TMessage& Message)
{
    const int Index = static_cast<int>(static_cast<std::intptr_t>(Message.WParam));
    if (Index < 0 || Index >= CountOf(FItems)) {
        Message.Result = LB_ERR;
        return;
    }
    FItemIndex = Index;
    MakeVisible(Index);
    Invalidate();
    Message.Result = 0;
}

void TCustomListBox::LBGetSel(TMessage& Message)
{
    const int I = static_cast<int>(Message.WParam);
    Message.Result = I >= 0 && I < CountOf(FItems) ? (Selected(I) ? 1 : 0) : LB_ERR;
}

void TCustomListBox::LBSetSel(TMessage& Message)
{
    // WParam: select or not; LParam: the item, -1 for all.
    const int N = CountOf(FItems);
    const int I = static_cast<int>(Message.LParam);
    if (!FMultiSelect || (I != -1 && (I < 0 || I >= N))) {
        Message.Result = LB_ERR;
        return;
    }
    for (int K = 0; K < N; ++K)
        if (I == -1 || K == I)
            FItems->Items()[K].Selected = Message.WParam != 0;
    Invalidate();
    Message.Result = 0;
}

void TCustomListBox::LBGetSelCount(TMessage& Message)
{
    Message.Result = FMultiSelect ? SelCount() : LB_ERR;
}

void TCustomListBox::LBGetTopIndex(TMessage& Message)
{
    Message.Result = FTopIndex;
}

void TCustomListBox::LBSetTopIndex(TMessage& Message)
{
    const int N = CountOf(FItems);
    const int Index = static_cast<int>(static_cast<std::intptr_t>(Message.WParam));
    if ((Index < 0 || Index >= N) && !(N == 0 && Index == 0)) {
        Message.Result = LB_ERR;
        return;
    }
    SetTopIndex(Index);
    Message.Result = 0;
}

void TCustomListBox::LBGetItemHeight(TMessage& Message)
{
    Message.Result = ItemHeight();
}

void TCustomListBox::LBSetItemHeight(TMessage& Message)
{
    SetItemHeight(LOWORD(Message.LParam));
    Message.Result = 0;
}

void TCustomListBox::LBGetItemRect(TMessage& Message)
{
    const int Index = static_cast<int>(static_cast<std::intptr_t>(Message.WParam));
    if (Index < 0 || Index >= CountOf(FItems) || !Message.LParam) {
        Message.Result = LB_ERR;
        return;
    }
    *reinterpret_cast<RECT*>(Message.LParam) = ItemRect(Index);
    Message.Result = 1;
}

void TCustomListBox::LBItemFromPoint(TMessage& Message)
{
    const int I = ItemAtPos(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)}, false);
    Message.Result = I < 0 ? MAKELONG(0, 1) : MAKELONG(I, I >= CountOf(FItems) ? 1 : 0);
}

// ---- The drop-down list of a combo box -------------------------------------------------------
// A borderless pop-up list below the box; it holds the mouse while it is shown, so a press
// outside it closes it.
class TComboListPopup : public TCustomListBox {
public:
    TComboListPopup(TCustomComboBox* Combo) : TCustomListBox(nullptr), FCombo(Combo)
    {
        FVisible = false;
        FBorderStyle = bsNone;
        FTabStop = false;
    }
    TCustomComboBox* FCombo;
    bool FPressedInside = false;

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TCustomListBox::CreateParams(Params);
        Params.Style = WS_POPUP | WS_BORDER | WS_VSCROLL | WS_CLIPSIBLINGS;
        Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
        Params.WndParent = nullptr;
        Params.WinClassName = "TComboListPopup";
    }
    bool ShouldShow() const override { return FVisible; }
    TW_MESSAGE_HANDLERS(TComboListPopup);
    // The box keeps the focus while its list is used.
    void WMMouseActivate(TWMMouseActivate Message) { Message.Result = MA_NOACTIVATE; }
    int TextIndent(int) const override { return 2; }
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override
    {
        // The combo's drawing code draws on the combo's canvas; lend it our DC for the call and
        // give it back whatever it held before.
        TCanvas* CC = FCombo->Canvas();
        HDC Old = CC->HandleAllocated() ? CC->Handle() : nullptr;
        CC->SetHandle(Canvas()->Handle());
        CC->Brush()->Assign(Canvas()->Brush());
        CC->Font()->Assign(Canvas()->Font());
        FCombo->DrawItem(Index, Rect, State);
        CC->SetHandle(Old);
    }
    void SelectionChangedByUser() override {}
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        if (!PtIn(ClientRect(), TPoint{X, Y})) {
            FCombo->CloseUp(-1);
            return;
        }
        FPressedInside = true;
        int I = ItemAtPos(TPoint{X, Y}, true);
        if (I >= 0)
            SelectByUser(I, TShiftState{}, true);
        (void)Button;
        (void)Shift;
    }
    void MouseMove(TShiftState Shift, int X, int Y) override
    {
        int I = ItemAtPos(TPoint{X, Y}, true);
        if (I >= 0 && I != FItemIndex)
            SelectByUser(I, TShiftState{}, true);
        (void)Shift;
    }
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        (void)Shift;
        if (Button != mbLeft)
            return;
        if (PtIn(ClientRect(), TPoint{X, Y})) {
            int I = ItemAtPos(TPoint{X, Y}, true);
            if (I >= 0)
                FCombo->CloseUp(I);
        } else if (FPressedInside) {
            FCombo->CloseUp(-1);
        } else {
            // The press that opened the list: keep it open and keep the mouse.
            SetMouseCapture(true);
        }
    }
};

// ---- TCustomComboBox --------------------------------------------------------------------------
TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TCustomControl(AOwner), FItems(new TListItems(this))
{
    ControlStyle = TControlStyle{csSetCaption, csDoubleClicks, csFixedHeight, csOpaque};
    FColor = clWindow;
    FTabStop = true;
    FWidth = 145;
    AdjustHeight();
}

TCustomComboBox::~TCustomComboBox()
{
    if (FPopup) {
        delete FPopup;
        FPopup = nullptr;
    }
    delete FItems;
    FItems = nullptr;
}

void TCustomComboBox::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

int TCustomComboBox::ItemHeight() const
{
    if (FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable)
        return std::max(1, FItemHeight);
    return std::max(1, FontLineHeight(FFont));
}

void TCustomComboBox::SetItemHeight(int Value)
{
    if (Value > 0 && Value != FItemHeight) {
        FItemHeight = Value;
        AdjustHeight();
    }
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    if (!EditsText())
        SetTextBuf(FItemIndex >= 0 ? FItems->Strings(FItemIndex) : std::string());
    AdjustHeight();
}

void TCustomComboBox::SetSorted(bool Value)
{
    if (Value == FItems->Sorted)
        return;
    FItems->Sorted = Value;
    if (Value) {
        auto& V = FItems->Items();
        std::stable_sort(V.begin(), V.end(), [](const TListItems::TItem& A, const TListItems::TItem& B) {
            return AnsiCompareText(A.Text, B.Text) < 0;
        });
        FItemIndex = -1;
        Invalidate();
    }
}

void TCustomComboBox::AdjustHeight()
{
    // The box is as high as one item plus its frame; the form's stored height does not count.
    int H = ItemHeight() + 8;
    if (H != FHeight)
        TCustomControl::SetBounds(FLeft, FTop, FWidth, H);
}

void TCustomComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    (void)AHeight;
    TCustomControl::SetBounds(ALeft, ATop, AWidth, ItemHeight() + 8);
}

void TCustomComboBox::Loaded()
{
    TCustomControl::Loaded();
    if (FItemIndex >= FItems->Count())
        FItemIndex = -1;
    if (FItemIndex >= 0)
        TCustomControl::SetTextBuf(FItems->Strings(FItemIndex));
    else if (!EditsText() && !FText.empty())
        SetTextBuf(FText);
    AdjustHeight();
}

void TCustomComboBox::Clear()
{
    FItems->Clear();
    SetTextBuf("");
}

void TCustomComboBox::SetItemIndex(int Value)
{
    if (IsLoading(this)) {
        FItemIndex = Value;
        return;
    }
    if (Value < -1 || Value >= FItems->Count())
        Value = -1;
    FItemIndex = Value;
    TCustomControl::SetTextBuf(Value >= 0 ? FItems->Strings(Value) : std::string());
    Invalidate();
}

std::string TCustomComboBox::SelText() const
{
    std::string T = Text();
    int A = std::clamp(FSelStart, 0, static_cast<int>(T.size()));
    return T.substr(static_cast<std::size_t>(A), static_cast<std::size_t>(FSelLength));
}

void TCustomComboBox::SetSelStart(int Value)
{
    FSelStart = std::clamp(Value, 0, static_cast<int>(Text().size()));
    FSelLength = 0;
    FSelAnchor = FSelStart;
    Invalidate();
}

void TCustomComboBox::SetSelLength(int Value)
{
    FSelLength = std::clamp(Value, 0, static_cast<int>(Text().size()) - FSelStart);
    Invalidate();
}

void TCustomComboBox::SelectAll()
{
    FSelAnchor = FSelStart = 0;
    FSelLength = static_cast<int>(Text().size());
    Invalidate();
}

namespace {

// The byte offset of the character boundary before / after Pos in UTF-8 text.
int PrevChar(const std::string& T, int Pos)
{
    if (Pos <= 0)
        return 0;
    --Pos;
    while (Pos > 0 && (static_cast<unsigned char>(T[static_cast<std::size_t>(Pos)]) & 0xC0) == 0x80)
        --Pos;
    return Pos;
}

int NextChar(const std::string& T, int Pos)
{
    int N = static_cast<int>(T.size());
    if (Pos >= N)
        return N;
    ++Pos;
    while (Pos < N && (static_cast<unsigned char>(T[static_cast<std::size_t>(Pos)]) & 0xC0) == 0x80)
        ++Pos;
    return Pos;
}

} // namespace

void TCustomComboBox::MoveCaret(int Pos, bool Extend)
{
    Pos = std::clamp(Pos, 0, static_cast<int>(Text().size()));
    if (!Extend)
        FSelAnchor = Pos;
    FSelStart = std::min(FSelAnchor, Pos);
    FSelLength = std::abs(Pos - FSelAnchor);
    Invalidate();
}

void TCustomComboBox::ReplaceSelection(const std::string& S)
{
    std::string T = Text();
    int A = std::clamp(FSelStart, 0, static_cast<int>(T.size()));
    int L = std::clamp(FSelLength, 0, static_cast<int>(T.size()) - A);
    std::string New =
        T.substr(0, static_cast<std::size_t>(A)) + S + T.substr(static_cast<std::size_t>(A + L));
    if (MaxLength > 0 && static_cast<int>(New.size()) > MaxLength && New.size() > T.size())
        return;
    TCustomControl::SetTextBuf(New);
    FSelAnchor = FSelStart = A + static_cast<int>(S.size());
    FSelLength = 0;
    Invalidate();
    Change();
}

int TCustomComboBox::CaretFromX(int X)
{
    std::string T = Text();
    TCanvas* C = Canvas();
    C->SetFont(FFont);
    int Best = 0, BestDist = 1 << 30;
    for (int P = 0;; P = NextChar(T, P)) {
        int W = 3 + C->TextWidth(T.substr(0, static_cast<std::size_t>(P)));
        if (std::abs(W - X) < BestDist) {
            BestDist = std::abs(W - X);
            Best = P;
        }
        if (P >= static_cast<int>(T.size()))
            break;
    }
    return Best;
}

void TCustomComboBox::SetTextBuf(const std::string& Value)
{
    FSelAnchor = FSelStart = static_cast<int>(Value.size());
    FSelLength = 0;
    if (!EditsText() && !IsLoading(this)) {
        // A list-only box shows an item or nothing.
        int I = FItems->IndexOf(Value);
        FItemIndex = I;
        TCustomControl::SetTextBuf(I >= 0 ? FItems->Strings(I) : std::string());
    } else {
        TCustomControl::SetTextBuf(Value);
    }
    Invalidate();
}

void TCustomComboBox::ItemsChanged(int InsertedAt, int DeletedAt)
{
    if (!FItems || IsLoading(this))
        return;
    if (DeletedAt == -2)
        FItemIndex = -1;
    else if (InsertedAt >= 0 && FItemIndex >= InsertedAt)
        ++FItemIndex;
    else if (DeletedAt >= 0) {
        if (FItemIndex == DeletedAt)
            FItemIndex = -1;
        else if (FItemIndex > DeletedAt)
            --FItemIndex;
    }
    if (FItemIndex >= FItems->Count())
        FItemIndex = -1;
    if (!EditsText())
        TCustomControl::SetTextBuf(FItemIndex >= 0 ? FItems->Strings(FItemIndex) : std::string());
    Invalidate();
}

void TCustomComboBox::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomComboBox::DropDown()
{
    if (OnDropDown)
        OnDropDown(this);
}

TCustomListBox* TCustomComboBox::DropDownList() const
{
    return FPopup && FPopup->Visible() ? FPopup : nullptr;
}

void TCustomComboBox::SetDroppedDown(bool Value)
{
    if (Value == (DropDownList() != nullptr))
        return;
    if (!Value) {
        CloseUp(-1);
        return;
    }
    DropDown();
    if (!FPopup)
        FPopup = new TComboListPopup(this);
    FPopup->SetFont(FFont);
    FPopup->SetStyle(FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable ? lbOwnerDrawFixed
                                                                                 : lbStandard);
    FPopup->SetItemHeight(ItemHeight());
    FPopup->Items()->Assign(FItems);
    int Rows = std::clamp(FItems->Count(), 1, std::max(1, DropDownCount));
    TPoint P = ClientToScreen(TPoint{0, 0});
    // The frame of the box (client edge) is 2 pixels; the list lines up with its outer edge.
    int ListHeight = Rows * FPopup->ItemHeight() + 2;
    int Y = P.y + ClientHeight() + 2;
    // Near the bottom of the screen the list opens above the box instead.
    if (Y + ListHeight > GetSystemMetrics(SM_CYSCREEN) && P.y - 2 - ListHeight >= 0)
        Y = P.y - 2 - ListHeight;
    FPopup->SetBounds(P.x - 2, Y, FWidth, ListHeight);
    FPopup->SetItemIndex(FItemIndex);
    FPopup->FPressedInside = false;
    FPopup->Show();
    FPopup->SetMouseCapture(true);
    Invalidate();
}

void TCustomComboBox::CloseUp(int ChosenIndex)
{
    if (!FPopup || !FPopup->Visible())
        return;
    FPopup->SetMouseCapture(false);
    FPopup->Hide();
    Invalidate();
    if (ChosenIndex >= 0)
        SelectByUser(ChosenIndex);
}

void TCustomComboBox::SelectByUser(int Index)
{
    if (Index < 0 || Index >= FItems->Count())
        return;
    FItemIndex = Index;
    TCustomControl::SetTextBuf(FItems->Strings(Index));
    SelectAll();
    Click();
    Change();
}

void TCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (OnDrawItem && (FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable)) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    Canvas()->FillRect(Rect);
    if (Index >= 0 && Index < FItems->Count())
        Canvas()->TextOut(Rect.left + 2, Rect.top, FItems->Strings(Index));
}

void TCustomComboBox::Paint()
{
    TCanvas* C = Canvas();
    C->SetFont(FFont);
    TRect Client = ClientRect();
    int BW = GetSystemMetrics(SM_CXVSCROLL);
    C->Brush()->SetColor(FColor);
    C->FillRect(TRect{0, 0, Client.right - BW, Client.bottom});
    // The arrow button.
    TRect B{Client.right - BW, 0, Client.right, Client.bottom};
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(B);
    RECT E = B;
    DrawEdge(C->Handle(), &E, DroppedDown() ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT);
    int Cx = (B.left + B.right) / 2 - (DroppedDown() ? 0 : 1), Cy = (B.top + B.bottom) / 2 - 1;
    C->Pen()->SetColor(Enabled() ? clBtnText : clGrayText);
    for (int K = 0; K < 4; ++K) {
        C->MoveTo(Cx - 3 + K, Cy - 1 + K);
        C->LineTo(Cx + 4 - K, Cy - 1 + K);
    }
    // The field: the chosen item (owner-drawn or text), highlighted while the box has the focus.
    TRect F{2, 2, Client.right - BW - 2, Client.bottom - 2};
    bool Hot = Focused() && !EditsText();
    C->Brush()->SetColor(Hot ? clHighlight : FColor);
    C->Font()->SetColor(Hot ? clHighlightText : (Enabled() ? FFont->Color() : clGrayText));
    if (FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable) {
        TOwnerDrawState State{odComboBoxEdit};
        if (Hot)
            State += TOwnerDrawState{odSelected, odFocused};
        if (FItemIndex >= 0)
            DrawItem(FItemIndex, F, State);
        else
            C->FillRect(F);
    } else {
        C->FillRect(F);
        std::string T = Text();
        int TY = F.top + (F.bottom - F.top - FontLineHeight(FFont)) / 2;
        C->TextOut(F.left + 1, TY, T);
        if (EditsText() && Focused()) {
            int A = std::clamp(FSelStart, 0, static_cast<int>(T.size()));
            int L = std::clamp(FSelLength, 0, static_cast<int>(T.size()) - A);
            int X0 = F.left + 1 + C->TextWidth(T.substr(0, static_cast<std::size_t>(A)));
            if (L > 0) {
                std::string Sel = T.substr(static_cast<std::size_t>(A), static_cast<std::size_t>(L));
                C->Brush()->SetColor(clHighlight);
                C->Font()->SetColor(clHighlightText);
                C->TextOut(X0, TY, Sel);
            } else {
                C->Pen()->SetColor(FFont->Color());
                C->MoveTo(X0, TY);
                C->LineTo(X0, TY + FontLineHeight(FFont));
            }
        }
    }
    if (Hot)
        C->DrawFocusRect(F);
}

void TCustomComboBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (CanFocus() && !Focused())
            SetFocus();
        int BW = GetSystemMetrics(SM_CXVSCROLL);
        // The arrow opens the list; a list-only box opens from anywhere.
        if (!EditsText() || X >= ClientWidth() - BW)
            SetDroppedDown(!DroppedDown());
        else if (!Shift.Contains(ssDouble))
            MoveCaret(CaretFromX(X), Shift.Contains(ssShift));
        else
            SelectAll();
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomComboBox::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0)
        return;
    bool Alt = Shift.Contains(ssAlt);
    if (Key == VK_F4 || (Alt && (Key == VK_DOWN || Key == VK_UP))) {
        SetDroppedDown(!DroppedDown());
        Key = 0;
        return;
    }
    if (TCustomListBox* L = DropDownList()) {
        if (Key == VK_RETURN) {
            CloseUp(L->ItemIndex());
            Key = 0;
        } else if (Key == VK_ESCAPE) {
            CloseUp(-1);
            Key = 0;
        } else if (Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_HOME ||
                   Key == VK_END) {
            L->Perform(WM_KEYDOWN, Key, 0);
            Key = 0;
        }
        return;
    }
    if (EditsText()) {
        bool Ext = Shift.Contains(ssShift);
        std::string T = Text();
        // The moving end of the selection is the one away from the anchor.
        int Caret = FSelStart == FSelAnchor ? FSelStart + FSelLength : FSelStart;
        int To = -1;
        switch (Key) {
        case VK_LEFT:
            To = PrevChar(T, Caret);
            break;
        case VK_RIGHT:
            To = NextChar(T, Caret);
            break;
        case VK_HOME:
            To = 0;
            break;
        case VK_END:
            To = static_cast<int>(T.size());
            break;
        case VK_DELETE:
            if (FSelLength == 0)
                FSelLength = NextChar(T, FSelStart) - FSelStart;
            if (FSelLength > 0)
                ReplaceSelection("");
            Key = 0;
            return;
        default:
            break;
        }
        if (To >= 0) {
            MoveCaret(To, Ext);
            Key = 0;
            return;
        }
    }
    int N = FItems->Count();
    if (N == 0)
        return;
    int Target = -2;
    switch (Key) {
    case VK_UP:
        Target = FItemIndex < 0 ? 0 : FItemIndex - 1;
        break;
    case VK_DOWN:
        Target = FItemIndex < 0 ? 0 : FItemIndex + 1;
        break;
    case VK_HOME:
        if (!EditsText())
            Target = 0;
        break;
    case VK_END:
        if (!EditsText())
            Target = N - 1;
        break;
    default:
        break;
    }
    if (Target == -2)
        return;
    Target = std::clamp(Target, 0, N - 1);
    if (Target != FItemIndex)
        SelectByUser(Target);
    Key = 0;
}

void TCustomComboBox::KeyPress(char& Key)
{
    TCustomControl::KeyPress(Key);
    if (Key == 0 || Key == '\r' || Key == 27 || Key == '\t')
        return;
    if (!EditsText()) {
        if (static_cast<unsigned char>(Key) > ' ' || Key == ' ') {
            int I = FindItem(FItems, std::string(1, Key), FItemIndex, false);
            if (I >= 0 && I != FItemIndex)
                SelectByUser(I);
        }
        return;
    }
    if (Key == '\b') {
        if (FSelLength == 0) {
            std::string T = Text();
            int P = PrevChar(T, FSelStart);
            if (P == FSelStart)
                return;
            FSelLength = FSelStart - P;
            FSelStart = P;
        }
        ReplaceSelection("");
    } else if (static_cast<unsigned char>(Key) >= ' ') {
        ReplaceSelection(std::string(1, Key));
    }
}

void TCustomComboBox::WMGetDlgCode(TWMGetDlgCode Message)
{
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TCustomComboBox::WMSetFocus(TWMSetFocus Message)
{
    if (EditsText())
        SelectAll();
    Invalidate();
    TCustomControl::WMSetFocus(Message);
}

void TCustomComboBox::WMKillFocus(TWMKillFocus Message)
{
    Invalidate();
    if (DropDownList() && Message.FocusedWnd() != FPopup->Handle())
        CloseUp(-1);
    DefaultHandler(Message);
}

void TCustomComboBox::WMCancelMode(TWMCancelMode Message)
{
    Invalidate();
    TCustomControl::WMCancelMode(Message);
}

void TCustomComboBox::CMFontChanged(TMessage& Message)
{
    TCustomControl::CMFontChanged(Message);
    AdjustHeight();
}

void TCustomComboBox::CBItemMessage(TMessage& Message)
{
    Message.Result = AnswerItemMessage(FItems, Message, CB_ERR);
}

void TCustomComboBox::CBResetContent(TMessage& Message)
{
    Clear();
    Message.Result = 0;
}

void TCustomComboBox::CBGetCurSel(TMessage& Message)
{
    Message.Result = FItemIndex;
}

void TCustomComboBox::CBSetCurSel(TMessage& Message)
{
    const int Index = static_cast<int>(static_cast<std::intptr_t>(Message.WParam));
    const bool InRange = Index >= 0 && Index < CountOf(FItems);
    SetItemIndex(InRange ? Index : -1);
    Message.Result = InRange ? Index : CB_ERR;
}

void TCustomComboBox::CBSelectString(TMessage& Message)
{
    const int I = static_cast<int>(FindString(TItemCall{FItems, Message, -1}));
    if (I >= 0)
        SetItemIndex(I);
    Message.Result = I;
}

void TCustomComboBox::CBGetItemHeight(TMessage& Message)
{
    Message.Result = ItemHeight();
}

void TCustomComboBox::CBSetItemHeight(TMessage& Message)
{
    SetItemHeight(static_cast<int>(Message.LParam));
    Message.Result = 0;
}

void TCustomComboBox::CBShowDropDown(TMessage& Message)
{
    SetDroppedDown(Message.WParam != 0);
    Message.Result = 1;
}

void TCustomComboBox::CBGetDroppedState(TMessage& Message)
{
    Message.Result = DroppedDown() ? 1 : 0;
}

// ---- Registration -----------------------------------------------------------------------------
TW_ENUM(TListBoxStyle, "lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable");
TW_ENUM(TComboBoxStyle, "csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed",
        "csOwnerDrawVariable");
TW_ENUM(TOwnerDrawStateItem, "odSelected", "odGrayed", "odDisabled", "odChecked", "odFocused",
        "odComboBoxEdit");

[[maybe_unused]] static const bool TwListEvents = (RegisterEventType<TDrawItemEvent>("TDrawItemEvent"), true);

TW_PUBLISH(TCustomListBox, TCustomControl)
{
    Cls.Message(WM_GETDLGCODE, &TCustomListBox::WMGetDlgCode);
    Cls.Message(WM_SETFOCUS, &TCustomListBox::WMSetFocus);
    Cls.Message(WM_KILLFOCUS, &TCustomListBox::WMKillFocus);
    Cls.Message(WM_SIZE, &TCustomListBox::WMSize);
    Cls.Message(WM_VSCROLL, &TCustomListBox::WMVScroll);
    Cls.Message(WM_MOUSEWHEEL, &TCustomListBox::WMMouseWheel);
    Cls.Message({LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_GETCOUNT, LB_GETTEXT, LB_GETTEXTLEN,
                 LB_GETITEMDATA, LB_SETITEMDATA, LB_FINDSTRING, LB_FINDSTRINGEXACT},
                &TCustomListBox::LBItemMessage);
    Cls.Message(LB_RESETCONTENT, &TCustomListBox::LBResetContent);
    Cls.Message(LB_GETCURSEL, &TCustomListBox::LBGetCurSel);
    Cls.Message(LB_SETCURSEL, &TCustomListBox::LBSetCurSel);
    Cls.Message(LB_GETCARETINDEX, &TCustomListBox::LBGetCaretIndex);
    Cls.Message(LB_SETCARETINDEX, &TCustomListBox::LBSetCaretIndex);
    Cls.Message(LB_GETSEL, &TCustomListBox::LBGetSel);
    Cls.Message(LB_SETSEL, &TCustomListBox::LBSetSel);
    Cls.Message(LB_GETSELCOUNT, &TCustomListBox::LBGetSelCount);
    Cls.Message(LB_GETTOPINDEX, &TCustomListBox::LBGetTopIndex);
    Cls.Message(LB_SETTOPINDEX, &TCustomListBox::LBSetTopIndex);
    Cls.Message(LB_GETITEMHEIGHT, &TCustomListBox::LBGetItemHeight);
    Cls.Message(LB_SETITEMHEIGHT, &TCustomListBox::LBSetItemHeight);
    Cls.Message(LB_GETITEMRECT, &TCustomListBox::LBGetItemRect);
    Cls.Message(LB_ITEMFROMPOINT, &TCustomListBox::LBItemFromPoint);
}

// The drop-down list: registered for its own handler only (it is never created by name).
TW_PUBLISH(TComboListPopup, TCustomListBox)
{
    Cls.Message(WM_MOUSEACTIVATE, &TComboListPopup::WMMouseActivate);
}

TW_PUBLISH(TListBox, TCustomListBox)
{
    Cls.Color("Color", &TControl::Color, &TControl::SetColor).Default(clWindow);
    Cls.Strings("Items", &TCustomListBox::Items);
    Cls.Bool("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect).Default(false);
    Cls.Bool("ExtendedSelect", &TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect)
        .Default(true);
    Cls.Bool("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted).Default(false);
    Cls.Enum("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle).Default(lbStandard);
    Cls.Int(
           "ItemHeight", [](TCustomListBox* L) { return L->StoredItemHeight(); },
           &TCustomListBox::SetItemHeight)
        .Default(16);
    Cls.Int("ItemIndex", &TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex).Default(-1);
    Cls.Enum("BorderStyle", &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle).Default(bsSingle);
    Cls.Bool("IntegralHeight", &TCustomListBox::IntegralHeight).Default(false);
    Cls.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
    Cls.Event("OnDrawItem", &TCustomListBox::OnDrawItem);
}

TW_PUBLISH(TCustomComboBox, TCustomControl)
{
    Cls.Message(WM_GETDLGCODE, &TCustomComboBox::WMGetDlgCode);
    Cls.Message(WM_SETFOCUS, &TCustomComboBox::WMSetFocus);
    Cls.Message(WM_KILLFOCUS, &TCustomComboBox::WMKillFocus);
    Cls.Message(WM_CANCELMODE, &TCustomComboBox::WMCancelMode);
    Cls.Message(CM_FONTCHANGED, &TCustomComboBox::CMFontChanged);
    Cls.Message({CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING, CB_GETCOUNT, CB_GETLBTEXT, CB_GETLBTEXTLEN,
                 CB_GETITEMDATA, CB_SETITEMDATA, CB_FINDSTRING, CB_FINDSTRINGEXACT},
                &TCustomComboBox::CBItemMessage);
    Cls.Message(CB_RESETCONTENT, &TCustomComboBox::CBResetContent);
    Cls.Message(CB_GETCURSEL, &TCustomComboBox::CBGetCurSel);
    Cls.Message(CB_SETCURSEL, &TCustomComboBox::CBSetCurSel);
    Cls.Message(CB_SELECTSTRING, &TCustomComboBox::CBSelectString);
    Cls.Message(CB_GETITEMHEIGHT, &TCustomComboBox::CBGetItemHeight);
    Cls.Message(CB_SETITEMHEIGHT, &TCustomComboBox::CBSetItemHeight);
    Cls.Message(CB_SHOWDROPDOWN, &TCustomComboBox::CBShowDropDown);
    Cls.Message(CB_GETDROPPEDSTATE, &TCustomComboBox::CBGetDroppedState);
}

TW_PUBLISH(TComboBox, TCustomComboBox)
{
    Cls.Color("Color", &TControl::Color, &TControl::SetColor).Default(clWindow);
    Cls.Enum("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle).Default(csDropDown);
    Cls.Strings("Items", &TCustomComboBox::Items);
    Cls.Bool("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted).Default(false);
    Cls.Int(
           "ItemHeight", [](TCustomComboBox* C) { return C->StoredItemHeight(); },
           &TCustomComboBox::SetItemHeight)
        .Default(16);
    Cls.Int("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex).Default(-1);
    Cls.Int("DropDownCount", &TCustomComboBox::DropDownCount).Default(8);
    Cls.Int("MaxLength", &TCustomComboBox::MaxLength).Default(0);
    Cls.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
    Cls.Event("OnChange", &TCustomComboBox::OnChange);
    Cls.Event("OnDropDown", &TCustomComboBox::OnDropDown);
    Cls.Event("OnDrawItem", &TCustomComboBox::OnDrawItem);
}
