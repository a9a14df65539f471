#include "apps/html-editor/Unit10.h"

#include "platform/classes/TypInfo.h"

TForm10* Form10 = nullptr;

TForm10::TForm10(TComponent* AOwner) : TSnippetWizard(AOwner)
{
    Setup(0, 23, "password.txt");
}

void TForm10::Generate()
{
    SetLine(3, R"(var pass=prompt(")" + Edit3->Text() + R"(");)");
    SetLine(4, "if (pass=='" + Edit2->Text() + "')");
    SetLine(7, R"(location=")" + Edit4->Text() + R"(";)");
    SetLine(11, R"(alert(")" + Edit5->Text() + R"("))");
}

std::vector<std::string> TForm10::ToDoLines() const
{
    // The entry copies two lines past the 16-line script; they read as empty lines.
    std::vector<std::string> L = {"", "Add this to your <HEAD> section", "",
                                  R"(<SCRIPT LANGUAGE="JAVASCRIPT">)", "function pass()"};
    CopyLines(L, 2, 16);
    L.push_back("//--End-->");
    L.push_back(M(17));
    L.insert(L.end(), {"", "Add this to your <BODY> tag.", "", R"~(onLoad="pass()")~"});
    return L;
}

TW_PUBLISH(TForm10, TSnippetWizard)
{
    Cls.Field("Edit1", &TForm10::Edit1);
    Cls.Field("Edit2", &TForm10::Edit2);
    Cls.Field("Edit3", &TForm10::Edit3);
    Cls.Field("Edit4", &TForm10::Edit4);
    Cls.Field("Edit5", &TForm10::Edit5);
    Cls.Field("Label6", &TForm10::Label6);
}
