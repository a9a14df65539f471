// Colours, fonts, pens, brushes, canvases and the graphic classes (bitmaps, icons, pictures) of
// the class library. Everything draws through the GDI subset of WinGdi.h, so a canvas can sit on
// any device context: a bitmap's memory DC, a window's paint DC or a printer's DC.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/graphics/ImageCodecs.h"
#include "platform/graphics/WinGdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Types.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TStream;
class TCanvas;
class TBitmap;
class TGraphic;

// Raised for an operation a graphic cannot do (resizing an icon, an unknown picture kind...).
class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};

// ---------------------------------------------------------------------------------------------
// Colours. A TColor is $00BBGGRR; with the high byte $80 it names a system colour by its COLOR_
// index; with $02 it is palette-relative (drawn as its RGB); clNone and clDefault are markers.
using TColor = std::int32_t;

inline constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
constexpr TColor SystemColor(int Index)
{
    return static_cast<TColor>(0x80000000u | std::uint32_t(Index));
}

inline constexpr TColor clScrollBar = SystemColor(0);
inline constexpr TColor clBackground = SystemColor(1);
inline constexpr TColor clActiveCaption = SystemColor(2);
inline constexpr TColor clInactiveCaption = SystemColor(3);
inline constexpr TColor clMenu = SystemColor(4);
inline constexpr TColor clWindow = SystemColor(5);
inline constexpr TColor clWindowFrame = SystemColor(6);
inline constexpr TColor clMenuText = SystemColor(7);
inline constexpr TColor clWindowText = SystemColor(8);
inline constexpr TColor clCaptionText = SystemColor(9);
inline constexpr TColor clActiveBorder = SystemColor(10);
inline constexpr TColor clInactiveBorder = SystemColor(11);
inline constexpr TColor clAppWorkSpace = SystemColor(12);
inline constexpr TColor clHighlight = SystemColor(13);
inline constexpr TColor clHighlightText = SystemColor(14);
inline constexpr TColor clBtnFace = SystemColor(15);
inline constexpr TColor clBtnShadow = SystemColor(16);
inline constexpr TColor clGrayText = SystemColor(17);
inline constexpr TColor clBtnText = SystemColor(18);
inline constexpr TColor clInactiveCaptionText = SystemColor(19);
inline constexpr TColor clBtnHighlight = SystemColor(20);
inline constexpr TColor cl3DDkShadow = SystemColor(21);
inline constexpr TColor cl3DLight = SystemColor(22);
inline constexpr TColor clInfoText = SystemColor(23);
inline constexpr TColor clInfoBk = SystemColor(24);
inline constexpr TColor clHotLight = SystemColor(26);
inline constexpr TColor clGradientActiveCaption = SystemColor(27);
inline constexpr TColor clGradientInactiveCaption = SystemColor(28);
inline constexpr TColor clMenuHighlight = SystemColor(29);
inline constexpr TColor clMenuBar = SystemColor(30);

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clLtGray = 0xC0C0C0;
inline constexpr TColor clDkGray = 0x808080;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// The marker bit of a palette-relative colour.
inline constexpr TColor clPaletteRelative = 0x02000000;
constexpr TColor PaletteRGB(int R, int G, int B)
{
    return clPaletteRelative | (R & 0xFF) | ((G & 0xFF) << 8) | ((B & 0xFF) << 16);
}

// A system colour becomes its RGB from the fixed scheme; any other value is returned unchanged
// (a palette-relative colour keeps its marker bit).
TColor ColorToRGB(TColor Color);
// The colour as plain $00BBGGRR for GDI: system colours resolved, marker bits dropped.
COLORREF ColorToColorRef(TColor Color);
// "clRed" for a named colour, else "$00BBGGRR" (eight hexadecimal digits).
std::string ColorToString(TColor Color);
// A colour name (case ignored) or a number (decimal, "$" or "0x" hexadecimal). Raises
// EConvertError for anything else.
TColor StringToColor(const std::string& S);
bool ColorToIdent(TColor Color, std::string& Ident);
bool IdentToColor(const std::string& Ident, TColor& Color);
// Calls Proc with the name of every named colour, in the order of the colour boxes.
void GetColorValues(const std::function<void(const std::string&)>& Proc);

// ---------------------------------------------------------------------------------------------
// A pen, brush or font: its attributes and a GDI handle made from them when first asked for.
class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;

