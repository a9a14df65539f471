// Device-independent bitmaps: reading and writing bitmap pixels in DIB layouts (1, 4, 8, 16, 24
// and 32 bits per pixel, bottom-up or top-down rows padded to 32 bits), and drawing DIBs.
#include "platform/qt/GdiPrivate.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace gdi {
namespace {

constexpr int MaxSide = 32768;

struct TDibLayout {
    int Width = 0, Height = 0; // Height > 0 always
    bool BottomUp = true;
    int Bpp = 0;
    int Stride = 0;
    int Colours = 0; // colour table entries
    DWORD Masks[3] = {0x7C00, 0x03E0, 0x001F};
    const std::uint8_t* Table = nullptr;
};

bool Layout(const BITMAPINFO* Info, TDibLayout& L)
{
    if (!Info)
        return false;
    const BITMAPINFOHEADER& H = Info->bmiHeader;
    if (H.biSize < 40 || H.biWidth <= 0 || H.biHeight == 0 || H.biWidth > MaxSide ||
        std::abs(H.biHeight) > MaxSide)
        return false;
    L.Width = H.biWidth;
    L.Height = std::abs(H.biHeight);
    L.BottomUp = H.biHeight > 0;
    L.Bpp = H.biBitCount;
    if (L.Bpp != 1 && L.Bpp != 4 && L.Bpp != 8 && L.Bpp != 16 && L.Bpp != 24 && L.Bpp != 32)
        return false;
    if (H.biCompression != BI_RGB && !(H.biCompression == BI_BITFIELDS && (L.Bpp == 16 || L.Bpp == 32)))
        return false;
    L.Stride = ((L.Width * L.Bpp + 31) / 32) * 4;
    const auto* After = reinterpret_cast<const std::uint8_t*>(Info) + H.biSize;
    if (L.Bpp <= 8) {
        L.Colours = H.biClrUsed ? int(std::min<DWORD>(H.biClrUsed, 1u << L.Bpp)) : (1 << L.Bpp);
        L.Table = After;
    } else if (H.biCompression == BI_BITFIELDS) {
        std::memcpy(L.Masks, After, sizeof L.Masks);
    } else if (L.Bpp == 32) {
        L.Masks[0] = 0xFF0000;
        L.Masks[1] = 0xFF00;
        L.Masks[2] = 0xFF;
    }
    return true;
}

int MaskValue(DWORD V, DWORD Mask)
{
    if (!Mask)
        return 0;
    int Shift = 0;
    while (!((Mask >> Shift) & 1))
        ++Shift;
    const DWORD Max = Mask >> Shift;
    return int((((V & Mask) >> Shift) * 255 + Max / 2) / Max);
}

std::vector<QRgb> ColourTable(const TDibLayout& L, UINT Usage, const TDc* Dc)
{
    std::vector<QRgb> T(std::size_t(L.Colours), 0xFF000000u);
    for (int I = 0; I < L.Colours; ++I) {
        if (Usage == DIB_PAL_COLORS) {
            WORD Index;
            std::memcpy(&Index, L.Table + I * 2, 2);
            T[std::size_t(I)] = PixelOf(nullptr, ResolveColor(Dc, PALETTEINDEX(Index))) | 0xFF000000u;
        } else {
            const std::uint8_t* Q = L.Table + I * 4;
            T[std::size_t(I)] = qRgb(Q[2], Q[1], Q[0]);
        }
    }
    return T;
}

QRgb ReadPixel(const TDibLayout& L, const std::vector<QRgb>& Table, const std::uint8_t* Row, int X)
{
    auto Indexed = [&](int I) { return I < int(Table.size()) ? Table[std::size_t(I)] : 0xFF000000u; };
    switch (L.Bpp) {
    case 1:
        return Indexed((Row[X >> 3] >> (7 - (X & 7))) & 1);
    case 4:
        return Indexed((Row[X >> 1] >> ((X & 1) ? 0 : 4)) & 15);
    case 8:
        return Indexed(Row[X]);
    case 16: {
        const DWORD V = Row[X * 2] | (Row[X * 2 + 1] << 8);
        return qRgb(MaskValue(V, L.Masks[0]), MaskValue(V, L.Masks[1]), MaskValue(V, L.Masks[2]));
    }
    case 24:
        return qRgb(Row[X * 3 + 2], Row[X * 3 + 1], Row[X * 3]);
    default: {
        DWORD V;
        std::memcpy(&V, Row + X * 4, 4);
        return qRgb(MaskValue(V, L.Masks[0]), MaskValue(V, L.Masks[1]), MaskValue(V, L.Masks[2]));
    }
    }
}

// The DIB as a top-down RGB32 image. Rows outside [Start, Start + Lines) (DIB order) stay black.
QImage DecodeRows(const TDibLayout& L, const void* Bits, UINT Usage, const TDc* Dc, int Start, int Lines)
{
    QImage Img(L.Width, L.Height, QImage::Format_RGB32);
    if (Img.isNull())
        return Img;
    Img.fill(0xFF000000u);
    const std::vector<QRgb> Table = ColourTable(L, Usage, Dc);
    const auto* Src = static_cast<const std::uint8_t*>(Bits);
    for (int R = std::max(Start, 0); R < std::min(Start + Lines, L.Height); ++R) {
        const std::uint8_t* Row = Src + std::size_t(R - Start) * std::size_t(L.Stride);
        const int Y = L.BottomUp ? L.Height - 1 - R : R;
        auto* D = reinterpret_cast<QRgb*>(Img.scanLine(Y));
        if (L.Bpp == 32 && L.Masks[0] == 0xFF0000 && L.Masks[1] == 0xFF00 && L.Masks[2] == 0xFF) {
            std::memcpy(D, Row, std::size_t(L.Width) * 4); // already B, G, R, x in memory
            for (int X = 0; X < L.Width; ++X)
                D[X] |= 0xFF000000u;
        } else {
            for (int X = 0; X < L.Width; ++X)
                D[X] = ReadPixel(L, Table, Row, X);
        }
    }
    return Img;
}

const QRgb Vga[16] = {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
                      qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
                      qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
                      qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};

std::vector<QRgb> OutputTable(int Bpp)
{
    std::vector<QRgb> T;
    if (Bpp == 1) {
        T = {0xFF000000u, 0xFFFFFFFFu};
    } else if (Bpp == 4) {
        T.assign(std::begin(Vga), std::end(Vga));
    } else if (Bpp == 8) {
        PALETTEENTRY E[256];
        GetSystemPaletteEntries(nullptr, 0, 256, E);
        for (const PALETTEENTRY& P : E)
            T.push_back(qRgb(P.peRed, P.peGreen, P.peBlue));
    }
    return T;
}

int Nearest(const std::vector<QRgb>& T, QRgb C, std::unordered_map<QRgb, int>& Cache)
{
    const auto It = Cache.find(C);
    if (It != Cache.end())
        return It->second;
    int Best = 0;
    long BestD = -1;
    for (std::size_t I = 0; I < T.size(); ++I) {
        const long Dr = qRed(T[I]) - qRed(C), Dg = qGreen(T[I]) - qGreen(C), Db = qBlue(T[I]) - qBlue(C);
        const long D = Dr * Dr + Dg * Dg + Db * Db;
        if (BestD < 0 || D < BestD) {
            BestD = D;
            Best = int(I);
        }
    }
    Cache.emplace(C, Best);
    return Best;
}

} // namespace
} // namespace gdi

