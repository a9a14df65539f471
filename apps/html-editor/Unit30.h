// Snippet wizard: a status bar description for a link. Made at start-up from its stored description.
#pragma once

#include "apps/html-editor/SnippetWizard.h"

class TForm30 : public TSnippetWizard {
public:
    explicit TForm30(TComponent* AOwner);
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TEdit* Edit3 = nullptr;

    std::vector<std::string> ToDoLines() const override;

protected:
    void Generate() override;
};
TW_LINK_CLASS(TForm30);

extern TForm30* Form30;
