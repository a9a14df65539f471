// Forms and the form controls placed in text (character 2; an image control stands as an
// image, character 4). Each visible control is a real control on the view's paint panel, moved
// into place by the text block that paints it; a printed or captured page has each control
// paint its own look instead. Each control joins the document's list of all controls when it
// is made and belongs to its form, which owns it.
#pragma once

#include "html-engine/HtmlImageUtil.h"
#include "html-engine/HtmlParser.h"
#include "platform/classes/Classes.h"
#include "platform/controls/Controls.h"

#include <memory>
#include <string>
#include <vector>

class TSectionList;
class TCell;
class TCanvas;
class TWinControl;
class TEdit;
class TButton;
class TCheckBox;
class TRadioButton;
class TListBox;
class TComboBox;
class TMemo;
class TFormControlObj;
class TRadioButtonFormControlObj;

class ThtmlForm : public TObject {
public:
    // Joins Document's form list (which owns it). Attributes may be null: "Get", no action.
    ThtmlForm(TSectionList* ADocument, TAttributeList* Attributes);
    void AddControl(TFormControlObj* Control);
    // Unchecks the other radio buttons of this form that share Radio's name (in any case).
    void UncheckOtherRadios(TRadioButtonFormControlObj* Radio);
    void ResetAll();
    // Sizes the controls from the canvas font.
    void FitAllToFont(TCanvas* Canvas);
    // Enter in the only visible control submits; the page keys scroll the document.
    void EditKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    // Collects the controls' name=value strings in document order, ButtonSubmission (when not
    // empty) last, and hands them to the document's submit hook; nothing without a hook.
    void Submit(const std::string& ButtonSubmission = std::string());

    TSectionList* Document;
    std::string Method = "Get";
    std::string Action;
    TFreeList Controls; // its controls in document order, owned
    int VisibleControlCount = 0;
};

class TFormControlObj : public TObject {
public:
    // Joins the document's list of all controls and reads NAME and VALUE; MakeFormControl
    // gives it to Form, which owns it.
    TFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int Position, TAttributeList* Attributes);
    ~TFormControlObj() override;

    // Draws the control's look at (X, Y): for pages drawn off the screen.
    virtual void PaintOnCanvas(TCanvas* Canvas, int X, int Y);
    // Puts the control back to its HTML state.
    virtual void RestoreInitialValue();
    // The Index-th string the control submits (Index from 0); false past the last.
    virtual bool GetSubmission(int Index, std::string& S);
    // Sizes the control from the font.
    virtual void FitToFont(TCanvas* Canvas);
    // A hidden input has no control and no place in the text.
    virtual bool IsHidden() const { return false; }

    int Width() const;
    int Height() const;
    // Check boxes and radio buttons (AlignValue 1) sit on the text baseline; the taller
    // controls stand on the bottom of the line.
    bool BaseLine() const { return AlignValue == 1; }

    int Pos;
    TSectionList* Document;
    ThtmlForm* OwnerForm;
    std::string Value, Name;
    int AlignValue = 0;
    TWinControl* Control = nullptr; // owned; none for hidden and image inputs
    bool ShowIt = false;            // painted in the current pass

protected:
    // Control becomes this object's control, out of sight on the paint panel until placed.
    void TakeControl(TWinControl* AControl);
    // The font of text controls: the document's preformatted font at 10 points.
    void UsePreFont(TWinControl* AControl);
};

class TEditFormControlObj : public TFormControlObj {
public:
    TEditFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int Position, TAttributeList* Attributes,
                        const std::string& Type);
    void PaintOnCanvas(TCanvas* Canvas, int X, int Y) override;
    void RestoreInitialValue() override;
    bool GetSubmission(int Index, std::string& S) override;
    void FitToFont(TCanvas* Canvas) override;
    TEdit* Edit() const;

    int SizeChars = 20;
};

class TButtonFormControlObj : public TFormControlObj {
public:
    TButtonFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int Position, TAttributeList* Attributes,
                          const std::string& Type);
    void PaintOnCanvas(TCanvas* Canvas, int X, int Y) override;
    void FitToFont(TCanvas* Canvas) override;
    void ButtonClicked(TObject* Sender);
    TButton* Button() const;

    std::uint8_t IsReset = 0;
};

class TCheckBoxFormControlObj : public TFormControlObj {
public:
    TCheckBoxFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int Position, TAttributeList* Attributes);
    void PaintOnCanvas(TCanvas* Canvas, int X, int Y) override;
    void RestoreInitialValue() override;
    bool GetSubmission(int Index, std::string& S) override;
    TCheckBox* CheckBox() const;

    std::uint8_t InitiallyChecked = 0;
};

