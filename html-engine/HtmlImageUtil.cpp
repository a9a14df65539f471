#include "html-engine/HtmlImageUtil.h"

#include "html-engine/HtmlParser.h"

#include "platform/graphics/Graphics.h"
#include "platform/graphics/WinGdi.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
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

void TMapItem::AddArea(TAttributeList* Attributes)
{
    if (!Attributes)
        return;
    std::string Href, Target;
    bool NoHref = false;
    for (int I = 0; I < Attributes->Count(); ++I) {
        TAttribute* A = Attributes->Attr(I);
        if (A->Which == HrefSy)
            Href = A->Text;
        else if (A->Which == TargetSy)
            Target = A->Text;
        else if (A->Which == NoHrefSy)
            NoHref = true;
    }
    Areas.Add(NoHref ? std::string() : Href);
    AreaTargets.Add(Target);
}
