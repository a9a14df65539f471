// TIcon, the icon handle store, and TPicture.
#include "platform/graphics/Graphics.h"
#include "platform/graphics/GraphicsPrivate.h"
#include "platform/graphics/Resources.h"
#include "platform/rtl/Streams.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <typeinfo>

using namespace gfx;

// ---------------------------------------------------------------------------------------------
// The icon handle store

namespace {

struct TIconStore {
    std::map<std::uintptr_t, std::shared_ptr<const TIconImage>> Icons;
    std::uintptr_t Next = 0x1000;
};

// Never destroyed: icons held in static objects may be freed after the last static destructor.
TIconStore& IconStore()
{
    static TIconStore* Store = new TIconStore;
    return *Store;
}

bool IsTransparentPixel(const TIconImage& Image, std::size_t Index)
{
    if (Index < Image.Mask.size() && Image.Mask[Index])
        return true;
    return (Image.Image.Pixels[Index] >> 24) < 0x80;
}

} // namespace

HICON CreateIconHandle(const TIconImage& Image)
{
    TIconStore& Store = IconStore();
    // Step by 16 so a handle never looks like a small integer or a system colour brush.
    const std::uintptr_t Id = Store.Next;
    Store.Next += 16;
    Store.Icons[Id] = std::make_shared<const TIconImage>(Image);
    return reinterpret_cast<HICON>(Id);
}

std::shared_ptr<const TIconImage> IconHandleImage(HICON Icon)
{
    TIconStore& Store = IconStore();
    auto It = Store.Icons.find(reinterpret_cast<std::uintptr_t>(Icon));
    return It == Store.Icons.end() ? nullptr : It->second;
}

bool DestroyIconHandle(HICON Icon)
{
    return IconStore().Icons.erase(reinterpret_cast<std::uintptr_t>(Icon)) > 0;
}

void DrawIconImage(HDC DC, int X, int Y, const TIconImage& Image, int Width, int Height)
{
    const TDibImage& Dib = Image.Image;
    if (!DC || Dib.Width <= 0 || Dib.Height <= 0 ||
        Dib.Pixels.size() < std::size_t(Dib.Width) * std::size_t(Dib.Height))
        return;
    if (Width <= 0)
        Width = Dib.Width;
    if (Height <= 0)
        Height = Dib.Height;
    std::vector<std::uint32_t> Pixels(Dib.Pixels.size());
    std::vector<std::uint8_t> Mask(Dib.Pixels.size());
    // At the icon's own size, partly transparent edge pixels are blended with what is below.
    const bool Blend = Width == Dib.Width && Height == Dib.Height;
    for (std::size_t I = 0; I < Pixels.size(); ++I) {
        const std::uint32_t P = Dib.Pixels[I];
        const std::uint32_t A = P >> 24;
        Mask[I] = IsTransparentPixel(Image, I) ? 1 : 0;
        Pixels[I] = P | 0xFF000000u;
        if (!Blend || A == 0 || A == 0xFF || (I < Image.Mask.size() && Image.Mask[I]))
            continue;
        const int PX = X + int(I % std::size_t(Dib.Width)), PY = Y + int(I / std::size_t(Dib.Width));
        const COLORREF Below = GetPixel(DC, PX, PY);
        if (Below == CLR_INVALID)
            continue;
        auto Mix = [A](std::uint32_t S, std::uint32_t D) { return (S * A + D * (0xFF - A) + 127) / 0xFF; };
        Pixels[I] = 0xFF000000u | (Mix((P >> 16) & 0xFF, GetRValue(Below)) << 16) |
                    (Mix((P >> 8) & 0xFF, GetGValue(Below)) << 8) | Mix(P & 0xFF, GetBValue(Below));
        Mask[I] = 0;
    }
    HBITMAP Colour = CreateBitmap(Dib.Width, Dib.Height, 1, 32, nullptr);
    HBITMAP MaskBitmap = CreateMonoBitmap(Dib.Width, Dib.Height, Mask);
    if (Colour && MaskBitmap) {
        WritePixels(Colour, Dib.Width, Dib.Height, Pixels);
        TMemoryDC Src(Colour), MaskDC(MaskBitmap);
        const int OldStretch = SetStretchBltMode(DC, STRETCH_DELETESCANS);
        StretchTransparent(DC, Bounds(X, Y, Width, Height), Src.DC, 0, 0, Dib.Width, Dib.Height, MaskDC.DC, 0,
                           0);
        SetStretchBltMode(DC, OldStretch);
    }
    if (Colour)
        DeleteObject(Colour);
    if (MaskBitmap)
        DeleteObject(MaskBitmap);
}