protected:
    // Drops the handle (it is remade from the attributes when next needed) and fires OnChange.
    // The old handle is deleted after OnChange, so a canvas can first take it out of its DC.
    virtual void Changed();
    void DropHandle();
    // Takes over a handle after the change notification, so listeners first let go of the old one.
    void AdoptHandle(HGDIOBJ Value);

    HGDIOBJ FHandle = nullptr;
    bool FOwnsHandle = true;
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = BYTE;
using TFontName = std::string;

class TFont : public TGraphicsObject {
public:
    TFont();
    ~TFont() override;
    void Assign(TPersistent* Source) override;

    // The font's HFONT, made from a LOGFONT of the attributes when first asked for. The font
    // keeps ownership.
    HFONT Handle();
    // Takes over a font handle: the attributes are read back from it.
    void SetHandle(HFONT Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    const TFontName& Name() const { return FName; }
    void SetName(const TFontName& Value);
    // Negative: the em height in pixels; positive: the cell height.
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    // Points at the fixed 96 pixels per inch.
    int Size() const;
    void SetSize(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    int PixelsPerInch() const { return 96; }

    // The LOGFONT the handle is made from.
    LOGFONT LogFont() const;

private:
    TFontName FName = "MS Sans Serif";
    int FHeight = -11;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
    TFontPitch FPitch = fpDefault;
    TFontCharset FCharset = 1; // DEFAULT_CHARSET
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
// The binary raster operation (R2_*) of a pen mode.
int PenModeToRop2(TPenMode Mode);

class TPen : public TGraphicsObject {
public:
    TPen();
    ~TPen() override;
    void Assign(TPersistent* Source) override;

    HPEN Handle();
    void SetHandle(HPEN Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    // The mode is not part of the GDI pen: the canvas sets it on the DC with the pen.
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);

private:
    TColor FColor = clBlack;
    TPenStyle FStyle = psSolid;
    int FWidth = 1;
    TPenMode FMode = pmCopy;
};

enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

class TBrush : public TGraphicsObject {
public:
    TBrush();
    ~TBrush() override;
    void Assign(TPersistent* Source) override;

    HBRUSH Handle();
    void SetHandle(HBRUSH Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TColor Color() const { return FColor; }
    // A colour makes the brush solid again when it was clear.
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    // A pattern bitmap (not owned, as in the class library); it overrides Color and Style.
    TBitmap* Bitmap() const { return FBitmap; }
    void SetBitmap(TBitmap* Value);

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    TBitmap* FBitmap = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Raster operations for CopyRect and Draw (ROP3 codes).
using TCopyMode = DWORD;
inline constexpr TCopyMode cmBlackness = 0x00000042;
inline constexpr TCopyMode cmDstInvert = 0x00550009;
inline constexpr TCopyMode cmMergeCopy = 0x00C000CA;
inline constexpr TCopyMode cmMergePaint = 0x00BB0226;
inline constexpr TCopyMode cmNotSrcCopy = 0x00330008;
inline constexpr TCopyMode cmNotSrcErase = 0x001100A6;
inline constexpr TCopyMode cmPatCopy = 0x00F00021;
inline constexpr TCopyMode cmPatInvert = 0x005A0049;
inline constexpr TCopyMode cmPatPaint = 0x00FB0A09;
inline constexpr TCopyMode cmSrcAnd = 0x008800C6;
inline constexpr TCopyMode cmSrcCopy = 0x00CC0020;
inline constexpr TCopyMode cmSrcErase = 0x00440328;
inline constexpr TCopyMode cmSrcInvert = 0x00660046;
inline constexpr TCopyMode cmSrcPaint = 0x00EE0086;
inline constexpr TCopyMode cmWhiteness = 0x00FF0062;

enum TFillStyle { fsSurface, fsBorder };

enum TCanvasStateItem { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = TSet<TCanvasStateItem>;
inline constexpr TCanvasState csAllValid{csHandleValid, csFontValid, csPenValid, csBrushValid};

// A drawing surface over a device context. The font, pen and brush are selected into the DC
// only when a drawing call needs them, and taken out again when they change.
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;

    void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.left, R.top, R.right, R.bottom); }
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.left, R.top, R.right, R.bottom); }
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Polygon(const TPoint* Points, int Count);
    void Polygon(const std::vector<TPoint>& Points) { Polygon(Points.data(), int(Points.size())); }
    void Polyline(const TPoint* Points, int Count);
    void Polyline(const std::vector<TPoint>& Points) { Polyline(Points.data(), int(Points.size())); }
    // Points: start, then three per curve (two control points and the end point).
    void PolyBezier(const TPoint* Points, int Count);
    void PolyBezier(const std::vector<TPoint>& Points) { PolyBezier(Points.data(), int(Points.size())); }
    // fsBorder: fills outward from (X, Y) up to pixels of Color; fsSurface: fills the area of
    // Color that holds (X, Y).
    void FloodFill(int X, int Y, TColor Color, TFillStyle FillStyle);
    // The line leaves out its end point, which becomes the pen position.
    void LineTo(int X, int Y);
    void MoveTo(int X, int Y);

    void FillRect(const TRect& Rect);
    void FrameRect(const TRect& Rect);
    // Inverts a dotted frame; drawing it again restores the pixels.
    void DrawFocusRect(const TRect& Rect);
    // Copies Source of Canvas onto Dest (stretched) with CopyMode.
    void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
    // Copies Source of Bitmap onto Dest with the pixels of Color replaced by this canvas's brush
    // (left transparent when the brush is clear).
    void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);
    void Draw(int X, int Y, TGraphic* Graphic);
    void StretchDraw(const TRect& Rect, TGraphic* Graphic);

