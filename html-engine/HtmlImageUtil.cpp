#include "html-engine/HtmlImageUtil.h"

#include "html-engine/HtmlParser.h"
#include "html-engine/ImgDecode.h"

#include "platform/app/Application.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/WinGdi.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/WinUser.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

int IntMin(int A, int B)
{
    return A < B ? A : B;
}
int IntMax(int A, int B)
{
    return A > B ? A : B;
}

// ---------------------------------------------------------------------------------------------

TFreeList::~TFreeList()
{
    Clear();
}

void TFreeList::Clear()
{
    // Empty the list first, so an item that looks at its owner while it is freed finds no
    // half-freed neighbours; then free in index order.
    std::vector<void*> Old;
    Old.swap(List());
    TList::Clear();
    for (void* Item : Old)
        delete static_cast<TObject*>(Item);
}

void TFreeList::Notify(void* Ptr, TListNotification Action)
{
    TList::Notify(Ptr, Action);
    if (Action == lnDeleted)
        delete static_cast<TObject*>(Ptr);
}

// ---------------------------------------------------------------------------------------------

void SelTextCount::AddText(const char* Buffer, int Count)
{
    for (int I = 0; I < Count; ++I) {
        unsigned char C = static_cast<unsigned char>(Buffer[I]);
        // Continuation bytes belong to the character their lead byte counted.
        if (C != 2 && C != 4 && (C & 0xC0) != 0x80)
            ++FCount;
    }
}

void SelTextBuf::AddText(const char* Buffer, int Count)
{
    SelTextCount::AddText(Buffer, Count);
    for (int I = 0; I < Count; ++I)
        if (Buffer[I] != 2 && Buffer[I] != 4)
            FText += Buffer[I];
}

void SelTextCount::AddTextCR(const char* Buffer, int Count)
{
    AddText(Buffer, Count);
    AddText("\r\n", 2);
}

// ---------------------------------------------------------------------------------------------

void TUrlTarget::Assign(const std::string* AnURL, const std::string* ATarget)
{
    if (AnURL)
        URL = *AnURL;
    if (ATarget)
        Target = *ATarget;
}

void TUrlTarget::Copy(const TUrlTarget& Source)
{
    URL = Source.URL;
    Target = Source.Target;
}

void TUrlTarget::Clear()
{
    URL.clear();
    Target.clear();
}

// ---------------------------------------------------------------------------------------------

AllocRec::AllocRec(std::size_t ASize) : FSize(ASize)
{
    FData.reset(new (std::nothrow) unsigned char[ASize ? ASize : 1]());
    if (!FData)
        throw EOutOfMemory("Out of memory");
}

// ---------------------------------------------------------------------------------------------

std::string TrimBlanks(const std::string& S)
{
    std::size_t B = 0, E = S.size();
    while (E > 0 && static_cast<unsigned char>(S[E - 1]) <= 32)
        --E;
    while (B < E && static_cast<unsigned char>(S[B]) < 33)
        ++B;
    return S.substr(B, E - B);
}

namespace {

bool IsAsciiLetter(char C)
{
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z');
}

// "C:" or "C|" at Index, alone or followed by "/".
bool IsDriveAt(const std::string& S, std::size_t Index)
{
    return S.size() >= Index + 2 && IsAsciiLetter(S[Index]) && (S[Index + 1] == ':' || S[Index + 1] == '|') &&
           (S.size() == Index + 2 || S[Index + 2] == '/');
}

} // namespace

std::string LinkToDosName(const std::string& Name)
{
    std::string S = Name;
    std::replace(S.begin(), S.end(), '\\', '/');
    if (S.find('/') == std::string::npos)
        return S;
    // Drop the scheme but keep the third slash of "file:///", which is the root here.
    std::string Lower = LowerCase(S);
    std::size_t At = Lower.find("file://");
    if (At != std::string::npos)
        S.erase(At, 7);
    // "/C|/dir" (from "file:///C|/dir") and "C:/dir": a DOS drive, mapped like every other
    // DOS-style name the programs meet.
    if (!S.empty() && S[0] == '/' && IsDriveAt(S, 1))
        S.erase(0, 1);
    if (IsDriveAt(S, 0)) {
        S[1] = ':';
        S = MapPath(S);
    }
    return S;
}

// ---------------------------------------------------------------------------------------------

int TextWidthOf(HDC DC, const char* Text, int Count)
{
    SIZE Size{};
    GetTextExtentPoint32(DC, Text, Count, &Size);
    return Size.cx;
}

