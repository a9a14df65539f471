// Snippet wizard: a reload button. Made at start-up from its stored description.
#pragma once

#include "apps/html-editor/SnippetWizard.h"

class TForm21 : public TSnippetWizard {
public:
    explicit TForm21(TComponent* AOwner);
    TEdit* Edit1 = nullptr;

    std::vector<std::string> ToDoLines() const override;

protected:
    void Generate() override;
};
TW_LINK_CLASS(TForm21);

extern TForm21* Form21;
