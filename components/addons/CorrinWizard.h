// The wizard button bar: docked at the bottom of a window, it turns a notebook into a
// step-by-step wizard with an etched line and Help, Back, Next and Cancel/Finish buttons.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Controls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"

#include <cstdint>
#include <functional>
#include <string>

enum TWizDirection : std::uint8_t { wdForward, wdBackward };
// Asked before each step; ShowPage may be changed to redirect it. No sender.
using TPageChangingEvent = std::function<void(TWizDirection Direction, int& ShowPage)>;

class TCorrinWizard : public TCustomControl {
public:
    explicit TCorrinWizard(TComponent* AOwner);
    ~TCorrinWizard() override;

    TNotebook* NoteBook() const { return FNoteBook; }
    void SetNoteBook(TNotebook* Value);
    bool EnableHelp() const { return FEnableHelp; }
    void SetEnableHelp(bool Value);

    const std::string& BackCaption() const { return FBackCaption; }
    void SetBackCaption(const std::string& Value);
    const std::string& NextCaption() const { return FNextCaption; }
    void SetNextCaption(const std::string& Value);
    const std::string& AbortCaption() const { return FAbortCaption; }
    void SetAbortCaption(const std::string& Value);
    // Shown on the third button at the last page only; setting it changes no button.
    const std::string& ReadyCaption() const { return FReadyCaption; }
    void SetReadyCaption(const std::string& Value) { FReadyCaption = Value; }
    const std::string& HelpCaption() const { return FHelpCaption; }
    void SetHelpCaption(const std::string& Value);

    // Brings the buttons in line with the notebook's page.
    void UpdateButtons();
    void GoBack();
    void GoNext();

    // The buttons, for the program and tests; the bar owns them.
    TButton* BackButton() const { return FBackButton; }
    TButton* NextButton() const { return FNextButton; }
    TButton* EndButton() const { return FEndButton; }
    TButton* HelpButton() const { return FHelpButton; }
    bool AtLastPage() const { return FAtLastPage; }
    const std::string& LastPageName() const { return FPageName; }

    TNotifyEvent OnBackClick;
    TNotifyEvent OnNextClick;
    TNotifyEvent OnEndClick;
    TNotifyEvent OnHelpClick;
    TNotifyEvent OnPageChange;
    TPageChangingEvent OnPageChanging;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;

private:
    TButton* MakeButton(const std::string& Caption, void (TCorrinWizard::*Handler)(TObject*));
    void BackClick(TObject* Sender);
    void NextClick(TObject* Sender);
    void EndClick(TObject* Sender);
    void HelpClick(TObject* Sender);
    void PlaceButton(TButton* Button, int Left, int Top);

    TNotebook* FNoteBook = nullptr;
    TButton* FBackButton = nullptr;
    TButton* FEndButton = nullptr;
    TButton* FNextButton = nullptr;
    TButton* FHelpButton = nullptr;
    bool FEnableHelp = true;
    std::string FBackCaption = "< &Back";
    std::string FNextCaption = "&Next >";
    std::string FAbortCaption = "&Cancel";
    std::string FReadyCaption = "&Finish";
    std::string FHelpCaption = "&Help";
    std::string FPageName;
    bool FAtLastPage = false;
};
TW_LINK_CLASS(TCorrinWizard);
