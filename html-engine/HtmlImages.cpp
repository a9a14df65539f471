#include "html-engine/HtmlImages.h"

#include "html-engine/GifImages.h"
#include "html-engine/HtmlModel.h"
#include "platform/graphics/WinGdi.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Sizes from attributes are kept to a sane range so that sums of them stay meaningful.
int SizeAttribute(int Value)
{
    return std::clamp(Value, 0, 32767);
}

// ---- Drawing ----

// The sunken 3-D outline of table cells, (Left, Top) to (Right, Bottom) inclusive.
void SunkenOutline(TCanvas* Canvas, int Left, int Top, int Right, int Bottom, TColor Background)
{
    TPen* Pen = Canvas->Pen();
    const TColor OldColor = Pen->Color();
    Pen->SetColor(clBtnShadow);
    Canvas->MoveTo(Left, Bottom);
    Canvas->LineTo(Left, Top);
    Canvas->LineTo(Right, Top);
    Pen->SetColor(IsLightBackground(Background) ? clSilver : clBtnHighlight);
    Canvas->LineTo(Right, Bottom);
    Canvas->LineTo(Left, Bottom);
    Pen->SetColor(OldColor);
}

TGraphic* AsGraphic(TObject* Picture)
{
    return dynamic_cast<TGraphic*>(Picture);
}

TGIFImage* AsGif(TObject* Picture)
{
    return dynamic_cast<TGIFImage*>(Picture);
}

// The natural size of a picture of any kind the image object shows; 0 x 0 for none.
void PictureSize(TObject* Picture, int& Width, int& Height)
{
    Width = Height = 0;
    if (TGIFImage* Gif = AsGif(Picture)) {
        Width = Gif->Width();
        Height = Gif->Height();
    } else if (TGraphic* Graphic = AsGraphic(Picture)) {
        Width = Graphic->Width();
        Height = Graphic->Height();
    }
}

} // namespace

// ---- TSectionList::FetchImage -------------------------------------------------------------------

TObject* TSectionList::FetchImage(const std::string& Name, std::uint8_t& Transparent, bool& FromCache,
                                  TBitmap*& Mask, TImageHold& Hold)
{
    Mask = nullptr;
    FromCache = false;
    Hold.Drop();
    if (Name.empty())
        return nullptr;
    const std::string Key = TrimBlanks(UpperCase(Name));

    if (ImageCache) {
        const int Index = ImageCache->IndexOf(Key);
        if (Index >= 0) {
            TObject* Picture = ImageCache->Take(Index);
            Hold.HoldEntry(Key);
            FromCache = true;
            TBitmapItem* Entry = ImageCache->Item(Index);
            if (auto* Bitmap = dynamic_cast<TBitmap*>(Picture)) {
                if (Entry->MaskKind == 2)
                    Transparent = 2;
                else if (Transparent == 1) {
                    if (!Entry->MaskBitmap)
                        Entry->MaskBitmap = BuildMask(Bitmap, false, 0);
                    if (Entry->MaskBitmap)
                        Entry->MaskKind = 1;
                }
                Mask = Entry->MaskBitmap.get();
            }
            return Picture;
        }
    }

    std::unique_ptr<TObject> Picture;
    std::unique_ptr<TBitmap> OwnMask;
    try {
        if (OnBitmapRequest) {
            TBitmap* Given = nullptr;
            TColor Color = -1;
            OnBitmapRequest(TheOwner, Name, Given, Color);
            Picture.reset(Given);
            if (Given && Color != -1) {
                OwnMask = BuildMask(Given, true, Color);
                Transparent = 2;
            } else if (Given && Transparent == 1)
                OwnMask = BuildMask(Given, false, 0);
        } else if (OnImageRequest) {
            TMemoryStream* Stream = nullptr;
            OnImageRequest(TheOwner, Name, Stream);
            if (Stream && Stream->Size() > 0) {
                bool NotAnimated = true;
                const int Kind = GetImageType(Stream->Memory(), std::size_t(Stream->Size()));
                if (Kind == itGif87 || Kind == itGif89)
                    Picture = LoadAnimatedGifStream(Stream, NotAnimated);
                if (NotAnimated)
                    Picture = LoadImageWithMaskFromStream(Stream, Transparent, OwnMask);
            }
        } else {
            bool NotAnimated = true;
            if (LowerCase(ExtractFileExt(Name)) == ".gif")
                Picture = LoadAnimatedGifFile(Name, NotAnimated);
            if (NotAnimated)
                Picture = LoadImageWithMask(Name, Transparent, OwnMask);
        }
    } catch (const std::exception&) {
        return nullptr;
    }
    if (!Picture)
        return nullptr;

    TObject* Result = Picture.get();
    Mask = OwnMask.get();
    const std::uint8_t MaskKind = OwnMask ? Transparent : 0;
    auto Entry = std::make_unique<TBitmapItem>(std::move(Picture), MaskKind, std::move(OwnMask));
    if (ImageCache) {
        try {
            ImageCache->AddObject(Key, Entry.get());
            Entry.release();
            Hold.HoldEntry(Key);
            return Result;
        } catch (const std::exception&) {
            // The name is cached already (a fetch from inside a request event): this picture
            // stays with its image alone.
        }
    }
    Hold.Own(std::move(Entry->Picture), std::move(Entry->MaskBitmap));
    return Result;
}

