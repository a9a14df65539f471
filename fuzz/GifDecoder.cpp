// The GIF decoder on arbitrary bytes: the header-only read, the raw frames and the full read agree
// on the frames, every frame's bitmaps have its size, and composing, disposing, copying and drawing
// any frame stays inside the bitmaps. Full reads are kept to small pictures so each run is quick;
// the size limits themselves have their own tests.
#include "html-engine/GifImages.h"

#include "platform/graphics/Graphics.h"
#include "platform/rtl/Streams.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void Check(bool Condition)
{
    if (!Condition)
        __builtin_trap();
}

constexpr std::int64_t SmallPicture = std::int64_t(1) << 20;

void Load(TGIFImage& Image, const std::string& Bytes)
{
    TStringStream In(Bytes);
    Image.DataStream()->LoadFromStream(&In);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string Bytes(reinterpret_cast<const char*>(Data), Size);
    TGIFImage Header;
    Header.HeaderOnly = true;
    Load(Header, Bytes);
    const bool Read = Header.ReadGIFData();
    Check(Header.DataStream()->Size() == 0);
    Check(Header.FrameCount() <= MaxGifFrames);
    if (!Read)
        return 0;
    std::int64_t Pixels = std::int64_t(Header.Width()) * Header.Height();
    for (int I = 1; I <= Header.FrameCount(); ++I)
        Pixels += std::int64_t(Header.Frame(I)->Width) * Header.Frame(I)->Height;
    if (Pixels > SmallPicture)
        return 0;

    TGifRasters Raw;
    Check(ReadGifRasters(Data, Size, Raw));
    Check(int(Raw.Frames.size()) == Header.FrameCount());
    for (int I = 1; I <= Header.FrameCount(); ++I) {
        const TGifRaster& R = Raw.Frames[std::size_t(I - 1)];
        const TGIFFrame* F = Header.Frame(I);
        Check(R.Width == F->Width && R.Height == F->Height && R.Left == F->Left && R.Top == F->Top);
        Check(R.Pixels.size() == std::size_t(R.Width) * std::size_t(R.Height));
    }

    TGIFImage Full;
    Load(Full, Bytes);
    Check(Full.ReadGIFData());
    Check(Full.FrameCount() == Header.FrameCount());
    Check(Full.Width() == Header.Width() && Full.Height() == Header.Height());
    for (int I = 1; I <= Full.FrameCount(); ++I) {
        TGIFFrame* F = Full.Frame(I);
        if (F->Width == 0 || F->Height == 0) {
            Check(!F->Image);
            continue;
        }
        Check(F->Image && F->Image->Width() == F->Width && F->Image->Height() == F->Height);
        Check((F->Mask != nullptr) == F->IsTransparent);
    }
    // Every frame once in order, then jumps, on the image and on a copy.
    TBitmap Canvas(24, 16);
    for (int I = 2; I <= Full.FrameCount() + 1; ++I) {
        Full.SetCurrentFrame(I);
        Full.Draw(Canvas.Canvas(), nullptr, nullptr, -3, -2, 20, 12);
    }
    auto Copy = TGIFImage::Duplicate(Full);
    Check(Copy->CurrentFrame() == 1 && Copy->FrameCount() == Full.FrameCount());
    Copy->SetCurrentFrame(Full.FrameCount());
    Copy->SetCurrentFrame(0);
    Copy->Draw(Canvas.Canvas(), nullptr, nullptr, 5, 4, 7, 3);
    return 0;
}
