#include "apps/html-editor/Unit36.h"

#include "platform/classes/TypInfo.h"

TForm36* Form36 = nullptr;

TW_PUBLISH(TForm36, TForm)
{
    Cls.Field("Memo1", &TForm36::Memo1);
}
