#include "html-engine/GifImages.h"

#include "html-engine/HtmlImageUtil.h"
#include "html-engine/HtmlModel.h"
#include "platform/app/MMSystem.h"
#include "platform/graphics/WinGdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/WinUser.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <functional>

// Buffers one read reuses from frame to frame: fresh memory for every frame costs more than
// decoding it.
struct TGifReadBuffers {
    std::vector<BYTE> Data, Stream, Pixels;
    std::vector<std::uint32_t> Rows;
};

namespace {

// ---- Reading blocks ------------------------------------------------------------------------

BYTE ByteAt(const TGifCursor& C, std::size_t Offset)
{
    return Offset < C.Left() ? C.P[Offset] : 0;
}

WORD WordAt(const TGifCursor& C, std::size_t Offset)
{
    return WORD(ByteAt(C, Offset) | (ByteAt(C, Offset + 1) << 8));
}

void Advance(TGifCursor& C, std::size_t N)
{
    C.P += std::min(N, C.Left());
}

// Sub-blocks up to the zero-length one (or the end of the data), each handed to Take.
template <class F> void ReadSubBlocks(TGifCursor& C, F&& Take)
{
    while (C.Left() > 0) {
        const std::size_t N = *C.P++;
        if (N == 0)
            return;
        const std::size_t Got = std::min(N, C.Left());
        Take(C.P, Got);
        C.P += Got;
    }
}

void SkipSubBlocks(TGifCursor& C)
{
    ReadSubBlocks(C, [](const BYTE*, std::size_t) {});
}

// Image data: the minimum code size, the sub-blocks, and any stray zero bytes after them (some
// writers pad), so that the next block is found the same way whether or not the data is decoded.
void SkipImageData(TGifCursor& C)
{
    Advance(C, 1);
    SkipSubBlocks(C);
    while (C.Left() > 0 && *C.P == 0)
        ++C.P;
}

struct TScreen {
    int Width = 0, Height = 0;
    int GlobalBits = 0;
};

// The logical screen descriptor and the global table (Table: 768 bytes, zero-filled first).
void ReadScreen(TGifCursor& C, TScreen& S, BYTE* Table)
{
    S.Width = WordAt(C, 0);
    S.Height = WordAt(C, 2);
    const BYTE Packed = ByteAt(C, 4);
    Advance(C, 7);
    std::memset(Table, 0, 768);
    if (Packed & 0x80) {
        S.GlobalBits = (Packed & 7) + 1;
        const std::size_t N = std::min<std::size_t>(std::size_t(3) << S.GlobalBits, C.Left());
        std::memcpy(Table, C.P, N);
        Advance(C, std::size_t(3) << S.GlobalBits);
    }
}

struct TBlockState {
    TGifControl Pending;
    std::string Comment;
    int LoopCount = 1;
    int Frames = 0;
};

// The blocks after the logical screen. Extensions update the pending control, the comment and
// the loop count; at each image descriptor OnImage reads the image (1), finds the data ending
// inside the descriptor (0: reading ends) or a size limit broken (-1: the read fails). Reading
// ends at the trailer, an unknown block or extension, the frame limit or the end of the data.
template <class F> bool ReadBlocks(TGifCursor& C, TBlockState& S, F&& OnImage)
{
    while (C.Left() > 0) {
        const BYTE Kind = *C.P;
        if (Kind == ',') {
            if (S.Frames >= MaxGifFrames)
                return true;
            const int R = OnImage(C, S);
            if (R < 0)
                return false;
            if (R == 0)
                return true;
            ++S.Frames;
            // A graphic control applies to the next image only.
            S.Pending = TGifControl();
            S.Comment.clear();
            continue;
        }
        if (Kind != '!' || C.Left() < 2)
            return true;
        const BYTE Label = C.P[1];
        switch (Label) {
        case 0xF9: {
            Advance(C, 2);
            bool First = true;
            ReadSubBlocks(C, [&](const BYTE* P, std::size_t N) {
                if (First && N >= 4) {
                    S.Pending.Packed = P[0];
                    S.Pending.Delay = WORD(P[1] | (P[2] << 8));
                    S.Pending.TransparentIndex = P[3];
                }
                First = false;
            });
            break;
        }
        case 0xFE:
            Advance(C, 2);
            ReadSubBlocks(C, [&](const BYTE* P, std::size_t N) {
                S.Comment.append(reinterpret_cast<const char*>(P), N);
            });
            break;
        case 0xFF: {
            Advance(C, 2);
            const std::size_t HeaderSize = ByteAt(C, 0);
            const bool Looping =
                HeaderSize == 11 && C.Left() >= 12 && std::memcmp(C.P + 1, "NETSCAPE2.0", 11) == 0;
            Advance(C, HeaderSize + 1);
            bool First = true;
            ReadSubBlocks(C, [&](const BYTE* P, std::size_t N) {
                if (Looping && First && N >= 3)
                    S.LoopCount = P[1] | (P[2] << 8);
                First = false;
            });
            break;
        }
        case 0x01:
            // Plain text: its header is a sub-block like the text's.
            Advance(C, 2);
            SkipSubBlocks(C);
            break;
        default:
            return true;
        }
    }
    return true;
}

struct TDescriptor {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Interlaced = false;
    int LocalBits = 0; // 0: no local table
    const BYTE* Table = nullptr;
    std::size_t TableBytes = 0; // less than 3 << LocalBits when the data ends inside it
};

bool ReadDescriptor(TGifCursor& C, TDescriptor& D)
{
    if (C.Left() < 10)
        return false;
    D.Left = WordAt(C, 1);
    D.Top = WordAt(C, 3);
    D.Width = WordAt(C, 5);
    D.Height = WordAt(C, 7);
    const BYTE Packed = C.P[9];
    D.Interlaced = (Packed & 0x40) != 0;
    Advance(C, 10);
    if (Packed & 0x80) {
        D.LocalBits = (Packed & 7) + 1;
        D.Table = C.P;
        D.TableBytes = std::min<std::size_t>(std::size_t(3) << D.LocalBits, C.Left());
        Advance(C, D.TableBytes);
    }
    return true;
}

bool WithinLimits(std::int64_t Width, std::int64_t Height)
{
    return Width <= MaxGifSide && Height <= MaxGifSide && Width * Height <= MaxGifPixels;
}

// Counts a frame into the pixels read so far; false when it breaks a limit, alone or with the
// frames before it.
bool CountFrame(int Width, int Height, std::int64_t& Total)
{
    Total += std::int64_t(Width) * Height;
    return WithinLimits(Width, Height) && Total <= MaxGifTotalPixels;
}

// The logical screen, widened to cover a frame.
void Cover(std::int64_t& Width, std::int64_t& Height, int Left, int Top, int FrameWidth, int FrameHeight)
{
    Width = std::max<std::int64_t>(Width, std::int64_t(Left) + FrameWidth);
    Height = std::max<std::int64_t>(Height, std::int64_t(Top) + FrameHeight);
}

// Disposal values other than 0, 1 and 3 restore to the background.
BYTE DisposalOf(const TGifControl& Control)
{
    const BYTE D = (Control.Packed >> 2) & 7;
    return D == 0 || D == 1 || D == 3 ? D : 2;
}

// ---- LZW ---------------------------------------------------------------------------------------

// Decodes LZW codes of MinCodeSize (1..11) from Data into Out, at most Count pixels in the order
// the file stores them. Returns the pixels written: decoding ends at the end code, at the end of
// the data, when Count pixels are out, or at a code that cannot be in the table yet.
std::size_t DecodeLzw(const BYTE* Data, std::size_t Size, int MinCodeSize, BYTE* Out, std::size_t Count)
{
    constexpr unsigned TableSize = 4096;
    const unsigned Clear = 1u << MinCodeSize, End = Clear + 1;
    std::uint16_t Prefix[TableSize];
    std::uint16_t Length[TableSize];
    BYTE Suffix[TableSize];
    BYTE First[TableSize];
    for (unsigned I = 0; I < Clear; ++I) {
        Prefix[I] = 0;
        Length[I] = 1;
        Suffix[I] = BYTE(I);
        First[I] = BYTE(I);
    }
    unsigned Next = Clear + 2;
    int Width = MinCodeSize + 1;
    unsigned Mask = (1u << Width) - 1;
    unsigned Prev = TableSize; // none: the next code must be a single pixel
    std::uint64_t Acc = 0;
    int Bits = 0;
    std::size_t In = 0, Pos = 0;
    while (Pos < Count) {
        if (Bits < Width) {
            while (Bits <= 56 && In < Size) {
                Acc |= std::uint64_t(Data[In++]) << Bits;
                Bits += 8;
            }
            if (Bits < Width)
                break;
        }
        const unsigned Code = unsigned(Acc) & Mask;
        Acc >>= Width;
        Bits -= Width;
        if (Code == Clear) {
            Next = Clear + 2;
            Width = MinCodeSize + 1;
            Mask = (1u << Width) - 1;
            Prev = TableSize;
            continue;
        }
        if (Code == End)
            break;
        unsigned Str = Code;
        if (Prev == TableSize) {
            if (Code >= Clear)
                break;
            Out[Pos++] = BYTE(Code);
        } else {
            if (Code > Next || (Code == Next && Next >= TableSize))
                break;
            if (Next < TableSize) {
                // The new entry is the previous string and the first pixel of this one, which
                // for the code not yet in the table is the previous string's own first pixel.
                Prefix[Next] = std::uint16_t(Prev);
                Suffix[Next] = Code == Next ? First[Prev] : First[Code];
                First[Next] = First[Prev];
                Length[Next] = std::uint16_t(std::min<unsigned>(Length[Prev] + 1u, TableSize));
                ++Next;
            }
            const unsigned Len = Length[Str];
            if (Pos + Len <= Count) {
                BYTE* D = Out + Pos + Len;
                for (unsigned K = 0; K < Len; ++K) {
                    *--D = Suffix[Str];
                    Str = Prefix[Str];
                }
                Pos += Len;
            } else {
                // The string runs past the last pixel: keep the part that fits.
                for (unsigned K = Len; K-- > 0;) {
                    if (Pos + K < Count)
                        Out[Pos + K] = Suffix[Str];
                    Str = Prefix[Str];
                }
                Pos = Count;
            }
        }
        Prev = Code;
        if (Next >= (1u << Width) && Width < 12) {
            ++Width;
            Mask = (1u << Width) - 1;
        }
    }
    return Pos;
}

// The image data at C decoded into Pixels (Width x Height, top row first, zero where the data
// does not reach); C ends up after the data.
void DecodeRaster(TGifCursor& C, int Width, int Height, bool Interlaced, std::vector<BYTE>& Pixels,
                  TGifReadBuffers& Buffers)
{
    const std::size_t Count = std::size_t(Width) * std::size_t(Height);
    Pixels.assign(Count, 0);
    const int MinCodeSize = ByteAt(C, 0);
    if (MinCodeSize < 1 || MinCodeSize > 11 || Count == 0) {
        SkipImageData(C);
        return;
    }
    Advance(C, 1);
    std::vector<BYTE>& Data = Buffers.Data;
    Data.clear();
    ReadSubBlocks(C, [&](const BYTE* P, std::size_t N) { Data.insert(Data.end(), P, P + N); });
    while (C.Left() > 0 && *C.P == 0)
        ++C.P;
    if (!Interlaced) {
        DecodeLzw(Data.data(), Data.size(), MinCodeSize, Pixels.data(), Count);
        return;
    }
    std::vector<BYTE>& Stream = Buffers.Stream;
    Stream.assign(Count, 0);
    DecodeLzw(Data.data(), Data.size(), MinCodeSize, Stream.data(), Count);
    // Passes start at rows 0, 4, 2, 1 and step by 8, 8, 4, 2; a pass without rows is skipped.
    static const int Start[4] = {0, 4, 2, 1}, Step[4] = {8, 8, 4, 2};
    const BYTE* Src = Stream.data();
    for (int Pass = 0; Pass < 4; ++Pass)
        for (int Y = Start[Pass]; Y < Height; Y += Step[Pass]) {
            std::memcpy(Pixels.data() + std::size_t(Y) * std::size_t(Width), Src, std::size_t(Width));
            Src += Width;
        }
}

int FloorDiv(int A, int B)
{
    const int Q = A / B;
    return (A % B != 0 && (A < 0) != (B < 0)) ? Q - 1 : Q;
}

std::unique_ptr<TBitmap> BitmapOf(HBITMAP Handle)
{
    if (!Handle)
        throw EOutOfMemory("Out of memory");
    auto B = std::make_unique<TBitmap>();
    B->SetHandle(Handle);
    return B;
}

std::unique_ptr<TBitmap> CopyOf(TBitmap* Source)
{
    if (!Source)
        return nullptr;
    auto B = std::make_unique<TBitmap>();
    B->Assign(Source);
    return B;
}

HDC DCOf(TBitmap* Bitmap)
{
    return Bitmap->Canvas()->Handle();
}

} // namespace

