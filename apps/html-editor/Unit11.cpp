#include "apps/html-editor/Unit11.h"

#include "apps/html-editor/Unit1.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/IniFiles.h"

TForm11* Form11 = nullptr;

void TForm11::Button1Click(TObject*)
{
    Close();
}

// The main window applies the fonts when it is next active; this window stays open.
void TForm11::Button2Click(TObject*)
{
    TIniFile Ini(SettingsFileName);
    Ini.WriteString("Editor", "MainFont", FontComboBox1->FontName());
    Ini.WriteString("Editor", "ToDoFont", FontComboBox2->FontName());
}

void TForm11::Button3Click(TObject*)
{
    Close();
}

TW_PUBLISH(TForm11, TForm)
{
    Cls.Field("GroupBox1", &TForm11::GroupBox1);
    Cls.Field("Label1", &TForm11::Label1);
    Cls.Field("FontComboBox1", &TForm11::FontComboBox1);
    Cls.Field("GroupBox2", &TForm11::GroupBox2);
    Cls.Field("Label2", &TForm11::Label2);
    Cls.Field("FontComboBox2", &TForm11::FontComboBox2);
    Cls.Field("Button1", &TForm11::Button1);
    Cls.Field("Button2", &TForm11::Button2);
    Cls.Field("Button3", &TForm11::Button3);
    Cls.Handler("Button1Click", &TForm11::Button1Click);
    Cls.Handler("Button2Click", &TForm11::Button2Click);
    Cls.Handler("Button3Click", &TForm11::Button3Click);
}
