#include "html-engine/HtmlImages.h"

#include "html-engine/HtmlModel.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Sizes from attributes are kept to a sane range so that sums of them stay meaningful.
int SizeAttribute(int Value)
{
    return std::clamp(Value, 0, 32767);
}

} // namespace

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
      ImageAlign(Source.ImageAlign), NoBorder(Source.NoBorder), Transparent(Source.Transparent),
      IsMap(Source.IsMap), UseMap(Source.UseMap), MapName(Source.MapName), HSpace(Source.HSpace),
      BoxColor(Source.BoxColor)
{
}

void TImageObj::Size(TSectionList* Document, TCanvas* Canvas, TFontObj* FontObj)
{
    (void)Canvas;
    (void)FontObj;
    ParentSectionList = Document;
    if (ImageKnown)
        return;
    ObjWidth = SpecWidth > 0 ? SpecWidth : 20;
    ObjHeight = SpecHeight > 0 ? SpecHeight : 20;
    ImageWidth = ObjWidth;
    ImageHeight = ObjHeight;
    ImageKnown = true;
}

void TImageObj::Draw(TCanvas* Canvas, int X, TFontObj* FontObj, int Baseline, int LineTop)
{
    (void)FontObj;
    int Top;
    switch (ImageAlign) {
    case 0:
    case 3:
    case 4:
        Top = LineTop;
        break;
    case 1:
        Top = LineTop + ((Baseline - LineTop) - ImageHeight) / 2;
        break;
    default:
        Top = Baseline - ImageHeight;
        break;
    }
    DrawX = X;
    DrawY = Top;
    const int YOff = ParentSectionList ? ParentSectionList->YOff : 0;
    TBrush* Brush = Canvas->Brush();
    const TColor OldColor = Brush->Color();
    const TBrushStyle OldStyle = Brush->Style();
    Brush->SetColor(BoxColor);
    Brush->SetStyle(bsSolid);
    Canvas->FillRect(Rect(X, Top - YOff, SatAdd(X, ImageWidth), SatAdd(Top - YOff, ImageHeight)));
    Brush->SetColor(OldColor);
    Brush->SetStyle(OldStyle);
}

TImageList::TImageList(const TImageList& Source) : TFreeList()
{
    for (int I = 0; I < Source.Count(); ++I)
        Add(new TImageObj(*Source.Image(I)));
}

TImageObj* TImageList::FindImage(int Pos) const
{
    for (int I = 0; I < Count(); ++I)
        if (Image(I)->Pos == Pos)
            return Image(I);
    return nullptr;
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
    for (int I = 0; I < Count(); ++I)
        if (Image(I)->Pos >= Pos)
            return Image(I)->Pos - Pos;
    return 9999;
}

bool TImageList::PtInImage(int X, int Y, TFormControlObj*& FormControl, bool& IsMap, int& Pos, int& YInImage,
                           int& XInImage, TImageObj*& Which) const
{
    for (int I = 0; I < Count(); ++I) {
        TImageObj* Img = Image(I);
        if (X >= Img->DrawX && X < SatAdd(Img->DrawX, Img->ImageWidth) && Y >= Img->DrawY &&
            Y < SatAdd(Img->DrawY, Img->ImageHeight)) {
            FormControl = Img->MyFormControl;
            IsMap = Img->IsMap;
            Pos = Img->Pos;
            XInImage = X - Img->DrawX;
            YInImage = Y - Img->DrawY;
            Which = Img;
            return true;
        }
    }
    return false;
}
