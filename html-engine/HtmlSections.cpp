#include "html-engine/HtmlSections.h"

#include "platform/graphics/WinGdi.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

bool IsObjChar(char C)
{
    return C == TSection::ImgChar || C == TSection::FmCtlChar;
}

bool IsBreakChar(char C)
{
    return C == ' ' || IsObjChar(C);
}

bool IsContinuation(char C)
{
    return (static_cast<unsigned char>(C) & 0xC0) == 0x80;
}

TFontStyles StylesOf(int Flags)
{
    TFontStyles S;
    if (Flags & 1)
        S.Include(fsBold);
    if (Flags & 2)
        S.Include(fsItalic);
    if (Flags & 4)
        S.Include(fsUnderline);
    if (Flags & 8)
        S.Include(fsStrikeOut);
    return S;
}

char LowerAscii(char C)
{
    return (C >= 'A' && C <= 'Z') ? static_cast<char>(C + 32) : C;
}

char UpperAscii(char C)
{
    return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 32) : C;
}

COLORREF GdiColor(TColor C)
{
    return ColorToColorRef(C);
}

} // namespace

std::string OrderedListLabel(char NumType, int N)
{
    static const char* const Roman[20] = {"I",    "II",  "III",  "IV",    "V",   "VI",   "VII",
                                          "VIII", "IX",  "X",    "XI",    "XII", "XIII", "XIV",
                                          "XV",   "XVI", "XVII", "XVIII", "XIX", "XX"};
    // Numbers below 1 never index the tables.
    if (N < 1)
        N = 1;
    std::string S;
    switch (NumType) {
    case 'A':
    case 'a':
        S = std::string(1, static_cast<char>((NumType == 'A' ? 65 : 97) + std::min(N - 1, 25)));
        break;
    case 'I':
    case 'i':
        S = Roman[std::min(N, 20) - 1];
        if (NumType == 'i')
            for (char& C : S)
                C = LowerAscii(C);
        break;
    default:
        S = IntToStr(N);
        break;
    }
    return S + ".";
}

// ---------------------------------------------------------------------------------------------

LineRec* TLineList::Heap() const
{
    LineRec* Lines;
    std::memcpy(&Lines, F.Many.Lines, sizeof Lines);
    return Lines;
}

void TLineList::SetHeap(LineRec* Lines, int Capacity)
{
    std::memcpy(F.Many.Lines, &Lines, sizeof Lines);
    F.Many.Capacity = Capacity;
}

LineRec* TLineList::Item(int Index)
{
    if (Index < 0 || Index >= FCount)
        throw EListError(Format("List index out of bounds (%d)", {Index}));
    return FCount == 1 ? &F.One : Heap() + Index;
}

LineRec& TLineList::Add()
{
    if (FCount == 0) {
        F.One = LineRec();
        FCount = 1;
        return F.One;
    }
    if (FCount == 1 || FCount == F.Many.Capacity) {
        const int Capacity = FCount == 1 ? 4 : FCount * 2;
        auto* Lines = new LineRec[static_cast<std::size_t>(Capacity)];
        if (FCount == 1) {
            Lines[0] = F.One;
        } else {
            LineRec* Old = Heap();
            std::copy(Old, Old + FCount, Lines);
            delete[] Old;
        }
        SetHeap(Lines, Capacity);
    }
    LineRec& L = Heap()[FCount++];
    L = LineRec();
    return L;
}

void TLineList::Clear()
{
    if (FCount > 1)
        delete[] Heap();
    FCount = 0;
}

void TLineList::Trim()
{
    if (FCount <= 1 || F.Many.Capacity == FCount)
        return;
    LineRec* Old = Heap();
    auto* Lines = new LineRec[static_cast<std::size_t>(FCount)];
    std::copy(Old, Old + FCount, Lines);
    delete[] Old;
    SetHeap(Lines, FCount);
}

// ---------------------------------------------------------------------------------------------

TSection::TSection(int ALevel, int AJustify, const TUrlTarget* Link, TMyFont* Font, TFontAdditions* Additions)
{
    static const TMyFont NoFont;
    const TMyFont& Start = Font ? *Font : NoFont;
    const TFontStyles Extra = Additions ? StylesOf(Additions->FontStyleFlags) : TFontStyles();
    Fonts.Assign(TFontObj(TFontRef(Start, Extra), 0, Link), TFontRef(Start));
    Level = ALevel;
    Indent = SatInt(static_cast<std::int64_t>(Level) * 35);
    Justify = static_cast<std::uint8_t>(AJustify);
    if (Additions)
        Additions->ScriptShift = 0;
}

TSection::TSection(TSectionList* AMasterList, const TSection& Source)
    : TSectionBase(AMasterList, Source), ListType(Source.ListType), Justify(Source.Justify),
      ClearAttr(Source.ClearAttr), Level(Source.Level), Indent(Source.Indent), Buff(Source.Buff),
      Fonts(Source.Fonts), Images(Source.Images)
{
    Len = Source.Len;
    for (int I = 0; I < Source.FormControls.Count(); ++I)
        FormControls.Add(Source.FormControls[I]);
}

TSection::~TSection() = default;

TSectionBase* TSection::Duplicate(TSectionList* MasterList) const
{
    return new TSection(MasterList, *this);
}