// ---- Off-screen surfaces ----------------------------------------------------------------------

// A memory DC with a colour bitmap of its own.
struct TGIFImage::TSurface {
    HDC DC = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ Old = nullptr;
    int Width = 0, Height = 0;

    TSurface(int W, int H, DWORD Fill) : Width(W), Height(H)
    {
        Bitmap = CreateCompatibleBitmap(nullptr, W, H);
        if (!Bitmap)
            throw EOutOfMemory("Out of memory");
        DC = CreateCompatibleDC(nullptr);
        Old = SelectObject(DC, Bitmap);
        // Monochrome sources come in as black (0) and white (1).
        SetTextColor(DC, RGB(0, 0, 0));
        SetBkColor(DC, RGB(255, 255, 255));
        PatBlt(DC, 0, 0, W, H, Fill);
    }
    ~TSurface()
    {
        SelectObject(DC, Old);
        DeleteDC(DC);
        DeleteObject(Bitmap);
    }
    TSurface(const TSurface&) = delete;
    TSurface& operator=(const TSurface&) = delete;
};

// ---- TGIFFrame ----------------------------------------------------------------------------------

TGIFFrame::TGIFFrame(TGIFImage* AOwner) : Owner(AOwner) {}

TGIFFrame::TGIFFrame(TGIFImage* AOwner, const TGIFFrame& Source)
    : Left(Source.Left), Top(Source.Top), Width(Source.Width), Height(Source.Height),
      ColorBits(Source.ColorBits), Delay(Source.Delay), Disposal(Source.Disposal),
      LocalTable(Source.LocalTable), Interlaced(Source.Interlaced), IsTransparent(Source.IsTransparent),
      TransparentIndex(Source.TransparentIndex), Image(CopyOf(Source.Image.get())),
      Mask(CopyOf(Source.Mask.get())), Owner(AOwner), Comment(Source.Comment)
{
    std::memcpy(TransparentColor, Source.TransparentColor, sizeof TransparentColor);
}

