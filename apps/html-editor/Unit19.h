// Snippet wizard: an alert once the page has loaded. Made at start-up from its stored description.
#pragma once

#include "apps/html-editor/SnippetWizard.h"

class TForm19 : public TSnippetWizard {
public:
    explicit TForm19(TComponent* AOwner);
    TEdit* Edit1 = nullptr;

    std::vector<std::string> ToDoLines() const override;

protected:
    void Generate() override;
};
TW_LINK_CLASS(TForm19);

extern TForm19* Form19;
