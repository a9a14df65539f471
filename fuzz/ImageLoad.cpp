// Image loading on arbitrary bytes: every input decodes or raises EInvalidGraphic, a decoded image
// is consistent and survives a BMP round trip, and a picture loaded from the same bytes agrees
// with the decoder (or refuses them with the same kind of error). The HTML engine's loader reads
// the same bytes: what it loads is a picture the decoder also reads, of the same size, and every
// mask it makes matches its picture.
#include "html-engine/HtmlImageUtil.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/ImageCodecs.h"
#include "platform/rtl/Streams.h"

#include <cstddef>
#include <cstdint>
#include <memory>
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

void CheckMasked(TMemoryStream& Stream, std::uint8_t Transp, int Kind, const TBitmap* Plain)
{
    std::unique_ptr<TBitmap> Mask;
    auto Picture = LoadImageWithMaskFromStream(&Stream, Transp, Mask);
    if (Transp == 2)
        Check(Kind == itGif89);
    if (!Picture)
        return;
    Check(Plain && Picture->Width() == Plain->Width() && Picture->Height() == Plain->Height());
    if (Transp == 0) {
        Check(!Mask);
        return;
    }
    Check(Mask && Mask->Monochrome() && Mask->Width() == Picture->Width() &&
          Mask->Height() == Picture->Height());
}

void CheckEngineLoader(const std::uint8_t* Data, std::size_t Size, const TDibImage* Decoded)
{
    TMemoryStream Stream;
    Stream.Write(Data, static_cast<Longint>(Size));
    const int Kind = GetImageType(Data, Size);
    auto Plain = LoadImageFromStream(&Stream, true);
    if (Plain) {
        Check(Kind != itUnknown && Decoded);
        Check(Plain->Width() == Decoded->Width && Plain->Height() == Decoded->Height);
    }
    Stream.SetPosition(3);
    TColor Colour = 0;
    const bool Transparent = GifTransparentColor(&Stream, Colour);
    Check(Stream.Position() == 3);
    Check(!Transparent || Kind == itGif89);
    for (std::uint8_t Transp : {std::uint8_t(0), std::uint8_t(1)})
        CheckMasked(Stream, Transp, Kind, Plain.get());
}

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
    if (!decoded || image.Pixels.size() <= SmallImage)
        CheckEngineLoader(Data, Size, decoded ? &image : nullptr);
    return 0;
}
