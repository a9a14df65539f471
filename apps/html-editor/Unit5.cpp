#include "apps/html-editor/Unit5.h"

#include "platform/classes/TypInfo.h"
#include "platform/graphics/ColorText.h"

TForm5* Form5 = nullptr;

void TForm5::Button1Click(TObject*)
{
    ColorDialog1->Execute();
}

// The text of the colour last chosen in the dialog (black before any choice).
void TForm5::Button2Click(TObject*)
{
    Edit1->SetText(ColorToHexText(ColorDialog1->Color));
}

TW_PUBLISH(TForm5, TForm)
{
    Cls.Field("Button1", &TForm5::Button1);
    Cls.Field("Button2", &TForm5::Button2);
    Cls.Field("Label1", &TForm5::Label1);
    Cls.Field("Edit1", &TForm5::Edit1);
    Cls.Field("Memo1", &TForm5::Memo1);
    Cls.Field("ColorDialog1", &TForm5::ColorDialog1);
    Cls.Handler("Button1Click", &TForm5::Button1Click);
    Cls.Handler("Button2Click", &TForm5::Button2Click);
}
