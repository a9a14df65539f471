#include "html-engine/HtmlForms.h"

#include "html-engine/HtmlModel.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdButtons.h"
#include "platform/controls/StdEdit.h"
#include "platform/controls/StdLists.h"
#include "platform/graphics/Graphics.h"

#include <algorithm>
#include <cstdlib>

namespace {

// SIZE, ROWS and COLS come from the page: a control never grows past this many pixels, so a
// huge value cannot make huge windows.
constexpr std::int64_t MaxControlPixels = 8000;

int CappedPixels(std::int64_t Value)
{
    return static_cast<int>(std::clamp<std::int64_t>(Value, 0, MaxControlPixels));
}

// Characters, not bytes, of UTF-8 text: widths are counted in the widths of letters.
int CharCount(const std::string& S)
{
    int N = 0;
    for (unsigned char C : S)
        if ((C & 0xC0) != 0x80)
            ++N;
    return N;
}

bool HasAttribute(TAttributeList* Attributes, THtmlSymbol Which, TAttribute*& A)
{
    return Attributes && Attributes->Find(Which, A);
}

TWinControl* PaintPanelOf(TSectionList* Document)
{
    return Document ? dynamic_cast<TWinControl*>(Document->PPanel) : nullptr;
}

void SetTextAlignOf(TCanvas* Canvas, UINT Align)
{
    SetTextAlign(Canvas->Handle(), Align);
}

// The text of the lines of a list or text area, drawn in its box one under the other.
void DrawLines(TCanvas* Canvas, TStrings* Lines, int From, int To, int X, int Y, int W, int H, int LineHeight)
{
    const TRect Clip = Rect(X + 4, Y + 4, X + W - 8, Y + H - 8);
    for (int I = From; I <= To; ++I)
        Canvas->TextRect(Clip, X + 4, Y + 4 + (I - From) * LineHeight, Lines->Strings(I));
}

} // namespace

// ---- ThtmlForm ----------------------------------------------------------------------------------

ThtmlForm::ThtmlForm(TSectionList* ADocument, TAttributeList* Attributes) : Document(ADocument)
{
    if (Attributes)
        for (int I = 0; I < Attributes->Count(); ++I) {
            TAttribute* A = Attributes->Attr(I);
            if (A->Which == MethodSy)
                Method = A->Text.substr(0, 4);
            else if (A->Which == ActionSy)
                Action = A->Text;
        }
    if (Document)
        Document->formList.Add(this);
}

void ThtmlForm::AddControl(TFormControlObj* Control)
{
    Controls.Add(Control);
    if (!Control->IsHidden())
        ++VisibleControlCount;
}

void ThtmlForm::UncheckOtherRadios(TRadioButtonFormControlObj* Radio)
{
    if (Radio->Name.empty())
        return;
    for (int I = 0; I < Controls.Count(); ++I) {
        auto* Other = dynamic_cast<TRadioButtonFormControlObj*>(Controls.ItemAs<TFormControlObj>(I));
        if (Other && Other != Radio && AnsiCompareText(Other->Name, Radio->Name) == 0)
            Other->RadioButton->SetChecked(false);
    }
}

void ThtmlForm::ResetAll()
{
    for (int I = 0; I < Controls.Count(); ++I)
        Controls.ItemAs<TFormControlObj>(I)->RestoreInitialValue();
}

void ThtmlForm::FitAllToFont(TCanvas* Canvas)
{
    for (int I = 0; I < Controls.Count(); ++I)
        Controls.ItemAs<TFormControlObj>(I)->FitToFont(Canvas);
}

void ThtmlForm::EditKeyDown(TObject* Sender, WORD& Key, TShiftState Shift)
{
    (void)Shift;
    if (Key == VK_RETURN) {
        if (dynamic_cast<TEdit*>(Sender) && VisibleControlCount == 1)
            Submit();
    } else if (Key >= VK_PRIOR && Key <= VK_HOME) {
        // The page keys scroll the document, not the box.
        auto* Viewer = Document ? dynamic_cast<TWinControl*>(Document->TheOwner) : nullptr;
        if (Viewer && Viewer->HandleAllocated())
            PostMessage(Viewer->Handle(), WM_KEYDOWN, Key, 0);
    }
}

