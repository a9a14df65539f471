// Snippet wizard: a random quote. Made at start-up from its stored description.
#pragma once

#include "apps/html-editor/SnippetWizard.h"

class TForm34 : public TSnippetWizard {
public:
    explicit TForm34(TComponent* AOwner);
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TEdit* Edit3 = nullptr;
    TEdit* Edit4 = nullptr;
    TEdit* Edit5 = nullptr;
    TEdit* Edit6 = nullptr;
    TEdit* Edit7 = nullptr;
    TEdit* Edit8 = nullptr;
    TEdit* Edit9 = nullptr;
    TEdit* Edit10 = nullptr;

    std::vector<std::string> ToDoLines() const override;

protected:
    void Generate() override;
};
TW_LINK_CLASS(TForm34);

extern TForm34* Form34;
