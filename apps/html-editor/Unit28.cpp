#include "apps/html-editor/Unit28.h"

#include "platform/classes/TypInfo.h"

TForm28* Form28 = nullptr;

TForm28::TForm28(TComponent* AOwner) : TSnippetWizard(AOwner)
{
    Setup(0, 23, "ref.txt");
}

void TForm28::Generate()
{
    SetLine(0, R"(<Script Language="JavaScript">document.write(')" + Edit1->Text() +
                   "',document.referrer)</SCRIPT>");
}

std::vector<std::string> TForm28::ToDoLines() const
{
    return {"", "Add this where you want the details to appear", "", M(0)};
}

TW_PUBLISH(TForm28, TSnippetWizard)
{
    Cls.Field("Edit1", &TForm28::Edit1);
}
