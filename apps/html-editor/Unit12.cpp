#include "apps/html-editor/Unit12.h"

#include "platform/classes/TypInfo.h"

TForm12* Form12 = nullptr;

TForm12::TForm12(TComponent* AOwner) : TSnippetWizard(AOwner)
{
    Setup(0, 23, "alhist.txt");
}

void TForm12::Generate()
{
    Append(R"(<script language="JavaScript"> )");
    Append(R"(function CONFIRM(){if (!confirm(")" + Edit1->Text() + R"(")))");
    Append(R"(history.go(-1);return ""} )");
    Append("document.writeln(CONFIRM())</script>");
}

std::vector<std::string> TForm12::ToDoLines() const
{
    std::vector<std::string> L = {"", "Add this to the <HEAD> section."};
    CopyLines(L, 0, 5);
    L.push_back("");
    return L;
}

TW_PUBLISH(TForm12, TSnippetWizard)
{
    Cls.Field("Edit1", &TForm12::Edit1);
}
