#include "apps/html-editor/Unit25.h"

#include "platform/classes/TypInfo.h"

TForm25* Form25 = nullptr;

TForm25::TForm25(TComponent* AOwner) : TSnippetWizard(AOwner)
{
    Setup(0, 23, "bf.txt");
}

void TForm25::Generate()
{
    SetLine(0, R"(<FORM METHOD="post"><INPUT TYPE="button" VALUE=")" + Edit1->Text() +
                   R"~(" onClick="history.go(-1)">)~");
    Append(R"(<INPUT TYPE="button" VALUE=")" + Edit2->Text() + R"~(" onClick="history.go(1)"></form>)~");
}

std::vector<std::string> TForm25::ToDoLines() const
{
    return {"", "Add this where you want the buttons to appear.", M(0), M(1)};
}

TW_PUBLISH(TForm25, TSnippetWizard)
{
    Cls.Field("Edit1", &TForm25::Edit1);
    Cls.Field("Edit2", &TForm25::Edit2);
}