class TRadioButtonFormControlObj : public TFormControlObj {
public:
    TRadioButtonFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int Position, TAttributeList* Attributes,
                               TCell* Cell);
    void PaintOnCanvas(TCanvas* Canvas, int X, int Y) override;
    void RestoreInitialValue() override;
    bool GetSubmission(int Index, std::string& S) override;

    std::uint8_t InitiallyChecked = 0;
    TRadioButton* RadioButton = nullptr; // on the panel that is Control
    TCell* HomeCell = nullptr;
};

class THiddenFormControlObj : public TFormControlObj {
public:
    using TFormControlObj::TFormControlObj;
    bool GetSubmission(int Index, std::string& S) override;
    bool IsHidden() const override { return true; }
};

// INPUT TYPE=image: drawn by its image object, which hands it the mouse point.
class TImageFormControlObj : public TFormControlObj {
public:
    using TFormControlObj::TFormControlObj;
    // The point the mouse last gave becomes the click, and the form submits.
    void SubmitFromImage();
    // "x=" and "y=" of the click (behind "Name." when named), once per click.
    bool GetSubmission(int Index, std::string& S) override;
    int ClickX = -1, ClickY = 0; // ClickX -1: no click
    int MouseX = 0, MouseY = 0;
};

// One OPTION: its VALUE and whether it was SELECTED.
class TOptionObj : public TObject {
public:
    TOptionObj(const std::string& AValue, bool Selected) : OptionValue(AValue), InitiallySelected(Selected) {}
    std::string OptionValue;
    bool InitiallySelected;
};

class TListBoxFormControlObj : public TFormControlObj {
public:
    TListBoxFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int Position, TAttributeList* Attributes);
    ~TListBoxFormControlObj() override;
    void PaintOnCanvas(TCanvas* Canvas, int X, int Y) override;
    void RestoreInitialValue() override;
    bool GetSubmission(int Index, std::string& S) override;
    void FitToFont(TCanvas* Canvas) override;
    void AddOption(const std::string& Text, const std::string& AValue, bool Selected);
    TListBox* ListBox() const;

    int VisibleRows = -1;
    int LongestText = 3; // in characters
    TStringList Options; // display text, with its TOptionObj (owned)

protected:
    // The submitted value of option I: its VALUE, else its text.
    std::string OptionValueOf(int I) const;
};

class TComboFormControlObj : public TListBoxFormControlObj {
public:
    TComboFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int Position, TAttributeList* Attributes);
    void PaintOnCanvas(TCanvas* Canvas, int X, int Y) override;
    void RestoreInitialValue() override;
    bool GetSubmission(int Index, std::string& S) override;
    void FitToFont(TCanvas* Canvas) override;
    TComboBox* ComboBox() const;
};

class TTextAreaFormControlObj : public TFormControlObj {
public:
    TTextAreaFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int Position, TAttributeList* Attributes);
    void PaintOnCanvas(TCanvas* Canvas, int X, int Y) override;
    void RestoreInitialValue() override;
    bool GetSubmission(int Index, std::string& S) override;
    void FitToFont(TCanvas* Canvas) override;
    void AddLine(const std::string& Line);
    TMemo* Memo() const;

    int RowCount = 5, ColCount = 30;
    TStringList InitialLines;
};

// The control object an INPUT, SELECT or TEXTAREA makes (INPUT by its TYPE, lower-cased and
// cut to 20 characters; an unknown TYPE is an edit box), joined to Form.
TFormControlObj* MakeFormControl(THtmlSymbol Which, TSectionList* Document, ThtmlForm* Form, int Position,
                                 TAttributeList* Attributes, TCell* Cell);

// The form controls placed in one text block, ordered by Pos; not owning.
class TFormControlList {
public:
    TFormControlList() = default;
    TFormControlList(const TFormControlList&) = delete;
    TFormControlList& operator=(const TFormControlList&) = delete;
    int Count() const { return FControls ? static_cast<int>(FControls->size()) : 0; }
    TFormControlObj* Control(int Index) const;
    TFormControlObj* operator[](int Index) const { return Control(Index); }
    // Control stands after every control already in the list.
    void Add(TFormControlObj* Control);
    void Clear() { FControls.reset(); }
    // The first control at Posn, or null.
    TFormControlObj* ControlAt(int Posn) const;
    // Its height and AlignValue; -1 when there is none.
    int HeightAt(int Posn, int& AlignValue) const;
    int WidthAt(int Posn) const;
    // Distance from Posn to the first control at Posn or later; 9999 when none.
    int DistanceToNextControl(int Posn) const;

private:
    // The index of the first control at Posn or later (Count() when none).
    int FirstAtOrAfter(int Posn) const;

    // Made with the first control: most blocks have none.
    std::unique_ptr<std::vector<TFormControlObj*>> FControls;
};