bool TSection::HoldsObject(const TObject* Obj) const
{
    if (Obj == this)
        return true;
    for (int I = 0; I < Images.Count(); ++I) {
        const TImageObj* Img = Images.Image(I);
        if (Obj == Img || (Img->Image && Obj == Img->Image) ||
            (Img->MyFormControl && Obj == Img->MyFormControl))
            return true;
    }
    for (int I = 0; I < FormControls.Count(); ++I)
        if (Obj == FormControls[I])
            return true;
    return false;
}

// ---------------------------------------------------------------------------------------------
// Building

void TSection::AddText(const std::string& Text)
{
    if (Text.empty() || Len > MaxText)
        return;
    std::size_t From = 0;
    if (Text[0] == ' ') {
        bool Drop = Buff.empty() || Buff.back() == ' ';
        if (!Drop) {
            // A blank after nothing but floating images would start the first line with a gap.
            Drop = true;
            for (int I = 0; I < Len && Drop; ++I) {
                TImageObj* Img = Buff[I] == ImgChar ? Images.FindImage(I) : nullptr;
                Drop = Img && Img->Floating();
            }
        }
        if (Drop)
            From = 1;
    }
    if (From >= Text.size())
        return;
    Buff.append(Text, From, std::string::npos);
    Len = static_cast<int>(Buff.size());
}

void TSection::SwitchFont(TSectionList* Document, TMyFont* Font, const TFontAdditions* Additions)
{
    TMyFont F;
    if (Font)
        F.Assign(Font);
    if (Additions)
        F.SetStyle(F.Style() + StylesOf(Additions->FontStyleFlags));
    const auto Script = static_cast<std::uint8_t>(Additions ? Additions->ScriptShift : 0);
    if (Script == 1 || Script == 2)
        F.SetNormalSize(Document, MulDiv(F.NormalSize, 3, 4));
    const int LastIndex = Fonts.Count() - 1;
    const TFontObj* Last = Fonts.Run(LastIndex);
    // A run with no text yet just takes the new font.
    if (Last->Pos == Len)
        Fonts.SetRun(LastIndex, TFontObj(F, Len, &Last->UrlTarget, Script));
    else
        Fonts.Add(TFontObj(F, Len, &Last->UrlTarget, Script));
}

void TSection::SwitchLink(bool Starting, TSectionList* Document, TMyFont* Font, const TUrlTarget* Link,
                          const TFontAdditions* Additions)
{
    SwitchFont(Document, Font, Additions);
    const int LastIndex = Fonts.Count() - 1;
    const TFontObj* Last = Fonts.Run(LastIndex);
    const TUrlTarget* NewLink = Starting ? Link : nullptr;
    if (NewLink || !Last->UrlTarget.URL.empty() || !Last->UrlTarget.Target.empty())
        Fonts.SetRun(LastIndex, TFontObj(Last->TheFont, Last->Pos, NewLink, Last->SScript));
}

TImageObj* TSection::InsertImage(TAttributeList* Attributes, TCell* Cell)
{
    auto* Img = new TImageObj(Len, Attributes);
    Img->MyCell = Cell;
    Images.Add(Img);
    Buff += ImgChar;
    Len = static_cast<int>(Buff.size());
    return Img;
}

TFormControlObj* TSection::InsertFormControl(THtmlSymbol Which, TSectionList* Document, TCell* Cell,
                                             TAttributeList* Attributes, ThtmlForm* Form)
{
    // A control outside any form makes one of its own.
    if (!Form)
        Form = new ThtmlForm(Document, nullptr);
    TAttribute* A = nullptr;
    const bool IsImage =
        Which == InputSy && Attributes && Attributes->Find(TypeSy, A) && LowerCase(A->Text.substr(0, 20)) == "image";
    if (IsImage) {
        TImageObj* Img = InsertImage(Attributes, Cell);
        TFormControlObj* Control = MakeFormControl(Which, Document, Form, Img->Pos, Attributes, Cell);
        Img->MyFormControl = Control;
        return Control;
    }
    TFormControlObj* Control = MakeFormControl(Which, Document, Form, Len, Attributes, Cell);
    if (!Control->IsHidden()) {
        FormControls.Add(Control);
        Buff += FmCtlChar;
        Len = static_cast<int>(Buff.size());
    }
    return Control;
}

void TSection::SetClear(TAttributeList* Attributes)
{
    TAttribute* A = nullptr;
    if (!Attributes || !Attributes->Find(ClearSy, A))
        return;
    const std::string V = LowerCase(A->Text.substr(0, 15));
    ClearAttr = V == "left" ? 1 : V == "right" ? 2 : 3;
}

int TSection::FinishSection()
{
    if (Len == 0) {
        Buff = " ";
        Len = 1;
    }
    return Justify;
}

// ---------------------------------------------------------------------------------------------
// Measuring

int TSection::PieceLength(int Start, int End) const
{
    int N = std::min(Fonts.GetFontCountAt(Start, Len), End - Start);
    for (int K = 0; K < N; ++K)
        if (IsObjChar(Buff[Start + K]))
            return K;
    return N;
}

void TSection::SelectRunFont(TCanvas* Canvas, int Pos, TFontObj*& Run)
{
    Run = Fonts.GetFontObjAt(Pos);
    SelectFont(Canvas, *Run->TheFont);
}

