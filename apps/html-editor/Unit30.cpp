#include "apps/html-editor/Unit30.h"

#include "platform/classes/TypInfo.h"

TForm30* Form30 = nullptr;

TForm30::TForm30(TComponent* AOwner) : TSnippetWizard(AOwner)
{
    Setup(1, 23, "status.txt");
}

void TForm30::Generate()
{
    SetLine(0, R"(<a href=")" + Edit3->Text() + R"(" onMouseOver="window.status=')" + Edit2->Text() +
                   R"(';return true" OnMouseOut="window.status='';return true">)" + Edit1->Text() + "</a>");
}

std::vector<std::string> TForm30::ToDoLines() const
{
    return {"", "Add this where you want the link to appear", "", M(0)};
}

TW_PUBLISH(TForm30, TSnippetWizard)
{
    Cls.Field("Edit1", &TForm30::Edit1);
    Cls.Field("Edit2", &TForm30::Edit2);
    Cls.Field("Edit3", &TForm30::Edit3);
}
