#include "apps/script-editor/Unit1.h"

#include "platform/classes/TypInfo.h"

Tunitcon* unitcon = nullptr;

void Tunitcon::Button5Click(TObject*)
{
    Close();
}

TW_PUBLISH(Tunitcon, TForm)
{
    Cls.Field("ComboBox1", &Tunitcon::ComboBox1);
    Cls.Field("ComboBox2", &Tunitcon::ComboBox2);
    Cls.Field("Edit1", &Tunitcon::Edit1);
    Cls.Field("DirectoryEdit1", &Tunitcon::DirectoryEdit1);
    Cls.Handler("Button5Click", &Tunitcon::Button5Click);
}
