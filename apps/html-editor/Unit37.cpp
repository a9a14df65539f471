#include "apps/html-editor/Unit37.h"

#include "platform/classes/TypInfo.h"

TForm37* Form37 = nullptr;

TW_PUBLISH(TForm37, TForm)
{
    Cls.Field("Memo1", &TForm37::Memo1);
}