void ThtmlForm::Submit(const std::string& ButtonSubmission)
{
    if (!Document || !Document->SubmitForm)
        return;
    auto Results = std::make_unique<TStringList>();
    for (int I = 0; I < Controls.Count(); ++I) {
        auto* Control = Controls.ItemAs<TFormControlObj>(I);
        std::string S;
        for (int Index = 0; Control->GetSubmission(Index, S); ++Index)
            if (!S.empty())
                Results->Add(S);
    }
    if (!ButtonSubmission.empty())
        Results->Add(ButtonSubmission);
    // The hook may be the view's, which can free this document: copy what it needs first.
    const auto Hook = Document->SubmitForm;
    const std::string A = Action, M = Method;
    Hook(A, M, std::move(Results));
}

// ---- TFormControlObj ----------------------------------------------------------------------------

TFormControlObj::TFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int Position,
                                 TAttributeList* Attributes)
    : Pos(Position), Document(ADocument), OwnerForm(Form)
{
    TAttribute* A = nullptr;
    if (HasAttribute(Attributes, NameSy, A))
        Name = A->Text;
    if (HasAttribute(Attributes, ValueSy, A))
        Value = A->Text;
    if (Document)
        Document->AllFormControls.Add(this);
}

TFormControlObj::~TFormControlObj()
{
    if (Document)
        Document->AllFormControls.Remove(this);
    delete Control; // leaves the paint panel as it goes
}

void TFormControlObj::TakeControl(TWinControl* AControl)
{
    Control = AControl;
    Control->SetTop(-400);
    if (TWinControl* Panel = PaintPanelOf(Document))
        Control->SetParent(Panel);
}

void TFormControlObj::UsePreFont(TWinControl* AControl)
{
    if (Document)
        AControl->Font()->SetName(Document->PreFontName);
    AControl->Font()->SetSize(10);
}

void TFormControlObj::PaintOnCanvas(TCanvas*, int, int) {}

void TFormControlObj::RestoreInitialValue() {}

bool TFormControlObj::GetSubmission(int, std::string&)
{
    return false;
}

void TFormControlObj::FitToFont(TCanvas*) {}

int TFormControlObj::Width() const
{
    return Control ? Control->Width() : 0;
}

int TFormControlObj::Height() const
{
    return Control ? Control->Height() : 0;
}

// ---- Edit box -----------------------------------------------------------------------------------

TEditFormControlObj::TEditFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int Position,
                                         TAttributeList* Attributes, const std::string& Type)
    : TFormControlObj(ADocument, Form, Position, Attributes)
{
    TAttribute* A = nullptr;
    if (HasAttribute(Attributes, SizeSy, A))
        SizeChars = A->Value;
    auto* E = new TEdit(nullptr);
    E->SetBounds(0, 0, 120, 20);
    UsePreFont(E);
    E->SetText(Value);
    if (HasAttribute(Attributes, MaxLengthSy, A))
        E->SetMaxLength(std::max(0, A->Value));
    if (Type == "password")
        E->SetPasswordChar('*');
    E->OnKeyDown = [this](TObject* Sender, WORD& Key, TShiftState Shift) {
        if (OwnerForm)
            OwnerForm->EditKeyDown(Sender, Key, Shift);
    };
    TakeControl(E);
}

TEdit* TEditFormControlObj::Edit() const
{
    return static_cast<TEdit*>(Control);
}

void TEditFormControlObj::PaintOnCanvas(TCanvas* Canvas, int X, int Y)
{
    const int W = Width(), H = Height();
    Canvas->Font()->Assign(Control->Font());
    DrawControlBox(Canvas, X, Y, false, Y + H, X + W);
    SetTextAlignOf(Canvas, TA_TOP | TA_LEFT);
    SetBkMode(Canvas->Handle(), TRANSPARENT);
    Canvas->Brush()->SetStyle(bsClear);
    std::string Shown = Edit()->Text();
    // A printed password stays as hidden as it is on the screen.
    if (Edit()->PasswordChar())
        Shown = std::string(static_cast<std::size_t>(CharCount(Shown)), Edit()->PasswordChar());
    Canvas->TextRect(Rect(X + 4, Y, X + W - 8, Y + H), X + 4, Y + (H - std::abs(Control->Font()->Height())) / 2,
                     Shown);
}