int TSection::TextWidth(TCanvas* Canvas, int Start, bool StripTrailing, int Count)
{
    Count = std::min(Count, Len - Start);
    if (Count <= 0 || Start < 0)
        return 0;
    if (StripTrailing)
        while (Count > 1 && Buff[Start + Count - 1] == ' ')
            --Count;
    std::int64_t W = 0;
    const int End = Start + Count;
    int I = Start;
    while (I < End) {
        const char C = Buff[I];
        if (C == ImgChar) {
            TImageObj* Img = Images.FindImage(I);
            if (Img && !Img->Floating())
                W += Img->ImageWidth;
            ++I;
        } else if (C == FmCtlChar) {
            if (TFormControlObj* Ctl = FormControlAt(I))
                W += Ctl->Width();
            ++I;
        } else {
            const int N = PieceLength(I, End);
            TFontObj* Run;
            SelectRunFont(Canvas, I, Run);
            W += TextWidthOf(Canvas->Handle(), Buff.data() + I, N) - Run->Overhang;
            I += N;
        }
    }
    return SatInt(W);
}

namespace {

// How much of a text piece fits: Count bytes, and when the whole piece fits (Whole), its Width.
struct TPieceFit {
    int Count = 0;
    bool Whole = false;
    std::int64_t Width = 0;
};

// The longest prefix of the piece at P ending on a character boundary that is at most Room wide.
// The piece runs to the first object character or to Limit bytes, whichever comes first; it is
// found while measuring, so a long run costs only about a line's worth of text per line. Widths
// of prefixes never shrink (no negative character extra), so the first character that overflows
// ends the search.
TPieceFit FitScan(HDC DC, const char* P, int Limit, std::int64_t Room)
{
    thread_local std::vector<int> Dx; // kept: layout fits thousands of pieces
    std::int64_t BaseW = 0;
    int Base = 0, Chunk = 128;
    while (Base < Limit) {
        int C = static_cast<int>(std::min<std::int64_t>(Limit, static_cast<std::int64_t>(Base) + Chunk));
        while (C < Limit && IsContinuation(P[C]))
            ++C;
        bool PieceEnds = C == Limit;
        for (int K = Base; K < C; ++K)
            if (IsObjChar(P[K])) {
                C = K;
                PieceEnds = true;
                break;
            }
        const int K = C - Base;
        SIZE Size{};
        if (K > 0) {
            Dx.resize(static_cast<std::size_t>(K));
            GetTextExtentExPoint(DC, P + Base, K, 0, nullptr, Dx.data(), &Size);
        }
        if (BaseW + Size.cx > Room) {
            // Dx[J] is the width of P[Base, Base + J + 1); a boundary at B closes the prefix
            // measured by Dx[B - Base - 1].
            int Best = Base;
            for (int B = Base + 1; B < C; ++B) {
                if (IsContinuation(P[B]))
                    continue;
                if (BaseW + Dx[static_cast<std::size_t>(B - Base - 1)] > Room)
                    break;
                Best = B;
            }
            return {Best, false, 0};
        }
        BaseW += Size.cx;
        Base = C;
        if (PieceEnds)
            break;
        Chunk = Chunk < (1 << 20) ? Chunk * 2 : Chunk;
    }
    return {Base, true, BaseW};
}

// The same answer by bisection, for a DC whose character extra makes widths non-monotonic.
int FitBisect(HDC DC, const char* P, int N, std::int64_t Room)
{
    if (TextWidthOf(DC, P, N) <= Room)
        return N;
    // Lo always fits, Hi never does.
    int Lo = 0, Hi = N;
    while (Hi - Lo > 1) {
        int Mid = Lo + (Hi - Lo) / 2;
        while (Mid > Lo && IsContinuation(P[Mid]))
            --Mid;
        if (Mid == Lo) {
            Mid = Lo + (Hi - Lo) / 2;
            while (Mid < Hi && IsContinuation(P[Mid]))
                ++Mid;
            if (Mid >= Hi)
                break;
        }
        if (TextWidthOf(DC, P, Mid) <= Room)
            Lo = Mid;
        else
            Hi = Mid;
    }
    return Lo;
}

} // namespace

int TSection::Fit(TCanvas* Canvas, int Width, int MaxChars, int Start, bool PlaceFloats,
                  std::vector<TImageObj*>* PendingFloats, int* FloatHeight, IndentManager* IMgr, int Y)
{
    const int End =
        static_cast<int>(std::min<std::int64_t>(Len, static_cast<std::int64_t>(Start) + MaxChars));
    std::int64_t W = Width, Used = 0;
    bool SeenContent = false;
    int I = Start;
    while (I < End) {
        const char C = Buff[I];
        if (C == ImgChar || C == FmCtlChar) {
            std::int64_t ItemW = 0;
            if (C == ImgChar) {
                TImageObj* Img = Images.FindImage(I);
                if (Img && Img->Floating()) {
                    // A float first on the line goes beside it now; one after text waits for the
                    // line's end.
                    if (PlaceFloats) {
                        if (!SeenContent) {
                            IMgr->Update(Y, Img);
                            *FloatHeight = std::max(*FloatHeight, Img->ImageHeight);
                            W -= static_cast<std::int64_t>(Img->ImageWidth) + Img->HSpace;
                        } else {
                            PendingFloats->push_back(Img);
                        }
                    }
                    ++I;
                    continue;
                }
                ItemW = Img ? Img->ImageWidth : 0;
            } else if (TFormControlObj* Ctl = FormControlAt(I)) {
                ItemW = Ctl->Width();
            }
            SeenContent = true;
            if (Used + ItemW > W)
                break;
            Used += ItemW;
            ++I;
            continue;
        }
        SeenContent = true;
        TFontObj* Run;
        SelectRunFont(Canvas, I, Run);
        HDC DC = Canvas->Handle();
        const char* P = Buff.data() + I;
        const std::int64_t Room = W - Used + Run->Overhang;
        TPieceFit F;
        if (GetTextCharacterExtra(DC) < 0) {
            const int N = PieceLength(I, End);
            F.Count = FitBisect(DC, P, N, Room);
            F.Whole = F.Count == N;
            F.Width = F.Whole ? TextWidthOf(DC, P, N) : 0;
        } else {
            F = FitScan(DC, P, std::min(Fonts.GetFontCountAt(I, Len), End - I), Room);
        }
        if (F.Whole) {
            Used += F.Width - Run->Overhang;
            I += F.Count;
            continue;
        }
        const int Lo = F.Count;
        I += Lo;
        break;
    }
    return I - Start;
}