void DrawWrapped(TCanvas* Canvas, int Left, int Top, const std::string& Text, int Bottom, int Right)
{
    const TRect Clip = Rect(Left, Top, Right, Bottom);
    const int Limit = Right - Left;
    const int LineHeight = Canvas->TextHeight("A");
    SetTextAlign(Canvas->Handle(), TA_TOP | TA_LEFT);
    std::string Rest = Text;
    std::string Line;
    int Y = Top;
    while (!Rest.empty() && Bottom >= Y + LineHeight) {
        Rest = TrimBlanks(Rest);
        std::string Word;
        std::size_t Blank = Rest.find(' ');
        if (Blank == std::string::npos) {
            Word = Rest;
            Rest.clear();
        } else {
            Word = Rest.substr(0, Blank);
            Rest.erase(0, Blank + 1);
        }
        if (Canvas->TextWidth(Line + Word) > Limit) {
            if (!Line.empty()) {
                Canvas->TextRect(Clip, Left, Y, Line);
                Y += LineHeight;
            }
            Line = Word + " ";
        } else {
            Line += Word + " ";
        }
    }
    if (!Line.empty() && Bottom >= Y + LineHeight)
        Canvas->TextRect(Clip, Left, Y, Line);
}

void DrawControlBox(TCanvas* Canvas, int Left, int Top, bool Raised, int Bottom, int Right)
{
    HDC DC = Canvas->Handle();
    const bool Mono = GetDeviceCaps(DC, BITSPIXEL) == 1 && GetDeviceCaps(DC, PLANES) == 1;
    TPen* Pen = Canvas->Pen();
    TBrush* Brush = Canvas->Brush();
    const int OldWidth = Pen->Width();
    const TPenStyle OldPenStyle = Pen->Style();
    const TBrushStyle OldBrushStyle = Brush->Style();
    const TColor OldBrushColor = Brush->Color();

    Brush->SetColor(clWhite);
    Brush->SetStyle(bsSolid);
    Canvas->FillRect(Rect(Left, Top, Right - 1, Bottom - 1));
    Brush->SetColor(OldBrushColor);
    Brush->SetStyle(OldBrushStyle);

    Pen->SetStyle(psInsideFrame);
    Pen->SetWidth(Mono ? 1 : 2);
    Pen->SetColor(Mono ? clBlack : (Raised ? clSilver : clBtnShadow));
    Canvas->MoveTo(Left, Bottom - 1);
    Canvas->LineTo(Left, Top);
    Canvas->LineTo(Right - 1, Top);
    if (!Mono)
        Pen->SetColor(Raised ? clBtnShadow : clSilver);
    Canvas->LineTo(Right - 1, Bottom - 1);
    Canvas->LineTo(Left, Bottom - 1);

    Pen->SetStyle(OldPenStyle);
    Pen->SetWidth(OldWidth);
}

// ---------------------------------------------------------------------------------------------
// Pictures: engine-wide state

std::uint8_t DepthClass = 24;
std::uint8_t DecodeFlag = 1;
HPALETTE SharedPalette = nullptr;
TBitmap* ImagesOffBitmap = nullptr;
TBitmap* BrokenImageBitmap = nullptr;
TBitmap* BrokenImageMask = nullptr;
TStringBitmapList* ImageCache = nullptr;

namespace {

// Decoding never pumps messages: a load or a layout run from inside a decode could free what
// the decode works for. Only a program on its way out stops it.
int ImageProgress()
{
    return Application && Application->Terminated() ? 0 : 1;
}

const ImgDecode::TImgProgress& Progress()
{
    static const ImgDecode::TImgProgress Callback = ImageProgress;
    return Callback;
}

// A memory DC with one bitmap selected, given back on destruction.
class TSelectedDC {
public:
    explicit TSelectedDC(HBITMAP Bitmap, HDC Like = nullptr) : DC(CreateCompatibleDC(Like))
    {
        if (DC && Bitmap)
            FOld = SelectObject(DC, Bitmap);
    }
    ~TSelectedDC()
    {
        if (!DC)
            return;
        if (FOld)
            SelectObject(DC, FOld);
        DeleteDC(DC);
    }
    TSelectedDC(const TSelectedDC&) = delete;
    TSelectedDC& operator=(const TSelectedDC&) = delete;

