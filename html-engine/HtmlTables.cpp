#include "html-engine/HtmlTables.h"

#include "platform/graphics/WinGdi.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace {

const char* const TooManyColumns = "Table has too many Columns";

// An integer attribute. The scanner reads a number that does not fit in an int as 0; sizes and
// spans that large count as the largest int instead, so COLSPAN=99999999999 is a huge span and
// not a missing one.
int AttrInt(const TAttribute* A)
{
    if (A->Value != 0)
        return A->Value;
    const std::string& T = A->Text;
    std::size_t I = 0;
    const bool Negative = I < T.size() && T[I] == '-';
    if (I < T.size() && (T[I] == '-' || T[I] == '+'))
        ++I;
    const std::size_t First = I;
    std::int64_t V = 0;
    for (; I < T.size() && T[I] >= '0' && T[I] <= '9'; ++I)
        V = std::min<std::int64_t>(V * 10 + (T[I] - '0'), std::int64_t(1) << 40);
    const bool Number = I > First && (I == T.size() || (I + 1 == T.size() && T[I] == '%'));
    return Number ? SatInt(Negative ? -V : V) : 0;
}

bool HasPercent(const TAttribute* A)
{
    return A->Text.find('%') != std::string::npos;
}

bool AttrColor(const TAttribute* A, TColor& Color)
{
    std::int32_t C = 0;
    if (!ColorFromString(A->Text, C))
        return false;
    Color = C | clPaletteRelative;
    return true;
}

// A * B / C rounded half away from zero, as MulDiv, in 64 bits (sums of column widths do not
// fit in 32). C must not be 0.
std::int64_t MulDiv64(std::int64_t A, std::int64_t B, std::int64_t C)
{
    const __int128 P = static_cast<__int128>(A) * B;
    const __int128 Half = (C < 0 ? -static_cast<__int128>(C) : static_cast<__int128>(C)) / 2;
    const __int128 R = (P < 0 ? P - Half : P + Half) / C;
    if (R > INT64_MAX)
        return INT64_MAX;
    if (R < INT64_MIN)
        return INT64_MIN;
    return static_cast<std::int64_t>(R);
}