// ---- TImageObj ----------------------------------------------------------------------------------

TImageObj::TImageObj(int APos, TAttributeList* Attributes) : Pos(APos)
{
    if (!Attributes)
        return;
    for (int I = 0; I < Attributes->Count(); ++I) {
        TAttribute* A = Attributes->Attr(I);
        switch (A->Which) {
        case SrcSy:
            Source = A->Text;
            break;
        case AltSy:
            Alt = A->Text;
            break;
        case AlignSy: {
            const std::string S = UpperCase(A->Text);
            if (S == "TOP")
                ImageAlign = 0;
            else if (S == "MIDDLE" || S == "ABSMIDDLE")
                ImageAlign = 1;
            else if (S == "LEFT")
                ImageAlign = 3;
            else if (S == "RIGHT")
                ImageAlign = 4;
            break;
        }
        case BorderSy:
            NoBorder = A->Value == 0;
            break;
        case WidthSy:
            if (A->Text.find('%') == std::string::npos)
                SpecWidth = SizeAttribute(A->Value);
            break;
        case HeightSy:
            SpecHeight = SizeAttribute(A->Value);
            break;
        case TranspSy:
            Transparent = 1;
            break;
        case IsMapSy:
            IsMap = true;
            break;
        case UseMapSy: {
            UseMap = true;
            std::string S = TrimBlanks(UpperCase(A->Text));
            if (S.size() > 1 && S[0] == '#')
                S.erase(0, 1);
            MapName = S;
            break;
        }
        case HSpaceSy:
            HSpace = std::min(20, std::abs(std::max(A->Value, -20)));
            break;
        default:
            break;
        }
    }
}

TImageObj::TImageObj(const TImageObj& Source)
    : TObject(), Pos(Source.Pos), ImageHeight(Source.ImageHeight), ImageWidth(Source.ImageWidth),
      SpecHeight(Source.SpecHeight), SpecWidth(Source.SpecWidth), ObjHeight(Source.ObjHeight),
      ObjWidth(Source.ObjWidth), ImageKnown(Source.ImageKnown), Source(Source.Source), Alt(Source.Alt),
      ImageAlign(Source.ImageAlign), NoBorder(Source.NoBorder), Image(Source.Image), Mask(Source.Mask),
      Transparent(Source.Transparent), IsMap(Source.IsMap), UseMap(Source.UseMap), MapName(Source.MapName),
      HSpace(Source.HSpace)
{
    Source.FHold.CopyTo(FHold, Image, Mask);
    // Each image animates by itself.
    if (TGIFImage* Gif = AsGif(Image)) {
        FOwnGif = TGIFImage::Duplicate(*Gif);
        Image = FOwnGif.get();
    }
}

