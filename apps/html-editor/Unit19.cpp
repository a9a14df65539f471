#include "apps/html-editor/Unit19.h"

#include "platform/classes/TypInfo.h"

TForm19* Form19 = nullptr;

TForm19::TForm19(TComponent* AOwner) : TSnippetWizard(AOwner)
{
    Setup(0, 23, "after.txt");
}

void TForm19::Generate()
{
    SetLine(0, "<SCRIPT NAME=JAVASCRIPT>");
    Append("function after(){");
    Append("alert('" + Edit1->Text() + "')}");
    Append("</SCRIPT>");
}

std::vector<std::string> TForm19::ToDoLines() const
{
    std::vector<std::string> L = {"", "Add this to your <HEAD> section", ""};
    CopyLines(L, 0, 4);
    L.insert(L.end(), {"", "", "Add this to the body tag", R"~(onLoad="after()")~"});
    return L;
}

TW_PUBLISH(TForm19, TSnippetWizard)
{
    Cls.Field("Edit1", &TForm19::Edit1);
}
