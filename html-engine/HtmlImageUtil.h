// Small classes and routines the whole HTML engine shares: an owning list, the selection
// character counter, a link record, a memory block, name clean-up for links and file names,
// and the text and box drawing helpers of form controls drawn on a canvas.
//
// And the engine's pictures: loading image files and streams into bitmaps, transparency masks
// and masked drawing, the shared palette, the image cache every viewer of the process uses,
// client-side image maps, and the engine's start-up and shut-down.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/Types.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TCanvas;
class TStream;
class TMemoryStream;
class TAttributeList;

int IntMin(int A, int B);
int IntMax(int A, int B);

// A list that owns its items, which are TObject descendants: Clear and the destructor free
// every item in index order; an item that leaves by Delete, Remove, a shrinking SetCount or
// being replaced through SetItems is freed too. Extract hands an item back without freeing it.
class TFreeList : public TList {
public:
    TFreeList() = default;
    ~TFreeList() override;
    void Clear() override;
    // Items go in as objects, so they can be freed as objects.
    int Add(TObject* Item) { return TList::Add(Item); }
    void Insert(int Index, TObject* Item) { TList::Insert(Index, Item); }
    // The item at Index as T (unchecked, as the owner knows what it holds).
    template <class T> T* ItemAs(int Index) const
    {
        return static_cast<T*>(static_cast<TObject*>(Items(Index)));
    }

protected:
    void Notify(void* Ptr, TListNotification Action) override;
};

// Counts the characters of a selection as the text blocks copy it out.
class SelTextCount : public TObject {
public:
    // Adds the characters among the first Count bytes of Buffer (UTF-8), not counting the
    // placeholders of images (code 4) and form controls (code 2).
    virtual void AddText(const char* Buffer, int Count);
    // AddText, then a line end (two more).
    void AddTextCR(const char* Buffer, int Count);
    int Terminate() const { return FCount; }

private:
    int FCount = 0;
};

// Counts the selection and keeps its text as well (the placeholders left out).
class SelTextBuf : public SelTextCount {
public:
    void AddText(const char* Buffer, int Count) override;
    const std::string& Text() const { return FText; }

private:
    std::string FText;
};

// A link: its URL and target frame (both empty when there is none).
class TUrlTarget : public TObject {
public:
    // Each argument that is given (not null) replaces the stored string.
    void Assign(const std::string* AnURL, const std::string* ATarget);
    // Both from Source.
    void Copy(const TUrlTarget& Source);
    void Clear();

    std::string URL;
    std::string Target;
};

// A zero-filled block of memory of a given size, freed with the object. Raises EOutOfMemory
// when it cannot be had.
class AllocRec : public TObject {
public:
    explicit AllocRec(std::size_t ASize);
    std::size_t Size() const { return FSize; }
    void* Ptr() const { return FData.get(); }

private:
    std::size_t FSize = 0;
    std::unique_ptr<unsigned char[]> FData;
};

// S without trailing bytes of code 32 or below and without leading bytes below 33.
std::string TrimBlanks(const std::string& S);

// A link as written in a document (a "file:" URL, a DOS name, a relative path with "/" or
// "\") turned into a native file name: the "file://" prefix is dropped (any case), "\"
// becomes "/", and a drive letter ("C:", "C|") is mapped by the run-time's path rules. Other
// URLs ("http://...") and plain names come back unchanged.
std::string LinkToDosName(const std::string& Name);

// Width of the first Count bytes of Text (whole UTF-8 characters) in the font selected into DC.
int TextWidthOf(HDC DC, const char* Text, int Count);

// Draws Text word-wrapped into (Left, Top, Right, Bottom) with the canvas's font and brush: words
// go on a line while they fit; a word wider than the rectangle gets a line of its own and is
// clipped; lines that would not fit whole above Bottom are left out.
void DrawWrapped(TCanvas* Canvas, int Left, int Top, const std::string& Text, int Bottom, int Right);

// The picture of a form control on a canvas (printing, off-screen copies): a white box with a
// 3-D edge, raised for buttons and sunken for the rest; a plain black frame on a monochrome
// device. Right and Bottom are exclusive. The pen keeps its last colour.
void DrawControlBox(TCanvas* Canvas, int Left, int Top, bool Raised, int Bottom, int Right);

// ---------------------------------------------------------------------------------------------
// Pictures

class TStringBitmapList;

