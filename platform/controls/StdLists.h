// List boxes and combo boxes. Both keep their items themselves and paint through their canvas
// (the classic colours and the control's font), so item heights, owner drawing and the LB_ / CB_
// messages behave the same on every machine. Input arrives as the window's messages: a press
// selects, the arrow keys move, a double click fires OnDblClick.
#pragma once

#include "platform/controls/Controls.h"

#include <functional>
#include <string>
#include <vector>

// ---- Messages the list controls answer ------------------------------------------------------
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_INSERTSTRING = 0x0181;
constexpr UINT LB_DELETESTRING = 0x0182;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETSEL = 0x0185;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETSEL = 0x0187;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETTEXTLEN = 0x018A;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_FINDSTRING = 0x018F;
constexpr UINT LB_GETSELCOUNT = 0x0190;
constexpr UINT LB_SETTOPINDEX = 0x0197;
constexpr UINT LB_GETITEMRECT = 0x0198;
constexpr UINT LB_GETITEMDATA = 0x0199;
constexpr UINT LB_SETITEMDATA = 0x019A;
constexpr UINT LB_SETCARETINDEX = 0x019E;
constexpr UINT LB_GETCARETINDEX = 0x019F;
constexpr UINT LB_SETITEMHEIGHT = 0x01A0;
constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
constexpr UINT LB_FINDSTRINGEXACT = 0x01A2;
constexpr UINT LB_ITEMFROMPOINT = 0x01A9;
constexpr LRESULT LB_ERR = -1;

constexpr UINT CB_GETEDITSEL = 0x0140;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_FINDSTRING = 0x014C;
constexpr UINT CB_SELECTSTRING = 0x014D;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_SHOWDROPDOWN = 0x014F;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_SETITEMHEIGHT = 0x0153;
constexpr UINT CB_GETITEMHEIGHT = 0x0154;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
constexpr LRESULT CB_ERR = -1;

// Owner drawing.
enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odComboBoxEdit };
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
using TDrawItemEvent =
    std::function<void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;

// The height of a line of text in Font: its tmHeight measured on the screen.
int FontLineHeight(TFont* Font);

class TCustomListBox;
class TCustomComboBox;

// Items of a list box or combo box: text, an object each and (list boxes) a selected flag,
// kept in the control. A sorted control inserts every new item at its place in alphabetical
// order without regard to case.
class TListItems : public TStrings {
public:
    explicit TListItems(TWinControl* Control) : FControl(Control) {}
    int GetCount() const override { return static_cast<int>(FItems.size()); }
    std::string Get(int Index) const override;
    void Put(int Index, const std::string& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    int Add(const std::string& S) override;
    int AddObject(const std::string& S, TObject* AObject) override;
    void Exchange(int Index1, int Index2) override;
    bool Sorted = false;

    struct TItem {
        std::string Text;
        TObject* Object = nullptr;
        bool Selected = false;
    };
    std::vector<TItem>& Items() { return FItems; }
    const std::vector<TItem>& Items() const { return FItems; }

protected:
    void SetUpdateState(bool Updating) override;

private:
    void Check(int Index) const;
    void Changed(int InsertedAt, int DeletedAt);
    TWinControl* FControl;
    std::vector<TItem> FItems;
};

// ---- List boxes -------------------------------------------------------------------------------
enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

class TCustomListBox : public TCustomControl {
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    TStrings* Items() const { return FItems; }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    void Clear() { FItems->Clear(); }

    // The selected item (single selection) or the item with the focus rectangle (multiple);
    // -1 for none. Setting it from code fires no event.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int TopIndex() const { return FTopIndex; }
    void SetTopIndex(int Value);
    bool Selected(int Index) const;
    void SetSelected(int Index, bool Value);
    int SelCount() const; // -1 without multiple selection, as the list box reports
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool Value) { FExtendedSelect = Value; }
    bool Sorted() const { return FItems->Sorted; }
    void SetSorted(bool Value);
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    // lbStandard: the font's line height; owner-drawn: the stored value (default 16).
    int ItemHeight() const;
    void SetItemHeight(int Value);
    int StoredItemHeight() const { return FItemHeight; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool IntegralHeight = false;

    // The item at a client point; -1 when none (with Existing false: the count below the last).
    int ItemAtPos(const TPoint& Pos, bool Existing) const;
    TRect ItemRect(int Index) const;
    // Whole rows that fit in the client area (at least 1).
    int VisibleRows() const;

    TDrawItemEvent OnDrawItem;
    TCanvas* Canvas() const { return TCustomControl::Canvas(); }

    void Loaded() override;
    // Called by the items whenever they change.
    void ItemsChanged(int InsertedAt, int DeletedAt);

protected:
    TW_MESSAGE_HANDLERS(TCustomListBox);
    void WMGetDlgCode(TWMGetDlgCode Message);
    void WMSetFocus(TWMSetFocus Message);
    void WMKillFocus(TWMKillFocus Message);
    void WMSize(TWMSize Message);
    void WMVScroll(TWMVScroll Message);
    void WMMouseWheel(TWMMouseWheel Message);
    // The item messages the combo box answers alike (LB_ADDSTRING, LB_GETTEXT, LB_FINDSTRING ...).
    void LBItemMessage(TMessage& Message);
    void LBResetContent(TMessage& Message);
    void LBGetCurSel(TMessage& Message);
    void LBSetCurSel(TMessage& Message);
    void LBGetCaretIndex(TMessage& Message);
    void LBSetCaretIndex(TMessage& Message);
    void LBGetSel(TMessage& Message);
    void LBSetSel(TMessage& Message);
    void LBGetSelCount(TMessage& Message);
    void LBGetTopIndex(TMessage& Message);
    void LBSetTopIndex(TMessage& Message);
    void LBGetItemHeight(TMessage& Message);
    void LBSetItemHeight(TMessage& Message);
    void LBGetItemRect(TMessage& Message);
    void LBItemFromPoint(TMessage& Message);

    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    // Draws one item; the default fills Rect with the canvas brush and writes the text.
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    // Text drawn for an item (the file and directory lists indent or decorate it).
    virtual int TextIndent(int Index) const;
    // The user changed the selection: notify (OnClick).
    virtual void SelectionChangedByUser();
    void UpdateScrollBar();
    void MakeVisible(int Index);
    // User selection at Index with the modifiers of the press or key.
    void SelectByUser(int Index, TShiftState Shift, bool FromKey);

    TListItems* FItems;
    int FItemIndex = -1;
    int FTopIndex = 0;
    int FAnchor = -1;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    TListBoxStyle FStyle = lbStandard;
    int FItemHeight = 16;
    TBorderStyle FBorderStyle = bsSingle;
    bool FTracking = false;
    friend class TListItems;
    friend class TCustomComboBox;
};

class TListBox : public TCustomListBox {
public:
    explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};
TW_LINK_CLASS(TListBox);

// ---- Combo boxes ------------------------------------------------------------------------------
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TComboListPopup;

class TCustomComboBox : public TCustomControl {
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;

