// The text web pages and scripts use for a colour: six upper-case hexadecimal digits, red, green
// and blue, two each, with no "#". Both programs' colour tools write it.
#pragma once

#include "platform/graphics/Graphics.h"

#include <string>

// A system colour (clBtnFace ...) gives the colour it currently stands for.
std::string ColorToHexText(TColor Color);
