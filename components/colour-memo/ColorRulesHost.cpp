#include "components/colour-memo/ColorRulesHost.h"

#include "platform/classes/TypInfo.h"
#include "platform/graphics/Graphics.h"

namespace {
// Colour names in form data come from the graphics unit; make sure it is linked in.
[[maybe_unused]] const std::string LinkColorNames = ColorToString(clRed);
} // namespace

TW_PUBLISH(TRulesHost, TComponent)
{
    Cls.Collection("ColorRules", &TRulesHost::ColorRules, &TRulesHost::SetColorRules);
    Cls.Object("HotSpot", &TRulesHost::HotSpot, &TRulesHost::SetHotSpot);
}