int TSection::FitText(TCanvas* Canvas, int Width, std::vector<TImageObj*>& PendingFloats, int& FloatHeight,
                      IndentManager* IMgr, int Y, int MaxChars, int Start)
{
    return Fit(Canvas, Width, MaxChars, Start, true, &PendingFloats, &FloatHeight, IMgr, Y);
}

int TSection::FindCountThatFits(TCanvas* Canvas, int Width, int MaxChars, int Start)
{
    return Fit(Canvas, Width, MaxChars, Start, false, nullptr, nullptr, nullptr, 0);
}

void TSection::MinMaxWidth(TCanvas* Canvas, int& Min, int& Max)
{
    Min = 0;
    Max = 0;
    if (Len == 0)
        return;
    std::int64_t F = 0;
    int MinW = 0;
    for (int I = 0; I < Images.Count(); ++I) {
        TImageObj* Img = Images.Image(I);
        Img->Size(ParentSectionList, Canvas, Fonts.GetFontObjAt(Img->Pos));
        if (Img->Floating())
            F += static_cast<std::int64_t>(Img->ImageWidth) + Img->HSpace;
        else
            MinW = std::max(MinW, Img->ImageWidth);
    }
    Max = SatInt(F + TextWidth(Canvas, 0, false, Len) + Indent);
    int I = 0;
    while (I < Len) {
        while (I < Len && (Buff[I] == ' ' || Buff[I] == ImgChar))
            ++I;
        const int WordStart = I;
        while (I < Len && Buff[I] != ' ' && Buff[I] != ImgChar)
            ++I;
        if (I > WordStart)
            MinW = std::max(MinW, TextWidth(Canvas, WordStart, false, I - WordStart));
    }
    Min = SatInt(F + MinW + Indent);
}

// ---------------------------------------------------------------------------------------------
// Layout

namespace {

int ClearSpace(int ClearAttr, IndentManager* IMgr, int Y)
{
    int CL, CR;
    IMgr->GetClearY(CL, CR);
    const int L = std::max(0, SatInt(static_cast<std::int64_t>(CL) - Y - 1));
    const int R = std::max(0, SatInt(static_cast<std::int64_t>(CR) - Y - 1));
    switch (ClearAttr) {
    case 1:
        return L;
    case 2:
        return R;
    case 3:
        return std::max(L, R);
    default:
        return 0;
    }
}

} // namespace

int TSection::DrawLogic(TCanvas* Canvas, int Y, int& Curs, int& MaxWidth, IndentManager* IMgr)
{
    StartY = Y;
    StartCurs = Curs;
    SectionHeight = 0;
    Lines.Clear();
    IMgr->SetLevel(Y, Level);
    if (Len == 0) {
        SectionHeight = DrawHeight = ClearSpace(ClearAttr, IMgr, Y);
        MaxWidth = 0;
        return SectionHeight;
    }
    LeftIndentAtStart = IMgr->LeftIndent(Y);
    MaxWidth = IMgr->Width;
    for (int I = 0; I < Images.Count(); ++I) {
        TImageObj* Img = Images.Image(I);
        Img->Size(ParentSectionList, Canvas, Fonts.GetFontObjAt(Img->Pos));
        MaxWidth = std::max(MaxWidth, SatAdd(Img->ImageWidth, Indent));
    }
    for (int I = 0; I < FormControls.Count(); ++I) {
        auto* Ctl = static_cast<TFormControlObj*>(FormControls[I]);
        if (Ctl->Control)
            MaxWidth = std::max(MaxWidth, SatAdd(Ctl->Width(), Indent));
    }

    int Start = 0;
    bool First = true;
    std::vector<TImageObj*> Pending;
    while (Start < Len) {
        if (First) {
            First = false;
            const int C = ClearSpace(ClearAttr, IMgr, Y);
            if (C > 0) {
                LineRec& L = Lines.Add();
                L.Start = Start;
                L.LineHt = C;
                L.DrawHeight = C;
                L.LineIndent = IMgr->LeftIndent(Y) - IMgr->LfEdge;
                SectionHeight = SatAdd(SectionHeight, C);
                Y = SatAdd(Y, C);
            }
        }
        const int W = IsPreformatted() ? 32000 : IMgr->RightSide(Y) - IMgr->LeftIndent(Y);
        const int E = Len - Start;
        Pending.clear();
        int FloatHeight = 0;
        int N = std::max(1, FitText(Canvas, W, Pending, FloatHeight, IMgr, Y, E, Start));
        if (N < E) {
            const int C = Start + N - 1; // the last character that fits
            if (Buff[C] == ' ') {
                while (Start + N < Len && Buff[Start + N] == ' ')
                    ++N;
            } else if (IsObjChar(Buff[C + 1])) {
                // the line ends after C
            } else {
                int K = C;
                while (K > Start && !IsBreakChar(Buff[K]))
                    --K;
                if (K > Start) {
                    N = K - Start + 1;
                } else {
                    // One word wider than the line: it stays whole and overflows.
                    int J = C + 1;
                    while (J < Len && !IsBreakChar(Buff[J]))
                        ++J;
                    while (J < Len && Buff[J] == ' ')
                        ++J;
                    N = J - Start;
                }
            }
        }
        // Floats met after the break belong to the next line.
        Pending.erase(std::remove_if(Pending.begin(), Pending.end(),
                                     [&](TImageObj* Img) { return Img->Pos >= Start + N; }),
                      Pending.end());
        FormLine(Canvas, Start, N, Y, IMgr, FloatHeight, Pending);
        Start += N;
    }
    Lines.Trim();
    Curs = SatAdd(StartCurs, Len);
    if (Level > 0)
        SectionHeight =
            std::max(SectionHeight, SatInt(static_cast<std::int64_t>(IMgr->GetLevelClear(StartY)) - StartY));
    DrawHeight = std::max(SectionHeight, SatInt(static_cast<std::int64_t>(IMgr->ImageBottom()) - StartY));
    return SectionHeight;
}

