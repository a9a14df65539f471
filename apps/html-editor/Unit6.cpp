#include "apps/html-editor/Unit6.h"

#include "platform/classes/TypInfo.h"

TForm6* Form6 = nullptr;

TForm6::TForm6(TComponent* AOwner) : TSnippetWizard(AOwner)
{
    Setup(0, 23, "");
}

void TForm6::Generate()
{
    Label4->SetVisible(true);
    SetLine(1, "function " + Edit3->Text() + "(){" + Edit1->Text() + ";" + Edit2->Text() + ";" + "}");
    Label5->SetVisible(true);
    Edit4->SetText(R"(onLoad=")" + Edit3->Text() + R"~(()")~");
}

std::vector<std::string> TForm6::ToDoLines() const
{
    return {"",
            "This would go into the <HEAD> section:",
            "",
            R"(<SCRIPT LANGUAGE="JAVASCRIPT">)",
            "<!--Hide--",
            M(1),
            "//--End-->",
            "",
            "You will put this in the <BODY> section:",
            "",
            Edit4->Text()};
}

TW_PUBLISH(TForm6, TSnippetWizard)
{
    Cls.Field("Edit1", &TForm6::Edit1);
    Cls.Field("Edit2", &TForm6::Edit2);
    Cls.Field("Edit3", &TForm6::Edit3);
    Cls.Field("Edit4", &TForm6::Edit4);
    Cls.Field("Label4", &TForm6::Label4);
    Cls.Field("Label5", &TForm6::Label5);
}
