// Edits and memos. Both sit on the layer's "EDIT" window class, a multi-line text editor whose
// window procedure answers the edit messages (EM_*, WM_GETTEXT, WM_CUT ...) with every character
// index a byte offset into the control's UTF-8 text, lines separated by CR LF. The class paints
// into the window's own surface during WM_PAINT, so a descendant that overrides PaintWindow (or
// handles WM_PAINT) and draws after the inherited painting draws over the text, and a canvas got
// on the window outside paints draws on the same pixels. Like the platform's edit, it draws what
// input changes at once: a scroll message returns after the WM_PAINT it caused, and a typed
// character is painted before EN_CHANGE goes to the parent. Lines are the font's text height
// (ascent + descent) apart; the view scrolls by whole lines.
#pragma once

#include "platform/controls/Controls.h"

#include <span>
#include <string>
#include <vector>

// Registers the "EDIT" window class (done by TCustomEdit itself; call it before creating an edit
// window with CreateWindowEx directly).
void RegisterEditClass();

// Lines shorter than this many characters are measured from their start, longer ones from
// points remembered along them (tests set it to compare the two; 0: the default).
void SetEditMeasuredFromStart(int Characters);

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// A piece of a line as the control shows it: bytes [From, To) of the text, laid out in one
// direction, the top left of its leftmost character at client point At.
struct TEditTextPiece {
    int From = 0, To = 0;
    TPoint At;
    bool RightToLeft = false;
};

// ---- TCustomEdit ------------------------------------------------------------------------------
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;

    // Selects the whole text when the edit is entered by keyboard.
    bool AutoSelect = true;
    // Kept for the stored descriptions: the height a form gives stays.
    bool AutoSize = true;
    bool OEMConvert = false;
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    // With HideSelection the selection is not shown while the edit does not have the focus.
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    // Longest text the user may type or paste, in bytes; 0: no limit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    // Set by every change of the text by the user or through the selection; cleared by setting
    // Text.
    bool Modified() const;
    void SetModified(bool Value);
    // #0: the text shows as typed; otherwise every character shows as this one.
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);

    // The selection, as byte offsets into Text (CR LF counting two).
    int SelStart();
    void SetSelStart(int Value); // collapses the selection there
    int SelLength();
    void SetSelLength(int Value);
    std::string SelText();
    void SetSelText(const std::string& Value); // replaces the selection, caret after it
    void SelectAll();
    void ClearSelection();
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    void Clear();
    // One level, as the edit control keeps it: a second Undo takes the first one back.
    void Undo();
    bool CanUndo();
    void ClearUndo();

    TNotifyEvent OnChange;

    // Queries for a control that draws over the text, cheap on a line of any length (the edit
    // messages answer the same one position at a time, with 16-bit values). All need a window.
    // The client position of the character at each byte offset of Indexes (ascending), as
    // EM_POSFROMCHAR gives it; false when an offset lies outside the text.
    bool CharPositions(std::span<const int> Indexes, std::span<TPoint> Points);
    // Byte offsets [From, To) of line Line (counted as EM_LINEINDEX counts) holding at least the
    // characters that show between the left and right edges of the formatting rectangle: a part
    // of a long unwrapped line, otherwise the whole line.
    bool LineSpanInView(int Line, int& From, int& To);
    // Bytes [From, To) of one line, cut where the control's layout turns or jumps, in the order
    // of the text: the control lays a line holding right-to-left text out in reading order.
    // False when the line holds none (each character then lies to the right of the one before,
    // where CharPositions puts it), when the line is too long to be cut this way, or when an
    // offset lies outside the text.
    bool TextPieces(int From, int To, std::vector<TEditTextPiece>& Pieces);
    // Bytes [From, To) of the text as WM_GETTEXT gives them, copied to Buffer; the count.
    int GetTextRange(int From, int To, char* Buffer);
    // The character nearest a client point and its line, as EM_CHARFROMPOS finds them.
    bool CharFromPos(int X, int Y, int& Index, int& Line);

protected:
    TW_MESSAGE_HANDLERS(TCustomEdit);
    void CNCommand(TWMCommand Message);
    void CMTextChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);

    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    // The text changed (the window's EN_CHANGE): fires OnChange.
    virtual void Change();
    void DoEnter() override;
    void SetTextBuf(const std::string& Value) override;

    TBorderStyle FBorderStyle = bsSingle;
    TEditCharCase FCharCase = ecNormal;
    bool FHideSelection = true;
    int FMaxLength = 0;
    char FPasswordChar = 0;
    bool FReadOnly = false;
    bool FModified = false; // kept while there is no window
    bool FCreating = false;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};
TW_LINK_CLASS(TEdit);

// ---- TCustomMemo ------------------------------------------------------------------------------
class TCustomMemo;

// The memo's text seen as lines. Lines are separated by CR LF; a final empty line (the text ends
// with CR LF) is not counted; reading a line past the end gives ""; Put replaces a line's text
// and leaves its line break alone; Text is the memo's text exactly, so LoadFromFile followed by
// SaveToFile gives the file's bytes back.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TCustomMemo* AMemo) : FMemo(AMemo) {}
    int GetCount() const override;
    std::string Get(int Index) const override;
    void Put(int Index, const std::string& S) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    std::string Text() const override;
    void SetText(const std::string& Value) override;

protected:
    void SetUpdateState(bool Updating) override;

private:
    TCustomMemo* FMemo;
};

class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;

    TStrings* Lines() const { return FLines; }
    void SetLines(TStrings* Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    // Enter types a line break (otherwise it goes to the form: default button).
    bool WantReturns = true;
    // Tab types a TAB character (otherwise it moves the focus).
    bool WantTabs = false;
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

protected:
    TW_MESSAGE_HANDLERS(TCustomMemo);
    void WMGetDlgCode(TWMGetDlgCode Message);
    void CMWantSpecialKey(TCMWantSpecialKey Message);
    void WMChar(TWMChar Message);

    void CreateParams(TCreateParams& Params) override;

private:
    TMemoStrings* FLines;
    TAlignment FAlignment = taLeftJustify;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    friend class TMemoStrings;
};

class TMemo : public TCustomMemo {
public:
    explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};
TW_LINK_CLASS(TMemo);
