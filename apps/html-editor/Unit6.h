// Snippet wizard: two scripts in the BODY tag's onLoad. Made at start-up from its stored description.
#pragma once

#include "apps/html-editor/SnippetWizard.h"

class TForm6 : public TSnippetWizard {
public:
    explicit TForm6(TComponent* AOwner);
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TEdit* Edit3 = nullptr;
    TEdit* Edit4 = nullptr;
    TLabel* Label4 = nullptr;
    TLabel* Label5 = nullptr;

    std::vector<std::string> ToDoLines() const override;

protected:
    void Generate() override;
};
TW_LINK_CLASS(TForm6);

extern TForm6* Form6;