TImageObj::~TImageObj()
{
    // The document must not step an animation that goes with its image.
    if (Image && ParentSectionList)
        ParentSectionList->GIFList.Forget(Image);
}

bool TImageObj::ShowsPlaceholder() const
{
    return !ParentSectionList || !ParentSectionList->ShowImages || !Image || Image == BrokenImageBitmap;
}

void TImageObj::Size(TSectionList* Document, TCanvas* Canvas, TFontObj* FontObj)
{
    ParentSectionList = Document;
    const bool Shown = Document && Document->ShowImages;
    if (Shown && !Image) {
        if (!Document->OnBitmapRequest && !Document->OnImageRequest)
            Source = Document->ResolveFileName(Source);
        bool FromCache = false;
        TObject* Picture = Document->FetchImage(Source, Transparent, FromCache, Mask, FHold);
        if (!Picture) {
            FHold.Drop();
            Image = BrokenImageBitmap;
            Mask = BrokenImageMask;
            Transparent = 1;
        } else if (TGIFImage* Gif = AsGif(Picture); Gif && FromCache) {
            // Another placement of a cached animation gets a copy of its own, so each place
            // animates by itself.
            FOwnGif = TGIFImage::Duplicate(*Gif);
            Image = FOwnGif.get();
        } else {
            Image = Picture;
        }
    }
    if (TGIFImage* Gif = AsGif(Image); Gif && Document && !Document->GIFList.Holds(Gif))
        Document->GIFList.Add(Gif);

    int W = 0, H = 0;
    PictureSize(Shown ? Image : ImagesOffBitmap, W, H);
    const bool Substitute = ShowsPlaceholder();
    if (!ImageKnown) {
        if (Substitute) {
            if (SpecHeight > 0 && SpecWidth > 0) {
                ObjWidth = SpecWidth;
                ObjHeight = SpecHeight;
                ImageKnown = true;
            } else {
                ObjWidth = W;
                ObjHeight = H;
            }
        } else {
            if (SpecHeight > 0 && SpecWidth > 0) {
                ObjWidth = SpecWidth;
                ObjHeight = SpecHeight;
            } else if (SpecHeight > 0) {
                ObjHeight = SpecHeight;
                ObjWidth = H > 0 ? MulDiv(SpecHeight, W, H) : 0;
            } else if (SpecWidth > 0) {
                ObjWidth = SpecWidth;
                ObjHeight = W > 0 ? MulDiv(SpecWidth, H, W) : 0;
            } else {
                ObjWidth = W;
                ObjHeight = H;
            }
            ImageKnown = true;
        }
    }
    if (Substitute && !ImageKnown) {
        // The stand-in grows to hold its ALT text beside the 24-pixel icon area.
        int TextW = 0, TextH = 0;
        if (!Alt.empty() && Canvas) {
            TFont Saved;
            Saved.Assign(Canvas->Font());
            Canvas->Font()->SetName("Arial");
            Canvas->Font()->SetSize(8);
            const TSize Extent = Canvas->TextExtent(Alt);
            Canvas->Font()->Assign(&Saved);
            TextW = Extent.cx + 2 + 24;
            TextH = Extent.cy;
        }
        ObjWidth = std::max({ObjWidth, TextW, 24});
        ObjHeight = std::max({ObjHeight, TextH, 24});
    }
    ImageHeight = ObjHeight;
    ImageWidth = ObjWidth;
    HasBorder = FontObj && !FontObj->UrlTarget.URL.empty() && !NoBorder;
    if (HasBorder) {
        ImageHeight = SatAdd(ImageHeight, 2);
        ImageWidth = SatAdd(ImageWidth, 2);
    }
}