using namespace gdi;

int GetDIBits(HDC DC, HBITMAP Bitmap, UINT Start, UINT Lines, void* Bits, BITMAPINFO* Info, UINT Usage)
{
    TBitmap* B = LookupAs<TBitmap>(Bitmap, TKind::Bitmap);
    if (!B || !Info || Info->bmiHeader.biSize < 40)
        return 0;
    BITMAPINFOHEADER& H = Info->bmiHeader;
    const int W = B->Image.width(), Ht = B->Image.height();
    if (H.biBitCount == 0) {
        H.biWidth = W;
        H.biHeight = Ht;
        H.biPlanes = 1;
        H.biBitCount = WORD(B->Mono ? 1 : (B->BitsPixel == 32 ? 32 : 24));
        H.biCompression = BI_RGB;
        H.biSizeImage = DWORD(((W * H.biBitCount + 31) / 32) * 4 * Ht);
        H.biClrUsed = 0;
        H.biClrImportant = 0;
        if (!Bits)
            return Ht;
    }
    const int Bpp = H.biBitCount;
    if (Bpp != 1 && Bpp != 4 && Bpp != 8 && Bpp != 16 && Bpp != 24 && Bpp != 32)
        return 0;
    if (H.biWidth == 0)
        H.biWidth = W;
    if (H.biHeight == 0)
        H.biHeight = Ht;
    const bool BottomUp = H.biHeight > 0;
    const int Stride = ((W * Bpp + 31) / 32) * 4;
    const std::vector<QRgb> Table = OutputTable(Bpp);
    H.biSizeImage = DWORD(Stride * Ht);
    if (Bpp <= 8) {
        H.biClrUsed = 0;
        auto* Q = reinterpret_cast<std::uint8_t*>(Info) + H.biSize;
        for (std::size_t I = 0; I < Table.size(); ++I) {
            if (Usage == DIB_PAL_COLORS) {
                const WORD V = WORD(I);
                std::memcpy(Q + I * 2, &V, 2);
            } else {
                Q[I * 4] = qBlue(Table[I]);
                Q[I * 4 + 1] = qGreen(Table[I]);
                Q[I * 4 + 2] = qRed(Table[I]);
                Q[I * 4 + 3] = 0;
            }
        }
    }
    if (!Bits)
        return Ht;
    (void)DC;
    std::unordered_map<QRgb, int> Cache;
    int Copied = 0;
    auto* Out = static_cast<std::uint8_t*>(Bits);
    for (UINT R = Start; R < Start + Lines && R < UINT(Ht); ++R, ++Copied) {
        std::uint8_t* Row = Out + std::size_t(R - Start) * std::size_t(Stride);
        std::memset(Row, 0, std::size_t(Stride));
        const int Y = BottomUp ? Ht - 1 - int(R) : int(R);
        const auto* Src = reinterpret_cast<const QRgb*>(B->Image.constScanLine(Y));
        if (Bpp == 32) {
            // B, G, R, 0 in memory; the caller's buffer need not be aligned.
            for (int X = 0; X < W; ++X) {
                const QRgb V = Src[X] & 0xFFFFFFu;
                std::memcpy(Row + std::size_t(X) * 4, &V, 4);
            }
            continue;
        }
        for (int X = 0; X < W; ++X) {
            const QRgb P = Src[X] | 0xFF000000u;
            switch (Bpp) {
            case 1:
                if (Nearest(Table, P, Cache))
                    Row[X >> 3] |= std::uint8_t(0x80 >> (X & 7));
                break;
            case 4:
                Row[X >> 1] |= std::uint8_t(Nearest(Table, P, Cache) << ((X & 1) ? 0 : 4));
                break;
            case 8:
                Row[X] = std::uint8_t(Nearest(Table, P, Cache));
                break;
            case 16: {
                const unsigned V = ((qRed(P) >> 3) << 10) | ((qGreen(P) >> 3) << 5) | (qBlue(P) >> 3);
                Row[X * 2] = std::uint8_t(V);
                Row[X * 2 + 1] = std::uint8_t(V >> 8);
                break;
            }
            case 24:
                Row[X * 3] = qBlue(P);
                Row[X * 3 + 1] = qGreen(P);
                Row[X * 3 + 2] = qRed(P);
                break;
            default:
                Row[X * 4] = qBlue(P);
                Row[X * 4 + 1] = qGreen(P);
                Row[X * 4 + 2] = qRed(P);
                Row[X * 4 + 3] = 0;
            }
        }
    }
    return Copied;
}

