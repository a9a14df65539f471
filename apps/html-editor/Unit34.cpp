#include "apps/html-editor/Unit34.h"

#include "platform/classes/TypInfo.h"

TForm34* Form34 = nullptr;

TForm34::TForm34(TComponent* AOwner) : TSnippetWizard(AOwner)
{
    Setup(2, 23, "quote.txt");
}

void TForm34::Generate()
{
    Append(R"(<script language="JavaScript">)");
    Append("<!-- Hide this script from old browsers --");
    Append(R"(var a = Math.random() + "")");
    Append("var rand1 = a.charAt(5)");
    Append("quotes = new Array");
    const TEdit* Quotes[] = {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9, Edit10};
    for (int N = 1; N <= 10; ++N)
        Append("quotes[" + std::to_string(N) + "] = \"" + Quotes[N - 1]->Text() + "\"");
    Append("var quote = quotes[rand1]");
    Append("// -- End Hiding Here -->");
    Append("</script>");
}

std::vector<std::string> TForm34::ToDoLines() const
{
    std::vector<std::string> L = {"", "Add this to your <HEAD> section.", "", ""};
    CopyLines(L, 0, 17);
    L.insert(L.end(), {"", "", "", "Add this where you want the quotes to appear.", "",
                       R"(<script language="JavaScript"><!-- Hide this script from old browsers --)",
                       R"(document.write("<i>" + quote + "</i>")// -- End Hiding Here --></script>)", ""});
    return L;
}

TW_PUBLISH(TForm34, TSnippetWizard)
{
    Cls.Field("Edit1", &TForm34::Edit1);
    Cls.Field("Edit2", &TForm34::Edit2);
    Cls.Field("Edit3", &TForm34::Edit3);
    Cls.Field("Edit4", &TForm34::Edit4);
    Cls.Field("Edit5", &TForm34::Edit5);
    Cls.Field("Edit6", &TForm34::Edit6);
    Cls.Field("Edit7", &TForm34::Edit7);
    Cls.Field("Edit8", &TForm34::Edit8);
    Cls.Field("Edit9", &TForm34::Edit9);
    Cls.Field("Edit10", &TForm34::Edit10);
}