    void TextOut(int X, int Y, const std::string& Text);
    // Text clipped to Rect; a solid brush fills Rect first.
    void TextRect(const TRect& Rect, int X, int Y, const std::string& Text);
    TSize TextExtent(const std::string& Text);
    int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
    int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }

    TColor Pixels(int X, int Y);
    void SetPixels(int X, int Y, TColor Value);
    TRect ClipRect();

    // Takes the font, pen and brush out of the DC; they are selected again when next needed.
    void Refresh();
    void Lock();
    void Unlock();
    bool TryLock();
    int LockCount() const { return FLockCount; }

    // The DC with font, pen and brush selected (made by CreateHandle when there is none).
    HDC Handle();
    // Puts the canvas on a DC someone else owns (or on none); the previous DC is left as it was
    // found, with its own objects selected again.
    void SetHandle(HDC Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont* Font() { return &FFont; }
    void SetFont(TFont* Value) { FFont.Assign(Value); }
    TPen* Pen() { return &FPen; }
    void SetPen(TPen* Value) { FPen.Assign(Value); }
    TBrush* Brush() { return &FBrush; }
    void SetBrush(TBrush* Value) { FBrush.Assign(Value); }
    TPoint PenPos();
    void SetPenPos(const TPoint& Value) { MoveTo(Value.x, Value.y); }
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
    // ETO_* flags for TextOut and TextRect.
    int TextFlags = 0;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    // Selects what a drawing call needs into the DC (a descendant's own drawing code uses it).
    void RequiredState(TCanvasState ReqState);

protected:
    virtual void Changed();
    virtual void Changing();
    // Makes the DC when the canvas has none; the base canvas cannot (a canvas over a foreign DC
    // is given one with SetHandle).
    virtual void CreateHandle();

private:
    friend class TBitmapCanvas;
    friend class TBitmap;
    friend class TIcon;
    friend class TImageList;
    void DeselectHandles();
    void CreateFont();
    void CreatePen();
    void CreateBrush();
    void FontChanged();
    void PenChanged();
    void BrushChanged();

    HDC FHandle = nullptr;
    TCanvasState FState;
    TFont FFont;
    TPen FPen;
    TBrush FBrush;
    TPoint FPenPos;
    TCopyMode FCopyMode = cmSrcCopy;
    int FLockCount = 0;
    std::recursive_mutex FLock;
    // What the DC had selected before the canvas put its own objects in.
    HGDIOBJ FOldFont = nullptr, FOldPen = nullptr, FOldBrush = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Something that can be drawn on a canvas and stored in a file or stream.
class TGraphic : public TPersistent {
public:
    TGraphic() = default;
    ~TGraphic() override = default;

    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int Value) = 0;
    virtual void SetHeight(int Value) = 0;
    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    virtual HPALETTE Palette() { return nullptr; }
    virtual void SetPalette(HPALETTE) {}
    bool Modified() const { return FModified; }
    void SetModified(bool Value);

    // Files are read through the path mapping of the run-time; EFOpenError / EFCreateError when
    // a file cannot be opened, EInvalidGraphic when its content is not an image of the kind.
    virtual void LoadFromFile(const std::string& FileName);
    virtual void SaveToFile(const std::string& FileName);
    virtual void LoadFromStream(TStream* Stream) = 0;
    virtual void SaveToStream(TStream* Stream) = 0;
    // The same, on bytes in memory.
    virtual void LoadFromBytes(const std::string& Bytes) = 0;
    virtual std::string SaveToBytes() = 0;

    // A new empty graphic of the same class (TPicture copies graphics with it).
    virtual std::unique_ptr<TGraphic> NewOfSameClass() const = 0;
    // Reads clipboard data of a format bound to this class (TPicture::RegisterClipboardFormat):
    // Data is the content of the clipboard's memory block. By default it is the stream form.
    virtual void LoadFromClipboardFormat(WORD AFormat, const std::string& Data, HPALETTE APalette);

    TNotifyEvent OnChange;

protected:
    friend class TCanvas;
    friend class TPicture;
    virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
    virtual void Changed(TObject* Sender);

    bool FTransparent = false;
    bool FModified = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };
