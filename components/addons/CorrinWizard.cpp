#include "components/addons/CorrinWizard.h"

namespace {

constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 23;

} // namespace

TCorrinWizard::TCorrinWizard(TComponent* AOwner) : TCustomControl(AOwner)
{
    // The bar shows its form's face, as the etched line expects.
    SetParentColor(true);
    SetAlign(alBottom);
    SetHeight(44);
    FBackButton = MakeButton(FBackCaption, &TCorrinWizard::BackClick);
    FBackButton->SetEnabled(false);
    FNextButton = MakeButton(FNextCaption, &TCorrinWizard::NextClick);
    FEndButton = MakeButton(FAbortCaption, &TCorrinWizard::EndClick);
    FHelpButton = MakeButton(FHelpCaption, &TCorrinWizard::HelpClick);
}

TCorrinWizard::~TCorrinWizard()
{
    // The buttons call back into the bar while they go: free them while it is whole.
    Destroying();
    DestroyComponents();
}

TButton* TCorrinWizard::MakeButton(const std::string& Caption, void (TCorrinWizard::*Handler)(TObject*))
{
    auto* Button = new TButton(this);
    Button->SetBounds(0, 0, ButtonWidth, ButtonHeight);
    Button->SetCaption(Caption);
    Button->OnClick = MakeEvent(this, Handler);
    Button->SetParent(this);
    return Button;
}

void TCorrinWizard::SetNoteBook(TNotebook* Value)
{
    if (FNoteBook && FNoteBook != Value)
        FNoteBook->RemoveFreeNotification(this);
    FNoteBook = Value;
    if (!Value)
        return;
    Value->FreeNotification(this);
    Value->SetPageIndex(0);
    FBackButton->SetEnabled(false);
    FNextButton->SetEnabled(Value->PageCount() > 1);
    FEndButton->SetEnabled(true);
}

void TCorrinWizard::SetEnableHelp(bool Value)
{
    if (FEnableHelp == Value)
        return;
    FEnableHelp = Value;
    Invalidate();
}

void TCorrinWizard::SetBackCaption(const std::string& Value)
{
    FBackCaption = Value;
    FBackButton->SetCaption(Value);
    Invalidate();
}

void TCorrinWizard::SetNextCaption(const std::string& Value)
{
    FNextCaption = Value;
    FNextButton->SetCaption(Value);
    Invalidate();
}

void TCorrinWizard::SetAbortCaption(const std::string& Value)
{
    FAbortCaption = Value;
    FEndButton->SetCaption(Value);
    Invalidate();
}

void TCorrinWizard::SetHelpCaption(const std::string& Value)
{
    FHelpCaption = Value;
    FHelpButton->SetCaption(Value);
    Invalidate();
}

void TCorrinWizard::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FNoteBook)
        FNoteBook = nullptr;
}

// Moving a button repaints the bar, which places the buttons again: only a real change moves
// one, so a bar too short for its buttons does not repaint itself without end.
void TCorrinWizard::PlaceButton(TButton* Button, int Left, int Top)
{
    if (Button->Left() != Left || Button->Top() != Top || Button->Width() != ButtonWidth ||
        Button->Height() != ButtonHeight)
        Button->SetBounds(Left, Top, ButtonWidth, ButtonHeight);
}

void TCorrinWizard::Paint()
{
    TCustomControl::Paint();
    const int W = Width();
    const int H = Height();
    TCanvas* C = Canvas();
    C->Pen()->SetColor(clBtnShadow);
    C->MoveTo(9, H - 43);
    C->LineTo(W - 9, H - 43);
    C->Pen()->SetColor(clBtnHighlight);
    C->MoveTo(9, H - 42);
    C->LineTo(W - 9, H - 42);

    PlaceButton(FHelpButton, W - 327, H - 31);
    PlaceButton(FBackButton, W - 243, H - 31);
    PlaceButton(FNextButton, W - 168, H - 31);
    PlaceButton(FEndButton, W - 83, H - 31);
    if (FHelpButton->Visible() != FEnableHelp)
        FHelpButton->SetVisible(FEnableHelp);
    if (!FNoteBook) {
        FBackButton->SetEnabled(false);
        FNextButton->SetEnabled(false);
        if (FEndButton->Caption() != FReadyCaption)
            FEndButton->SetCaption(FReadyCaption);
    }
}

