#include "apps/html-editor/Unit40.h"

#include "platform/classes/TypInfo.h"

TForm40* Form40 = nullptr;

TW_PUBLISH(TForm40, TForm)
{
    Cls.Field("Memo1", &TForm40::Memo1);
}
