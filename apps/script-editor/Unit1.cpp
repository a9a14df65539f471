#include "apps/script-editor/Unit1.h"

#include "apps/script-editor/Main.h"
#include "apps/script-editor/UnitPalette.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/IniFiles.h"

Tunitcon* unitcon = nullptr;

namespace {
// The directory stored for the button named by Number as typed (no check that it is 1..50).
std::string StoredDirOf(const std::string& Number)
{
    TIniFile Ini(LibIniName);
    return Ini.ReadString(LibSection, UnitKey(Number), UnassignedUnit);
}
} // namespace

void Tunitcon::Button1Click(TObject*)
{
    Label2->SetCaption("The current directory assigned to button: " + ComboBox1->Text() + " is:");
    Edit1->SetText(StoredDirOf(ComboBox1->Text()));
}

void Tunitcon::Button2Click(TObject*)
{
    Button3->SetCaption("Save Changes to button " + ComboBox2->Text());
    DirectoryEdit1->SetText(StoredDirOf(ComboBox2->Text()));
}

void Tunitcon::Button3Click(TObject*)
{
    TIniFile Ini(LibIniName);
    Ini.WriteString(LibSection, UnitKey(ComboBox2->Text()), StoredUnitDir(DirectoryEdit1->Text()));
}

void Tunitcon::Button5Click(TObject*)
{
    Close();
}

void Tunitcon::Button6Click(TObject* Sender)
{
    if (MainForm)
        MainForm->FormActivate(Sender);
    Close();
}

TW_PUBLISH(Tunitcon, TForm)
{
    Cls.Field("ComboBox1", &Tunitcon::ComboBox1);
    Cls.Field("ComboBox2", &Tunitcon::ComboBox2);
    Cls.Field("Edit1", &Tunitcon::Edit1);
    Cls.Field("Label2", &Tunitcon::Label2);
    Cls.Field("Button3", &Tunitcon::Button3);
    Cls.Field("DirectoryEdit1", &Tunitcon::DirectoryEdit1);
    Cls.Handler("Button1Click", &Tunitcon::Button1Click);
    Cls.Handler("Button2Click", &Tunitcon::Button2Click);
    Cls.Handler("Button3Click", &Tunitcon::Button3Click);
    Cls.Handler("Button5Click", &Tunitcon::Button5Click);
    Cls.Handler("Button6Click", &Tunitcon::Button6Click);
}
