// Snippet wizard: an alert before moving to a new location. Made at start-up from its stored description.
#pragma once

#include "apps/html-editor/SnippetWizard.h"

class TForm18 : public TSnippetWizard {
public:
    explicit TForm18(TComponent* AOwner);
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;

    std::vector<std::string> ToDoLines() const override;

protected:
    void Generate() override;
};
TW_LINK_CLASS(TForm18);

extern TForm18* Form18;
