#include "components/edit-boxes/ScreenMetrics.h"

#include "platform/graphics/WinGdi.h"
#include "platform/win/WinUser.h"

int ScreenLogPixelsX = 0;
int ScreenLogPixelsY = 0;

void ScreenMetricsInitialization()
{
    HDC DC = GetDC(0);
    ScreenLogPixelsX = GetDeviceCaps(DC, LOGPIXELSX);
    ScreenLogPixelsY = GetDeviceCaps(DC, LOGPIXELSY);
    ReleaseDC(0, DC);
}