TGIFFrame::~TGIFFrame() = default;

void TGIFFrame::DecodeImageData(TGifCursor& Data, std::vector<BYTE>& Pixels)
{
    if (Owner->FBuffers) {
        DecodeRaster(Data, Width, Height, Interlaced, Pixels, *Owner->FBuffers);
    } else {
        TGifReadBuffers Buffers;
        DecodeRaster(Data, Width, Height, Interlaced, Pixels, Buffers);
    }
}

int TGIFFrame::ReadImageBlock(TGifCursor& Data, const TGifControl& Control)
{
    TDescriptor D;
    if (!ReadDescriptor(Data, D))
        return 0;
    Left = D.Left;
    Top = D.Top;
    Width = D.Width;
    Height = D.Height;
    Interlaced = D.Interlaced;
    LocalTable = D.LocalBits > 0;
    ColorBits = D.LocalBits;
    Disposal = DisposalOf(Control);
    Delay = Control.Delay * 10;
    IsTransparent = (Control.Packed & 1) != 0;
    TransparentIndex = Control.TransparentIndex;
    if (!CountFrame(Width, Height, Owner->FPixelsRead))
        return -1;

    const BYTE* Table = Owner->FGlobalTable;
    if (LocalTable) {
        if (Owner->HeaderOnly) {
            Table = nullptr;
        } else {
            FLocalTable = std::make_unique<BYTE[]>(768);
            std::memset(FLocalTable.get(), 0, 768);
            std::memcpy(FLocalTable.get(), D.Table, D.TableBytes);
            Table = FLocalTable.get();
        }
    }
    ColorTable = Table;
    const std::size_t Entry = std::size_t(TransparentIndex) * 3;
    for (int I = 0; I < 3; ++I) {
        if (Table)
            TransparentColor[I] = Table[Entry + std::size_t(I)];
        else
            TransparentColor[I] = Entry + std::size_t(I) < D.TableBytes ? D.Table[Entry + std::size_t(I)] : 0;
    }

    if (Owner->HeaderOnly || Width == 0 || Height == 0) {
        SkipImageData(Data);
        return 1;
    }
    std::vector<BYTE>& Pixels = Owner->FBuffers->Pixels;
    DecodeImageData(Data, Pixels);
    BuildBitmaps(Pixels);
    return 1;
}