void TEditFormControlObj::RestoreInitialValue()
{
    Edit()->SetText(Value);
}

bool TEditFormControlObj::GetSubmission(int Index, std::string& S)
{
    if (Index > 0)
        return false;
    S = Name + "=" + Edit()->Text();
    return true;
}

void TEditFormControlObj::FitToFont(TCanvas* Canvas)
{
    Canvas->Font()->Assign(Control->Font());
    Control->SetWidth(CappedPixels(static_cast<std::int64_t>(Canvas->TextWidth("A")) * SizeChars + 5));
}

// ---- Button -------------------------------------------------------------------------------------

TButtonFormControlObj::TButtonFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int Position,
                                             TAttributeList* Attributes, const std::string& Type)
    : TFormControlObj(ADocument, Form, Position, Attributes)
{
    IsReset = Type == "submit" ? 0 : 1;
    TAttribute* A = nullptr;
    if (!IsReset && !HasAttribute(Attributes, ValueSy, A))
        Value = "Submit";
    auto* B = new TButton(nullptr);
    B->SetCaption(Value);
    B->OnClick = [this](TObject* Sender) { ButtonClicked(Sender); };
    TakeControl(B);
}

TButton* TButtonFormControlObj::Button() const
{
    return static_cast<TButton*>(Control);
}

void TButtonFormControlObj::ButtonClicked(TObject*)
{
    if (!OwnerForm)
        return;
    if (IsReset)
        OwnerForm->ResetAll();
    else if (!Name.empty())
        OwnerForm->Submit(Name + "=" + Value);
    else
        OwnerForm->Submit();
}

void TButtonFormControlObj::PaintOnCanvas(TCanvas* Canvas, int X, int Y)
{
    const int W = Width(), H = Height();
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Font()->Assign(Control->Font());
    DrawControlBox(Canvas, X, Y, true, Y + H, X + W);
    SetTextAlignOf(Canvas, TA_CENTER | TA_TOP);
    SetBkMode(Canvas->Handle(), TRANSPARENT);
    Canvas->TextRect(Rect(X, Y, X + W, Y + H), X + W / 2, Y + (H - Canvas->TextHeight("A")) / 2, Value);
    SetTextAlignOf(Canvas, TA_TOP | TA_LEFT);
}

void TButtonFormControlObj::FitToFont(TCanvas* Canvas)
{
    Canvas->Font()->Assign(Control->Font());
    Control->SetHeight(Canvas->TextHeight("A") + 8);
    Control->SetWidth(CappedPixels(static_cast<std::int64_t>(Canvas->TextWidth(Value)) + 20));
}

// ---- Check box ----------------------------------------------------------------------------------

TCheckBoxFormControlObj::TCheckBoxFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int Position,
                                                 TAttributeList* Attributes)
    : TFormControlObj(ADocument, Form, Position, Attributes)
{
    TAttribute* A = nullptr;
    InitiallyChecked = HasAttribute(Attributes, CheckedSy, A) ? 1 : 0;
    if (!HasAttribute(Attributes, ValueSy, A))
        Value = "On";
    AlignValue = 1;
    auto* C = new TCheckBox(nullptr);
    C->SetBounds(0, 0, 13, 13);
    C->SetChecked(InitiallyChecked);
    TakeControl(C);
}

TCheckBox* TCheckBoxFormControlObj::CheckBox() const
{
    return static_cast<TCheckBox*>(Control);
}

void TCheckBoxFormControlObj::PaintOnCanvas(TCanvas* Canvas, int X, int Y)
{
    const int W = Width(), H = Height();
    DrawControlBox(Canvas, X, Y, false, Y + H, X + W);
    if (CheckBox()->Checked()) {
        Canvas->Pen()->SetColor(clBlack);
        Canvas->Pen()->SetWidth(1);
        Canvas->MoveTo(X + 3, Y + H / 2);
        Canvas->LineTo(X + 5, Y + H / 2 + 2);
        Canvas->LineTo(X + 9, Y + H / 2 - 2);
    }
}

void TCheckBoxFormControlObj::RestoreInitialValue()
{
    CheckBox()->SetChecked(InitiallyChecked);
}

