#include "components/addons/BalloonHintStub.h"

TW_ENUM(THintStyle, "hsFlat", "hsOffice", "hsWindows95");

TW_PUBLISH(TBalloonHint, TComponent)
{
    Cls.Enum("HintStyle", &TBalloonHint::HintStyle).Default(hsWindows95);
}