void TGIFFrame::BuildBitmaps(const std::vector<BYTE>& Pixels)
{
    // Each colour index becomes its 32-bit pixel once; indices past the table are black.
    std::uint32_t Colours[256];
    for (int I = 0; I < 256; ++I)
        Colours[I] = (std::uint32_t(ColorTable[I * 3]) << 16) | (std::uint32_t(ColorTable[I * 3 + 1]) << 8) |
                     ColorTable[I * 3 + 2];
    if (HPALETTE Palette = SharedPalette) {
        // On a 256-colour screen every colour is the palette's nearest.
        const int Used = 1 << (LocalTable ? ColorBits : Owner->FColorBits);
        PALETTEENTRY E;
        for (int I = 0; I < 256; ++I) {
            const std::uint32_t C = Colours[I];
            const UINT Index =
                I < Used
                    ? GetNearestPaletteIndex(Palette, RGB(int(C >> 16), int((C >> 8) & 0xFF), int(C & 0xFF)))
                    : 0;
            GetPaletteEntries(Palette, Index, 1, &E);
            Colours[I] = (std::uint32_t(E.peRed) << 16) | (std::uint32_t(E.peGreen) << 8) | E.peBlue;
        }
    }
    if (IsTransparent)
        Colours[TransparentIndex] = 0;

    // Rows of B, G, R, x, top row first.
    const std::size_t Count = std::size_t(Width) * std::size_t(Height);
    std::vector<std::uint32_t>& Rows = Owner->FBuffers->Rows;
    Rows.resize(Count);
    for (std::size_t I = 0; I < Count; ++I)
        Rows[I] = Colours[Pixels[I]];
    Image = BitmapOf(CreateBitmap(Width, Height, 1, 32, Rows.data()));

    if (IsTransparent) {
        // Monochrome rows padded to 16 bits, most significant bit first; 1 (white) = transparent.
        const std::size_t Stride = std::size_t((Width + 15) / 16) * 2;
        std::vector<BYTE> Bits(Stride * std::size_t(Height), 0);
        for (int Y = 0; Y < Height; ++Y) {
            const BYTE* Src = Pixels.data() + std::size_t(Y) * std::size_t(Width);
            BYTE* Row = Bits.data() + std::size_t(Y) * Stride;
            for (int X = 0; X < Width; ++X)
                if (Src[X] == TransparentIndex)
                    Row[X >> 3] |= BYTE(0x80 >> (X & 7));
        }
        Mask = BitmapOf(CreateBitmap(Width, Height, 1, 1, Bits.data()));
    }
}