TCellObj* NewFiller(TSectionList* Master, int RowSpan)
{
    auto* F = new TCellObj(Master, 0, nullptr);
    F->ColSpan = 0;
    F->RowSpan = RowSpan;
    return F;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Cells and rows

TCellObj::TCellObj(TSectionList* Master, int AVAlign, TAttributeList* Attributes)
    : VAlign(static_cast<std::uint8_t>(AVAlign)), Cell(std::make_unique<TCell>(Master))
{
    if (!Attributes)
        return;
    for (int I = 0; I < Attributes->Count(); ++I) {
        TAttribute* A = Attributes->Attr(I);
        switch (A->Which) {
        case BGColorSy:
            if (AttrColor(A, Cell->BkColor))
                Cell->BkGnd = true;
            break;
        case ColSpanSy:
            if (AttrInt(A) > 1)
                ColSpan = AttrInt(A);
            break;
        case RowSpanSy:
            if (AttrInt(A) > 1)
                RowSpan = AttrInt(A);
            break;
        case WidthSy:
            if (!HasPercent(A)) {
                SpecWd = AttrInt(A);
            } else if (AttrInt(A) >= 2 && AttrInt(A) <= 99) {
                // 100 percent (or 1) says nothing a cell could use.
                SpecWd = AttrInt(A);
                AsPercent = true;
            }
            break;
        case HeightSy:
            SpecHt = AttrInt(A);
            break;
        default:
            break;
        }
    }
}

TCellObj::TCellObj(TSectionList* Master, const TCellObj& Source)
    : TObject(), ColSpan(Source.ColSpan), RowSpan(Source.RowSpan), Wd(Source.Wd), Ht(Source.Ht),
      VSize(Source.VSize), SpecHt(Source.SpecHt), YIndent(Source.YIndent), VAlign(Source.VAlign),
      SpecWd(Source.SpecWd), AsPercent(Source.AsPercent), Cell(std::make_unique<TCell>(Master, *Source.Cell))
{
}

TCellList::TCellList(TAttributeList* Attributes)
{
    TAttribute* A = nullptr;
    if (Attributes && Attributes->Find(BGColorSy, A) && AttrColor(A, BkColor))
        BkGnd = true;
}

TCellList::TCellList(TSectionList* Master, const TCellList& Source)
    : TFreeList(), RowHeight(Source.RowHeight), SpannedHeight(Source.SpannedHeight), BkGnd(Source.BkGnd),
      BkColor(Source.BkColor)
{
    for (int I = 0; I < Source.Count(); ++I)
        Add(new TCellObj(Master, *Source.CellObj(I)));
}

// ---------------------------------------------------------------------------------------------
// The table

ThtmlTable::ThtmlTable(TSectionList* Master, int ALevel, TCell* AOwnerCell, int AJustify,
                       TAttributeList* Attributes)
    : Caption(std::make_unique<TCellObj>(Master, 0, nullptr)), Justify(static_cast<std::uint8_t>(AJustify)),
      Level(ALevel), OwnerCell(AOwnerCell)
{
    ParentSectionList = Master;
    for (int I = 0; Attributes && I < Attributes->Count(); ++I) {
        TAttribute* A = Attributes->Attr(I);
        const int V = AttrInt(A);
        switch (A->Which) {
        case AlignSy: {
            const std::string S = UpperCase(A->Text);
            if (S == "CENTER") {
                Justify = 2;
            } else if (S == "LEFT") {
                Justify = 1;
                Float = true;
            } else if (S == "RIGHT") {
                Justify = 3;
                Float = true;
            }
            break;
        }
        case BGColorSy:
            if (AttrColor(A, BkColor))
                BkGnd = true;
            break;
        case BorderSy:
            BorderOn = V > 0;
            break;
        case CellPaddingSy:
            if (V >= 0)
                CellPadding = static_cast<int>(std::min<std::int64_t>(std::int64_t(V) + 1, 50));
            break;
        case CellSpacingSy:
            if (V >= 0)
                CellSpacing = static_cast<int>(std::min<std::int64_t>(std::int64_t(V) + 1, 40));
            break;
        case WidthSy:
            if (!HasPercent(A)) {
                WidthAttr = V;
            } else {
                if (V >= 1 && V <= 100)
                    WidthAttr = V;
                AsPercent = true;
            }
            break;
        case BorderColorSy:
            if (AttrColor(A, BorderColor))
                BdrOn = true;
            break;
        case HSpaceSy:
            HSpace = static_cast<int>(std::min<std::int64_t>(20, std::llabs(V)));
            break;
        default:
            break;
        }
    }
    if (!BorderOn)
        --CellPadding;
}

ThtmlTable::ThtmlTable(TSectionList* Master, const ThtmlTable& Source)
    : TSectionBase(Master, Source), Caption(std::make_unique<TCellObj>(Master, *Source.Caption)),
      Initialized(Source.Initialized), BorderOn(Source.BorderOn), CaptionTop(Source.CaptionTop),
      TableIndent(Source.TableIndent), Indent(Source.Indent), Justify(Source.Justify), Float(Source.Float),
      NumCols(Source.NumCols), TableWidth(Source.TableWidth), TotalWidth(Source.TotalWidth),
      WidthAttr(Source.WidthAttr), AsPercent(Source.AsPercent), UseAbsolute(Source.UseAbsolute),
      CaptionHeight(Source.CaptionHeight), TableHeight(Source.TableHeight), CellPadding(Source.CellPadding),
      CellSpacing(Source.CellSpacing), CaptionMinWidth(Source.CaptionMinWidth), Widths(Source.Widths),
      Percents(Source.Percents), HSpace(Source.HSpace), Level(Source.Level), BkColor(Source.BkColor),
      BorderColor(Source.BorderColor)
{
    // The copy may land in another document: it keeps no cell of the original's.
    for (int I = 0; I < Source.Rows.Count(); ++I)
        Rows.Add(new TCellList(Master, *Source.Row(I)));
}

TSectionBase* ThtmlTable::Duplicate(TSectionList* MasterList) const
{
    return new ThtmlTable(MasterList, *this);
}

template <class F> bool ThtmlTable::AnyCell(F Fn) const
{
    if (CaptionTop && Fn(Caption->Cell.get()))
        return true;
    for (int R = 0; R < Rows.Count(); ++R)
        for (int C = 0; C < Row(R)->Count(); ++C)
            if (Fn(Row(R)->CellObj(C)->Cell.get()))
                return true;
    return !CaptionTop && Fn(Caption->Cell.get());
}

// ---------------------------------------------------------------------------------------------
// Grid normalisation

void ThtmlTable::Initialize()
{
    if (!BkGnd && OwnerCell && OwnerCell->BkGnd) {
        BkGnd = true;
        BkColor = OwnerCell->BkColor;
    }
    if (Initialized)
        return;
    // Too wide is known before a filler is made: a huge COLSPAN must not make millions of them.
    for (int R = 0; R < Rows.Count(); ++R) {
        std::int64_t Entries = 0;
        for (int K = 0; K < Row(R)->Count(); ++K)
            Entries += std::max(1, Row(R)->CellObj(K)->ColSpan);
        if (Entries > MaxTableCols)
            throw EProcessError(TooManyColumns);
    }
    int Widest = 0;
    for (int R = 0; R < Rows.Count(); ++R) {
        TCellList* Row = this->Row(R);
        for (int K = 0; K < Row->Count(); ++K) {
            TCell* C = Row->CellObj(K)->Cell.get();
            if (!C->BkGnd && Row->BkGnd) {
                C->BkGnd = true;
                C->BkColor = Row->BkColor;
            }
        }
        for (int K = Row->Count() - 1; K >= 0; --K) {
            TCellObj* C = Row->CellObj(K);
            if (C->SpecWd > 0 && !C->AsPercent)
                UseAbsolute = true;
            if (!C->Cell->BkGnd && BkGnd) {
                C->Cell->BkGnd = true;
                C->Cell->BkColor = BkColor;
            }
            // The fillers carry the cell's row span, so the span also covers the columns.
            for (int F = 1; F < C->ColSpan; ++F)
                Row->Insert(K + 1, NewFiller(ParentSectionList, C->RowSpan));
        }
        Widest = std::max(Widest, Row->Count());
    }
    const int RowCount = Rows.Count();
    for (int I = 0; I < Widest; ++I) {
        for (int J = 0; J < RowCount; ++J) {
            TCellList* Row = this->Row(J);
            if (I >= Row->Count())
                continue;
            TCellObj* C = Row->CellObj(I);
            C->RowSpan = std::min(C->RowSpan, RowCount - J);
            for (int K = 1; K < C->RowSpan; ++K) {
                TCellList* Below = this->Row(J + K);
                if (Below->Count() >= MaxTableCols)
                    throw EProcessError(TooManyColumns);
                while (Below->Count() < I)
                    Below->Add(NewFiller(ParentSectionList, 0));
                Below->Insert(I, NewFiller(ParentSectionList, 0));
                Widest = std::max(Widest, Below->Count());
            }
        }
    }
    NumCols = Widest;
    if (NumCols > MaxTableCols)
        throw EProcessError(TooManyColumns);
    Initialized = true;
}

// ---------------------------------------------------------------------------------------------
// Column widths

void ThtmlTable::CellMinMax(TCanvas* Canvas, TCellObj* C, int& Min, int& Max)
{
    const std::uint64_t Pass = ParentSectionList ? ParentSectionList->LayoutPass : 0;
    if (!Pass || C->RangeIn != Pass) {
        C->Cell->MinMaxWidth(Canvas, C->RangeMin, C->RangeMax);
        C->RangeIn = Pass;
    }
    Min = SatAdd(C->RangeMin, CS());
    Max = SatAdd(C->RangeMax, CS());
}

namespace {

// A spanning cell's width V spread over the columns it spans: a span whose columns together
// are narrower grows them in proportion; columns with nothing yet share it evenly.
void SpreadSpan(int* Col, int N, int V)
{
    std::int64_t Sum = 0;
    for (int I = 0; I < N; ++I)
        Sum += Col[I];
    if (Sum == 0) {
        for (int I = 0; I < N; ++I)
            Col[I] = std::max(Col[I], V / N);
    } else if (Sum < V) {
        for (int I = 0; I < N; ++I)
            Col[I] = SatInt(Col[I] + MulDiv64(Col[I], V - Sum, Sum));
    }
}

} // namespace

// Fn(cell, its column, the columns it spans, its minimum and maximum width) for every cell,
// narrow spans first, so that a wide one is spread over columns that already have widths.
template <class F> void ThtmlTable::ForCellsBySpan(TCanvas* Canvas, F Fn)
{
    std::uint32_t Spans = 0;
    for (int R = 0; R < Rows.Count(); ++R)
        for (int K = 0; K < Row(R)->Count(); ++K) {
            const TCellObj* C = Row(R)->CellObj(K);
            if (!IsFiller(C))
                Spans |= 1u << std::min(C->ColSpan, MaxTableCols);
        }
    for (int S = 1; S <= MaxTableCols; ++S) {
        if (!(Spans & (1u << S)))
            continue;
        for (int R = 0; R < Rows.Count(); ++R) {
            TCellList* Row = this->Row(R);
            for (int K = 0; K < Row->Count(); ++K) {
                TCellObj* C = Row->CellObj(K);
                if (IsFiller(C) || C->ColSpan != S)
                    continue;
                int Mn, Mx;
                CellMinMax(Canvas, C, Mn, Mx);
                Fn(C, K, std::min(S, Row->Count() - K), Mn, Mx);
            }
        }
    }
}

void ThtmlTable::PixelSpan(const TCellObj* C, int K, int N, int Mn, int Mx)
{
    if (C->ColSpan > 1) {
        SpreadSpan(&FMin[K], N, Mn);
        SpreadSpan(&FMax[K], N, Mx);
        return;
    }
    if (C->SpecWd > 0 && !C->AsPercent) {
        Mn = std::max(Mn, SatAdd(C->SpecWd, CS()));
        Mx = std::max(Mx, SatAdd(C->SpecWd, CS()));
    } else {
        Mx = SatAdd(Mx, 1);
    }
    FMin[K] = std::max(FMin[K], Mn);
    FMax[K] = std::max(FMax[K], Mx);
}

void ThtmlTable::PercentSpan(const TCellObj* C, int K, int N, int Mn, int Mx)
{
    if (C->ColSpan == 1) {
        FMin[K] = std::max(FMin[K], Mn);
        FMax[K] = std::max(FMax[K], Mx);
        Percents[K] = std::max(Percents[K], C->SpecWd);
        return;
    }
    const int End = K + N;
    std::int64_t P = 0;
    int J = 0;
    for (int I = K; I < End; ++I) {
        if (Percents[I] > 0)
            P += Percents[I];
        else
            ++J;
    }
    if (C->SpecWd > 0 || P > 0) {
        // The span's percentage goes to its columns that have none, or scales theirs.
        for (int I = K; I < End; ++I)
            if (Percents[I] <= 0)
                Percents[I] = static_cast<int>(std::max<std::int64_t>(0, (C->SpecWd - P) / J));
        if (J == 0 && P < C->SpecWd)
            for (int I = K; I < End; ++I)
                Percents[I] = SatInt(MulDiv64(Percents[I], C->SpecWd, P));
        const std::int64_t Q = std::max<std::int64_t>(C->SpecWd, P);
        for (int I = K; I < End; ++I) {
            FMax[I] = std::max(FMax[I], SatInt(MulDiv64(Mx, Percents[I], Q)));
            FMin[I] = std::max(FMin[I], SatInt(MulDiv64(Mn, Percents[I], Q)));
        }
        return;
    }
    std::int64_t SMin = 0, SMax = 0;
    for (int I = K; I < End; ++I) {
        SMin += FMin[I];
        SMax += FMax[I];
    }
    for (int I = K; I < End; ++I) {
        if (SMin != 0 && SMax != 0) {
            FMax[I] = std::max(FMax[I], SatInt(MulDiv64(Mx, FMax[I], SMax)));
            FMin[I] = std::max(FMin[I], SatInt(MulDiv64(Mn, FMin[I], SMin)));
        } else {
            FMax[I] = std::max(FMax[I], Mx / N);
            FMin[I] = std::max(FMin[I], Mn / N);
        }
    }
}

void ThtmlTable::SumColumnRange()
{
    FTotalMin = 0;
    FTotalMax = 0;
    for (int I = 0; I < NumCols; ++I) {
        FTotalMin += FMin[I];
        FTotalMax += FMax[I];
    }
}

void ThtmlTable::ColumnWidthRange(TCanvas* Canvas)
{
    FMin.fill(0);
    FMax.fill(0);
    if (UseAbsolute) {
        ForCellsBySpan(
            Canvas, [this](const TCellObj* C, int K, int N, int Mn, int Mx) { PixelSpan(C, K, N, Mn, Mx); });
    } else {
        Percents.fill(0);
        ForCellsBySpan(Canvas, [this](const TCellObj* C, int K, int N, int Mn, int Mx) {
            PercentSpan(C, K, N, Mn, Mx);
        });
    }
    SumColumnRange();
}

void ThtmlTable::MinMaxWidth(TCanvas* Canvas, int& Min, int& Max)
{
    Initialize();
    ColumnWidthRange(Canvas);
    std::int64_t Mn = FTotalMin + CellSpacing, Mx = FTotalMax + CellSpacing;
    if (WidthAttr > 0 && !AsPercent) {
        Mn = std::max<std::int64_t>(Mn, WidthAttr);
        Mx = std::max<std::int64_t>(Mx, WidthAttr);
    }
    int CMin = 0, CMax = 0;
    Caption->Cell->MinMaxWidth(Canvas, CMin, CMax);
    Min = SatInt(std::max<std::int64_t>(Mn, CMin));
    Max = SatInt(std::max<std::int64_t>(Mx, CMin));
}

void ThtmlTable::Interpolate(int Width)
{
    if (FTotalMin >= Width) {
        std::copy(FMin.begin(), FMin.end(), Widths.begin());
    } else if (Width < FTotalMax && FTotalMax != FTotalMin) {
        for (int I = 0; I < NumCols; ++I)
            Widths[I] = SatInt(FMin[I] + MulDiv64(static_cast<std::int64_t>(FMax[I]) - FMin[I],
                                                  Width - FTotalMin, FTotalMax - FTotalMin));
    } else {
        std::copy(FMax.begin(), FMax.end(), Widths.begin());
    }
}

// Columns with percentages under a percentage rule (a table WIDTH, or cell percentages that add
// up to at most 100). Leaves the widths to Interpolate when they are not settled here.
bool ThtmlTable::PercentColumnWidths(int Width)
{
    std::int64_t TP = 0, NeedP = 0, Rest = 0;
    for (int I = 0; I < NumCols; ++I) {
        TP += Percents[I];
        if (Percents[I] > 0)
            NeedP = std::max(NeedP, MulDiv64(FMax[I], 100, Percents[I]));
        else
            Rest += FMax[I];
    }
    const std::int64_t NeedR = TP > 99 ? (Rest < 1 ? 0 : 30000) : MulDiv64(Rest, 100, 100 - TP);
    if (Width >= std::max(NeedP, NeedR)) {
        // Every column gets at least its widest: the percentages of T, the rest in proportion.
        const std::int64_t T = WidthAttr > 0 ? Width : std::max(NeedP, NeedR);
        const std::int64_t Share = MulDiv64(T, std::max<std::int64_t>(0, 100 - TP), 100);
        for (int I = 0; I < NumCols; ++I) {
            if (Percents[I] > 0)
                Widths[I] = SatInt(MulDiv64(T, Percents[I], 100));
            else
                Widths[I] = Rest < 1 ? 0 : SatInt(MulDiv64(FMax[I], Share, Rest));
        }
        return true;
    }
    // Too narrow for every percentage: columns whose share is below their minimum give theirs
    // up, the rest are scaled down until they fit beside the fixed columns.
    for (;;) {
        std::int64_t Fixed = 0, PSum = 0;
        bool Any = false;
        for (int I = 0; I < NumCols; ++I) {
            if (Percents[I] > 0) {
                const std::int64_t W = MulDiv64(Width, Percents[I], 100) - 1;
                if (W < FMin[I]) {
                    Percents[I] = 0;
                    Fixed += FMin[I];
                } else {
                    PSum += W;
                    Any = true;
                }
            } else {
                Fixed += FMin[I];
            }
        }
        if (!Any)
            break;
        if (Width < Fixed + PSum && PSum > 0) {
            // Each pass lowers every percentage, so this ends.
            for (int I = 0; I < NumCols; ++I)
                if (Percents[I] > 0)
                    Percents[I] =
                        static_cast<int>(std::max<std::int64_t>(0, Percents[I] * (Width - Fixed) / PSum));
            continue;
        }
        for (int I = 0; I < NumCols; ++I)
            if (Percents[I] > 0)
                FMin[I] = FMax[I] = SatInt(MulDiv64(Width, Percents[I], 100));
        SumColumnRange();
        break;
    }
    return false;
}

void ThtmlTable::SetColumnWidths(int Width, bool HasWidth)
{
    Widths.fill(0);
    if (FTotalMin >= Width) {
        std::copy(FMin.begin(), FMin.end(), Widths.begin());
        return;
    }
    if (UseAbsolute) {
        if (Width < FTotalMax || HasWidth) {
            // The room beyond the minima goes to the columns by how much more they could use;
            // with nothing to go by, the minima stay.
            if (FTotalMax > FTotalMin) {
                for (int I = 0; I < NumCols; ++I)
                    Widths[I] = SatInt(FMin[I] + MulDiv64(static_cast<std::int64_t>(FMax[I]) - FMin[I],
                                                          Width - FTotalMin, FTotalMax - FTotalMin));
            } else if (FTotalMin > 0) {
                for (int I = 0; I < NumCols; ++I)
                    Widths[I] = SatInt(FMin[I] + MulDiv64(FMin[I], Width - FTotalMin, FTotalMin));
            } else {
                std::copy(FMin.begin(), FMin.end(), Widths.begin());
            }
        } else {
            std::copy(FMax.begin(), FMax.end(), Widths.begin());
        }
        return;
    }
    std::int64_t TP = 0;
    for (int I = 0; I < NumCols; ++I)
        TP += Percents[I];
    if (((TP > 0 && TP <= 100) || WidthAttr > 0) && PercentColumnWidths(Width))
        return;
    Interpolate(Width);
}

// ---------------------------------------------------------------------------------------------
// Layout

int ThtmlTable::MeasureCell(TCanvas* Canvas, TCellObj* C, int Width)
{
    const std::uint64_t Pass = ParentSectionList ? ParentSectionList->LayoutPass : 0;
    if (Pass && C->MeasuredIn == Pass && C->MeasuredWidth == Width)
        return C->MeasuredHeight;
    int Curs = 0, W = 0;
    C->MeasuredHeight = C->Cell->DoLogic(Canvas, 0, Curs, W, Width);
    C->MeasuredIn = Pass;
    C->MeasuredWidth = Width;
    return C->MeasuredHeight;
}

void ThtmlTable::RowHeights(TCanvas* Canvas, std::vector<int>& RowHt)
{
    const int N = Rows.Count();
    std::vector<int> Spans;
    for (int R = 0; R < N; ++R) {
        TCellList* Row = this->Row(R);
        for (int K = 0; K < Row->Count(); ++K) {
            TCellObj* C = Row->CellObj(K);
            if (IsFiller(C))
                continue;
            std::int64_t Wd = 0;
            for (int I = K; I < K + C->ColSpan && I <= MaxTableCols; ++I)
                Wd += Widths[I];
            C->Wd = SatInt(Wd);
            Spans.push_back(C->RowSpan);
        }
    }
    // Only the span values that occur: a ROWSPAN of two billion costs one pass, not billions.
    std::sort(Spans.begin(), Spans.end());
    Spans.erase(std::unique(Spans.begin(), Spans.end()), Spans.end());
    if (Spans.empty() || Spans.front() != 1)
        Spans.insert(Spans.begin(), 1);
    for (const int S : Spans) {
        for (int R = 0; R + S <= N; ++R) {
            TCellList* Row = this->Row(R);
            bool Any = false;
            std::int64_t Need = 0;
            for (int K = 0; K < Row->Count(); ++K) {
                TCellObj* C = Row->CellObj(K);
                if (IsFiller(C) || C->RowSpan != S)
                    continue;
                C->VSize = MeasureCell(Canvas, C, std::max(1, C->Wd - CS()));
                Need = std::max<std::int64_t>(
                    Need, std::max<std::int64_t>(C->VSize, std::int64_t(C->SpecHt) - 2 * CellPadding + 2));
                Any = true;
            }
            const std::int64_t H = Need + CS();
            if (S == 1) {
                RowHt[R] = SatInt(H);
            } else if (Any) {
                std::int64_t Sum = 0;
                for (int I = R; I < R + S; ++I)
                    Sum += RowHt[I];
                if (Sum < H) {
                    // The extra height is shared by the spanned rows, the remainder to the last.
                    const std::int64_t D = H - Sum;
                    for (int I = R; I < R + S; ++I)
                        RowHt[I] = SatInt(RowHt[I] + D / S);
                    RowHt[R + S - 1] = SatInt(RowHt[R + S - 1] + D % S);
                }
            }
        }
    }
}

int ThtmlTable::DrawLogic(TCanvas* Canvas, int Y, int& Curs, int& MaxWidth, IndentManager* IMgr)
{
    StartY = Y;
    StartCurs = Curs;
    IMgr->SetLevel(Y, Level);
    const int Avail = SatInt(static_cast<std::int64_t>(IMgr->RightSide(Y)) - IMgr->LeftIndent(Y));
    std::int64_t Want = Avail;
    const bool HasWidth = WidthAttr >= 1;
    if (HasWidth)
        Want = AsPercent ? MulDiv64(Avail, WidthAttr, 100) : WidthAttr;
    const int Width = SatInt(std::max<std::int64_t>(Want - CellSpacing, 20));

    Initialize();
    ColumnWidthRange(Canvas);
    SetColumnWidths(Width, HasWidth);
    std::int64_t Sum = CellSpacing;
    for (int I = 0; I < NumCols; ++I)
        Sum += Widths[I];
    TableWidth = SatInt(Sum);
    int CMax = 0;
    Caption->Cell->MinMaxWidth(Canvas, CaptionMinWidth, CMax);
    TotalWidth = std::max(TableWidth, CaptionMinWidth);

    std::vector<int> RowHt(static_cast<std::size_t>(Rows.Count()));
    RowHeights(Canvas, RowHt);

    int W = 0;
    int YY = Y;
    SectionHeight = 0;
    if (CaptionTop) {
        CaptionHeight = Caption->Cell->DoLogic(Canvas, YY, Curs, W, TotalWidth);
        SectionHeight = CaptionHeight;
        YY = SatAdd(YY, CaptionHeight);
    }
    const int GridTop = YY;
    for (int R = 0; R < Rows.Count(); ++R) {
        TCellList* Row = this->Row(R);
        Row->RowHeight = RowHt[R];
        Row->SpannedHeight = 0;
        for (int K = 0; K < Row->Count(); ++K) {
            TCellObj* C = Row->CellObj(K);
            if (IsFiller(C))
                continue;
            std::int64_t Ht = 0;
            for (int I = R; I < R + C->RowSpan; ++I)
                Ht += RowHt[I];
            C->Ht = SatInt(Ht);
            Row->SpannedHeight = std::max(Row->SpannedHeight, C->Ht);
            C->YIndent = 0;
            if (C->Cell->Count() == 0)
                continue;
            const std::int64_t E = Ht - C->VSize - CS();
            C->YIndent = C->VAlign == 1 ? SatInt(E / 2) : C->VAlign == 2 ? SatInt(E) : 0;
            const int CellWidth = std::max(1, C->Wd - CS());
            const int CellY = SatInt(std::int64_t(YY) + CellSpacing + CellPadding + C->YIndent);
            // The real layout is a measure at this width as good as the first one.
            C->MeasuredHeight = C->Cell->DoLogic(Canvas, CellY, Curs, W, CellWidth);
            C->MeasuredWidth = CellWidth;
            C->MeasuredIn = ParentSectionList ? ParentSectionList->LayoutPass : 0;
        }
        SectionHeight = SatAdd(SectionHeight, Row->RowHeight);
        YY = SatAdd(YY, Row->RowHeight);
    }
    SectionHeight = SatAdd(SectionHeight, CellSpacing);
    TableHeight = SatInt(std::int64_t(YY) - GridTop + CellSpacing);
    if (!CaptionTop) {
        CaptionHeight = Caption->Cell->DoLogic(Canvas, SatAdd(StartY, TableHeight), Curs, W, TotalWidth);
        SectionHeight = SatAdd(SectionHeight, CaptionHeight);
    }

    std::int64_t Ind = 0;
    if (TotalWidth < Avail) {
        if (Justify == 2)
            Ind = (static_cast<std::int64_t>(Avail) - TotalWidth) / 2;
        else if (Justify == 3)
            Ind = static_cast<std::int64_t>(Avail) - TotalWidth;
    }
    Indent = SatInt(Ind + IMgr->LeftIndent(StartY));
    TableIndent = SatInt((static_cast<std::int64_t>(TotalWidth) - TableWidth) / 2 + Indent);
    Len = Curs - StartCurs;
    MaxWidth = TotalWidth;
    DrawHeight = SectionHeight;
    if (Float) {
        // Text flows beside it: the table takes no height in the flow.
        IMgr->UpdateTable(StartY, SatAdd(TotalWidth, std::int64_t(HSpace) + 1), Justify, SectionHeight);
        SectionHeight = 0;
    }
    return SectionHeight;
}

// ---------------------------------------------------------------------------------------------
// Painting

void ThtmlTable::DrawOutline(TCanvas* Canvas, int Left, int Top, int Right, int Bottom, bool Raised) const
{
    const bool Light = IsLightBackground(ParentSectionList ? ParentSectionList->Background : clWhite);
    const TColor Highlight = Light ? clSilver : clBtnHighlight;
    TPen* Pen = Canvas->Pen();
    const TColor Old = Pen->Color();
    Pen->SetColor(Raised ? Highlight : clBtnShadow);
    Canvas->MoveTo(Left, Bottom);
    Canvas->LineTo(Left, Top);
    Canvas->LineTo(Right, Top);
    Pen->SetColor(Raised ? clBtnShadow : Highlight);
    Canvas->LineTo(Right, Bottom);
    Canvas->LineTo(Left, Bottom);
    Pen->SetColor(Old);
}

int ThtmlTable::Draw(TCanvas* Canvas, const TRect& ARect, int Y, int X, IndentManager* IMgr)
{
    (void)IMgr;
    const int Result = SatAdd(Y, SectionHeight);
    const int YOff = ParentSectionList ? ParentSectionList->YOff : 0;
    if (SatAdd(Y, static_cast<std::int64_t>(DrawHeight) - YOff) < ARect.top ||
        SatAdd(Y, -YOff) >= ARect.bottom)
        return Result;
    DrawX = SatAdd(X, TableIndent);
    DrawY = Y;
    const int CaptionX = SatAdd(X, Indent);
    if (CaptionTop)
        Caption->Cell->Draw(Canvas, ARect, Y, CaptionX, TotalWidth);
    // The grid starts where layout put it, below the caption's floats too.
    const int G = CaptionTop ? SatAdd(Y, CaptionHeight) : Y;
    HRGN Gaps = nullptr;
    if (BdrOn)
        Gaps = CreateRectRgn(DrawX, std::max(ARect.top - 1, SatAdd(G, -YOff)), SatAdd(DrawX, TableWidth),
                             std::min(ARect.bottom, SatAdd(G, std::int64_t(TableHeight) - YOff)));
    TBrush* Brush = Canvas->Brush();
    const TColor OldBrush = Brush->Color();
    const TBrushStyle OldStyle = Brush->Style();
    int YY = G;
    for (int R = 0; R < Rows.Count(); ++R) {
        TCellList* Row = this->Row(R);
        const int SY = SatAdd(YY, -YOff);
        if (SatAdd(SY, Row->SpannedHeight) >= ARect.top && SY < ARect.bottom) {
            int XX = DrawX;
            for (int K = 0; K < Row->Count(); ++K) {
                TCellObj* C = Row->CellObj(K);
                if (!IsFiller(C) && C->Cell->Count() > 0) {
                    const int Left = SatAdd(XX, CellSpacing), Top = SatAdd(SY, CellSpacing);
                    const int Right = SatAdd(XX, C->Wd), Bottom = SatAdd(SY, C->Ht);
                    if (C->Cell->BkGnd) {
                        Brush->SetColor(C->Cell->BkColor);
                        Brush->SetStyle(bsSolid);
                        Canvas->FillRect(Rect(Left, Top, SatAdd(Right, 1), SatAdd(Bottom, 1)));
                    }
                    C->Cell->Draw(Canvas, ARect,
                                  SatInt(std::int64_t(YY) + CellSpacing + CellPadding + C->YIndent),
                                  SatAdd(Left, CellPadding), std::max(1, C->Wd - CS()));
                    if (BorderOn)
                        DrawOutline(Canvas, Left, Top, Right, Bottom, false);
                    if (Gaps) {
                        const int Edge = BorderOn ? 1 : 0;
                        HRGN Box = CreateRectRgn(Left, Top, SatAdd(Right, Edge), SatAdd(Bottom, Edge));
                        CombineRgn(Gaps, Gaps, Box, RGN_DIFF);
                        DeleteObject(Box);
                    }
                }
                XX = SatAdd(XX, Widths[K]);
            }
        }
        YY = SatAdd(YY, Row->RowHeight);
    }
    if (Gaps) {
        HBRUSH B = CreateSolidBrush(ColorToColorRef(BorderColor));
        FillRgn(Canvas->Handle(), Gaps, B);
        DeleteObject(B);
        DeleteObject(Gaps);
    }
    Brush->SetColor(OldBrush);
    Brush->SetStyle(OldStyle);
    if (BorderOn)
        DrawOutline(Canvas, DrawX, SatAdd(G, -YOff), SatAdd(DrawX, TableWidth),
                    SatInt(std::int64_t(YY) + CellSpacing - YOff), true);
    if (!CaptionTop)
        Caption->Cell->Draw(Canvas, ARect, SatAdd(G, TableHeight), CaptionX, TotalWidth);
    return Result;
}

// ---------------------------------------------------------------------------------------------
// Hit tests, search, selection

TCellObj* ThtmlTable::CellAt(int X, int Y, int& RowTop) const
{
    int Top = 0;
    for (int R = 0; R < Rows.Count() && Y >= Top; ++R) {
        const TCellList* Row = this->Row(R);
        std::int64_t XX = DrawX;
        for (int K = 0; K < Row->Count(); ++K) {
            TCellObj* C = Row->CellObj(K);
            if (!IsFiller(C) && X >= XX && X < XX + C->Wd && Y < std::int64_t(Top) + C->Ht) {
                RowTop = Top;
                return C;
            }
            XX += Widths[K];
        }
        Top = SatAdd(Top, Row->RowHeight);
    }
    return nullptr;
}

ThtmlTable::TPart ThtmlTable::PartAt(int X, int Y) const
{
    const bool InGrid = X >= DrawX && X <= std::int64_t(DrawX) + TableWidth;
    const std::int64_t CaptionLeft = std::int64_t(DrawX) + Indent - TableIndent;
    const bool InCaption = X >= CaptionLeft && X <= CaptionLeft + TotalWidth;
    const bool GridBand = CaptionTop ? Y >= CaptionHeight : Y < TableHeight;
    if (GridBand && InGrid)
        return TPart::Grid;
    if (!GridBand && InCaption)
        return TPart::Caption;
    return TPart::None;
}

bool ThtmlTable::GetURL(TCanvas* Canvas, int X, int Y, TFormControlObj*& FormControl, TUrlTarget& UrlTarget)
{
    if (Y > DrawHeight)
        return false;
    switch (PartAt(X, Y)) {
    case TPart::Grid: {
        const int GY = CaptionTop ? Y - CaptionHeight : Y;
        int RowTop = 0;
        TCellObj* C = CellAt(X, GY, RowTop);
        return C && C->Cell->GetURL(Canvas, X, ContentY(C, GY, RowTop), FormControl, UrlTarget);
    }
    case TPart::Caption:
        return Caption->Cell->GetURL(Canvas, X, CaptionTop ? Y : Y - TableHeight, FormControl, UrlTarget);
    default:
        return false;
    }
}

int ThtmlTable::FindCursor(TCanvas* Canvas, int X, int Y, TCell*& Cell, int& LineHeight, int& Top,
                           int& CaretX)
{
    if (Y > SectionHeight)
        return -1;
    switch (PartAt(X, Y)) {
    case TPart::Grid: {
        const int Above = CaptionTop ? CaptionHeight : 0;
        const int GY = Y - Above;
        int RowTop = 0;
        TCellObj* C = CellAt(X, GY, RowTop);
        if (!C)
            return -1;
        const int Result =
            C->Cell->FindCursor(Canvas, X, ContentY(C, GY, RowTop), Cell, LineHeight, Top, CaretX);
        Top = SatInt(std::int64_t(Top) + Above + RowTop + CellSpacing + CellPadding + C->YIndent);
        return Result;
    }
    case TPart::Caption: {
        const int Above = CaptionTop ? 0 : TableHeight;
        const int Result = Caption->Cell->FindCursor(Canvas, X, Y - Above, Cell, LineHeight, Top, CaretX);
        Top = SatAdd(Top, Above);
        return Result;
    }
    default:
        return -1;
    }
}

int ThtmlTable::FindString(int From, const std::string& ToFind, bool MatchCase)
{
    int Found = -1;
    AnyCell([&](TCell* C) { return (Found = C->FindString(From, ToFind, MatchCase)) >= 0; });
    return Found;
}

bool ThtmlTable::CursorToXY(TCanvas* Canvas, int Cursor, int& X, int& Y)
{
    if (Len == 0 || Cursor < StartCurs || Cursor > StartCurs + Len)
        return false;
    return AnyCell([&](TCell* C) { return C->CursorToXY(Canvas, Cursor, X, Y); });
}

bool ThtmlTable::GetChAtPos(int Pos, char& Ch, TObject*& Obj)
{
    if (Pos < StartCurs || Pos > StartCurs + Len)
        return false;
    return AnyCell([&](TCell* C) { return C->GetChAtPos(Pos, Ch, Obj); });
}

void ThtmlTable::CopyToClipboard()
{
    AnyCell([](TCell* C) {
        C->CopyToClipboard();
        return false;
    });
}

void ThtmlTable::UpdateFonts()
{
    for (int R = 0; R < Rows.Count(); ++R)
        for (int K = 0; K < Row(R)->Count(); ++K)
            Row(R)->CellObj(K)->UpdateFonts();
    Caption->UpdateFonts();
}

bool ThtmlTable::HoldsObject(const TObject* Obj) const
{
    return Obj == this || AnyCell([Obj](TCell* C) { return C->HoldsObject(Obj); });
}
