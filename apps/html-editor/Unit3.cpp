#include "apps/html-editor/Unit3.h"

#include "apps/html-editor/Unit4.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/DataFiles.h"
#include "platform/rtl/SysUtils.h"

TForm3* Form3 = nullptr;

void TForm3::DoCreate()
{
    const std::string Start = MapPath(StartDirectory);
    DirectoryListBox1->SetDirectory(DirectoryExists(Start) ? Start : GetHomeDir());
    DriveComboBox1->SelectFor(DirectoryListBox1->Directory());
    TForm::DoCreate();
}

void TForm3::extChange(TObject*)
{
    FileListBox1->SetMask(ext->Text());
}

void TForm3::Button1Click(TObject*)
{
    Form4->ShowModal();
}

TW_PUBLISH(TForm3, TForm)
{
    Cls.Field("Label1", &TForm3::Label1);
    Cls.Field("DirectoryListBox1", &TForm3::DirectoryListBox1);
    Cls.Field("FileListBox1", &TForm3::FileListBox1);
    Cls.Field("Label4", &TForm3::Label4);
    Cls.Field("DriveComboBox1", &TForm3::DriveComboBox1);
    Cls.Field("Label2", &TForm3::Label2);
    Cls.Field("ext", &TForm3::ext);
    Cls.Field("Label3", &TForm3::Label3);
    Cls.Field("Edit1", &TForm3::Edit1);
    Cls.Field("Button1", &TForm3::Button1);
    Cls.Handler("extChange", &TForm3::extChange);
    Cls.Handler("Button1Click", &TForm3::Button1Click);
}
