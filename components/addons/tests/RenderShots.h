// Rendered images kept for looking at: with TW_SHOT_DIR set, a test writes what it rendered there
// as a BMP named after the case.
#pragma once

#include "platform/graphics/Graphics.h"

#include <cstdlib>
#include <string>

inline void KeepShot(TBitmap* Image, const std::string& Name)
{
    if (const char* Dir = std::getenv("TW_SHOT_DIR"))
        Image->SaveToFile(std::string(Dir) + "/" + Name + ".bmp");
}
