#include "apps/html-editor/Unit39.h"

#include "platform/classes/TypInfo.h"

TForm39* Form39 = nullptr;

TW_PUBLISH(TForm39, TForm)
{
    Cls.Field("Memo1", &TForm39::Memo1);
}
