// The screen's logical resolution, measured once at start-up.
#pragma once

extern int ScreenLogPixelsX;
extern int ScreenLogPixelsY;

// Reads LOGPIXELSX and LOGPIXELSY of the screen's device context into the two globals.
void ScreenMetricsInitialization();
