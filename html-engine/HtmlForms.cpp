#include "html-engine/HtmlForms.h"

#include "html-engine/HtmlModel.h"

#include <algorithm>

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
    if (Control->Kind != fcHidden)
        ++VisibleControlCount;
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

TFormControlKind FormControlKindOf(THtmlSymbol Which, TAttributeList* Attributes)
{
    TAttribute* A = nullptr;
    switch (Which) {
    case SelectSy: {
        const bool Multiple = Attributes && Attributes->Find(MultipleSy, A);
        const bool Tall = Attributes && Attributes->Find(SizeSy, A) && A->Value > 1;
        return Multiple || Tall ? fcListBox : fcCombo;
    }
    case TextAreaSy:
        return fcTextArea;
    default: {
        std::string Type;
        if (Attributes && Attributes->Find(TypeSy, A))
            Type = LowerCase(A->Text.substr(0, 20));
        if (Type == "submit" || Type == "reset")
            return fcButton;
        if (Type == "radio")
            return fcRadio;
        if (Type == "checkbox")
            return fcCheckBox;
        if (Type == "hidden")
            return fcHidden;
        if (Type == "image")
            return fcImage;
        return fcEdit;
    }
    }
}

TFormControlObj::TFormControlObj(TSectionList* ADocument, ThtmlForm* Form, int APos, TFormControlKind AKind,
                                 TAttributeList* Attributes)
    : Pos(APos), Document(ADocument), OwnerForm(Form), Kind(AKind)
{
    TAttribute* A = nullptr;
    if (Attributes && Attributes->Find(NameSy, A))
        Name = A->Text;
    if (Attributes && Attributes->Find(ValueSy, A))
        Value = A->Text;
    static const int Sizes[][2] = {{120, 20}, {75, 25},  {13, 14},  {13, 13}, {0, 0},
                                   {0, 0},    {100, 60}, {100, 21}, {200, 80}};
    FWidth = Sizes[Kind][0];
    FHeight = Sizes[Kind][1];
    AlignValue = Kind == fcCheckBox || Kind == fcRadio ? 1 : 0;
    if (OwnerForm)
        OwnerForm->AddControl(this);
    if (Document)
        Document->AllFormControls.Add(this);
}

TFormControlObj::~TFormControlObj()
{
    if (Document)
        Document->AllFormControls.Remove(this);
}

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

bool TFormControlObj::GetSubmission(int Index, std::string& S)
{
    if (Kind != fcHidden || Index > 0)
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

void TFormControlObj::AddOption(const std::string& Text, const std::string& Value, bool Selected)
{
    Options.push_back({Text, Value, Selected});
}

void TFormControlObj::AddLine(const std::string& Line)
{
    InitialLines.push_back(Line);
}

void TFormControlObj::RestoreInitialValue()
{
    ItemIndex = -1;
    for (std::size_t I = 0; I < Options.size(); ++I)
        if (Options[I].Selected)
            ItemIndex = static_cast<int>(I);
    if (ItemIndex < 0 && !Options.empty())
        ItemIndex = 0;
}
