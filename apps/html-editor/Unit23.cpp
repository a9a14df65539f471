#include "apps/html-editor/Unit23.h"

#include "platform/classes/TypInfo.h"

TForm23* Form23 = nullptr;

TForm23::TForm23(TComponent* AOwner) : TSnippetWizard(AOwner)
{
    Setup(0, 23, "break.txt");
}

void TForm23::Generate()
{
    SetLine(0, R"(<script language="JavaScript">if (self.parent.frames.length != 0) self.parent.location=")" +
                   Edit1->Text() + R"(";</script>)");
}

std::vector<std::string> TForm23::ToDoLines() const
{
    return {"", "Add this to your <HEAD> section", "", M(0)};
}

TW_PUBLISH(TForm23, TSnippetWizard)
{
    Cls.Field("Edit1", &TForm23::Edit1);
}