// ---- TGIFImage ----------------------------------------------------------------------------------

TGIFImage::TGIFImage() = default;

TGIFImage::~TGIFImage()
{
    while (!FFrames.empty())
        FFrames.pop_back();
}

void TGIFImage::ClearState()
{
    FEmpty = true;
    while (!FFrames.empty())
        FFrames.pop_back();
    FCurrentFrame = 1;
    FLoopCount = 1;
    FLoopsDone = 1;
    FColorBits = 0;
    FTransparent = false;
    FAnimated = false;
    FBackgroundNeeded = false;
    FComposite.reset();
    FCompositeMask.reset();
    FWork.reset();
    FBitmap.reset();
    FMask.reset();
    FPixelsRead = 0;
}

void TGIFImage::Clear()
{
    ClearState();
    FData.Clear();
}

bool TGIFImage::ReadGIFData()
{
    struct TEmptyStream {
        TMemoryStream& S;
        ~TEmptyStream() { S.Clear(); }
    } EmptyAtEnd{FData};
    ClearState();
    FBuffers = std::make_unique<TGifReadBuffers>();
    struct TDropBuffers {
        std::unique_ptr<TGifReadBuffers>& B;
        ~TDropBuffers() { B.reset(); }
    } DropAtEnd{FBuffers};
    TGifCursor C;
    C.P = static_cast<const std::uint8_t*>(FData.Memory());
    C.End = C.P + FData.Size();
    if (C.Left() < 3 || std::memcmp(C.P, "GIF", 3) != 0)
        return false;
    Advance(C, 6);
    TScreen Screen;
    ReadScreen(C, Screen, FGlobalTable);
    FColorBits = Screen.GlobalBits;
    TBlockState State;
    const bool Ok = ReadBlocks(C, State, [this](TGifCursor& At, TBlockState& S) {
        auto F = std::make_unique<TGIFFrame>(this);
        const int R = F->ReadImageBlock(At, S.Pending);
        if (R > 0) {
            FColorBits = std::max(FColorBits, F->ColorBits);
            FTransparent = FTransparent || F->IsTransparent;
            F->Comment = S.Comment;
            FFrames.push_back(std::move(F));
        }
        return R;
    });
    FLoopCount = State.LoopCount;
    if (!Ok)
        return false;
    std::int64_t W = Screen.Width, H = Screen.Height;
    for (const auto& F : FFrames)
        Cover(W, H, F->Left, F->Top, F->Width, F->Height);
    if (!WithinLimits(W, H))
        return false;
    FWidth = int(W);
    FHeight = int(H);
    if (!HeaderOnly)
        MakeSurfaces();
    FAnimated = FFrames.size() > 1;
    FEmpty = false;
    ComposeFrame(1);
    return true;
}

void TGIFImage::MakeSurfaces()
{
    FComposite.reset();
    FCompositeMask.reset();
    FWork.reset();
    if (FWidth <= 0 || FHeight <= 0)
        return;
    FComposite = std::make_unique<TSurface>(FWidth, FHeight, BLACKNESS);
    if (FTransparent)
        FCompositeMask = std::make_unique<TSurface>(FWidth, FHeight, WHITENESS);
}

HDC TGIFImage::CompositeDC() const
{
    return FComposite ? FComposite->DC : nullptr;
}

HDC TGIFImage::CompositeMaskDC() const
{
    return FCompositeMask ? FCompositeMask->DC : nullptr;
}