void TSection::FormLine(TCanvas* Canvas, int Start, int N, int& Y, IndentManager* IMgr, int FloatHeight,
                        std::vector<TImageObj*>& PendingFloats)
{
    LineRec Rec;
    LineRec* L = &Rec;
    L->Start = Start;
    L->Ln = N;
    const int End = Start + N;
    bool AllObjects = true;
    for (int I = Start; I < End && AllObjects; ++I)
        AllObjects = IsObjChar(Buff[I]);
    if (!AllObjects) {
        // The runs touching the line: the one holding its first character and those after it
        // that start before its end.
        int R = 0;
        Fonts.GetFontObjAt(Start, R);
        for (; R < Fonts.Count() && (R == 0 || Fonts.Run(R)->Pos < End); ++R) {
            TFontObj* Run = Fonts.Run(R);
            L->LineHt = std::max(L->LineHt, Run->FontHeight);
            L->Descent = std::max(L->Descent, Run->Descent);
        }
    }
    for (int I = Start; I < End; ++I) {
        if (Buff[I] == ImgChar) {
            TImageObj* Img = Images.FindImage(I);
            if (!Img || Img->Floating())
                continue;
            const int H = Img->ImageHeight;
            const int D = SatInt(static_cast<std::int64_t>(H) - L->LineHt);
            switch (Img->ImageAlign) {
            case 0:
                L->SpaceAfter = std::max(L->SpaceAfter, D);
                break;
            case 1: {
                const int D2 = D / 2;
                L->SpaceAfter = std::max(L->SpaceAfter, D2);
                L->SpaceBefore = std::max(L->SpaceBefore, D - D2);
                break;
            }
            default:
                L->SpaceBefore =
                    std::max(L->SpaceBefore, SatInt(static_cast<std::int64_t>(H) + L->Descent - L->LineHt));
                break;
            }
        } else if (Buff[I] == FmCtlChar) {
            if (TFormControlObj* Ctl = FormControlAt(I)) {
                std::int64_t S = static_cast<std::int64_t>(Ctl->Height()) - L->LineHt;
                if (Ctl->BaseLine())
                    S += L->Descent;
                L->SpaceBefore = std::max(L->SpaceBefore, SatInt(S));
            }
        }
    }
    const int LI = IMgr->LeftIndent(Y);
    const int RS = IMgr->RightSide(Y);
    std::int64_t Indent64 = LI;
    if (Justify == 2 || Justify == 3) {
        const int T = TextWidth(Canvas, Start, true, N);
        if (Justify == 2)
            Indent64 = std::max<std::int64_t>(LI, (static_cast<std::int64_t>(LI) + RS - T) / 2);
        else
            Indent64 = static_cast<std::int64_t>(RS) - T;
    }
    L->LineIndent = SatInt(Indent64 - IMgr->LfEdge);
    const int H = SatInt(static_cast<std::int64_t>(L->LineHt) + L->SpaceBefore + L->SpaceAfter);
    SectionHeight = SatAdd(SectionHeight, H);
    Y = SatAdd(Y, H);
    L->DrawHeight = std::max(H, FloatHeight);
    for (TImageObj* Img : PendingFloats) {
        IMgr->Update(Y, Img);
        L->DrawHeight = std::max(L->DrawHeight, SatAdd(H, Img->ImageHeight));
    }
    Lines.Add() = Rec;
}

// ---------------------------------------------------------------------------------------------
// Painting