bool TCheckBoxFormControlObj::GetSubmission(int Index, std::string& S)
{
    if (Index > 0 || !CheckBox()->Checked())
        return false;
    S = Name + "=" + Value;
    return true;
}

// ---- Radio button -------------------------------------------------------------------------------

TRadioButtonFormControlObj::TRadioButtonFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int Position,
                                                       TAttributeList* Attributes, TCell* Cell)
    : TFormControlObj(ADocument, Form, Position, Attributes), HomeCell(Cell)
{
    TAttribute* A = nullptr;
    InitiallyChecked = HasAttribute(Attributes, CheckedSy, A) ? 1 : 0;
    AlignValue = 1;
    auto* Panel = new TPanel(nullptr);
    Panel->SetBounds(0, 0, 13, 14);
    Panel->SetBevelOuter(bvNone);
    Panel->SetBevelInner(bvNone);
    Panel->SetParentColor(false);
    RadioButton = new TRadioButton(Panel);
    RadioButton->SetParent(Panel);
    RadioButton->SetBounds(0, 0, 13, 14);
    RadioButton->SetChecked(InitiallyChecked);
    RadioButton->OnClick = [this](TObject*) {
        if (OwnerForm && RadioButton->Checked())
            OwnerForm->UncheckOtherRadios(this);
    };
    TakeControl(Panel);
}

void TRadioButtonFormControlObj::PaintOnCanvas(TCanvas* Canvas, int X, int Y)
{
    HDC DC = Canvas->Handle();
    const bool Mono = GetDeviceCaps(DC, BITSPIXEL) == 1 && GetDeviceCaps(DC, PLANES) == 1;
    TPen* Pen = Canvas->Pen();
    TBrush* Brush = Canvas->Brush();
    const TColor OldPen = Pen->Color(), OldBrush = Brush->Color();
    const int OldWidth = Pen->Width();
    const TPenStyle OldStyle = Pen->Style();
    const TBrushStyle OldBrushStyle = Brush->Style();
    Pen->SetColor(clWhite);
    Brush->SetColor(clWhite);
    Brush->SetStyle(bsSolid);
    Canvas->Ellipse(X, Y, X + 14, Y + 14);
    Pen->SetStyle(psInsideFrame);
    Pen->SetWidth(Mono ? 1 : 2);
    Pen->SetColor(Mono ? clBlack : clBtnShadow);
    Canvas->Arc(X, Y, X + 14, Y + 14, X + 14, Y, X, Y + 14);
    Pen->SetColor(Mono ? clBlack : clSilver);
    Canvas->Arc(X, Y, X + 14, Y + 14, X, Y + 14, X + 14, Y);
    if (RadioButton->Checked()) {
        Pen->SetColor(clBlack);
        Pen->SetWidth(1);
        Brush->SetColor(clBlack);
        Canvas->Ellipse(X + 5, Y + 5, X + 9, Y + 9);
    }
    Pen->SetColor(OldPen);
    Pen->SetWidth(OldWidth);
    Pen->SetStyle(OldStyle);
    Brush->SetColor(OldBrush);
    Brush->SetStyle(OldBrushStyle);
}

void TRadioButtonFormControlObj::RestoreInitialValue()
{
    RadioButton->SetChecked(InitiallyChecked);
}

bool TRadioButtonFormControlObj::GetSubmission(int Index, std::string& S)
{
    if (Index > 0 || !RadioButton->Checked())
        return false;
    S = Name + "=" + Value;
    return true;
}

// ---- Hidden and image inputs --------------------------------------------------------------------

bool THiddenFormControlObj::GetSubmission(int Index, std::string& S)
{
    if (Index > 0)
        return false;
    S = Name + "=" + Value;
    return true;
}

void TImageFormControlObj::SubmitFromImage()
{
    ClickX = MouseX;
    ClickY = MouseY;
    if (OwnerForm)
        OwnerForm->Submit();
}

bool TImageFormControlObj::GetSubmission(int Index, std::string& S)
{
    if (ClickX < 0 || Index > 1)
        return false;
    const std::string Prefix = Name.empty() ? std::string() : Name + ".";
    if (Index == 0) {
        S = Prefix + "x=" + IntToStr(ClickX);
    } else {
        S = Prefix + "y=" + IntToStr(ClickY);
        ClickX = -1;
    }
    return true;
}