std::unique_ptr<TGIFImage> TGIFImage::Duplicate(const TGIFImage& Source)
{
    auto Copy = std::make_unique<TGIFImage>();
    Copy->FAnimated = Source.FAnimated;
    Copy->FEmpty = Source.FEmpty;
    Copy->FWidth = Source.FWidth;
    Copy->FHeight = Source.FHeight;
    Copy->FLoopCount = Source.FLoopCount;
    Copy->Speed = Source.Speed;
    Copy->FTransparent = Source.FTransparent;
    Copy->FVisible = Source.FVisible;
    Copy->FColorBits = Source.FColorBits;
    Copy->HeaderOnly = Source.HeaderOnly;
    std::memcpy(Copy->FGlobalTable, Source.FGlobalTable, sizeof Copy->FGlobalTable);
    Copy->IsCopy = true;
    for (const auto& F : Source.FFrames)
        Copy->FFrames.push_back(std::make_unique<TGIFFrame>(Copy.get(), *F));
    if (!Copy->HeaderOnly && Source.FComposite)
        Copy->MakeSurfaces();
    // The copy starts where a fresh read does: frame 1 on show.
    Copy->ComposeFrame(1);
    return Copy;
}

// ---- Composition ----------------------------------------------------------------------------

void TGIFImage::ComposeFrame(int Index)
{
    if (HeaderOnly || !FComposite || Index < 1 || Index > FrameCount())
        return;
    TGIFFrame* F = Frame(Index);
    if (Index == 1) {
        // Each cycle starts from an empty picture, as the first one did.
        PatBlt(FComposite->DC, 0, 0, FWidth, FHeight, BLACKNESS);
        if (FCompositeMask)
            PatBlt(FCompositeMask->DC, 0, 0, FWidth, FHeight, WHITENESS);
        if (F->Disposal <= 1)
            FBackgroundNeeded = true;
    }
    if (!F->Image)
        return;
    const int X = F->Left, Y = F->Top, W = F->Width, H = F->Height;
    if (F->Disposal == 3) {
        if (!F->PreviousImage)
            F->PreviousImage = BitmapOf(CreateCompatibleBitmap(nullptr, W, H));
        BitBlt(DCOf(F->PreviousImage.get()), 0, 0, W, H, FComposite->DC, X, Y, SRCCOPY);
        if (FCompositeMask) {
            if (!F->PreviousMask)
                F->PreviousMask = BitmapOf(CreateBitmap(W, H, 1, 1, nullptr));
            HDC MaskDC = DCOf(F->PreviousMask.get());
            BitBlt(MaskDC, 0, 0, W, H, FCompositeMask->DC, X, Y, SRCCOPY);
        }
    }
    if (F->IsTransparent && F->Mask) {
        HDC FrameMask = DCOf(F->Mask.get());
        BitBlt(FCompositeMask->DC, X, Y, W, H, FrameMask, 0, 0, SRCAND);
        BitBlt(FComposite->DC, X, Y, W, H, FrameMask, 0, 0, SRCAND);
        BitBlt(FComposite->DC, X, Y, W, H, DCOf(F->Image.get()), 0, 0, SRCINVERT);
    } else {
        if (FCompositeMask)
            PatBlt(FCompositeMask->DC, X, Y, W, H, BLACKNESS);
        BitBlt(FComposite->DC, X, Y, W, H, DCOf(F->Image.get()), 0, 0, SRCCOPY);
    }
}

void TGIFImage::DisposeFrame(int Index)
{
    if (HeaderOnly || !FComposite || Index < 1 || Index > FrameCount())
        return;
    TGIFFrame* F = Frame(Index);
    if (!F->Image)
        return;
    const int X = F->Left, Y = F->Top, W = F->Width, H = F->Height;
    if (F->Disposal == 2) {
        if (FCompositeMask)
            PatBlt(FCompositeMask->DC, X, Y, W, H, WHITENESS);
        PatBlt(FComposite->DC, X, Y, W, H, BLACKNESS);
    } else if (F->Disposal == 3 && F->PreviousImage) {
        if (FCompositeMask && F->PreviousMask)
            BitBlt(FCompositeMask->DC, X, Y, W, H, DCOf(F->PreviousMask.get()), 0, 0, SRCCOPY);
        BitBlt(FComposite->DC, X, Y, W, H, DCOf(F->PreviousImage.get()), 0, 0, SRCCOPY);
    }
}

// ---- Drawing ----------------------------------------------------------------------------------

