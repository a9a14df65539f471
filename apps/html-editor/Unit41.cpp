#include "apps/html-editor/Unit41.h"

#include "platform/classes/TypInfo.h"

TForm41* Form41 = nullptr;

TW_PUBLISH(TForm41, TForm)
{
    Cls.Field("Memo1", &TForm41::Memo1);
}