// Engine-wide picture state, set by HtmlImageInit. The depth class is 4, 8 or 24 (only a screen
// of 256 colours has a shared palette); the decode flag is handed to every decode.
extern std::uint8_t DepthClass;
extern std::uint8_t DecodeFlag;
extern HPALETTE SharedPalette;
// Stand-ins (16 x 16): every picture while images are not shown; a picture that could not be
// loaded, with its mask.
extern TBitmap* ImagesOffBitmap;
extern TBitmap* BrokenImageBitmap;
extern TBitmap* BrokenImageMask;
// The image cache all viewers of the process share.
extern TStringBitmapList* ImageCache;

// Picture kinds by signature.
constexpr int itUnknown = 0, itBmp = 1, itGif87 = 2, itGif89 = 3, itPng = 4, itJpeg = 5;
// The kind of the first Size bytes of Data; data too short for a signature is of no kind.
int GetImageType(const void* Data, std::size_t Size);
// The kind of a file by its first bytes; 0 when it cannot be read.
int ImageTypeOfFile(const std::string& FileName);

// A picture decoded into a new bitmap; null on any failure (nothing is reported). Convert passes
// the result through ConvertToSharedPalette. A BMP the decoder refuses is read by the class
// library's own reader.
std::unique_ptr<TBitmap> LoadImageFromFile(const std::string& FileName, bool Convert);
std::unique_ptr<TBitmap> LoadImageFromStream(TMemoryStream* Stream, bool Convert);
// The picture with its transparency mask. Transp on entry: 1 asks for the bottom-left pixel's
// colour to be transparent, 0 for none; a GIF with a transparent colour makes it 2. With Transp
// non-zero the result is null unless a mask could be made. The stream needs at least 20 bytes.
std::unique_ptr<TBitmap> LoadImageWithMask(const std::string& FileName, std::uint8_t& Transp,
                                           std::unique_ptr<TBitmap>& Mask);
std::unique_ptr<TBitmap> LoadImageWithMaskFromStream(TMemoryStream* Stream, std::uint8_t& Transp,
                                                     std::unique_ptr<TBitmap>& Mask);

// The transparent colour of a GIF89a whose graphic control extension follows the global colour
// table, as a colour value; the stream's position is kept.
bool GifTransparentColor(TStream* Stream, TColor& Color);
bool GifTransparentColorOfFile(const std::string& FileName, TColor& Color);

// A monochrome mask of Bitmap: white where a pixel has the colour (the given one, or the
// bottom-left pixel's), black elsewhere. White means transparent. Null on failure.
std::unique_ptr<TBitmap> BuildMask(TBitmap* Bitmap, bool UseGivenColour, TColor Colour);
// Draws Image stretched into (X, Y, DestWidth, DestHeight), leaving the mask's white pixels
// untouched. Image and Mask are only read. Nothing is drawn on a monochrome device.
void StretchDrawTransparent(HDC DC, TBitmap* Image, TBitmap* Mask, int DestHeight, int DestWidth, int Y,
                            int X);
// Draws Bitmap into (X, Y, Width, Height), stretched colour on colour when the size differs.
void StretchDrawBitmap(HDC DC, TBitmap* Bitmap, int X, int Y, int Width, int Height);
// A device-dependent copy of Bitmap realised through the shared palette (when there is one);
// Bitmap is freed. Null in, null out.
std::unique_ptr<TBitmap> ConvertToSharedPalette(std::unique_ptr<TBitmap> Bitmap);
// The shared palette of a 256-colour screen: the system palette's static colours at 0-9 and
// 249-255, a 6 x 6 x 6 colour cube at 10-224 and 24 greys at 225-248.
HPALETTE CreateSharedPalette(HDC ScreenDC);

// A device-independent copy of a bitmap's pixels.
class TDib : public TObject {
public:
    // DC null: the image cache drops its unused entries before a failed copy raises EOutOfMemory.
    TDib(HDC DC, TBitmap* Bitmap);
    void StretchTo(HDC DC, int X, int Y, int W, int H, DWORD Rop);
    HBITMAP ToBitmap(HDC DC);

    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(FInfo.data()); }
    const void* Bits() const { return FBits.data(); }
    std::size_t ImageSize() const { return FBits.size(); }