void TImageObj::Draw(TCanvas* Canvas, int X, TFontObj* FontObj, int Baseline, int LineTop)
{
    TSectionList* Doc = ParentSectionList;
    const bool Shown = Doc && Doc->ShowImages;
    TObject* Picture = Shown ? Image : ImagesOffBitmap;
    TBitmap* PictureMask = Shown && dynamic_cast<TBitmap*>(Image) ? Mask : nullptr;
    const bool Placeholder = ShowsPlaceholder();
    const int YOff = Doc ? Doc->YOff : 0;

    TFont SavedFont;
    SavedFont.Assign(Canvas->Font());
    const TBrushStyle SavedBrush = Canvas->Brush()->Style();
    Canvas->Brush()->SetStyle(bsClear);
    const TColor TextColor = Canvas->Font()->Color();
    Canvas->Font()->SetName("Arial");
    Canvas->Font()->SetSize(8);
    Canvas->Font()->SetColor(clBlack);
    Baseline -= YOff;
    LineTop -= YOff;

    int Top;
    switch (ImageAlign) {
    case 1:
        Top = FontObj ? Baseline + FontObj->Descent - FontObj->tmHeight / 2 - ImageHeight / 2
                      : LineTop + ((Baseline - LineTop) - ImageHeight) / 2;
        break;
    case 2:
        Top = Baseline - ImageHeight;
        break;
    default:
        Top = LineTop;
        break;
    }

    const int F = Placeholder ? 4 : 0;
    const int Inset = F + (HasBorder ? 1 : 0);
    const int PX = SatAdd(X, Inset), PY = SatAdd(Top, Inset);
    // Hit tests use the picture's place even when a stand-in too small for its icon shows none.
    DrawX = PX;
    DrawY = SatAdd(PY, YOff);
    if (!(Placeholder && (ObjHeight <= 23 || ObjWidth <= 23)) && Picture) {
        try {
            HDC DC = Canvas->Handle();
            auto* Bitmap = dynamic_cast<TBitmap*>(Picture);
            const bool Stand = Picture == BrokenImageBitmap || Picture == ImagesOffBitmap;
            if (Bitmap && Transparent != 0 && PictureMask) {
                if (Picture == BrokenImageBitmap)
                    StretchDrawTransparent(DC, Bitmap, PictureMask, Bitmap->Height(), Bitmap->Width(), PY,
                                           PX);
                else
                    StretchDrawTransparent(DC, Bitmap, PictureMask, ObjHeight, ObjWidth, PY, PX);
            } else if (Bitmap && Stand) {
                StretchDrawBitmap(DC, Bitmap, PX, PY, Bitmap->Width(), Bitmap->Height());
            } else if (Bitmap) {
                StretchDrawBitmap(DC, Bitmap, PX, PY, ObjWidth, ObjHeight);
            } else if (TGIFImage* Gif = AsGif(Picture)) {
                // The document steps only the animations its last paint showed.
                Gif->Shown = true;
                Gif->SetVisible(true);
                Gif->Draw(Canvas, Doc, MyCell, PX, PY, ObjWidth, ObjHeight);
            } else if (TGraphic* Graphic = AsGraphic(Picture)) {
                Canvas->StretchDraw(Rect(PX, PY, SatAdd(PX, ObjWidth), SatAdd(PY, ObjHeight)), Graphic);
            }
        } catch (const std::exception&) {
            // The rest of the line still paints.
        }
    }

    const TColor Background = Doc ? Doc->Background : clWhite;
    auto DrawAlt = [&] {
        DrawWrapped(Canvas, SatAdd(X, 24), SatAdd(Top, F), Alt, SatAdd(Top, ObjHeight - 1),
                    SatAdd(X, ObjWidth - 2));
    };
    if (Placeholder && !HasBorder) {
        Canvas->Font()->SetColor(TextColor);
        DrawAlt();
        SunkenOutline(Canvas, X, Top, SatAdd(X, ObjWidth - 1), SatAdd(Top, ObjHeight - 1), Background);
    }
    if (HasBorder) {
        const TColor LinkColor = FontObj ? FontObj->TheFont->Color() : clBlue;
        Canvas->Pen()->SetColor(LinkColor);
        Canvas->Font()->SetColor(LinkColor);
        if (Placeholder)
            DrawAlt();
        Canvas->Brush()->SetStyle(bsClear);
        Canvas->Rectangle(X, Top, SatAdd(X, ImageWidth), SatAdd(Top, ImageHeight));
    }
    Canvas->Font()->Assign(&SavedFont);
    Canvas->Brush()->SetStyle(SavedBrush);
}

