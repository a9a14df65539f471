// Snippet wizard: a view-source button. Made at start-up from its stored description.
#pragma once

#include "apps/html-editor/SnippetWizard.h"

class TForm26 : public TSnippetWizard {
public:
    explicit TForm26(TComponent* AOwner);
    TEdit* Edit1 = nullptr;

    std::vector<std::string> ToDoLines() const override;

protected:
    void Generate() override;
};
TW_LINK_CLASS(TForm26);

extern TForm26* Form26;