void TGIFImage::Draw(TCanvas* Canvas, TSectionList* Document, TCell* Cell, int X, int Y, int W, int H)
{
    FLastRect = RECT{X, Y, X + W, Y + H};
    HDC DC = Canvas->Handle();
    SetStretchBltMode(DC, COLORONCOLOR);
    if (!FVisible || FEmpty || HeaderOnly || FFrames.empty() || !FComposite || W <= 0 || H <= 0)
        return;
    TGIFFrame* First = Frame(1);
    HDC Comp = FComposite->DC;
    if (!First->IsTransparent || !FCompositeMask) {
        StretchBlt(DC, X, Y, W, H, Comp, 0, 0, FWidth, FHeight, SRCCOPY);
        return;
    }
    HDC Mask = FCompositeMask->DC;
    if (First->Disposal <= 1) {
        // The background under the image is kept in the work bitmap and rebuilt at the start of
        // each cycle; a bitmap of another size is made anew.
        if (!FWork || FWork->Width != W || FWork->Height != H) {
            FWork.reset();
            FWork = std::make_unique<TSurface>(W, H, WHITENESS);
            FBackgroundNeeded = true;
        }
        if (FBackgroundNeeded) {
            PaintBackground(Document, Cell, X, Y, W, H);
            FBackgroundNeeded = false;
        }
        HDC Work = FWork->DC;
        SetStretchBltMode(Work, COLORONCOLOR);
        StretchBlt(Work, 0, 0, W, H, Comp, 0, 0, FWidth, FHeight, SRCINVERT);
        StretchBlt(Work, 0, 0, W, H, Mask, 0, 0, FWidth, FHeight, SRCAND);
        StretchBlt(Work, 0, 0, W, H, Comp, 0, 0, FWidth, FHeight, SRCPAINT);
        BitBlt(DC, X, Y, W, H, Work, 0, 0, SRCCOPY);
    } else {
        StretchBlt(DC, X, Y, W, H, Comp, 0, 0, FWidth, FHeight, SRCINVERT);
        StretchBlt(DC, X, Y, W, H, Mask, 0, 0, FWidth, FHeight, SRCAND);
        StretchBlt(DC, X, Y, W, H, Comp, 0, 0, FWidth, FHeight, SRCPAINT);
    }
}

void TGIFImage::PaintBackground(TSectionList* Document, TCell* Cell, int X, int Y, int W, int H)
{
    HDC Work = FWork->DC;
    HPALETTE Palette = SharedPalette;
    HPALETTE OldPalette = nullptr;
    if (Palette) {
        OldPalette = SelectPalette(Work, Palette, FALSE);
        RealizePalette(Work);
    }
    TBitmap* Tile = Document ? Document->BackgroundBitmap : nullptr;
    const bool CellColour = Cell && Cell != Document && Cell->BkGnd;
    if (CellColour || !Tile || Tile->Width() <= 0 || Tile->Height() <= 0) {
        const TColor Colour = CellColour ? Cell->BkColor : Document ? Document->Background : clWhite;
        const COLORREF Ref = ColorToColorRef(Colour);
        HBRUSH Brush = CreateSolidBrush(PALETTERGB(GetRValue(Ref), GetGValue(Ref), GetBValue(Ref)));
        const RECT R{0, 0, W, H};
        FillRect(Work, &R, Brush);
        DeleteObject(Brush);
    } else {
        // Tiles line up with the document's own tiling, also above and left of the origin.
        const int TW = Tile->Width(), TH = Tile->Height();
        const int DocY = Y + Document->YOff;
        const int X0 = FloorDiv(X, TW) * TW - X;
        const int Y0 = FloorDiv(DocY, TH) * TH - DocY;
        HDC TileDC = DCOf(Tile);
        for (int TY = Y0; TY < H; TY += TH)
            for (int TX = X0; TX < W; TX += TW)
                BitBlt(Work, TX, TY, TW, TH, TileDC, 0, 0, SRCCOPY);
    }
    if (Palette)
        SelectPalette(Work, OldPalette, FALSE);
}

// ---- Animation ------------------------------------------------------------------------------

DWORD TGIFImage::DelayOf(int Index) const
{
    const int Percent = Speed > 0 ? Speed : 100;
    return DWORD(std::max(1, MulDiv(Frame(Index)->Delay, 100, Percent)));
}

void TGIFImage::SetAnimate(bool Value)
{
    if (Value == FAnimate)
        return;
    FAnimate = Value;
    FLoopsDone = 1;
    if (Value) {
        if (FrameCount() > 1) {
            FCurrentDelay = DelayOf(FCurrentFrame);
            FLastStepTime = timeGetTime();
        }
    } else if (FCurrentFrame >= 2) {
        DisposeFrame(FCurrentFrame);
        FCurrentFrame = 1;
        ComposeFrame(1);
    }
}

void TGIFImage::SetCurrentFrame(int Index)
{
    const int Count = FrameCount();
    if (Index > Count)
        Index = 1;
    else if (Index <= 0)
        Index = std::max(Count, 1);
    if (Index == FCurrentFrame)
        return;
    DisposeFrame(FCurrentFrame);
    FCurrentFrame = Index;
    ComposeFrame(Index);
}