int SetDIBits(HDC DC, HBITMAP Bitmap, UINT Start, UINT Lines, const void* Bits, const BITMAPINFO* Info,
              UINT Usage)
{
    TBitmap* B = LookupAs<TBitmap>(Bitmap, TKind::Bitmap);
    TDibLayout L;
    if (!B || B->Stock || !Bits || !Layout(Info, L))
        return 0;
    const QImage Img = DecodeRows(L, Bits, Usage, DC ? DcOf(DC) : nullptr, int(Start), int(Lines));
    if (Img.isNull())
        return 0;
    const int W = std::min(L.Width, B->Image.width());
    int Copied = 0;
    for (int R = int(Start); R < int(Start + Lines) && R < L.Height; ++R, ++Copied) {
        // DIB row R of a bitmap-sized DIB lands on the same bitmap row.
        const int Y = L.BottomUp ? B->Image.height() - 1 - R : R;
        if (Y < 0 || Y >= B->Image.height())
            continue;
        const auto* S = reinterpret_cast<const QRgb*>(Img.constScanLine(L.BottomUp ? L.Height - 1 - R : R));
        auto* D = reinterpret_cast<QRgb*>(B->Image.scanLine(Y));
        for (int X = 0; X < W; ++X)
            D[X] = B->Mono ? Mono(S[X]) : S[X];
    }
    return Copied;
}

