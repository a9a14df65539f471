// The published properties of the drawing objects and graphics, so form descriptions can say
// `Font.Style = [fsBold]`, `Brush.Style = bsClear`, `Glyph = 'SB_NEWFILE'` (a resource by name)
// or `Picture.Data = { ... }` (the graphic inline).
#include "platform/classes/TypInfo.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/Resources.h"

#include <cstdint>
#include <memory>
#include <string>

namespace {

std::uint32_t ReadLE32(const std::string& Bytes, std::size_t At)
{
    std::uint32_t V = 0;
    for (int I = 3; I >= 0; --I)
        V = (V << 8) | static_cast<unsigned char>(Bytes[At + static_cast<std::size_t>(I)]);
    return V;
}

std::string LE32(std::size_t N)
{
    std::string Out;
    for (int I = 0; I < 4; ++I)
        Out += static_cast<char>((static_cast<std::uint32_t>(N) >> (8 * I)) & 0xFF);
    return Out;
}

// A bitmap's inline data: the image file's length as 4 bytes, least significant first, then
// the file (BMP, though any image the bitmap reads is taken). A bare BMP file without the
// length, as older descriptions hold, is taken too. Empty data empties the bitmap.
void ReadBitmapData(TBitmap* Bitmap, const std::string& Bytes)
{
    if (Bytes.empty()) {
        Bitmap->Assign(nullptr);
        return;
    }
    if (Bytes.size() >= 4) {
        const std::uint32_t Size = ReadLE32(Bytes, 0);
        if (Size <= Bytes.size() - 4) {
            Bitmap->LoadFromBytes(Bytes.substr(4, Size));
            return;
        }
    }
    if (Bytes.compare(0, 2, "BM") == 0) {
        Bitmap->LoadFromBytes(Bytes);
        return;
    }
    throw EInvalidGraphic("Bitmap data is truncated");
}

std::string WriteBitmapData(TBitmap* Bitmap)
{
    if (Bitmap->Empty())
        return {};
    const std::string File = Bitmap->SaveToBytes();
    return LE32(File.size()) + File;
}

void ReadIconData(TIcon* Icon, const std::string& Bytes)
{
    if (Bytes.empty())
        Icon->Assign(nullptr);
    else
        Icon->LoadFromBytes(Bytes);
}

std::string WriteIconData(TIcon* Icon)
{
    return Icon->Empty() ? std::string() : Icon->SaveToBytes();
}

// A picture's inline data: the graphic's class name as a length byte and that many characters,
// then the graphic's own data (a bitmap's as above, an icon's .ico file). A class this layer
// does not have is read by the signature of its data. Empty data empties the picture.
void ReadPictureData(TPicture* Picture, const std::string& Bytes)
{
    if (Bytes.empty()) {
        Picture->SetGraphic(nullptr);
        return;
    }
    const std::size_t NameLength = static_cast<unsigned char>(Bytes[0]);
    if (NameLength == 0 || 1 + NameLength > Bytes.size())
        throw EInvalidGraphic("Picture data is truncated");
    const std::string ClassName = Bytes.substr(1, NameLength);
    const std::string Data = Bytes.substr(1 + NameLength);
    if (Data.empty())
        throw EInvalidGraphic("Picture data is truncated");
    if (ClassName == "TBitmap") {
        TBitmap Bitmap;
        ReadBitmapData(&Bitmap, Data);
        Picture->SetGraphic(&Bitmap);
    } else if (ClassName == "TIcon") {
        TIcon Icon;
        ReadIconData(&Icon, Data);
        Picture->SetGraphic(&Icon);
    } else {
        Picture->LoadFromBytes(Data);
    }
}

std::string WritePictureData(TPicture* Picture)
{
    TGraphic* Graphic = Picture->Graphic();
    if (!Graphic || Graphic->Empty())
        return {};
    const std::string Name = Graphic->ClassName();
    std::string Out(1, static_cast<char>(Name.size()));
    Out += Name;
    if (auto* Bitmap = dynamic_cast<TBitmap*>(Graphic))
        return Out + WriteBitmapData(Bitmap);
    return Out + Graphic->SaveToBytes();
}

// Problems of a graphic named in a form: the reader puts the name after the message.
[[noreturn]] void ResourceMissing()
{
    throw EResNotFound("Image resource not found");
}

// Glyph = 'SB_NEWFILE': a BITMAP resource of that name (BMP or PNG, by its signature), else an
// RCDATA one of any image format the bitmap reads. '' empties the bitmap.
void BitmapFromResource(TBitmap* Bitmap, const std::string& Name)
{
    if (Name.empty()) {
        Bitmap->Assign(nullptr);
        return;
    }
    TResourceData Data;
    if (ResourceExists(ResourceType::Bitmap, Name))
        Bitmap->LoadFromResourceName(nullptr, Name);
    else if (FindResourceData(ResourceType::RcData, Name, Data))
        Bitmap->LoadFromBytes(Data.Bytes());
    else
        ResourceMissing();
}

// An ICON resource, else an RCDATA one holding an .ico file.
void IconFromResource(TIcon* Icon, const std::string& Name)
{
    if (Name.empty()) {
        Icon->Assign(nullptr);
        return;
    }
    TResourceData Data;
    if (ResourceExists(ResourceType::Icon, Name))
        Icon->LoadFromResourceName(nullptr, Name);
    else if (FindResourceData(ResourceType::RcData, Name, Data))
        Icon->LoadFromBytes(Data.Bytes());
    else
        ResourceMissing();
}

// A BITMAP resource gives a bitmap, an ICON resource an icon, an RCDATA one whatever its
// signature says. The picture is unchanged when the resource cannot be read.
void PictureFromResource(TPicture* Picture, const std::string& Name)
{
    if (Name.empty()) {
        Picture->SetGraphic(nullptr);
        return;
    }
    TResourceData Data;
    if (ResourceExists(ResourceType::Bitmap, Name)) {
        TBitmap Bitmap;
        Bitmap.LoadFromResourceName(nullptr, Name);
        Picture->SetGraphic(&Bitmap);
    } else if (ResourceExists(ResourceType::Icon, Name)) {
        TIcon Icon;
        Icon.LoadFromResourceName(nullptr, Name);
        Picture->SetGraphic(&Icon);
    } else if (FindResourceData(ResourceType::RcData, Name, Data)) {
        Picture->LoadFromBytes(Data.Bytes());
    } else {
        ResourceMissing();
    }
}

// A graphic class this unit does not know: the resource's bytes in its own format.
void GraphicFromResource(TGraphic* Graphic, const std::string& Name)
{
    TResourceData Data;
    if (FindResourceData(ResourceType::RcData, Name, Data) ||
        FindResourceData(ResourceType::Bitmap, Name, Data))
        Graphic->LoadFromBytes(Data.Bytes());
    else
        ResourceMissing();
}

} // namespace