void TGIFImage::AnimationStep(HWND Window)
{
    const int Count = FrameCount();
    if (!FAnimate || FEmpty || HeaderOnly || Count < 2)
        return;
    const DWORD Now = timeGetTime();
    if (Now - FLastStepTime < FCurrentDelay)
        return;
    FLastStepTime = Now;
    if (FLoopCount > 0 && FCurrentFrame == Count) {
        // The last play of a counted animation ends on its last frame.
        if (FLoopsDone >= FLoopCount) {
            FAnimate = false;
            return;
        }
        ++FLoopsDone;
    }
    DisposeFrame(FCurrentFrame);
    FCurrentFrame = FCurrentFrame == Count ? 1 : FCurrentFrame + 1;
    ComposeFrame(FCurrentFrame);
    if (Window)
        InvalidateRect(Window, &FLastRect, TRUE);
    FCurrentDelay = DelayOf(FCurrentFrame);
}

TBitmap* TGIFImage::GetBitmap()
{
    if (FEmpty || HeaderOnly || FFrames.empty() || !Frame(1)->Image)
        return nullptr;
    if (!FBitmap)
        FBitmap = CopyOf(Frame(1)->Image.get());
    return FBitmap.get();
}

TBitmap* TGIFImage::GetMask()
{
    if (FEmpty || HeaderOnly || !FTransparent || FFrames.empty() || !Frame(1)->Mask)
        return nullptr;
    if (!FMask)
        FMask = CopyOf(Frame(1)->Mask.get());
    return FMask.get();
}

// ---- Loading ----------------------------------------------------------------------------------

namespace {

std::unique_ptr<TGIFImage> LoadAnimated(const std::function<void(TMemoryStream*)>& Load, bool& NotAnimated)
{
    NotAnimated = true;
    auto Image = std::make_unique<TGIFImage>();
    auto Read = [&] {
        try {
            Load(Image->DataStream());
            return Image->ReadGIFData();
        } catch (const std::exception&) {
            Image->DataStream()->Clear();
            return false;
        }
    };
    Image->HeaderOnly = true;
    if (!Read() || !Image->IsAnimated())
        return nullptr;
    Image->SetAnimate(false);
    Image->SetVisible(false);
    NotAnimated = false;
    Image->HeaderOnly = false;
    if (Read())
        return Image;
    Image.reset();
    if (ImageCache)
        ImageCache->DropUnused();
    return nullptr;
}

} // namespace

std::unique_ptr<TGIFImage> LoadAnimatedGifStream(TStream* Stream, bool& NotAnimated)
{
    return LoadAnimated([Stream](TMemoryStream* Data) { Data->LoadFromStream(Stream); }, NotAnimated);
}

std::unique_ptr<TGIFImage> LoadAnimatedGifFile(const std::string& FileName, bool& NotAnimated)
{
    return LoadAnimated([&FileName](TMemoryStream* Data) { Data->LoadFromFile(FileName); }, NotAnimated);
}

// ---- Rasters ----------------------------------------------------------------------------------

bool ReadGifRasters(const void* Data, std::size_t Size, TGifRasters& Out)
{
    Out = TGifRasters();
    TGifCursor C;
    C.P = static_cast<const std::uint8_t*>(Data);
    C.End = C.P + Size;
    if (C.Left() < 3 || std::memcmp(C.P, "GIF", 3) != 0)
        return false;
    Advance(C, 6);
    TScreen Screen;
    BYTE Global[768];
    ReadScreen(C, Screen, Global);
    Out.ScreenWidth = Screen.Width;
    Out.ScreenHeight = Screen.Height;
    Out.GlobalBits = Screen.GlobalBits;
    std::int64_t Pixels = 0, W = Screen.Width, H = Screen.Height;
    TBlockState State;
    TGifReadBuffers Buffers;
    const bool Ok = ReadBlocks(C, State, [&](TGifCursor& At, TBlockState& S) {
        TDescriptor D;
        if (!ReadDescriptor(At, D))
            return 0;
        if (!CountFrame(D.Width, D.Height, Pixels))
            return -1;
        Cover(W, H, D.Left, D.Top, D.Width, D.Height);
        TGifRaster R;
        R.Left = D.Left;
        R.Top = D.Top;
        R.Width = D.Width;
        R.Height = D.Height;
        R.Interlaced = D.Interlaced;
        R.LocalTable = D.LocalBits > 0;
        R.ColorBits = D.LocalBits;
        R.Disposal = (S.Pending.Packed >> 2) & 7;
        R.Delay = S.Pending.Delay * 10;
        R.Transparent = (S.Pending.Packed & 1) != 0;
        R.TransparentIndex = S.Pending.TransparentIndex;
        R.Comment = S.Comment;
        if (D.Width == 0 || D.Height == 0)
            SkipImageData(At);
        else
            DecodeRaster(At, D.Width, D.Height, D.Interlaced, R.Pixels, Buffers);
        Out.Frames.push_back(std::move(R));
        return 1;
    });
    Out.LoopCount = State.LoopCount;
    return Ok && WithinLimits(W, H);
}
