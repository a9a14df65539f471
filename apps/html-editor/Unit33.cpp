#include "apps/html-editor/Unit33.h"

#include "platform/classes/TypInfo.h"

TForm33* Form33 = nullptr;

TForm33::TForm33(TComponent* AOwner) : TSnippetWizard(AOwner)
{
    Setup(2, 23, "discrimination.txt");
}

void TForm33::Generate()
{
    SetLine(0, R"(<SCRIPT LANGUAGE="JAVASCRIPT">)");
    Append(R"(if(navigator.appName.indexOf("Netscape") != -1){)");
    Append(R"(location=")" + Edit2->Text() + R"(";})");
    Append(R"(if(navigator.appName.indexOf("Microsoft Internet Explorer") != -1){)");
    Append(R"(location=")" + edit1->Text() + R"(";})");
    Append("</SCRIPT>");
}

std::vector<std::string> TForm33::ToDoLines() const
{
    std::vector<std::string> L = {"Add this to the <HEAD> section", "", ""};
    CopyLines(L, 0, 5);
    return L;
}

TW_PUBLISH(TForm33, TSnippetWizard)
{
    Cls.Field("edit1", &TForm33::edit1);
    Cls.Field("Edit2", &TForm33::Edit2);
}
