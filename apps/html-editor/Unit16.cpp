#include "apps/html-editor/Unit16.h"

#include "platform/classes/TypInfo.h"

TForm16* Form16 = nullptr;

TForm16::TForm16(TComponent* AOwner) : TSnippetWizard(AOwner)
{
    Setup(0, 23, "link.txt");
}

void TForm16::Generate()
{
    Append(R"(<A HREF=")" + Edit1->Text() + R"(" onClick="alert(')" + Edit2->Text() + R"~(')">)~" +
           Edit3->Text() + "</a>");
}

std::vector<std::string> TForm16::ToDoLines() const
{
    std::vector<std::string> L = {"", "", "Add this where you want the link to appear.", ""};
    CopyLines(L, 0, 2);
    return L;
}

TW_PUBLISH(TForm16, TSnippetWizard)
{
    Cls.Field("Edit1", &TForm16::Edit1);
    Cls.Field("Edit2", &TForm16::Edit2);
    Cls.Field("Edit3", &TForm16::Edit3);
}