// ---- List box and combo box ---------------------------------------------------------------------

TListBoxFormControlObj::TListBoxFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int Position,
                                               TAttributeList* Attributes)
    : TFormControlObj(ADocument, Form, Position, Attributes)
{
    TAttribute* A = nullptr;
    if (HasAttribute(Attributes, SizeSy, A))
        VisibleRows = A->Value;
    const bool Multiple = HasAttribute(Attributes, MultipleSy, A);
    auto* L = new TListBox(nullptr);
    UsePreFont(L);
    L->SetMultiSelect(Multiple);
    L->SetExtendedSelect(Multiple);
    TakeControl(L);
}

TListBoxFormControlObj::~TListBoxFormControlObj()
{
    for (int I = 0; I < Options.Count(); ++I)
        delete Options.Objects(I);
}

TListBox* TListBoxFormControlObj::ListBox() const
{
    return static_cast<TListBox*>(Control);
}

void TListBoxFormControlObj::AddOption(const std::string& Text, const std::string& AValue, bool Selected)
{
    Options.AddObject(Text, new TOptionObj(AValue, Selected));
    LongestText = std::max(LongestText, CharCount(Text));
}

std::string TListBoxFormControlObj::OptionValueOf(int I) const
{
    const auto* Option = static_cast<TOptionObj*>(Options.Objects(I));
    return Option && !Option->OptionValue.empty() ? Option->OptionValue : Options[I];
}

void TListBoxFormControlObj::PaintOnCanvas(TCanvas* Canvas, int X, int Y)
{
    const int W = Width(), H = Height();
    DrawControlBox(Canvas, X, Y, false, Y + H, X + W);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Font()->Assign(Control->Font());
    SetTextAlignOf(Canvas, TA_TOP | TA_LEFT);
    SetBkMode(Canvas->Handle(), TRANSPARENT);
    TStrings* Items = ListBox()->Items();
    const int Top = ListBox()->TopIndex();
    const int Last = std::min(Items->Count() - 1, Top + std::max(VisibleRows, 1) - 1);
    DrawLines(Canvas, Items, Top, Last, X, Y, W, H, std::abs(Control->Font()->Height()));
}

void TListBoxFormControlObj::RestoreInitialValue()
{
    TListBox* L = ListBox();
    L->Items()->BeginUpdate();
    L->Clear();
    for (int I = 0; I < Options.Count(); ++I)
        L->Items()->Add(Options[I]);
    L->Items()->EndUpdate();
    if (L->MultiSelect()) {
        for (int I = 0; I < Options.Count(); ++I)
            L->SetSelected(I, static_cast<TOptionObj*>(Options.Objects(I))->InitiallySelected);
    } else {
        for (int I = 0; I < Options.Count(); ++I)
            if (static_cast<TOptionObj*>(Options.Objects(I))->InitiallySelected)
                L->SetItemIndex(I);
    }
    if (L->ItemIndex() < 0 && L->Items()->Count() > 0)
        L->SetItemIndex(0);
    L->SetTopIndex(0);
}

bool TListBoxFormControlObj::GetSubmission(int Index, std::string& S)
{
    TListBox* L = ListBox();
    if (Index < 0 || Index >= L->Items()->Count())
        return false;
    const bool Chosen = L->MultiSelect() ? L->Selected(Index) : L->ItemIndex() == Index;
    S = Chosen ? Name + "=" + OptionValueOf(Index) : std::string();
    return true;
}

void TListBoxFormControlObj::FitToFont(TCanvas* Canvas)
{
    Canvas->Font()->Assign(Control->Font());
    if (VisibleRows == -1)
        VisibleRows = std::max(1, std::min(8, Options.Count()));
    Control->SetClientHeight(CappedPixels(static_cast<std::int64_t>(Canvas->TextHeight("A")) * VisibleRows));
    Control->SetClientWidth(CappedPixels(static_cast<std::int64_t>(Canvas->TextWidth("A")) * LongestText + 15));
}

TComboFormControlObj::TComboFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int Position,
                                           TAttributeList* Attributes)
    : TListBoxFormControlObj(ADocument, Form, Position, Attributes)
{
    // The list box the base made gives way to a drop-down list.
    delete Control;
    Control = nullptr;
    auto* C = new TComboBox(nullptr);
    UsePreFont(C);
    C->SetStyle(csDropDownList);
    TakeControl(C);
}

