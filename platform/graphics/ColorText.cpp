#include "platform/graphics/ColorText.h"

#include "platform/graphics/WinGdi.h"

#include <cstdio>

std::string ColorToHexText(TColor Color)
{
    const TColor Rgb = ColorToRGB(Color);
    char Buf[8];
    std::snprintf(Buf, sizeof Buf, "%02X%02X%02X", static_cast<unsigned>(GetRValue(Rgb)),
                  static_cast<unsigned>(GetGValue(Rgb)), static_cast<unsigned>(GetBValue(Rgb)));
    return Buf;
}
