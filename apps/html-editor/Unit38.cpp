#include "apps/html-editor/Unit38.h"

#include "platform/classes/TypInfo.h"

TForm38* Form38 = nullptr;

TW_PUBLISH(TForm38, TForm)
{
    Cls.Field("Memo1", &TForm38::Memo1);
}
