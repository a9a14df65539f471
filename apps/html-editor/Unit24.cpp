#include "apps/html-editor/Unit24.h"

#include "platform/classes/TypInfo.h"

TForm24* Form24 = nullptr;

TForm24::TForm24(TComponent* AOwner) : TSnippetWizard(AOwner)
{
    Setup(0, 23, "linkbut.txt");
}

void TForm24::Generate()
{
    SetLine(0, R"(<form><INPUT TYPE="button" VALUE=")" + Edit2->Text() + R"(" onClick="parent.location=')" +
                   Edit1->Text() + R"('"></form>)");
}

std::vector<std::string> TForm24::ToDoLines() const
{
    return {"", "Add this where you want the button to appear", M(0)};
}

TW_PUBLISH(TForm24, TSnippetWizard)
{
    Cls.Field("Edit1", &TForm24::Edit1);
    Cls.Field("Edit2", &TForm24::Edit2);
}
