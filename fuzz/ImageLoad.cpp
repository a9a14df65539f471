// Image loading on arbitrary bytes: every input decodes or raises EInvalidGraphic, a decoded image
// is consistent and survives a BMP round trip, and a picture loaded from the same bytes agrees
// with the decoder (or refuses them with the same kind of error).
#include "platform/graphics/Graphics.h"
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

// Small enough to give to the GDI bitmaps on every run without slowing the fuzzer down.
constexpr std::size_t SmallImage = 4096;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    bool decoded = false;
    TDibImage image;
    try {
        image = DecodeImage(Data, Size);
        CheckImage(image);
        decoded = true;
        // Re-encoding small results keeps the writer under the fuzzer too.
        if (image.Pixels.size() <= SmallImage) {
            std::string bmp = EncodeBmp(image, 24);
            TDibImage again = DecodeImage(bmp);
            Check(again.Width == image.Width && again.Height == image.Height);
        }
    } catch (const EInvalidGraphic&) {
    }
    // The picture picks its graphic class by signature; a bitmap it makes has the decoded size.
    if (!decoded || image.Pixels.size() <= SmallImage) {
        const std::string bytes(reinterpret_cast<const char*>(Data), Size);
        try {
            TPicture picture;
            picture.LoadFromBytes(bytes);
            if (dynamic_cast<TBitmap*>(picture.Graphic())) {
                Check(decoded);
                Check(picture.Width() == image.Width && picture.Height() == image.Height);
            }
        } catch (const EInvalidGraphic&) {
            const TImageKind kind = SniffImage(bytes);
            Check(!decoded || kind == TImageKind::Ico || kind == TImageKind::Cur);
        }
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
