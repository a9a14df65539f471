// What every snippet wizard shares: the output memo, Generate, the close button that may first
// append the fragment to the main window's to-do pane under a dated heading, and the note picture
// that shows the wizard's help note in the note viewer. Each wizard gives its fragment and its
// to-do lines.
#pragma once

#include "components/addons/AdCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdButtons.h"
#include "platform/controls/StdEdit.h"
#include "platform/rtl/SysUtils.h"

#include <string>
#include <vector>

// The clock the to-do headings read. Tests put a fixed one in; null means Now().
using TWizardClock = TDateTime (*)();
extern TWizardClock WizardClock;
TDateTime WizardNow();

class TSnippetWizard : public TForm {
public:
    using TForm::TForm;

    TImage* Image1 = nullptr;
    TImage* Image2 = nullptr;
    TMemo* Memo1 = nullptr;
    TButton* Button1 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TAdSpeedButton* AdSpeedButton1 = nullptr;

    void Button1Click(TObject* Sender);
    void AdSpeedButton1Click(TObject* Sender);
    void Image2Click(TObject* Sender);
    // Appends the to-do entry (leading empty lines, heading, rule, the wizard's lines) to the main
    // window's to-do pane and closes the wizard.
    void AddToToDo();

    // The heading line of a to-do entry for this wizard at the given moment.
    std::string ToDoHeading(TDateTime When) const;
    // The lines after the rule, from the current memo and fields.
    virtual std::vector<std::string> ToDoLines() const { return {}; }
    // The help note's file name ("" when the wizard has none).
    const std::string& NoteFile() const { return FNoteFile; }
    void SetNoteFile(const std::string& Value) { FNoteFile = Value; }

protected:
    // Builds the fragment into Memo1.
    virtual void Generate() {}

    // Memo helpers with the edit control's rules: replacing a line that does not exist does
    // nothing, a line past the end reads as "".
    void SetLine(int Index, const std::string& S);
    void Append(const std::string& S);
    std::string M(int Index) const;
    // Memo lines First..Last (inclusive) appended to Lines.
    void CopyLines(std::vector<std::string>& Lines, int First, int Last) const;

    void Setup(int LeadLines, int RuleWidth, const std::string& NoteFileName)
    {
        FLead = LeadLines;
        FRule = RuleWidth;
        FNoteFile = NoteFileName;
    }

private:
    int FLead = 0;
    int FRule = 23;
    std::string FNoteFile;
};
TW_LINK_CLASS(TSnippetWizard);
