#include "apps/html-editor/SnippetWizard.h"

#include "apps/html-editor/Unit1.h"
#include "apps/html-editor/Unit22.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/DataFiles.h"

TWizardClock WizardClock = nullptr;

TDateTime WizardNow()
{
    return WizardClock ? WizardClock() : Now();
}

void TSnippetWizard::Button1Click(TObject*)
{
    Generate();
}

void TSnippetWizard::AdSpeedButton1Click(TObject*)
{
    if (CheckBox1 && CheckBox1->Checked())
        AddToToDo();
    else
        Close();
}

std::string TSnippetWizard::ToDoHeading(TDateTime When) const
{
    return "On " + DateToStr(When) + " at " + TimeToStr(When) + " - " + Caption();
}

void TSnippetWizard::AddToToDo()
{
    if (Form1 && Form1->todo) {
        TStrings* ToDo = Form1->todo->Lines();
        for (int I = 0; I < FLead; ++I)
            ToDo->Add("");
        ToDo->Add(ToDoHeading(WizardNow()));
        ToDo->Add(std::string(static_cast<std::size_t>(FRule), '='));
        for (const std::string& Line : ToDoLines())
            ToDo->Add(Line);
    }
    Close();
}

void TSnippetWizard::Image2Click(TObject*)
{
    if (FNoteFile.empty() || !Form22)
        return;
    // A missing note raises the file error, which the application reports; the viewer stays hidden.
    Form22->Memo1->Lines()->LoadFromFile(FindDataFile(FNoteFile));
    Form22->SetCaption("Tamsel Pro Note Viewer: " + Form22->Memo1->Lines()->Strings(0));
    Form22->ShowModal();
}

void TSnippetWizard::SetLine(int Index, const std::string& S)
{
    Memo1->Lines()->SetStrings(Index, S);
}

void TSnippetWizard::Append(const std::string& S)
{
    Memo1->Lines()->Add(S);
}

std::string TSnippetWizard::M(int Index) const
{
    return Memo1->Lines()->Strings(Index);
}

void TSnippetWizard::CopyLines(std::vector<std::string>& Lines, int First, int Last) const
{
    for (int I = First; I <= Last; ++I)
        Lines.push_back(M(I));
}

TW_PUBLISH(TSnippetWizard, TForm)
{
    Cls.Field("Image1", &TSnippetWizard::Image1);
    Cls.Field("Image2", &TSnippetWizard::Image2);
    Cls.Field("Memo1", &TSnippetWizard::Memo1);
    Cls.Field("Button1", &TSnippetWizard::Button1);
    Cls.Field("CheckBox1", &TSnippetWizard::CheckBox1);
    Cls.Field("AdSpeedButton1", &TSnippetWizard::AdSpeedButton1);
    Cls.Handler("Button1Click", &TSnippetWizard::Button1Click);
    Cls.Handler("AdSpeedButton1Click", &TSnippetWizard::AdSpeedButton1Click);
    Cls.Handler("Image2Click", &TSnippetWizard::Image2Click);
}