TComboBox* TComboFormControlObj::ComboBox() const
{
    return static_cast<TComboBox*>(Control);
}

void TComboFormControlObj::PaintOnCanvas(TCanvas* Canvas, int X, int Y)
{
    const int W = Width(), H = Height();
    DrawControlBox(Canvas, X, Y, false, Y + H, X + W);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Font()->Assign(Control->Font());
    SetTextAlignOf(Canvas, TA_TOP | TA_LEFT);
    SetBkMode(Canvas->Handle(), TRANSPARENT);
    const int I = ComboBox()->ItemIndex();
    if (I >= 0 && I < ComboBox()->Items()->Count())
        DrawLines(Canvas, ComboBox()->Items(), I, I, X, Y, W, H, 0);
}

void TComboFormControlObj::RestoreInitialValue()
{
    TComboBox* C = ComboBox();
    C->Items()->BeginUpdate();
    C->Clear();
    for (int I = 0; I < Options.Count(); ++I)
        C->Items()->Add(Options[I]);
    C->Items()->EndUpdate();
    for (int I = 0; I < Options.Count(); ++I)
        if (static_cast<TOptionObj*>(Options.Objects(I))->InitiallySelected)
            C->SetItemIndex(I);
    if (C->ItemIndex() < 0 && C->Items()->Count() > 0)
        C->SetItemIndex(0);
}

bool TComboFormControlObj::GetSubmission(int Index, std::string& S)
{
    TComboBox* C = ComboBox();
    if (Index < 0 || Index >= C->Items()->Count())
        return false;
    S = C->ItemIndex() == Index ? Name + "=" + OptionValueOf(Index) : std::string();
    return true;
}

void TComboFormControlObj::FitToFont(TCanvas*)
{
    // Measured with the screen's own font, as the drop-down's button and frame are.
    HDC DC = GetDC(nullptr);
    const int A = TextWidthOf(DC, "A", 1);
    ReleaseDC(nullptr, DC);
    Control->SetClientWidth(CappedPixels(static_cast<std::int64_t>(A) * LongestText + 30));
}

// ---- Text area ----------------------------------------------------------------------------------

TTextAreaFormControlObj::TTextAreaFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int Position,
                                                 TAttributeList* Attributes)
    : TFormControlObj(ADocument, Form, Position, Attributes)
{
    TAttribute* A = nullptr;
    if (HasAttribute(Attributes, RowsSy, A))
        RowCount = A->Value;
    if (HasAttribute(Attributes, ColsSy, A))
        ColCount = A->Value;
    auto* M = new TMemo(nullptr);
    UsePreFont(M);
    M->SetScrollBars(ssBoth);
    M->OnKeyDown = [this](TObject* Sender, WORD& Key, TShiftState Shift) {
        if (OwnerForm)
            OwnerForm->EditKeyDown(Sender, Key, Shift);
    };
    TakeControl(M);
}

TMemo* TTextAreaFormControlObj::Memo() const
{
    return static_cast<TMemo*>(Control);
}

void TTextAreaFormControlObj::AddLine(const std::string& Line)
{
    InitialLines.Add(Line);
}

void TTextAreaFormControlObj::PaintOnCanvas(TCanvas* Canvas, int X, int Y)
{
    const int W = Width(), H = Height();
    DrawControlBox(Canvas, X, Y, false, Y + H, X + W);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Font()->Assign(Control->Font());
    SetTextAlignOf(Canvas, TA_TOP | TA_LEFT);
    SetBkMode(Canvas->Handle(), TRANSPARENT);
    TStrings* Lines = Memo()->Lines();
    const int Last = std::min(Lines->Count(), RowCount) - 1;
    DrawLines(Canvas, Lines, 0, Last, X, Y, W, H, Canvas->TextHeight("A"));
}

void TTextAreaFormControlObj::RestoreInitialValue()
{
    Memo()->Lines()->Assign(&InitialLines);
    // A document that no view shows has no window for a caret.
    if (Memo()->Parent()) {
        Memo()->SetSelStart(0);
        Memo()->SetSelLength(0);
    }
}