    TStrings* Items() const { return FItems; }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    void Clear();
    // The chosen item; setting it from code shows its text and fires no event. -1: none.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    bool Sorted() const { return FItems->Sorted; }
    void SetSorted(bool Value);
    // Standard styles: the font's line height; owner-drawn: the stored value (default 16).
    int ItemHeight() const;
    void SetItemHeight(int Value);
    int StoredItemHeight() const { return FItemHeight; }
    int DropDownCount = 8;
    int MaxLength = 0;
    bool DroppedDown() const { return DropDownList() != nullptr; }
    void SetDroppedDown(bool Value);
    // Whether the box edits its text (csDropDown, csSimple) or only picks items.
    bool EditsText() const { return FStyle == csDropDown || FStyle == csSimple; }
    // The selection in the edited text (byte offsets into Text); the box selects all of it when
    // it gets the focus, and typing replaces the selection.
    int SelStart() const { return FSelStart; }
    void SetSelStart(int Value);
    int SelLength() const { return FSelLength; }
    void SetSelLength(int Value);
    std::string SelText() const;
    void SelectAll();

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TDrawItemEvent OnDrawItem;
    TCanvas* Canvas() const { return TCustomControl::Canvas(); }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void ItemsChanged(int InsertedAt, int DeletedAt);
    // The list shown below the box while it is dropped down (nullptr otherwise).
    TCustomListBox* DropDownList() const;

    // Called by the drop-down list (index chosen, or -1 when closed without a choice).
    void CloseUp(int ChosenIndex);
    // Draws one item (owner-drawn styles call OnDrawItem; the default writes the text).
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);

protected:
    TW_MESSAGE_HANDLERS(TCustomComboBox);
    void WMGetDlgCode(TWMGetDlgCode Message);
    void WMSetFocus(TWMSetFocus Message);
    void WMKillFocus(TWMKillFocus Message);
    void WMCancelMode(TWMCancelMode Message);
    void CMFontChanged(TMessage& Message);
    // The item messages the list box answers alike (CB_ADDSTRING, CB_GETLBTEXT, CB_FINDSTRING ...).
    void CBItemMessage(TMessage& Message);
    void CBResetContent(TMessage& Message);
    void CBGetCurSel(TMessage& Message);
    void CBSetCurSel(TMessage& Message);
    void CBSelectString(TMessage& Message);
    void CBGetItemHeight(TMessage& Message);
    void CBSetItemHeight(TMessage& Message);
    void CBShowDropDown(TMessage& Message);
    void CBGetDroppedState(TMessage& Message);

    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void SetTextBuf(const std::string& Value) override;
    virtual void Change();
    virtual void DropDown();
    void Loaded() override;
    void AdjustHeight();
    // The user picked Index: text, OnClick, OnChange.
    void SelectByUser(int Index);

    TListItems* FItems;
    int FItemIndex = -1;
    TComboBoxStyle FStyle = csDropDown;
    int FItemHeight = 16;
    TComboListPopup* FPopup = nullptr;
    int FSelStart = 0, FSelLength = 0;
    int FSelAnchor = 0;
    // Replaces the selection with S and reports the change.
    void ReplaceSelection(const std::string& S);
    // Moves the caret (with Extend: one end of the selection) to Pos.
    void MoveCaret(int Pos, bool Extend);
    int CaretFromX(int X);
    friend class TListItems;
    friend class TComboListPopup;
};

class TComboBox : public TCustomComboBox {
public:
    explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};
TW_LINK_CLASS(TComboBox);