    HDC DC;

private:
    HGDIOBJ FOld = nullptr;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Kinds and loading

int GetImageType(const void* Data, std::size_t Size)
{
    const auto* P = static_cast<const unsigned char*>(Data);
    if (!P)
        return itUnknown;
    if (Size >= 5 && std::memcmp(P, "GIF8", 4) == 0)
        return P[4] == '9' ? itGif89 : itGif87;
    if (Size >= 2 && P[0] == 'B' && P[1] == 'M')
        return itBmp;
    if (Size >= 4 && P[0] == 0x89 && P[1] == 'P' && P[2] == 'N' && P[3] == 'G')
        return itPng;
    if (Size >= 2 && P[0] == 0xFF && P[1] == 0xD8)
        return itJpeg;
    return itUnknown;
}

int ImageTypeOfFile(const std::string& FileName)
{
    try {
        TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
        unsigned char Head[11] = {};
        const int Got = File.Read(Head, sizeof(Head));
        return GetImageType(Head, std::size_t(std::max(Got, 0)));
    } catch (const Exception&) {
        return itUnknown;
    }
}

namespace {

// The decoder entries for one kind of source (a file name or a memory stream).
template <class TSource> struct TEntries {
    using TEntry = bool (*)(TSource, int, int, const ImgDecode::TImgProgress&, TBitmap*);
    TEntry Bmp, Gif, Png, Jpeg;
};

template <class TSource>
bool DecodeByKind(int Kind, TSource Source, const TEntries<TSource>& Entries, TBitmap* Bitmap)
{
    const int D = DepthClass, F = DecodeFlag;
    switch (Kind) {
    case itBmp:
        return Entries.Bmp(Source, D, F, Progress(), Bitmap);
    case itGif87:
    case itGif89:
        return Entries.Gif(Source, D, F, Progress(), Bitmap);
    case itPng:
        return Entries.Png(Source, D, F, Progress(), Bitmap);
    case itJpeg:
        return Entries.Jpeg(Source, D, F, Progress(), Bitmap);
    default:
        return false;
    }
}

std::unique_ptr<TBitmap> Loaded(std::unique_ptr<TBitmap> Bitmap, bool Convert)
{
    if (Bitmap->Empty())
        return nullptr;
    return Convert ? ConvertToSharedPalette(std::move(Bitmap)) : std::move(Bitmap);
}

} // namespace

std::unique_ptr<TBitmap> LoadImageFromFile(const std::string& FileName, bool Convert)
{
    static const TEntries<const std::string&> Files{ImgDecode::LoadBmpFile, ImgDecode::LoadGifFile,
                                                    ImgDecode::LoadPngFile, ImgDecode::LoadJpegFile};
    try {
        auto Bitmap = std::make_unique<TBitmap>();
        const int Kind = ImageTypeOfFile(FileName);
        bool Done = false;
        try {
            Done = DecodeByKind<const std::string&>(Kind, FileName, Files, Bitmap.get());
        } catch (const std::exception&) {
            if (Kind != itBmp)
                throw;
        }
        // A BMP the decoder cannot read may still be one the class library reads.
        if (!Done && Kind == itBmp) {
            Bitmap->LoadFromFile(FileName);
            Done = true;
        }
        return Done ? Loaded(std::move(Bitmap), Convert) : nullptr;
    } catch (const std::exception&) {
        return nullptr;
    }
}

std::unique_ptr<TBitmap> LoadImageFromStream(TMemoryStream* Stream, bool Convert)
{
    static const TEntries<TMemoryStream*> Streams{ImgDecode::LoadBmpStream, ImgDecode::LoadGifStream,
                                                  ImgDecode::LoadPngStream, ImgDecode::LoadJpegStream};
    if (!Stream)
        return nullptr;
    try {
        auto Bitmap = std::make_unique<TBitmap>();
        const int Kind = GetImageType(Stream->Memory(), std::size_t(Stream->Size()));
        if (!DecodeByKind<TMemoryStream*>(Kind, Stream, Streams, Bitmap.get()))
            return nullptr;
        return Loaded(std::move(Bitmap), Convert);
    } catch (const std::exception&) {
        return nullptr;
    }
}

namespace {

// The mask for a picture decoded without the shared palette, then the picture the caller keeps.
// Without a shared palette the second decode would give the same pixels, so the first is kept.
template <class TLoad>
std::unique_ptr<TBitmap> LoadMasked(const TLoad& Load, std::uint8_t Transp, TColor GifColor,
                                    std::unique_ptr<TBitmap>& Mask)
{
    const HPALETTE Saved = ImgDecode::DecoderPalette;
    ImgDecode::DecoderPalette = nullptr;
    std::unique_ptr<TBitmap> Plain;
    try {
        Plain = Load(false);
    } catch (...) {
        ImgDecode::DecoderPalette = Saved;
        throw;
    }
    ImgDecode::DecoderPalette = Saved;
    if (!Plain)
        return nullptr;
    Mask = Transp == 2 ? BuildMask(Plain.get(), true, GifColor) : BuildMask(Plain.get(), false, 0);
    if (!Mask)
        return nullptr;
    if (!SharedPalette)
        return ConvertToSharedPalette(std::move(Plain));
    Plain.reset();
    return Load(true);
}

} // namespace

std::unique_ptr<TBitmap> LoadImageWithMask(const std::string& FileName, std::uint8_t& Transp,
                                           std::unique_ptr<TBitmap>& Mask)
{
    if (!FileExists(FileName))
        return nullptr;
    TColor GifColor = 0;
    if (LowerCase(ExtractFileExt(FileName)) == ".gif" && GifTransparentColorOfFile(FileName, GifColor))
        Transp = 2;
    Mask.reset();
    if (Transp == 0)
        return LoadImageFromFile(FileName, true);
    return LoadMasked([&](bool Convert) { return LoadImageFromFile(FileName, Convert); }, Transp, GifColor,
                      Mask);
}

std::unique_ptr<TBitmap> LoadImageWithMaskFromStream(TMemoryStream* Stream, std::uint8_t& Transp,
                                                     std::unique_ptr<TBitmap>& Mask)
{
    if (!Stream || !Stream->Memory() || Stream->Size() < 20)
        return nullptr;
    Stream->SetPosition(0);
    TColor GifColor = 0;
    if (GifTransparentColor(Stream, GifColor))
        Transp = 2;
    Mask.reset();
    if (Transp == 0)
        return LoadImageFromStream(Stream, true);
    return LoadMasked([&](bool Convert) { return LoadImageFromStream(Stream, Convert); }, Transp, GifColor,
                      Mask);
}

// ---------------------------------------------------------------------------------------------
// Transparency

bool GifTransparentColor(TStream* Stream, TColor& Color)
{
    if (!Stream)
        return false;
    // 13 header bytes, a colour table of up to 256 entries, the 8-byte extension and some spare.
    unsigned char Buffer[790] = {};
    const std::int64_t Saved = Stream->Position();
    Stream->SetPosition(0);
    const int Got = Stream->Read(Buffer, sizeof(Buffer));
    Stream->SetPosition(Saved);
    if (GetImageType(Buffer, std::size_t(std::max(Got, 0))) != itGif89)
        return false;
    const std::size_t Entries = std::size_t(1) << ((Buffer[10] & 7) + 1);
    const std::size_t Ext = 13 + 3 * Entries;
    if (Buffer[Ext] != 0x21 || Buffer[Ext + 1] != 0xF9 || (Buffer[Ext + 3] & 1) == 0)
        return false;
    const std::size_t Entry = 13 + 3 * std::size_t(Buffer[Ext + 6]);
    Color = TColor(Buffer[Entry + 2]) << 16 | TColor(Buffer[Entry + 1]) << 8 | TColor(Buffer[Entry]);
    return true;
}

bool GifTransparentColorOfFile(const std::string& FileName, TColor& Color)
{
    try {
        TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
        return GifTransparentColor(&File, Color);
    } catch (const Exception&) {
        return false;
    }
}

std::unique_ptr<TBitmap> BuildMask(TBitmap* Bitmap, bool UseGivenColour, TColor Colour)
{
    if (!Bitmap || Bitmap->Empty())
        return nullptr;
    const int W = Bitmap->Width(), H = Bitmap->Height();
    HPALETTE Palette = Bitmap->Palette();
    TSelectedDC Source(Bitmap->Handle());
    if (!Source.DC)
        return nullptr;
    if (!UseGivenColour)
        Colour = TColor(GetPixel(Source.DC, 0, H - 1));
    HBITMAP Mono = CreateBitmap(W, H, 1, 1, nullptr);
    if (!Mono)
        return nullptr;
    {
        TSelectedDC Target(Mono);
        HPALETTE OldPalette = nullptr;
        if (Palette) {
            OldPalette = SelectPalette(Source.DC, Palette, FALSE);
            RealizePalette(Source.DC);
        }
        // A colour-to-monochrome copy makes the pixels of the source's background colour white.
        const COLORREF OldBack = SetBkColor(Source.DC, COLORREF(Colour) | 0x02000000u);
        BitBlt(Target.DC, 0, 0, W, H, Source.DC, 0, 0, SRCCOPY);
        SetBkColor(Source.DC, OldBack);
        if (Palette)
            SelectPalette(Source.DC, OldPalette, FALSE);
    }
    auto Mask = std::make_unique<TBitmap>();
    Mask->SetHandle(Mono);
    if (Mask->Empty())
        return nullptr;
    return Mask;
}

void StretchDrawTransparent(HDC DC, TBitmap* Image, TBitmap* Mask, int DestHeight, int DestWidth, int Y,
                            int X)
{
    if (!DC || !Image || !Mask || Image->Empty() || Mask->Empty())
        return;
    if (GetDeviceCaps(DC, BITSPIXEL) == 1 && GetDeviceCaps(DC, PLANES) == 1)
        return;
    const int W = Image->Width(), H = Image->Height();
    // The picture is only read: its transparent pixels are blackened in a copy, so the cached
    // picture stays as it was for every other place that shows it.
    HBITMAP Work = CreateBitmap(W, H, 1, 24, nullptr);
    HBITMAP Inverse = CreateBitmap(W, H, 1, 1, nullptr);
    if (Work && Inverse) {
        TSelectedDC Source(Image->Handle(), DC);
        TSelectedDC Copy(Work, DC);
        TSelectedDC MaskDC(Mask->Handle(), DC);
        TSelectedDC InverseDC(Inverse, DC);
        BitBlt(Copy.DC, 0, 0, W, H, Source.DC, 0, 0, SRCCOPY);
        BitBlt(InverseDC.DC, 0, 0, W, H, MaskDC.DC, 0, 0, NOTSRCCOPY);

        const COLORREF OldBack = SetBkColor(DC, RGB(255, 255, 255));
        const COLORREF OldText = SetTextColor(DC, RGB(0, 0, 0));
        const int OldMode = SetStretchBltMode(DC, WHITEONBLACK);
        // Black where the picture goes, the target kept where the mask is white.
        StretchBlt(DC, X, Y, DestWidth, DestHeight, MaskDC.DC, 0, 0, W, H, SRCAND);
        SetBkColor(Copy.DC, RGB(255, 255, 255));
        SetTextColor(Copy.DC, RGB(0, 0, 0));
        BitBlt(Copy.DC, 0, 0, W, H, InverseDC.DC, 0, 0, SRCAND);
        SetStretchBltMode(DC, COLORONCOLOR);
        StretchBlt(DC, X, Y, DestWidth, DestHeight, Copy.DC, 0, 0, W, H, SRCPAINT);
        SetStretchBltMode(DC, OldMode);
        SetTextColor(DC, OldText);
        SetBkColor(DC, OldBack);
    }
    if (Work)
        DeleteObject(Work);
    if (Inverse)
        DeleteObject(Inverse);
}

void StretchDrawBitmap(HDC DC, TBitmap* Bitmap, int X, int Y, int Width, int Height)
{
    if (!DC || !Bitmap || Bitmap->Empty())
        return;
    TSelectedDC Source(Bitmap->Handle(), DC);
    if (!Source.DC)
        return;
    if (Width == Bitmap->Width() && Height == Bitmap->Height()) {
        BitBlt(DC, X, Y, Width, Height, Source.DC, 0, 0, SRCCOPY);
        return;
    }
    const int OldMode = SetStretchBltMode(DC, COLORONCOLOR);
    StretchBlt(DC, X, Y, Width, Height, Source.DC, 0, 0, Bitmap->Width(), Bitmap->Height(), SRCCOPY);
    SetStretchBltMode(DC, OldMode);
}

// ---------------------------------------------------------------------------------------------
// Palette and device-dependent copies

HPALETTE CreateSharedPalette(HDC ScreenDC)
{
    std::vector<std::uint32_t> Block((sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY)) / 4 + 1);
    auto* Log = reinterpret_cast<LOGPALETTE*>(Block.data());
    Log->palVersion = 0x300;
    Log->palNumEntries = 256;
    PALETTEENTRY* E = Log->palPalEntry;
    GetSystemPaletteEntries(ScreenDC, 0, 256, E);
    static const BYTE Levels[6] = {55, 115, 165, 205, 235, 255};
    int I = 10;
    for (BYTE B : Levels)
        for (BYTE G : Levels)
            for (BYTE R : Levels) {
                if (R == 255 && G == 255 && B == 255)
                    continue; // white is one of the static colours
                E[I++] = PALETTEENTRY{R, G, B, 0};
            }
    for (int Grey = 135; Grey <= 250; Grey += 5)
        E[I++] = PALETTEENTRY{BYTE(Grey), BYTE(Grey), BYTE(Grey), 0};
    for (int K = 0; K < 256; ++K)
        E[K].peFlags = 0;
    return CreatePalette(Log);
}

TDib::TDib(HDC DC, TBitmap* Bitmap)
{
    if (!Bitmap)
        throw EOutOfMemory("Out of memory");
    HPALETTE Palette = Bitmap->Palette();
    HBITMAP Handle = Bitmap->Handle();
    BITMAP Object;
    if (!Handle || GetObject(Handle, sizeof(Object), &Object) <= 0)
        throw EOutOfMemory("Out of memory");
    const int Bits = Object.bmPlanes * Object.bmBitsPixel;
    const std::size_t Colours = Bits <= 8 ? std::size_t(1) << Bits : 0;
    FInfo.assign((sizeof(BITMAPINFOHEADER) + Colours * sizeof(RGBQUAD) + 3) / 4, 0);
    BITMAPINFOHEADER& Header = MutableInfo()->bmiHeader;
    Header.biSize = 40;
    Header.biWidth = Object.bmWidth;
    Header.biHeight = Object.bmHeight;
    Header.biPlanes = 1;
    Header.biBitCount = WORD(Bits);
    Header.biCompression = BI_RGB;
    const std::size_t Row = (std::size_t(Bits) * std::size_t(Object.bmWidth) + 31) / 32 * 4;
    Header.biSizeImage = DWORD(Row * std::size_t(Object.bmHeight));
    FBits.assign(Row * std::size_t(Object.bmHeight), 0);
    HPALETTE OldPalette = nullptr;
    if (DC && Palette) {
        OldPalette = SelectPalette(DC, Palette, FALSE);
        RealizePalette(DC);
    }
    const int Got =
        GetDIBits(DC, Handle, 0, UINT(Object.bmHeight), FBits.data(), MutableInfo(), DIB_RGB_COLORS);
    if (DC && Palette)
        SelectPalette(DC, OldPalette, FALSE);
    if (Got == 0) {
        if (!DC && ImageCache)
            ImageCache->DropUnused();
        throw EOutOfMemory("Out of memory");
    }
}

void TDib::StretchTo(HDC DC, int X, int Y, int W, int H, DWORD Rop)
{
    const BITMAPINFOHEADER& Header = Info()->bmiHeader;
    StretchDIBits(DC, X, Y, W, H, 0, 0, Header.biWidth, Header.biHeight, Bits(), Info(), DIB_RGB_COLORS, Rop);
}

HBITMAP TDib::ToBitmap(HDC DC)
{
    return CreateDIBitmap(DC, &Info()->bmiHeader, CBM_INIT, Bits(), Info(), DIB_RGB_COLORS);
}

std::unique_ptr<TBitmap> ConvertToSharedPalette(std::unique_ptr<TBitmap> Bitmap)
{
    if (!Bitmap)
        return nullptr;
    HBITMAP Made = nullptr;
    {
        TSelectedDC Memory(Bitmap->Handle());
        HPALETTE OldPalette = nullptr;
        if (SharedPalette) {
            OldPalette = SelectPalette(Memory.DC, SharedPalette, FALSE);
            RealizePalette(Memory.DC);
        }
        try {
            TDib Dib(Memory.DC, Bitmap.get());
            Made = Dib.ToBitmap(Memory.DC);
        } catch (...) {
            if (SharedPalette)
                SelectPalette(Memory.DC, OldPalette, FALSE);
            throw;
        }
        if (SharedPalette)
            SelectPalette(Memory.DC, OldPalette, FALSE);
    }
    if (!Made)
        return Bitmap; // the picture as it came is still better than none
    auto Converted = std::make_unique<TBitmap>();
    Converted->SetHandle(Made);
    return Converted;
}

// ---------------------------------------------------------------------------------------------
// The image cache

TBitmapItem::TBitmapItem(std::unique_ptr<TObject> AImage, std::uint8_t Transparency,
                         std::unique_ptr<TBitmap> AMask)
    : MaskKind(Transparency), Picture(std::move(AImage)), MaskBitmap(std::move(AMask))
{
}

TStringBitmapList::TStringBitmapList()
{
    SetSorted(true);
    // One entry per name: a second picture under a name already cached is refused.
    Duplicates = dupError;
}

TStringBitmapList::~TStringBitmapList()
{
    Clear();
}

int TStringBitmapList::AddObject(const std::string& S, TObject* AObject)
{
    const int Result = TStringList::AddObject(S, AObject);
    ++Item(Result)->Users;
    return Result;
}

TObject* TStringBitmapList::Take(int Index)
{
    TBitmapItem* Entry = Item(Index);
    Entry->Age = 0;
    ++Entry->Users;
    return Entry->Picture.get();
}

void TStringBitmapList::Release(const std::string& Key)
{
    const int Index = IndexOf(Key);
    if (Index >= 0)
        --Item(Index)->Users;
}

void TStringBitmapList::FreeEntry(int Index)
{
    TBitmapItem* Entry = Item(Index);
    Delete(Index);
    delete Entry;
}

void TStringBitmapList::AgeAll()
{
    for (int I = Count() - 1; I >= 0; --I) {
        TBitmapItem* Entry = Item(I);
        ++Entry->Age;
        if (Entry->Age > MaxAge && Entry->Users < 1)
            FreeEntry(I);
    }
}

void TStringBitmapList::SetMaxAge(int N)
{
    for (int I = Count() - 1; I >= 0; --I)
        if (Item(I)->Age > N && Item(I)->Users <= 0)
            FreeEntry(I);
    MaxAge = N;
}

void TStringBitmapList::DropUnused()
{
    for (int I = Count() - 1; I >= 0; --I)
        if (Item(I)->Users < 1)
            FreeEntry(I);
}

void TStringBitmapList::Clear()
{
    std::vector<TBitmapItem*> Items;
    for (int I = 0; I < Count(); ++I)
        Items.push_back(Item(I));
    TStringList::Clear();
    for (TBitmapItem* Entry : Items)
        delete Entry;
}

void TImageHold::HoldEntry(const std::string& Key)
{
    Drop();
    FKey = Key;
}

void TImageHold::Own(std::unique_ptr<TObject> Picture, std::unique_ptr<TBitmap> Mask)
{
    Drop();
    FPicture = std::move(Picture);
    FMask = std::move(Mask);
}

void TImageHold::CopyTo(TImageHold& Other, TObject*& Picture, TBitmap*& Mask) const
{
    Other.Drop();
    if (!FKey.empty() && ImageCache) {
        const int Index = ImageCache->IndexOf(FKey);
        if (Index >= 0) {
            const TBitmapItem* Entry = ImageCache->Item(Index);
            ++ImageCache->Item(Index)->Users;
            Other.FKey = FKey;
            Picture = Entry->Picture.get();
            Mask = Entry->MaskBitmap.get();
        }
        return;
    }
    if (auto* Bitmap = dynamic_cast<TBitmap*>(FPicture.get())) {
        auto Copy = std::make_unique<TBitmap>();
        Copy->Assign(Bitmap);
        Picture = Copy.get();
        Other.FPicture = std::move(Copy);
    }
    if (FMask) {
        auto Copy = std::make_unique<TBitmap>();
        Copy->Assign(FMask.get());
        Mask = Copy.get();
        Other.FMask = std::move(Copy);
    }
}

void TImageHold::Drop()
{
    if (!FKey.empty() && ImageCache)
        ImageCache->Release(FKey);
    FKey.clear();
    FPicture.reset();
    FMask.reset();
}

// ---------------------------------------------------------------------------------------------
// Image maps

TMapItem::~TMapItem()
{
    for (HRGN Region : AreaRegions)
        DeleteObject(Region);
}

namespace {

// COORDS: numbers at commas, each piece cut to 15 characters; a piece that is no number counts
// as 0; the list stops at the first empty piece and after 201 numbers.
std::vector<int> CoordsOf(const std::string& Text)
{
    std::vector<int> Out;
    std::size_t Start = 0;
    while (Out.size() < 201) {
        const std::size_t Comma = Text.find(',', Start);
        const std::string Piece =
            Text.substr(Start, Comma == std::string::npos ? std::string::npos : Comma - Start);
        if (Piece.empty())
            break;
        Out.push_back(StrToIntDef(TrimBlanks(Piece.substr(0, 15)), 0));
        if (Comma == std::string::npos)
            break;
        Start = Comma + 1;
    }
    return Out;
}

int Clamped(std::int64_t V)
{
    return int(std::clamp<std::int64_t>(V, INT_MIN, INT_MAX));
}

} // namespace

void TMapItem::AddArea(TAttributeList* Attributes)
{
    if (!Attributes)
        return;
    enum { Rectangle, Circle, Polygon } Shape = Rectangle;
    std::string Href, Target;
    std::vector<int> Coords;
    for (int I = 0; I < Attributes->Count(); ++I) {
        TAttribute* A = Attributes->Attr(I);
        switch (A->Which) {
        case HrefSy:
            Href = A->Text;
            break;
        case ShapeSy: {
            const std::string S = LowerCase(A->Text).substr(0, 4);
            Shape = S == "circ" ? Circle : S == "poly" ? Polygon : Rectangle;
            break;
        }
        case CoordsSy:
            Coords = CoordsOf(A->Text);
            break;
        case NoHrefSy:
            Href.clear();
            break;
        case TargetSy:
            Target = A->Text;
            break;
        default:
            break;
        }
    }
    HRGN Region = nullptr;
    const std::size_t N = Coords.size();
    if (Shape == Rectangle && N >= 4) {
        Region = CreateRectRgn(Coords[0], Coords[1], Clamped(Coords[2] + std::int64_t(1)),
                               Clamped(Coords[3] + std::int64_t(1)));
    } else if (Shape == Circle && N >= 3) {
        const std::int64_t X = Coords[0], Y = Coords[1], R = Coords[2];
        Region = CreateEllipticRgn(Clamped(X - R), Clamped(Y - R), Clamped(X + R + 1), Clamped(Y + R + 1));
    } else if (Shape == Polygon && N >= 6) {
        std::vector<POINT> Points(N / 2);
        for (std::size_t I = 0; I < Points.size(); ++I)
            Points[I] = POINT{Coords[2 * I], Coords[2 * I + 1]};
        Region = CreatePolygonRgn(Points.data(), int(Points.size()), WINDING);
    }
    if (!Region)
        return;
    Areas.Add(Href);
    AreaTargets.Add(Target);
    AreaRegions.push_back(Region);
}

bool TMapItem::GetURL(int X, int Y, TUrlTarget& UrlTarget) const
{
    for (std::size_t I = 0; I < AreaRegions.size(); ++I) {
        if (!PtInRegion(AreaRegions[I], X, Y))
            continue;
        const std::string Link = Areas[int(I)];
        if (Link.empty())
            return false;
        const std::string Target = AreaTargets[int(I)];
        UrlTarget.Assign(&Link, &Target);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Start-up and shut-down

void HtmlImageInit()
{
    if (ImageCache)
        return;
    AddExitProc(HtmlImageDone);
    HDC Screen = GetDC(nullptr);
    try {
        DepthClass = std::uint8_t(ImgDecode::ScreenDepthClass(Screen));
        DecodeFlag = 1;
        SharedPalette = DepthClass == 8 ? CreateSharedPalette(Screen) : nullptr;
        ImgDecode::DecoderPalette = SharedPalette;
    } catch (...) {
        ReleaseDC(nullptr, Screen);
        throw;
    }
    ReleaseDC(nullptr, Screen);
    ImgDecode::DecodeOptions = 0;
    auto FromResource = [](int Id) {
        auto* Bitmap = new TBitmap;
        try {
            Bitmap->LoadFromResourceID(HINSTANCE(GetModuleHandle(nullptr)), Id);
        } catch (const Exception&) {
            // A program built without the engine's pictures shows empty stand-ins.
        }
        return Bitmap;
    };
    ImagesOffBitmap = FromResource(1002);
    BrokenImageBitmap = FromResource(1001);
    BrokenImageMask = FromResource(1005);
    // The hand over links; a later start-up step may put its own hand into the same slot.
    if (HCURSOR Hand = LoadCursor(GetModuleHandle(nullptr), TW_MAKEINTRESOURCE(1003)))
        ScreenInstance()->SetCursors(1, Hand);
    ImageCache = new TStringBitmapList;
}

void HtmlImageDone()
{
    if (SharedPalette) {
        if (ImgDecode::DecoderPalette == SharedPalette)
            ImgDecode::DecoderPalette = nullptr;
        DeleteObject(SharedPalette);
        SharedPalette = nullptr;
    }
    delete ImagesOffBitmap;
    ImagesOffBitmap = nullptr;
    delete BrokenImageBitmap;
    BrokenImageBitmap = nullptr;
    delete BrokenImageMask;
    BrokenImageMask = nullptr;
    delete ImageCache;
    ImageCache = nullptr;
}
