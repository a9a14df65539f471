#include "apps/html-editor/Unit15.h"

#include "platform/classes/TypInfo.h"

TForm15* Form15 = nullptr;

TForm15::TForm15(TComponent* AOwner) : TSnippetWizard(AOwner)
{
    Setup(0, 23, "button.txt");
}

void TForm15::Generate()
{
    SetLine(1, R"(<input type="button" value=")" + Edit1->Text() + R"("onClick="alert(')" + Edit2->Text() +
                   R"(');return true"></form>)");
}

std::vector<std::string> TForm15::ToDoLines() const
{
    std::vector<std::string> L = {""};
    CopyLines(L, 0, 3);
    return L;
}

TW_PUBLISH(TForm15, TSnippetWizard)
{
    Cls.Field("Edit1", &TForm15::Edit1);
    Cls.Field("Edit2", &TForm15::Edit2);
}
