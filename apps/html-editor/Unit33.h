// Snippet wizard: pages for particular browsers. Made at start-up from its stored description.
#pragma once

#include "apps/html-editor/SnippetWizard.h"

class TForm33 : public TSnippetWizard {
public:
    explicit TForm33(TComponent* AOwner);
    TEdit* edit1 = nullptr;
    TEdit* Edit2 = nullptr;

    std::vector<std::string> ToDoLines() const override;

protected:
    void Generate() override;
};
TW_LINK_CLASS(TForm33);

extern TForm33* Form33;
