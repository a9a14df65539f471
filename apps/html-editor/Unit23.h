// Snippet wizard: breaking out of a frame. Made at start-up from its stored description.
#pragma once

#include "apps/html-editor/SnippetWizard.h"

class TForm23 : public TSnippetWizard {
public:
    explicit TForm23(TComponent* AOwner);
    TEdit* Edit1 = nullptr;

    std::vector<std::string> ToDoLines() const override;

protected:
    void Generate() override;
};
TW_LINK_CLASS(TForm23);

extern TForm23* Form23;
