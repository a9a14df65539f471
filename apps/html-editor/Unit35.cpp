#include "apps/html-editor/Unit35.h"

#include "platform/classes/TypInfo.h"

TForm35* Form35 = nullptr;

TW_PUBLISH(TForm35, TForm)
{
    Cls.Field("Memo1", &TForm35::Memo1);
}