void TSection::DrawBullet(TCanvas* Canvas, int Bx, int Y, const LineRec* L)
{
    TSectionList* Doc = ParentSectionList;
    const int YOff = Doc ? Doc->YOff : 0;
    const TColor FontColor = Doc ? Doc->FontColor : clBlack;
    const TColor Back = Doc ? Doc->Background : clWhite;
    if (ListType == 1) {
        const std::string Label = ListLabel();
        SelectFont(Canvas, BulletFont());
        HDC DC = Canvas->Handle();
        SetBkMode(DC, TRANSPARENT);
        SetTextAlign(DC, TA_BASELINE);
        const int W = TextWidthOf(DC, Label.data(), static_cast<int>(Label.size()));
        TextOut(DC, Bx - 5 - W, Y - L->Descent - YOff, Label.data(), static_cast<int>(Label.size()));
        return;
    }
    auto* Item = dynamic_cast<TUListItem*>(this);
    if (Item && Item->Plain)
        return;
    const int C = Y - L->LineHt / 2 - YOff;
    TPen* Pen = Canvas->Pen();
    TBrush* Brush = Canvas->Brush();
    const TColor B = Back < 0 ? Back : (Back & 0xFFFFFF);
    const bool Colourful = B == clBtnFace || B == clWhite || B == clSilver ||
                           (B == clWindow && (GetSysColor(COLOR_WINDOW) & 0xFFFFFF) == 0xFFFFFF);
    if (Colourful) {
        static const TColor LevelColors[3] = {0x0000FF, 0x800000, 0x000080};
        if (Level >= 0 && Level <= 5) {
            Pen->SetColor(LevelColors[Level % 3]);
            Brush->SetColor(LevelColors[Level % 3]);
            Brush->SetStyle(bsSolid);
        }
    } else {
        Pen->SetColor(FontColor);
        Brush->SetStyle(bsClear);
    }
    Canvas->Ellipse(Bx - 10, C - 2, Bx - 5, C + 3);
    Brush->SetColor(Back);
    Brush->SetStyle(bsSolid);
    Pen->SetColor(FontColor);
}

int TSection::Draw(TCanvas* Canvas, const TRect& ARect, int Y, int X, IndentManager* IMgr)
{
    const int Result = SatAdd(Y, SectionHeight);
    TSectionList* Doc = ParentSectionList;
    const int YOff = Doc ? Doc->YOff : 0;
    if (SatAdd(Y, static_cast<std::int64_t>(DrawHeight) - YOff) < ARect.top ||
        SatAdd(Y, -YOff) >= ARect.bottom)
        return Result;
    const bool Pre = IsPreformatted();
    const int SelB = Doc ? Doc->SelB - StartCurs : 0;
    const int SelE = Doc ? Doc->SelE - StartCurs : 0;
    const bool AnySel = SelB < SelE;
    const TColor Back = Doc ? Doc->Background : clWhite;
    int YY = Y;
    for (int LI = 0; LI < Lines.Count(); ++LI) {
        LineRec* L = Line(LI);
        const int LineTop = YY;
        YY = SatAdd(YY, static_cast<std::int64_t>(L->LineHt) + L->SpaceBefore);
        const int Base = YY - L->Descent - YOff;
        if (LI == 0 && (ListType == 1 || ListType == 2))
            DrawBullet(Canvas, LeftIndentAtStart + X, YY, L);
        int XX = SatAdd(X, L->LineIndent);
        L->DrawX = XX;
        L->DrawY = YY - L->LineHt;
        int I = L->Start;
        const int End = L->Start + L->Ln;
        // Floats before anything else on the line were placed beside it, later ones below it.
        bool OnlyFloatsSoFar = true;
        while (I < End) {
            const char C = Buff[I];
            if (C == ImgChar) {
                TImageObj* Img = Images.FindImage(I);
                TFontObj* Run = Fonts.GetFontObjAt(I);
                if (Img && Img->Floating()) {
                    const int Top = OnlyFloatsSoFar ? LineTop : SatAdd(YY, L->SpaceAfter);
                    Img->Draw(Canvas, SatAdd(IMgr->LfEdge, Img->Indent), Run, SatAdd(Top, Img->ImageHeight),
                              Top);
                } else {
                    OnlyFloatsSoFar = false;
                    if (Img) {
                        Img->Draw(Canvas, XX, Run, YY - L->Descent, YY - L->LineHt);
                        XX = SatAdd(XX, Img->ImageWidth);
                    }
                }
                ++I;
                continue;
            }
            OnlyFloatsSoFar = false;
            if (C == FmCtlChar) {
                if (TFormControlObj* Ctl = FormControlAt(I)) {
                    const int CtlTop = YY - Ctl->Height() - YOff - (Ctl->BaseLine() ? L->Descent : 0);
                    if (ParentSectionList && ParentSectionList->Printing) {
                        Ctl->PaintOnCanvas(Canvas, XX, CtlTop);
                    } else if (TWinControl* Window = Ctl->Control) {
                        Ctl->ShowIt = true;
                        Window->SetBounds(XX, CtlTop, Window->Width(), Window->Height());
                        // A radio button's corners show what is behind it.
                        if (auto* Radio = dynamic_cast<TRadioButtonFormControlObj*>(Ctl))
                            Window->SetColor(Radio->HomeCell && Radio->HomeCell->BkGnd
                                                 ? Radio->HomeCell->BkColor
                                                 : (ParentSectionList ? ParentSectionList->Background : clWhite));
                        Window->Show();
                    }
                    XX = SatAdd(XX, Ctl->Width());
                }
                ++I;
                continue;
            }
            int N = PieceLength(I, End);
            if (AnySel) {
                if (I < SelB && I + N > SelB)
                    N = SelB - I;
                else if (I < SelE && I + N > SelE)
                    N = SelE - I;
            }
            const bool Selected = AnySel && I >= SelB && I < SelE;
            TFontObj* Run;
            SelectRunFont(Canvas, I, Run);
            HDC DC = Canvas->Handle();
            SetTextAlign(DC, TA_BASELINE);
            const TColor FontColor = Run->TheFont->Color();
            if (Selected) {
                SetBkMode(DC, OPAQUE);
                SetBkColor(DC, GdiColor(FontColor));
                SetTextColor(DC, GdiColor(Back));
            } else {
                SetBkMode(DC, TRANSPARENT);
                SetTextColor(DC, GdiColor(FontColor));
            }
            int TY = Base;
            if (!Pre) {
                if (Run->SScript == 1)
                    TY += Run->Descent / 2 + 1;
                else if (Run->SScript == 2)
                    TY -= Run->FontHeight / 3;
            }
            const int TX = XX - Run->Overhang / 2;
            const char* P = Buff.data() + I;
            if (Pre) {
                const RECT Clip{X, LineTop - YOff, SatAdd(X, IMgr->ClipWidth), YY - YOff};
                ExtTextOut(DC, TX, TY, ETO_CLIPPED, &Clip, P, static_cast<UINT>(N), nullptr);
            } else {
                TextOut(DC, TX, TY, P, N);
            }
            XX = SatAdd(XX, static_cast<std::int64_t>(TextWidthOf(DC, P, N)) - Run->Overhang);
            I += N;
        }
        YY = SatAdd(YY, L->SpaceAfter);
    }
    SetBkMode(Canvas->Handle(), TRANSPARENT);
    return Result;
}