enum TBitmapHandleType { bmDIB, bmDDB };

struct TBitmapImage;
class TBitmapCanvas;

// A bitmap: an HBITMAP (monochrome or colour) with its palette and a canvas over a memory DC.
// Assign shares the pixels until one of the bitmaps is changed.
class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int AWidth, int AHeight);
    ~TBitmap() override;
    void Assign(TPersistent* Source) override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    // New pixels are filled with the canvas's brush colour (white when there is no canvas yet).
    void SetSize(int AWidth, int AHeight);

    TCanvas* Canvas();
    // The bitmap handle; the bitmap keeps owning it. It is taken out of the canvas's DC first,
    // so the caller may select it into a DC of its own (the canvas makes a new DC when drawn on).
    HBITMAP Handle();
    // Takes over a bitmap handle (0 empties the bitmap).
    void SetHandle(HBITMAP Value);
    bool HandleAllocated() const;
    // Gives the handle to the caller; the bitmap keeps a copy of the pixels.
    HBITMAP ReleaseHandle();
    HPALETTE Palette() override;
    // Takes over a palette handle.
    void SetPalette(HPALETTE Value) override;
    HPALETTE ReleasePalette();
    TBitmapHandleType HandleType() const { return FHandleType; }
    void SetHandleType(TBitmapHandleType Value) { FHandleType = Value; }

    // True: 1 bit per pixel. Turning a colour bitmap monochrome makes pixels of the canvas's
    // brush colour white and all others black; turning a monochrome bitmap to colour draws 0 in
    // the canvas's font colour and 1 in its brush colour.
    bool Monochrome() const;
    void SetMonochrome(bool Value);
    TPixelFormat PixelFormat() const;
    void SetPixelFormat(TPixelFormat Value);
    // The bitmap becomes a mask: TransparentColor white, every other colour black.
    void Mask(TColor TransparentColor);

    // tmAuto: the bottom-left pixel (white for a monochrome bitmap), marked palette-relative.
    TColor TransparentColor();
    void SetTransparentColor(TColor Value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);

    // Keeps the pixels in memory and frees the GDI handles until they are needed again.
    void Dormant();
    void FreeImage();

    // BMP (PNG, JPEG and GIF are read as well; icons are refused with EInvalidGraphic). A BMP
    // inside a longer stream leaves the position just after it.
    void LoadFromStream(TStream* Stream) override;
    // BMP at the depth of PixelFormat (24 bits for pfDevice and pfCustom).
    void SaveToStream(TStream* Stream) override;
    void LoadFromBytes(const std::string& Bytes) override;
    std::string SaveToBytes() override;
    // A bitmap from the program's resources; EResNotFound when there is none of that name.
    void LoadFromResourceName(HINSTANCE Instance, const std::string& ResName);
    void LoadFromResourceID(HINSTANCE Instance, int ResID);

    // The pixels as a plain image (the bitmap's palette kept) and back.
    TDibImage ToDibImage();
    void LoadFromDibImage(const TDibImage& Image);

    std::unique_ptr<TGraphic> NewOfSameClass() const override { return std::make_unique<TBitmap>(); }

protected:
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
    friend class TBitmapCanvas;
    friend class TImageList;
    // Gives this bitmap its own copy of a shared image before it changes.
    void Unshare();
    void HandleNeeded();
    void FreeContext();
    void NewImage(std::shared_ptr<TBitmapImage> Image);
    void ImageChanging();

    std::shared_ptr<TBitmapImage> FImage;
    std::unique_ptr<TBitmapCanvas> FCanvas;
    TTransparentMode FTransparentMode = tmAuto;
    TColor FTransparentColor = clDefault;
    TBitmapHandleType FHandleType = bmDIB;
};

