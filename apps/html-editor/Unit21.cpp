#include "apps/html-editor/Unit21.h"

#include "platform/classes/TypInfo.h"

TForm21* Form21 = nullptr;

TForm21::TForm21(TComponent* AOwner) : TSnippetWizard(AOwner)
{
    Setup(0, 32, "reload.txt");
}

void TForm21::Generate()
{
    Append("<FORM> <INPUT TYPE=BUTTON VALUE=" + Edit1->Text() + " onClick=" + "'" +
           R"~(parent.location="javascript:location.reload()")~" + "'" + "></Form>");
}

std::vector<std::string> TForm21::ToDoLines() const
{
    return {"", "Add this where you want the button to appear", M(0)};
}

TW_PUBLISH(TForm21, TSnippetWizard)
{
    Cls.Field("Edit1", &TForm21::Edit1);
}
