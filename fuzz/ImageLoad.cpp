// Image loading on arbitrary bytes: every input decodes or raises EInvalidGraphic, and a
// decoded image is consistent and survives a BMP round trip.
#include "platform/graphics/ImageCodecs.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void Check(bool Condition)
{
    if (!Condition)
        __builtin_trap();
}

void CheckImage(const TDibImage& Image)
{
    Check(Image.Width > 0 && Image.Height > 0 && Image.Width <= MaxImageSide && Image.Height <= MaxImageSide);
    Check(Image.Pixels.size() == std::size_t(Image.Width) * std::size_t(Image.Height));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    try {
        TDibImage image = DecodeImage(Data, Size);
        CheckImage(image);
        // Re-encoding small results keeps the writer under the fuzzer too.
        if (image.Pixels.size() <= 4096) {
            std::string bmp = EncodeBmp(image, 24);
            TDibImage again = DecodeImage(bmp);
            Check(again.Width == image.Width && again.Height == image.Height);
        }
    } catch (const EInvalidGraphic&) {
    }
    // Icon reading on its own, with a wanted size, as TIcon and cursors use it.
    try {
        for (const TIconImage& icon : DecodeIconEntries(Data, Size)) {
            CheckImage(icon.Image);
            Check(icon.Mask.size() == icon.Image.Pixels.size());
        }
        CheckImage(DecodeIcon(Data, Size, 16, 16).Image);
    } catch (const EInvalidGraphic&) {
    }
    try {
        CheckImage(DecodeDib(Data, Size));
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
