#include "apps/script-editor/browsercon.h"

#include "platform/classes/TypInfo.h"

Tbrowser* browser = nullptr;

void Tbrowser::Button2Click(TObject*)
{
    Close();
}

TW_PUBLISH(Tbrowser, TForm)
{
    Cls.Field("FilenameEdit1", &Tbrowser::FilenameEdit1);
    Cls.Field("FilenameEdit2", &Tbrowser::FilenameEdit2);
    Cls.Handler("Button2Click", &Tbrowser::Button2Click);
}
