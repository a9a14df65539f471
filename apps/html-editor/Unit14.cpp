#include "apps/html-editor/Unit14.h"

#include "platform/classes/TypInfo.h"

TForm14* Form14 = nullptr;

// Ticks from start-up on; closing a hidden splash does nothing, so it only ends a showing.
void TForm14::Timer1Timer(TObject*)
{
    if (Visible())
        Close();
}

TW_PUBLISH(TForm14, TForm)
{
    Cls.Field("Image1", &TForm14::Image1);
    Cls.Field("Timer1", &TForm14::Timer1);
    Cls.Handler("Timer1Timer", &TForm14::Timer1Timer);
}