void TCorrinWizard::UpdateButtons()
{
    if (!FNoteBook)
        return;
    const int Index = FNoteBook->PageIndex();
    const int Count = FNoteBook->PageCount();
    FBackButton->SetEnabled(Index > 0);
    FNextButton->SetEnabled(Index < Count - 1);
    FAtLastPage = Count == Index + 1;
    FEndButton->SetCaption(FAtLastPage ? FReadyCaption : FAbortCaption);
    FPageName = FNoteBook->ActivePage();
}

void TCorrinWizard::GoBack()
{
    if (FNoteBook) {
        int Target = FNoteBook->PageIndex();
        if (Target > 0)
            --Target;
        if (OnPageChanging)
            OnPageChanging(wdBackward, Target);
        FNoteBook->SetPageIndex(Target);
        UpdateButtons();
    }
    if (OnBackClick)
        OnBackClick(this);
    if (OnPageChange)
        OnPageChange(this);
}

void TCorrinWizard::GoNext()
{
    if (FNoteBook) {
        int Target = FNoteBook->PageIndex();
        if (Target < FNoteBook->PageCount() - 1)
            ++Target;
        if (OnPageChanging)
            OnPageChanging(wdForward, Target);
        FNoteBook->SetPageIndex(Target);
        UpdateButtons();
    }
    if (OnNextClick)
        OnNextClick(this);
    if (OnPageChange)
        OnPageChange(this);
}

void TCorrinWizard::BackClick(TObject*)
{
    GoBack();
}

void TCorrinWizard::NextClick(TObject*)
{
    GoNext();
}

void TCorrinWizard::EndClick(TObject*)
{
    if (OnEndClick)
        OnEndClick(this);
}

void TCorrinWizard::HelpClick(TObject*)
{
    if (OnHelpClick)
        OnHelpClick(this);
}

TW_ENUM(TWizDirection, "wdForward", "wdBackward");

TW_PUBLISH(TCorrinWizard, TCustomControl)
{
    RegisterEventType<TPageChangingEvent>("TPageChangingEvent");
    Cls.Component("NoteBook", &TCorrinWizard::NoteBook, &TCorrinWizard::SetNoteBook);
    Cls.Bool("EnableHelp", &TCorrinWizard::EnableHelp, &TCorrinWizard::SetEnableHelp).Default(true);
    Cls.Str("BackCaption", &TCorrinWizard::BackCaption, &TCorrinWizard::SetBackCaption).Default("< &Back");
    Cls.Str("NextCaption", &TCorrinWizard::NextCaption, &TCorrinWizard::SetNextCaption).Default("&Next >");
    Cls.Str("AbortCaption", &TCorrinWizard::AbortCaption, &TCorrinWizard::SetAbortCaption).Default("&Cancel");
    Cls.Str("ReadyCaption", &TCorrinWizard::ReadyCaption, &TCorrinWizard::SetReadyCaption).Default("&Finish");
    Cls.Str("HelpCaption", &TCorrinWizard::HelpCaption, &TCorrinWizard::SetHelpCaption).Default("&Help");
    Cls.Event("OnBackClick", &TCorrinWizard::OnBackClick);
    Cls.Event("OnNextClick", &TCorrinWizard::OnNextClick);
    Cls.Event("OnEndClick", &TCorrinWizard::OnEndClick);
    Cls.Event("OnHelpClick", &TCorrinWizard::OnHelpClick);
    Cls.Event("OnPageChange", &TCorrinWizard::OnPageChange);
    Cls.Event("OnPageChanging", &TCorrinWizard::OnPageChanging);
}