TW_ENUM(TFontStyle, "fsBold", "fsItalic", "fsUnderline", "fsStrikeOut");
TW_ENUM(TFontPitch, "fpDefault", "fpVariable", "fpFixed");
TW_ENUM(TPenStyle, "psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame");
TW_ENUM(TPenMode, "pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot",
        "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask", "pmNotMask",
        "pmXor", "pmNotXor");
TW_ENUM(TBrushStyle, "bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal",
        "bsCross", "bsDiagCross");

TW_PUBLISH(TGraphicsObject, TPersistent) {}

TW_PUBLISH(TFont, TGraphicsObject)
{
    Cls.Int("Charset", &TFont::Charset, &TFont::SetCharset).Default(1); // DEFAULT_CHARSET
    Cls.Color("Color", &TFont::Color, &TFont::SetColor).Default(clWindowText);
    Cls.Int("Height", &TFont::Height, &TFont::SetHeight).Default(-11);
    Cls.Str("Name", &TFont::Name, &TFont::SetName).Default("MS Sans Serif");
    Cls.Enum("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
    // Height carries the size exactly; Size, rounded to points, would undo it when read back.
    Cls.Int("Size", &TFont::Size, &TFont::SetSize).Default(8).Stored(false);
    Cls.Set("Style", &TFont::Style, &TFont::SetStyle).Default(TFontStyles());
}

TW_PUBLISH(TPen, TGraphicsObject)
{
    Cls.Color("Color", &TPen::Color, &TPen::SetColor).Default(clBlack);
    Cls.Enum("Mode", &TPen::Mode, &TPen::SetMode).Default(pmCopy);
    Cls.Enum("Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
    Cls.Int("Width", &TPen::Width, &TPen::SetWidth).Default(1);
}

// Bitmap is not published: the brush does not own its pattern, so a form has nothing to read
// it into.
TW_PUBLISH(TBrush, TGraphicsObject)
{
    // Color before Style: setting a colour makes a clear brush solid again.
    Cls.Color("Color", &TBrush::Color, &TBrush::SetColor).Default(clWhite);
    Cls.Enum("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
}

TW_PUBLISH(TGraphic, TPersistent)
{
    Cls.FromString(&GraphicFromResource);
}

TW_PUBLISH(TBitmap, TGraphic)
{
    Cls.Binary("Data", &ReadBitmapData, &WriteBitmapData);
    Cls.FromString(&BitmapFromResource);
}

TW_PUBLISH(TIcon, TGraphic)
{
    Cls.Binary("Data", &ReadIconData, &WriteIconData);
    Cls.FromString(&IconFromResource);
}

TW_PUBLISH(TPicture, TPersistent)
{
    Cls.Binary("Data", &ReadPictureData, &WritePictureData);
    Cls.FromString(&PictureFromResource);
}
