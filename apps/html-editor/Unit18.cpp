#include "apps/html-editor/Unit18.h"

#include "platform/classes/TypInfo.h"

TForm18* Form18 = nullptr;

TForm18::TForm18(TComponent* AOwner) : TSnippetWizard(AOwner)
{
    Setup(0, 23, "location.txt");
}

void TForm18::Generate()
{
    Append(R"(<script language="JavaScript">function CONFIRM(){if (confirm(")" + Edit1->Text() +
           R"("))location=")" + Edit2->Text() + R"(";return " "}document.writeln(CONFIRM())</script>)");
}

std::vector<std::string> TForm18::ToDoLines() const
{
    std::vector<std::string> L = {"", "Add this to your <HEAD> section", ""};
    CopyLines(L, 0, 6);
    return L;
}

TW_PUBLISH(TForm18, TSnippetWizard)
{
    Cls.Field("Edit1", &TForm18::Edit1);
    Cls.Field("Edit2", &TForm18::Edit2);
}
