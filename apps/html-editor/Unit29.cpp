#include "apps/html-editor/Unit29.h"

#include "platform/classes/TypInfo.h"

TForm29* Form29 = nullptr;

TForm29::TForm29(TComponent* AOwner) : TSnippetWizard(AOwner)
{
    Setup(2, 23, "");
}

void TForm29::Generate()
{
    SetLine(0, Edit1->Text() + "<SCRIPT language=JavaScript>document.write(document.lastModified);</script>");
}

std::vector<std::string> TForm29::ToDoLines() const
{
    return {"", "Add this where you want the details to appear.", "", "", M(0)};
}

TW_PUBLISH(TForm29, TSnippetWizard)
{
    Cls.Field("Edit1", &TForm29::Edit1);
}