HBITMAP CreateDIBitmap(HDC DC, const BITMAPINFOHEADER* Header, DWORD Init, const void* Bits,
                       const BITMAPINFO* Info, UINT Usage)
{
    if (!Header || Header->biWidth <= 0 || Header->biHeight == 0)
        return nullptr;
    TDc* Dc = DC ? DcOf(DC) : nullptr;
    const bool Mono = Dc && Dc->Mono();
    HBITMAP Bm = CreateBitmap(Header->biWidth, std::abs(Header->biHeight), 1, Mono ? 1 : 24, nullptr);
    if (!Bm)
        return nullptr;
    if ((Init & CBM_INIT) && Bits && Info)
        SetDIBits(DC, Bm, 0, UINT(std::abs(Header->biHeight)), Bits, Info, Usage);
    return Bm;
}

namespace {

int DrawDib(HDC DC, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc, int YSrc, int SrcWidth,
            int SrcHeight, const void* Bits, const BITMAPINFO* Info, UINT Usage, DWORD Rop, int Start,
            int Lines, bool Stretch)
{
    TDc* Dc = DcOf(DC);
    TDibLayout L;
    if (!Dc || !Bits || !Layout(Info, L))
        return 0;
    const QImage Img = DecodeRows(L, Bits, Usage, Dc, Start, Lines);
    if (Img.isNull())
        return 0;
    // Source y counts from the bottom of a bottom-up DIB.
    const int Top = L.BottomUp ? L.Height - (YSrc + std::abs(SrcHeight)) : YSrc;
    HDC Mem = CreateCompatibleDC(DC);
    HBITMAP Bm = CreateBitmapFromImage(Img);
    HGDIOBJ Old = SelectObject(Mem, Bm);
    BOOL Ok;
    if (Stretch)
        Ok = StretchBlt(DC, XDest, YDest, DestWidth, DestHeight, Mem, XSrc, Top, SrcWidth, SrcHeight, Rop);
    else
        Ok = BitBlt(DC, XDest, YDest, DestWidth, DestHeight, Mem, XSrc, Top, Rop);
    SelectObject(Mem, Old);
    DeleteObject(Bm);
    DeleteDC(Mem);
    return Ok ? std::abs(SrcHeight) : 0;
}

} // namespace

int StretchDIBits(HDC DC, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc, int YSrc,
                  int SrcWidth, int SrcHeight, const void* Bits, const BITMAPINFO* Info, UINT Usage,
                  DWORD Rop)
{
    TDibLayout L;
    if (!Layout(Info, L))
        return 0;
    return DrawDib(DC, XDest, YDest, DestWidth, DestHeight, XSrc, YSrc, SrcWidth, SrcHeight, Bits, Info,
                   Usage, Rop, 0, L.Height, true);
}

int SetDIBitsToDevice(HDC DC, int XDest, int YDest, DWORD Width, DWORD Height, int XSrc, int YSrc,
                      UINT StartScan, UINT Lines, const void* Bits, const BITMAPINFO* Info, UINT Usage)
{
    if (DrawDib(DC, XDest, YDest, int(Width), int(Height), XSrc, YSrc, int(Width), int(Height), Bits, Info,
                Usage, SRCCOPY, int(StartScan), int(Lines), false))
        return int(Lines);
    return 0;
}

HBRUSH CreateDIBPatternBrushPt(const void* PackedDib, UINT Usage)
{
    const auto* Info = static_cast<const BITMAPINFO*>(PackedDib);
    TDibLayout L;
    if (!Layout(Info, L))
        return nullptr;
    const auto* Base = static_cast<const std::uint8_t*>(PackedDib);
    std::size_t Offset = Info->bmiHeader.biSize;
    if (L.Bpp <= 8)
        Offset += std::size_t(L.Colours) * (Usage == DIB_PAL_COLORS ? 2 : 4);
    else if (Info->bmiHeader.biCompression == BI_BITFIELDS)
        Offset += 12;
    const QImage Img = DecodeRows(L, Base + Offset, Usage, nullptr, 0, L.Height);
    if (Img.isNull())
        return nullptr;
    EnsureInit();
    auto* B = new TBrush;
    B->Style = BS_DIBPATTERNPT;
    B->Pattern = Img;
    B->PatternHandle = reinterpret_cast<std::uintptr_t>(PackedDib);
    return Register(B);
}