// ---------------------------------------------------------------------------------------------
// Hit tests, search, selection

bool TSection::GetURL(TCanvas* Canvas, int X, int Y, TFormControlObj*& FormControl, TUrlTarget& UrlTarget)
{
    TFormControlObj* FC = nullptr;
    TMapItem* Map = nullptr;
    bool MapFound = false, IsMap = false;
    int Pos = 0, YIn = 0, XIn = 0;
    if (Images.PtInImage(X, SatAdd(Y, StartY), FC, Map, MapFound, IsMap, Pos, YIn, XIn)) {
        if (FC) {
            if (auto* ImageControl = dynamic_cast<TImageFormControlObj*>(FC)) {
                ImageControl->MouseX = XIn;
                ImageControl->MouseY = YIn;
            }
            FormControl = FC;
            return true;
        }
        if (MapFound)
            return Map->GetURL(XIn, YIn, UrlTarget);
        TFontObj* Run = Fonts.GetFontObjAt(Pos);
        if (!Run || Run->UrlTarget.URL.empty())
            return false;
        UrlTarget.Copy(Run->UrlTarget);
        if (IsMap)
            UrlTarget.URL += "?" + IntToStr(XIn) + "," + IntToStr(YIn);
        return true;
    }
    int Top = 0;
    for (int LI = 0; LI < Lines.Count(); ++LI) {
        LineRec* L = Line(LI);
        const int H = SatInt(static_cast<std::int64_t>(L->SpaceBefore) + L->LineHt + L->SpaceAfter);
        if (Y >= Top && Y < SatAdd(Top, H)) {
            if (X < L->DrawX)
                return false;
            const int K = FindCountThatFits(Canvas, X - L->DrawX, L->Ln, L->Start);
            if (K >= L->Ln)
                return false;
            TFontObj* Run = Fonts.GetFontObjAt(L->Start + K);
            if (!Run || Run->UrlTarget.URL.empty())
                return false;
            UrlTarget.Copy(Run->UrlTarget);
            return true;
        }
        Top = SatAdd(Top, H);
    }
    return false;
}

int TSection::FindCursor(TCanvas* Canvas, int X, int Y, TCell*& Cell, int& LineHeight, int& Top, int& CaretX)
{
    (void)Cell;
    int LineTop = 0, Before = 0;
    for (int LI = 0; LI < Lines.Count(); ++LI) {
        LineRec* L = Line(LI);
        const int H = SatInt(static_cast<std::int64_t>(L->SpaceBefore) + L->LineHt + L->SpaceAfter);
        if (Y < SatAdd(LineTop, H)) {
            LineHeight = L->LineHt;
            Top = SatAdd(LineTop, L->SpaceBefore);
            int K = 0;
            CaretX = L->DrawX;
            if (X >= L->DrawX) {
                K = FindCountThatFits(Canvas, X - L->DrawX, L->Ln, L->Start);
                CaretX = SatAdd(L->DrawX, TextWidth(Canvas, L->Start, false, K));
                if (K < L->Ln) {
                    int CharLen = 1;
                    while (K + CharLen < L->Ln && IsContinuation(Buff[L->Start + K + CharLen]))
                        ++CharLen;
                    const int W = TextWidth(Canvas, L->Start + K, false, CharLen);
                    if (CaretX + W / 2 < X) {
                        K += CharLen;
                        CaretX += W;
                    }
                }
            }
            return StartCurs + Before + K;
        }
        LineTop = SatAdd(LineTop, H);
        Before += L->Ln;
    }
    return -1;
}

bool TSection::CursorToXY(TCanvas* Canvas, int Cursor, int& X, int& Y)
{
    if (Len == 0 || Cursor < StartCurs || Cursor > StartCurs + Len)
        return false;
    const int P = Cursor - StartCurs;
    int LineY = StartY;
    for (int LI = 0; LI < Lines.Count(); ++LI) {
        LineRec* L = Line(LI);
        const bool Last = LI == Lines.Count() - 1;
        if (P < L->Start + L->Ln || (Last && P == Len)) {
            if (P < L->Start)
                return false;
            Y = LineY;
            X = SatAdd(L->LineIndent, TextWidth(Canvas, L->Start, false, P - L->Start));
            return true;
        }
        LineY = SatInt(static_cast<std::int64_t>(LineY) + L->SpaceBefore + L->LineHt + L->SpaceAfter);
    }
    return false;
}

bool TSection::GetChAtPos(int Pos, char& Ch, TObject*& Obj)
{
    if (Pos < StartCurs || Pos >= StartCurs + Len)
        return false;
    Ch = Buff[Pos - StartCurs];
    Obj = this;
    return true;
}