// An icon: its image with the AND mask, as read from or written to an .ico stream.
class TIcon : public TGraphic {
public:
    TIcon();
    ~TIcon() override;
    void Assign(TPersistent* Source) override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    // An icon has the size of its image: raises EInvalidGraphicOperation "Cannot change the size
    // of an icon".
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    bool Transparent() const override { return true; }

    // The icon's handle in the layer's icon store, made when first asked for; the icon owns it.
    HICON Handle();
    // Takes over a handle of the icon store (an empty icon when it is not one).
    void SetHandle(HICON Value);
    bool HandleAllocated() const { return FHandle != nullptr; }
    // Gives the handle to the caller (who destroys it with DestroyIconHandle); the icon keeps
    // its image.
    HICON ReleaseHandle();

    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    void LoadFromBytes(const std::string& Bytes) override;
    std::string SaveToBytes() override;
    void LoadFromResourceName(HINSTANCE Instance, const std::string& ResName);
    void LoadFromResourceID(HINSTANCE Instance, int ResID);

    // The image the icon shows (with its mask); empty when the icon is.
    const TIconImage& Image() const;
    void SetImage(const TIconImage& Image);

    std::unique_ptr<TGraphic> NewOfSameClass() const override { return std::make_unique<TIcon>(); }

protected:
    // Stretched to Rect; pixels the mask marks transparent leave the canvas unchanged.
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    void AssignTo(TPersistent* Dest) override;

private:
    void FreeHandle();
    std::shared_ptr<const TIconImage> FImage;
    std::string FData; // the stream it was loaded from, written back unchanged
    HICON FHandle = nullptr;
};

// Icons and cursors behind HICON handles: one store for the whole layer, so that TIcon and the
// window layer's icon and cursor calls hand the same handles around.
HICON CreateIconHandle(const TIconImage& Image);
// The image behind a handle; null for a handle that is not (or no longer) in the store.
std::shared_ptr<const TIconImage> IconHandleImage(HICON Icon);
// False for a handle that is not in the store.
bool DestroyIconHandle(HICON Icon);
// Draws Image stretched to (X, Y, Width, Height) (0 = its own size); pixels that are transparent
// (alpha below half, or marked by the mask) leave the DC unchanged.
void DrawIconImage(HDC DC, int X, int Y, const TIconImage& Image, int Width = 0, int Height = 0);

// Holds any graphic; loading from a file or stream picks the class from the data's signature.
class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    void Assign(TPersistent* Source) override;

    TGraphic* Graphic() const { return FGraphic.get(); }
    // Stores a copy of Value (nullptr empties the picture).
    void SetGraphic(TGraphic* Value);
    // The graphic as a bitmap: a picture holding something else is emptied and gets a bitmap.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* Value) { SetGraphic(Value); }
    TIcon* Icon();
    void SetIcon(TIcon* Value) { SetGraphic(Value); }
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }

    // BMP, PNG, JPEG, GIF (first frame) and ICO, whatever the file's extension. EInvalidGraphic
    // for unknown or corrupt data; the picture is unchanged then.
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName);
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream);
    void LoadFromBytes(const std::string& Bytes);

    // Clipboard formats bound to graphic classes, so a picture can read such clipboard data.
    using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;
    static void RegisterClipboardFormat(WORD AFormat, TGraphicFactory Factory);
    static void UnregisterClipboardFormat(WORD AFormat);
    static bool SupportsClipboardFormat(WORD AFormat);
    // A new graphic of the class bound to AFormat reads Data; EInvalidGraphic "Unsupported
    // clipboard format" when none is bound. The picture is unchanged when reading fails.
    void LoadFromClipboardFormat(WORD AFormat, const std::string& Data, HPALETTE APalette);

    TNotifyEvent OnChange;

protected:
    virtual void Changed(TObject* Sender);
    void AssignTo(TPersistent* Dest) override;

private:
    void Take(std::unique_ptr<TGraphic> Graphic);
    std::unique_ptr<TGraphic> FGraphic;
};

// Their published properties (for form descriptions) are registered in GraphicsPublish.cpp;
// these keep that unit in every program that uses the classes.
TW_LINK_CLASS(TFont);
TW_LINK_CLASS(TPen);
TW_LINK_CLASS(TBrush);
TW_LINK_CLASS(TBitmap);
TW_LINK_CLASS(TIcon);
TW_LINK_CLASS(TPicture);