// ---------------------------------------------------------------------------------------------
// TIcon

namespace {
// The size an icon is read at when its file holds several: the classic large icon.
constexpr int IconSize = 32;
const TIconImage EmptyIconImage;
} // namespace

TIcon::TIcon() = default;

TIcon::~TIcon()
{
    FreeHandle();
}

void TIcon::FreeHandle()
{
    if (FHandle)
        DestroyIconHandle(FHandle);
    FHandle = nullptr;
}

bool TIcon::Empty() const
{
    return !FImage || FImage->Image.Empty();
}
int TIcon::Width() const
{
    return FImage ? FImage->Image.Width : 0;
}
int TIcon::Height() const
{
    return FImage ? FImage->Image.Height : 0;
}

void TIcon::SetWidth(int Value)
{
    if (Value != Width())
        throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::SetHeight(int Value)
{
    if (Value != Height())
        throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

const TIconImage& TIcon::Image() const
{
    return FImage ? *FImage : EmptyIconImage;
}

void TIcon::SetImage(const TIconImage& Image)
{
    FreeHandle();
    FImage = std::make_shared<const TIconImage>(Image);
    FData.clear();
    Changed(this);
}

HICON TIcon::Handle()
{
    if (!FHandle && !Empty())
        FHandle = CreateIconHandle(*FImage);
    return FHandle;
}

void TIcon::SetHandle(HICON Value)
{
    if (Value && Value == FHandle)
        return;
    FreeHandle();
    FImage = IconHandleImage(Value);
    FHandle = FImage ? Value : nullptr;
    FData.clear();
    Changed(this);
}

HICON TIcon::ReleaseHandle()
{
    HICON Result = Handle();
    FHandle = nullptr;
    return Result;
}

void TIcon::Assign(TPersistent* Source)
{
    if (!Source || dynamic_cast<TIcon*>(Source)) {
        auto* Src = static_cast<TIcon*>(Source);
        if (Src == this)
            return;
        FreeHandle();
        FImage = Src ? Src->FImage : nullptr;
        FData = Src ? Src->FData : std::string();
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TIcon::AssignTo(TPersistent* Dest)
{
    // A bitmap gets the icon drawn on white, so the picture shows as the icon would.
    if (auto* Bitmap = dynamic_cast<TBitmap*>(Dest)) {
        Bitmap->Assign(nullptr);
        Bitmap->SetSize(Width(), Height());
        if (!Empty()) {
            TCanvas* C = Bitmap->Canvas();
            C->Brush()->SetColor(clWhite);
            C->FillRect(Rect(0, 0, Width(), Height()));
            C->Draw(0, 0, this);
        }
        return;
    }
    TGraphic::AssignTo(Dest);
}

void TIcon::LoadFromBytes(const std::string& Bytes)
{
    const TImageKind Kind = SniffImage(Bytes);
    if (Kind != TImageKind::Ico && Kind != TImageKind::Cur)
        throw EInvalidGraphic("Icon image is not valid");
    auto Image = std::make_shared<const TIconImage>(DecodeIcon(Bytes, IconSize, IconSize));
    FreeHandle();
    FImage = std::move(Image);
    FData = Bytes;
    Changed(this);
}

std::string TIcon::SaveToBytes()
{
    if (!FData.empty())
        return FData;
    if (Empty())
        return std::string();
    return EncodeIcon({*FImage});
}

void TIcon::LoadFromStream(TStream* Stream)
{
    if (Stream)
        LoadFromBytes(Stream->ReadAll());
}

void TIcon::SaveToStream(TStream* Stream)
{
    if (Stream)
        Stream->WriteString(SaveToBytes());
}

void TIcon::LoadFromResourceName(HINSTANCE, const std::string& ResName)
{
    SetImage(LoadResourceIcon(TResourceId(ResName), IconSize, IconSize));
}

void TIcon::LoadFromResourceID(HINSTANCE, int ResID)
{
    SetImage(LoadResourceIcon(TResourceId(ResID), IconSize, IconSize));
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect)
{
    if (Empty() || !ACanvas)
        return;
    ACanvas->RequiredState({csHandleValid});
    DrawIconImage(ACanvas->FHandle, Rect.left, Rect.top, *FImage, Rect.right - Rect.left,
                  Rect.bottom - Rect.top);
}

// ---------------------------------------------------------------------------------------------
// TPicture

TPicture::TPicture() = default;

TPicture::~TPicture()
{
    if (FGraphic)
        FGraphic->OnChange = nullptr;
}

void TPicture::Changed(TObject*)
{
    if (OnChange)
        OnChange(this);
}

void TPicture::Take(std::unique_ptr<TGraphic> Graphic)
{
    FGraphic = std::move(Graphic);
    if (FGraphic)
        FGraphic->OnChange = [this](TObject* Sender) { Changed(Sender); };
    Changed(this);
}

void TPicture::SetGraphic(TGraphic* Value)
{
    if (Value == FGraphic.get() && Value)
        return;
    std::unique_ptr<TGraphic> Copy;
    if (Value) {
        Copy = Value->NewOfSameClass();
        Copy->Assign(Value);
    }
    Take(std::move(Copy));
}

TBitmap* TPicture::Bitmap()
{
    if (!dynamic_cast<TBitmap*>(FGraphic.get()))
        Take(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(FGraphic.get());
}

TIcon* TPicture::Icon()
{
    if (!dynamic_cast<TIcon*>(FGraphic.get()))
        Take(std::make_unique<TIcon>());
    return static_cast<TIcon*>(FGraphic.get());
}

void TPicture::Assign(TPersistent* Source)
{
    if (!Source) {
        SetGraphic(nullptr);
        return;
    }
    if (auto* Src = dynamic_cast<TPicture*>(Source)) {
        if (Src != this)
            SetGraphic(Src->Graphic());
        return;
    }
    if (auto* Src = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(Src);
        return;
    }
    TPersistent::Assign(Source);
}

void TPicture::AssignTo(TPersistent* Dest)
{
    // A graphic of the picture's own class takes the picture's graphic.
    if (FGraphic && Dest) {
        const TGraphic& Own = *FGraphic;
        const TPersistent& Target = *Dest;
        if (typeid(Own) == typeid(Target)) {
            Dest->Assign(FGraphic.get());
            return;
        }
    }
    TPersistent::AssignTo(Dest);
}

void TPicture::LoadFromBytes(const std::string& Bytes)
{
    std::unique_ptr<TGraphic> Graphic;
    switch (SniffImage(Bytes)) {
    case TImageKind::Bmp:
    case TImageKind::Png:
    case TImageKind::Jpeg:
    case TImageKind::Gif:
        Graphic = std::make_unique<TBitmap>();
        break;
    case TImageKind::Ico:
    case TImageKind::Cur:
        Graphic = std::make_unique<TIcon>();
        break;
    default:
        throw EInvalidGraphic("Unknown picture format");
    }
    Graphic->LoadFromBytes(Bytes);
    Take(std::move(Graphic));
}

void TPicture::LoadFromFile(const std::string& FileName)
{
    const std::string Bytes = LoadFileBytes(FileName);
    try {
        LoadFromBytes(Bytes);
    } catch (const EInvalidGraphic& E) {
        throw EInvalidGraphic(FileName + ": " + E.Message());
    }
}

void TPicture::SaveToFile(const std::string& FileName)
{
    if (FGraphic)
        FGraphic->SaveToFile(FileName);
}

void TPicture::LoadFromStream(TStream* Stream)
{
    if (Stream)
        LoadFromBytes(Stream->ReadAll());
}

namespace {
std::map<WORD, TPicture::TGraphicFactory>& ClipboardFormats()
{
    static auto* Formats = new std::map<WORD, TPicture::TGraphicFactory>;
    return *Formats;
}
} // namespace

void TPicture::RegisterClipboardFormat(WORD AFormat, TGraphicFactory Factory)
{
    if (Factory)
        ClipboardFormats()[AFormat] = std::move(Factory);
}

void TPicture::UnregisterClipboardFormat(WORD AFormat)
{
    ClipboardFormats().erase(AFormat);
}

bool TPicture::SupportsClipboardFormat(WORD AFormat)
{
    return ClipboardFormats().count(AFormat) > 0;
}

void TPicture::LoadFromClipboardFormat(WORD AFormat, const std::string& Data, HPALETTE APalette)
{
    auto It = ClipboardFormats().find(AFormat);
    if (It == ClipboardFormats().end())
        throw EInvalidGraphic("Unsupported clipboard format");
    std::unique_ptr<TGraphic> Graphic = It->second();
    if (!Graphic)
        throw EInvalidGraphic("Unsupported clipboard format");
    Graphic->LoadFromClipboardFormat(AFormat, Data, APalette);
    Take(std::move(Graphic));
}

void TPicture::SaveToStream(TStream* Stream)
{
    if (FGraphic)
        FGraphic->SaveToStream(Stream);
}
