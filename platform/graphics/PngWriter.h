// Writing an image as PNG, through the toolkit's image writer.
#pragma once

#include "platform/graphics/ImageCodecs.h"

#include <string>

// PNG file bytes: 32-bit with alpha when Image.HasAlpha, else 24-bit RGB. Raises EInvalidGraphic
// for an empty image.
std::string EncodePng(const TDibImage& Image);