private:
    BITMAPINFO* MutableInfo() { return reinterpret_cast<BITMAPINFO*>(FInfo.data()); }
    std::vector<std::uint32_t> FInfo; // header and colour table, kept aligned
    std::vector<std::uint8_t> FBits;
};

// One cache entry: the picture (a TBitmap, or an animated GIF) and its mask, both owned.
class TBitmapItem : public TObject {
public:
    // Transparency: 0 no mask, 1 mask from the bottom-left pixel, 2 from a GIF's transparent colour.
    TBitmapItem(std::unique_ptr<TObject> AImage, std::uint8_t Transparency, std::unique_ptr<TBitmap> AMask);

    int Age = 0;   // document loads since its last use
    int Users = 0; // documents showing it
    std::uint8_t MaskKind = 0;
    std::unique_ptr<TObject> Picture;
    std::unique_ptr<TBitmap> MaskBitmap;
};

// The image cache: keys (upper-cased, trimmed image names) with their TBitmapItem, sorted. It owns
// its items. An entry in use (Users 1 or more) is only removed by Clear.
class TStringBitmapList : public TStringList {
public:
    TStringBitmapList();
    ~TStringBitmapList() override;

    // Adds the item (a TBitmapItem, owned from now on) with one user. A key already present raises
    // EStringListError and the item stays the caller's.
    int AddObject(const std::string& S, TObject* AObject) override;
    TBitmapItem* Item(int Index) const { return static_cast<TBitmapItem*>(GetObject(Index)); }
    // A use of the entry: age 0, one more user; its picture.
    TObject* Take(int Index);
    // One user less for the key, when present.
    void Release(const std::string& Key);
    // At every document load: each entry ages by one; unused ones older than MaxAge go.
    void AgeAll();
    // Unused entries older than N go; then MaxAge := N.
    void SetMaxAge(int N);
    // Every unused entry goes, whatever its age.
    void DropUnused();
    void Clear() override;

    int MaxAge = 4;

private:
    void FreeEntry(int Index);
};

// What a fetched picture leaves its holder: one use of a cache entry, or (when the picture could
// not be cached) the picture and its mask themselves. Dropping the hold gives back exactly that,
// so a holder never releases a use some other document took.
class TImageHold {
public:
    TImageHold() = default;
    TImageHold(const TImageHold&) = delete;
    TImageHold& operator=(const TImageHold&) = delete;
    ~TImageHold() { Drop(); }

    // A use of the entry under Key, already counted in the cache.
    void HoldEntry(const std::string& Key);
    // A picture of no cache entry, owned from now on.
    void Own(std::unique_ptr<TObject> Picture, std::unique_ptr<TBitmap> Mask);
    // The same picture for a second holder: another use of the same entry, or copies of owned
    // pictures (Picture and Mask then point at the copies).
    void CopyTo(TImageHold& Other, TObject*& Picture, TBitmap*& Mask) const;
    void Drop();
    const std::string& Key() const { return FKey; }
    bool Empty() const { return FKey.empty() && !FPicture && !FMask; }

private:
    std::string FKey;
    std::unique_ptr<TObject> FPicture;
    std::unique_ptr<TBitmap> FMask;
};

// One client-side image map (MAP) with its areas in document order.
class TMapItem : public TObject {
public:
    TMapItem() = default;
    TMapItem(const TMapItem&) = delete;
    TMapItem& operator=(const TMapItem&) = delete;
    ~TMapItem() override;

    // Reads an AREA's HREF, SHAPE (rect, circle, poly), COORDS, NOHREF and TARGET; an area
    // without enough numbers for its shape adds nothing.
    void AddArea(TAttributeList* Attributes);
    // The first area holding (X, Y) decides: its link (and target) when it has one, true; an
    // area without a link, or no area, gives false.
    bool GetURL(int X, int Y, TUrlTarget& UrlTarget) const;

    std::string MapName;
    TStringList Areas;             // the area's HREF
    TStringList AreaTargets;       // the area's TARGET, index-aligned with Areas
    std::vector<HRGN> AreaRegions; // the area's shape, index-aligned with Areas; owned
};

// The engine's start-up: the depth class and palette of the screen, the stand-in pictures, the
// cursor over links (slot 1) and the image cache; registers HtmlImageDone to run at exit.
// Running it again does nothing.
void HtmlImageInit();
// Frees what HtmlImageInit made (and every cached picture). Safe to run twice.
void HtmlImageDone();