bool TTextAreaFormControlObj::GetSubmission(int Index, std::string& S)
{
    TStrings* Lines = Memo()->Lines();
    if (Index < 0 || Index >= Lines->Count())
        return false;
    S = Name + "=" + Lines->Strings(Index);
    return true;
}

void TTextAreaFormControlObj::FitToFont(TCanvas* Canvas)
{
    Canvas->Font()->Assign(Control->Font());
    Control->SetClientHeight(CappedPixels(static_cast<std::int64_t>(Canvas->TextHeight("A")) * RowCount + 5));
    Control->SetClientWidth(CappedPixels(static_cast<std::int64_t>(Canvas->TextWidth("A")) * ColCount + 5));
}

// ---- Factory ------------------------------------------------------------------------------------

namespace {

TFormControlObj* NewFormControl(THtmlSymbol Which, TSectionList* Document, ThtmlForm* Form, int Position,
                                TAttributeList* Attributes, TCell* Cell)
{
    TAttribute* A = nullptr;
    switch (Which) {
    case SelectSy: {
        const bool Multiple = HasAttribute(Attributes, MultipleSy, A);
        const bool Tall = HasAttribute(Attributes, SizeSy, A) && A->Value > 1;
        if (Multiple || Tall)
            return new TListBoxFormControlObj(Document, Form, Position, Attributes);
        return new TComboFormControlObj(Document, Form, Position, Attributes);
    }
    case TextAreaSy:
        return new TTextAreaFormControlObj(Document, Form, Position, Attributes);
    default: {
        std::string Type;
        if (HasAttribute(Attributes, TypeSy, A))
            Type = LowerCase(A->Text.substr(0, 20));
        if (Type == "submit" || Type == "reset")
            return new TButtonFormControlObj(Document, Form, Position, Attributes, Type);
        if (Type == "radio")
            return new TRadioButtonFormControlObj(Document, Form, Position, Attributes, Cell);
        if (Type == "checkbox")
            return new TCheckBoxFormControlObj(Document, Form, Position, Attributes);
        if (Type == "hidden")
            return new THiddenFormControlObj(Document, Form, Position, Attributes);
        if (Type == "image")
            return new TImageFormControlObj(Document, Form, Position, Attributes);
        return new TEditFormControlObj(Document, Form, Position, Attributes, Type);
    }
    }
}

} // namespace

TFormControlObj* MakeFormControl(THtmlSymbol Which, TSectionList* Document, ThtmlForm* Form, int Position,
                                 TAttributeList* Attributes, TCell* Cell)
{
    // The form counts its visible controls, which only the finished object can say.
    TFormControlObj* Control = NewFormControl(Which, Document, Form, Position, Attributes, Cell);
    if (Form)
        Form->AddControl(Control);
    return Control;
}

// ---- TFormControlList ---------------------------------------------------------------------------

TFormControlObj* TFormControlList::Control(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    return (*FControls)[static_cast<std::size_t>(Index)];
}

void TFormControlList::Add(TFormControlObj* Control)
{
    if (!FControls)
        FControls = std::make_unique<std::vector<TFormControlObj*>>();
    FControls->push_back(Control);
}

int TFormControlList::FirstAtOrAfter(int Posn) const
{
    // Controls join the list as the text grows, so their positions increase.
    if (!FControls)
        return 0;
    const auto It = std::lower_bound(FControls->begin(), FControls->end(), Posn,
                                     [](const TFormControlObj* C, int P) { return C->Pos < P; });
    return static_cast<int>(It - FControls->begin());
}

TFormControlObj* TFormControlList::ControlAt(int Posn) const
{
    const int I = FirstAtOrAfter(Posn);
    return I < Count() && Control(I)->Pos == Posn ? Control(I) : nullptr;
}

int TFormControlList::HeightAt(int Posn, int& AlignValue) const
{
    TFormControlObj* C = ControlAt(Posn);
    if (!C)
        return -1;
    AlignValue = C->AlignValue;
    return C->Height();
}

int TFormControlList::WidthAt(int Posn) const
{
    TFormControlObj* C = ControlAt(Posn);
    return C ? C->Width() : -1;
}

int TFormControlList::DistanceToNextControl(int Posn) const
{
    const int I = FirstAtOrAfter(Posn);
    return I < Count() ? Control(I)->Pos - Posn : 9999;
}
