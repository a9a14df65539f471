// Forms and the form controls placed in text (character 2; an image control stands as an
// image, character 4). Each control joins the document's list of all controls when it is made
// and belongs to its form, which owns it.
//
// The controls here carry what the text layout needs (position, size, alignment, shown state,
// screen place); their windows, values and submission come with the form classes proper.
#pragma once

#include "html-engine/HtmlImageUtil.h"
#include "html-engine/HtmlParser.h"

#include <memory>
#include <string>
#include <vector>

class TSectionList;
class TCanvas;
class TFormControlObj;

class ThtmlForm : public TObject {
public:
    // Joins Document's form list (which owns it). Attributes may be null.
    ThtmlForm(TSectionList* ADocument, TAttributeList* Attributes);
    void AddControl(TFormControlObj* Control);
    // Sizes the controls from the canvas font.
    void FitAllToFont(TCanvas* Canvas) { (void)Canvas; }
    // Collects the controls' name=value strings in document order, ButtonSubmission (when not
    // empty) last, and hands them to the document's submit hook; nothing without a hook.
    void Submit(const std::string& ButtonSubmission = std::string());

    TSectionList* Document;
    std::string Method = "Get";
    std::string Action;
    TFreeList Controls; // its controls in document order, owned
    int VisibleControlCount = 0;
};

enum TFormControlKind {
    fcEdit,
    fcButton,
    fcRadio,
    fcCheckBox,
    fcHidden,
    fcImage,
    fcListBox,
    fcCombo,
    fcTextArea
};

// The kind of control an element makes: INPUT by its TYPE (lower-cased, first 20 characters),
// SELECT by MULTIPLE or SIZE > 1, TEXTAREA.
TFormControlKind FormControlKindOf(THtmlSymbol Which, TAttributeList* Attributes);

class TFormControlObj : public TObject {
public:
    // Joins Form (which owns it) and the document's list of all controls.
    TFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int APos, TFormControlKind AKind,
                    TAttributeList* Attributes);
    ~TFormControlObj() override;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // The Index-th string the control submits (Index from 0); false past the last. A hidden
    // input gives Name=Value; the controls with windows give theirs with their windows.
    virtual bool GetSubmission(int Index, std::string& S);
    // A control with a window is placed and shown by the text block that paints it.
    bool HasWindow() const { return Kind != fcHidden && Kind != fcImage; }
    // Check boxes and radio buttons (AlignValue 1) sit on the text baseline; the taller
    // controls stand on the bottom of the line.
    bool BaseLine() const { return AlignValue == 1; }

    int Pos;
    TSectionList* Document;
    ThtmlForm* OwnerForm;
    std::string Value, Name;
    int AlignValue = 0;
    TFormControlKind Kind;
    bool ShowIt = false;      // painted in the current pass
    bool Visible = false;     // its window shows
    int Left = 0, Top = -400; // screen place at the last paint

    // The HTML content of list boxes, combo boxes and text areas as the builder reads it.
    struct TOptionRec {
        std::string Text, Value;
        bool Selected = false;
    };
    void AddOption(const std::string& Text, const std::string& Value, bool Selected);
    void AddLine(const std::string& Line);
    // Puts the control back to its HTML state.
    void RestoreInitialValue();
    std::vector<TOptionRec> Options;
    std::vector<std::string> InitialLines;
    int ItemIndex = -1; // a single-choice list's selected option after RestoreInitialValue

private:
    int FWidth = 0, FHeight = 0;
};

// INPUT TYPE=image: drawn by its image object, which hands it the mouse point.
class TImageFormControlObj : public TFormControlObj {
public:
    TImageFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int APos, TAttributeList* Attributes)
        : TFormControlObj(ADocument, Form, APos, fcImage, Attributes)
    {
    }
    // The point the mouse last gave becomes the click, and the form submits.
    void SubmitFromImage();
    // "x=" and "y=" of the click (behind "Name." when named), once per click.
    bool GetSubmission(int Index, std::string& S) override;
    int ClickX = -1, ClickY = 0; // ClickX -1: no click yet
    int MouseX = 0, MouseY = 0;
};

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