int TSection::FindString(int From, const std::string& ToFind, bool MatchCase)
{
    if (Len == 0 || ToFind.empty() || From >= StartCurs + Len)
        return -1;
    const std::size_t S = static_cast<std::size_t>(std::max(0, From - StartCurs));
    if (MatchCase) {
        const std::size_t P = Buff.find(ToFind, S);
        return P == std::string::npos ? -1 : StartCurs + static_cast<int>(P);
    }
    const std::size_t D = std::min<std::size_t>(ToFind.size(), 255);
    const char Lo = LowerAscii(ToFind[0]), Up = UpperAscii(ToFind[0]);
    for (std::size_t I = S; I + D <= Buff.size(); ++I) {
        if (Buff[I] != Lo && Buff[I] != Up)
            continue;
        std::size_t K = 1;
        while (K < D && LowerAscii(Buff[I + K]) == LowerAscii(ToFind[K]))
            ++K;
        if (K == D)
            return StartCurs + static_cast<int>(I);
    }
    return -1;
}

void TSection::CopyToClipboard()
{
    TSectionList* Doc = ParentSectionList;
    if (!Doc || !Doc->SelCount)
        return;
    for (int LI = 0; LI < Lines.Count(); ++LI) {
        LineRec* L = Line(LI);
        const int LS = StartCurs + L->Start, LE = LS + L->Ln;
        if (LE <= Doc->SelB || LS >= Doc->SelE)
            continue;
        if (Doc->SelB <= LS && L->LineIndent >= 35) {
            const std::string Blanks(static_cast<std::size_t>(3 * (L->LineIndent / 35)), ' ');
            Doc->SelCount->AddText(Blanks.data(), static_cast<int>(Blanks.size()));
        }
        const int A = std::max(Doc->SelB, LS), B = std::min(Doc->SelE, LE);
        Doc->SelCount->AddText(Buff.data() + (A - StartCurs), B - A);
        if (Doc->SelE >= LE)
            Doc->SelCount->AddText("\r\n", 2);
    }
}

void TSection::UpdateFonts()
{
    // The runs and the list-number font.
    Fonts.UpdateFonts(ParentSectionList);
    UpdateSpacing();
}

// ---------------------------------------------------------------------------------------------
// Preformatted text and list items

TPreFormated::TPreFormated(TSectionList* AMasterList, const TPreFormated& Source)
    : TSection(AMasterList, Source)
{
}

TSectionBase* TPreFormated::Duplicate(TSectionList* MasterList) const
{
    return new TPreFormated(MasterList, *this);
}

void TPreFormated::AddText(const std::string& Text)
{
    if (Text.empty() || Len > MaxText)
        return;
    Buff += Text;
    Len = static_cast<int>(Buff.size());
}

int TPreFormated::DrawLogic(TCanvas* Canvas, int Y, int& Curs, int& MaxWidth, IndentManager* IMgr)
{
    const int OldWidth = IMgr->Width;
    IMgr->Width = 32000;
    int Result;
    try {
        Result = TSection::DrawLogic(Canvas, Y, Curs, MaxWidth, IMgr);
    } catch (...) {
        IMgr->Width = OldWidth;
        throw;
    }
    IMgr->Width = OldWidth;
    int Mn, Mx;
    MinMaxWidth(Canvas, Mn, Mx);
    MaxWidth = Mx;
    return Result;
}

void TPreFormated::MinMaxWidth(TCanvas* Canvas, int& Min, int& Max)
{
    const int T = SatAdd(TextWidth(Canvas, 0, false, Len), Indent);
    Max = T;
    Min = std::min(500, T);
}

TUListItem::TUListItem(int ALevel, const TUrlTarget* Link, TMyFont* Font, TFontAdditions* Additions)
    : TSection(ALevel, 1, Link, Font, Additions)
{
    ListType = 2;
}

TUListItem::TUListItem(TSectionList* AMasterList, const TUListItem& Source)
    : TSection(AMasterList, Source), Plain(Source.Plain)
{
}

TSectionBase* TUListItem::Duplicate(TSectionList* MasterList) const
{
    return new TUListItem(MasterList, *this);
}

TDListItem::TDListItem(int ALevel, const TUrlTarget* Link, TMyFont* Font, TFontAdditions* Additions)
    : TSection(ALevel, 1, Link, Font, Additions)
{
    ListType = 3;
}

TDListItem::TDListItem(TSectionList* AMasterList, const TDListItem& Source) : TSection(AMasterList, Source) {}

TSectionBase* TDListItem::Duplicate(TSectionList* MasterList) const
{
    return new TDListItem(MasterList, *this);
}

TOListItem::TOListItem(int ALevel, const TUrlTarget* Link, TMyFont* Font, char ANumType, int AListNumb,
                       TFontAdditions* Additions)
    : TSection(ALevel, 1, Link, Font, Additions)
{
    ListType = 1;
    if (AListNumb < 1) {
        NumType = '1';
        ListNumb = 1;
    } else {
        NumType = ANumType;
        ListNumb = AListNumb;
    }
}

TOListItem::TOListItem(TSectionList* AMasterList, const TOListItem& Source)
    : TSection(AMasterList, Source), NumType(Source.NumType), ListNumb(Source.ListNumb)
{
}

TSectionBase* TOListItem::Duplicate(TSectionList* MasterList) const
{
    return new TOListItem(MasterList, *this);
}

std::string TOListItem::ListLabel() const
{
    return OrderedListLabel(NumType, ListNumb);
}