// ---- TImageList ---------------------------------------------------------------------------------

namespace HtmlEngine {

TImageList::TImageList(const TImageList& Source)
{
    for (int I = 0; I < Source.Count(); ++I)
        Add(new TImageObj(*Source.Image(I)));
}

TImageList::~TImageList() = default;

TImageObj* TImageList::Image(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    return (*FImages)[static_cast<std::size_t>(Index)].get();
}

void TImageList::Add(TImageObj* Image)
{
    std::unique_ptr<TImageObj> Owned(Image);
    if (!FImages)
        FImages = std::make_unique<std::vector<std::unique_ptr<TImageObj>>>();
    FImages->push_back(std::move(Owned));
}

void TImageList::Clear()
{
    FImages.reset();
}

int TImageList::FirstAtOrAfter(int Pos) const
{
    // Images are added as the text grows, so their positions increase: a paragraph of thousands
    // of images is searched by halving.
    if (!FImages)
        return 0;
    const auto It =
        std::lower_bound(FImages->begin(), FImages->end(), Pos,
                         [](const std::unique_ptr<TImageObj>& Img, int P) { return Img->Pos < P; });
    return static_cast<int>(It - FImages->begin());
}

TImageObj* TImageList::FindImage(int Pos) const
{
    const int I = FirstAtOrAfter(Pos);
    return I < Count() && Image(I)->Pos == Pos ? Image(I) : nullptr;
}

int TImageList::GetHeightAt(int Pos, std::uint8_t& Align) const
{
    TImageObj* Img = FindImage(Pos);
    if (!Img)
        return -1;
    Align = Img->ImageAlign;
    return Img->ImageHeight;
}

int TImageList::GetWidthAt(int Pos, std::uint8_t& Align) const
{
    TImageObj* Img = FindImage(Pos);
    if (!Img)
        return -1;
    Align = Img->ImageAlign;
    return Img->ImageWidth;
}

int TImageList::GetImageCountAt(int Pos) const
{
    const int I = FirstAtOrAfter(Pos);
    return I < Count() ? Image(I)->Pos - Pos : 9999;
}

bool TImageList::PtInImage(int X, int Y, TFormControlObj*& FormControl, TMapItem*& MapItem, bool& MapFound,
                           bool& IsMap, int& Pos, int& YInImage, int& XInImage) const
{
    for (int I = 0; I < Count(); ++I) {
        TImageObj* Img = Image(I);
        const int Less = Img->HasBorder ? 2 : 0;
        if (X >= Img->DrawX && X < SatAdd(Img->DrawX, Img->ImageWidth - Less) && Y >= Img->DrawY &&
            Y < SatAdd(Img->DrawY, Img->ImageHeight - Less)) {
            XInImage = X - Img->DrawX;
            YInImage = Y - Img->DrawY;
            IsMap = Img->IsMap;
            Pos = Img->Pos;
            FormControl = Img->MyFormControl;
            MapFound = false;
            if (Img->UseMap && Img->ParentSectionList) {
                const TFreeList& Maps = Img->ParentSectionList->MapList;
                for (int M = 0; M < Maps.Count(); ++M) {
                    auto* Map = Maps.ItemAs<TMapItem>(M);
                    if (Map->MapName == Img->MapName) {
                        MapItem = Map;
                        MapFound = true;
                        break;
                    }
                }
            }
            return true;
        }
    }
    return false;
}

} // namespace HtmlEngine
