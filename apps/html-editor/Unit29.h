// Snippet wizard: the page's last-updated date. Made at start-up from its stored description.
#pragma once

#include "apps/html-editor/SnippetWizard.h"

class TForm29 : public TSnippetWizard {
public:
    explicit TForm29(TComponent* AOwner);
    TEdit* Edit1 = nullptr;

    std::vector<std::string> ToDoLines() const override;

protected:
    void Generate() override;
};
TW_LINK_CLASS(TForm29);

extern TForm29* Form29;
