// Snippet wizard: an alert before going back in the history. Made at start-up from its stored description.
#pragma once

#include "apps/html-editor/SnippetWizard.h"

class TForm12 : public TSnippetWizard {
public:
    explicit TForm12(TComponent* AOwner);
    TEdit* Edit1 = nullptr;

    std::vector<std::string> ToDoLines() const override;

protected:
    void Generate() override;
};
TW_LINK_CLASS(TForm12);

extern TForm12* Form12;
