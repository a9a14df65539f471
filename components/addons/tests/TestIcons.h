// Icons for the add-on tests: one colour all over, so a test can tell them apart by a pixel.
#pragma once

#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImageCodecs.h"

#include <cstdint>
#include <memory>

// A 16 x 16 icon of one colour (0xRRGGBB), opaque.
inline std::unique_ptr<TIcon> SolidIcon(std::uint32_t Rgb)
{
    TIconImage Face;
    Face.Image.Width = Face.Image.Height = 16;
    Face.Image.BitsPerPixel = 32;
    Face.Image.Pixels.assign(16 * 16, 0xFF000000u | Rgb);
    Face.Mask.assign(16 * 16, 0);
    auto Icon = std::make_unique<TIcon>();
    Icon->SetImage(Face);
    return Icon;
}

// The colour of an icon's image (0xRRGGBB).
inline std::uint32_t IconImageColour(const TIconImage& Image)
{
    return Image.Image.Pixel(3, 3) & 0xFFFFFF;
}
