#include "apps/html-editor/Unit26.h"

#include "platform/classes/TypInfo.h"

TForm26* Form26 = nullptr;

TForm26::TForm26(TComponent* AOwner) : TSnippetWizard(AOwner)
{
    Setup(0, 35, "source.txt");
}

void TForm26::Generate()
{
    SetLine(0, R"(<form><INPUT TYPE="BUTTON" VALUE=")" + Edit1->Text() + R"(" onClick=)" + "'" +
                   R"(window.location = "view-source:" + window.location.href)" + "'" + "></FORM>");
}

std::vector<std::string> TForm26::ToDoLines() const
{
    return {"", "Add this where you want the button to appear.", "", M(0)};
}

TW_PUBLISH(TForm26, TSnippetWizard)
{
    Cls.Field("Edit1", &TForm26::Edit1);
}
