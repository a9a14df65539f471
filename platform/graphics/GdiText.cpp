// Fonts and text: face-name mapping to the installed free fonts, metrics at a fixed 96 dpi, text
// measurement with whole-pixel advances and no kerning (so a run measures the same alone and inside
// its line), text output, DrawText formatting and font enumeration.
#include "platform/qt/Bidi.h"
#include "platform/qt/GdiPrivate.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QHash>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>

namespace gdi {
namespace {

// Classic face names and what stands in for them. Matched without regard to case.
struct TAlias {
    const char* Name;
    const char* Family;
    bool Raster;      // a bitmap font on the original platform
    bool Oem = false; // in the OEM character set there
};
const TAlias Aliases[] = {
    {"Arial", "Liberation Sans", false},
    {"Helvetica", "Liberation Sans", false},
    {"MS Sans Serif", "Liberation Sans", true},
    {"Microsoft Sans Serif", "Liberation Sans", false},
    {"MS Shell Dlg", "Liberation Sans", false},
    {"MS Shell Dlg 2", "Liberation Sans", false},
    {"System", "Liberation Sans", true},
    {"Small Fonts", "Liberation Sans", true},
    {"Tahoma", "DejaVu Sans", false},
    {"Verdana", "DejaVu Sans", false},
    {"Times New Roman", "Liberation Serif", false},
    {"Times", "Liberation Serif", false},
    {"MS Serif", "Liberation Serif", true},
    {"Georgia", "DejaVu Serif", false},
    {"Courier New", "Liberation Mono", false},
    {"Courier", "Liberation Mono", true},
    {"Terminal", "Liberation Mono", true, true},
    {"Fixedsys", "Liberation Mono", true},
    {"Lucida Console", "DejaVu Sans Mono", false},
};

const TAlias* FindAlias(const QString& Face)
{
    for (const TAlias& A : Aliases)
        if (Face.compare(QLatin1String(A.Name), Qt::CaseInsensitive) == 0)
            return &A;
    return nullptr;
}

const QHash<QString, QString>& Installed()
{
    static const QHash<QString, QString> Map = [] {
        QHash<QString, QString> M;
        for (const QString& F : QFontDatabase::families())
            M.insert(F.toLower(), F);
        return M;
    }();
    return Map;
}

BYTE FamilyBits(const QString& Family, bool Fixed)
{
    if (Fixed || Family.contains(QLatin1String("Mono"), Qt::CaseInsensitive))
        return FF_MODERN;
    if (Family.contains(QLatin1String("Serif"), Qt::CaseInsensitive) &&
        !Family.contains(QLatin1String("Sans"), Qt::CaseInsensitive))
        return FF_ROMAN;
    return FF_SWISS;
}

QFont BuildQFont(const LOGFONT& Lf, int Em)
{
    QFont Q;
    Q.setFamily(MappedFamily(Lf.lfFaceName, Lf.lfPitchAndFamily));
    Q.setPixelSize(std::max(1, Em));
    Q.setKerning(false);
    Q.setHintingPreference(QFont::PreferFullHinting);
    int Strategy = QFont::PreferMatch;
    if (Lf.lfQuality != ANTIALIASED_QUALITY && Lf.lfQuality != CLEARTYPE_QUALITY)
        Strategy |= QFont::NoAntialias;
    Q.setStyleStrategy(QFont::StyleStrategy(Strategy));
    const int W = Lf.lfWeight == FW_DONTCARE ? FW_NORMAL : std::clamp(int(Lf.lfWeight), 100, 900);
    Q.setWeight(QFont::Weight(W));
    Q.setItalic(Lf.lfItalic != 0);
    Q.setUnderline(Lf.lfUnderline != 0);
    Q.setStrikeOut(Lf.lfStrikeOut != 0);
    return Q;
}

int CellHeight(const LOGFONT& Lf, int Em)
{
    const QFontMetrics M(BuildQFont(Lf, Em));
    return M.ascent() + M.descent();
}

// The em height for a LOGFONT height: negative = em, positive = cell (ascent + descent).
int EmFor(const LOGFONT& Lf)
{
    if (Lf.lfHeight < 0)
        return std::min(-Lf.lfHeight, 2000);
    if (Lf.lfHeight == 0)
        return 13; // the default: 10 points at 96 dpi
    const int Cell = std::min<int>(Lf.lfHeight, 2000);
    const int Ref = CellHeight(Lf, 100);
    int Em = std::max(1, int(std::lround(Cell * 100.0 / std::max(Ref, 1))));
    while (Em > 1 && CellHeight(Lf, Em) > Cell)
        --Em;
    while (CellHeight(Lf, Em + 1) <= Cell)
        ++Em;
    return Em;
}

// The average width the way the classic fonts state it: lower-case letters and the space,
// weighted by their frequency in English text. (The free fonts' own average counts every glyph
// and would make dialogs laid out in average characters far too wide.)
int AverageWidth(TFont* F)
{
    static const int Weights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                    56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
    long Sum = 0;
    for (int I = 0; I < 26; ++I)
        Sum += long(Weights[I]) * F->Metrics->horizontalAdvance(QChar(u'a' + I));
    Sum += long(Weights[26]) * F->Metrics->horizontalAdvance(QChar(u' '));
    return int((Sum + 500) / 1000);
}

void FillMetric(TFont* F)
{
    const QFontMetrics& M = *F->Metrics;
    TEXTMETRIC& T = F->Metric;
    T = TEXTMETRIC();
    T.tmAscent = M.ascent();
    T.tmDescent = M.descent();
    T.tmHeight = T.tmAscent + T.tmDescent;
    T.tmInternalLeading = std::max(0, T.tmHeight - F->EmHeight);
    T.tmExternalLeading = std::max(0, M.leading());
    T.tmAveCharWidth = AverageWidth(F);
    T.tmMaxCharWidth = M.maxWidth();
    T.tmWeight = F->Font.weight();
    T.tmOverhang = 0;
    T.tmItalic = F->Log.lfItalic ? 1 : 0;
    T.tmUnderlined = F->Log.lfUnderline ? 1 : 0;
    T.tmStruckOut = F->Log.lfStrikeOut ? 1 : 0;
    const QFontInfo Info(F->Font);
    const bool Fixed = Info.fixedPitch();
    T.tmPitchAndFamily =
        BYTE((Fixed ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE | FamilyBits(Info.family(), Fixed));
    T.tmCharSet = F->Log.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : F->Log.lfCharSet;
}

TGlyph LookupGlyph(TFont* F, char32_t C)
{
    TGlyph G;
    if (C < 0x20 || C == 0x7F)
        return G; // control characters take no room and draw nothing
    const QString S = QString::fromUcs4(&C, 1);
    G.Advance = F->Metrics->horizontalAdvance(S);
    const QList<quint32> Idx = F->Raw.isValid() ? F->Raw.glyphIndexesForString(S) : QList<quint32>();
    if (Idx.size() == 1 && Idx[0] != 0)
        G.Index = Idx[0];
    return G;
}

// The ASCII table in one go: the glyphs of all printable characters looked up together, and each
// advance through the one-character path of the metrics, which measures what a one-character
// string measures without laying a string out. Fonts are built often while forms are made.
void FillAscii(TFont* F)
{
    constexpr int First = 0x20, Count = 0x7F - First;
    QChar Chars[Count];
    for (int I = 0; I < Count; ++I)
        Chars[I] = QChar(First + I);
    quint32 Index[Count] = {};
    int Found = Count;
    if (!F->Raw.isValid() || !F->Raw.glyphIndexesForChars(Chars, Count, Index, &Found) || Found != Count)
        std::fill(std::begin(Index), std::end(Index), 0u);
    for (int I = 0; I < Count; ++I) {
        TGlyph& G = F->Ascii[std::size_t(First + I)];
        G.Advance = F->Metrics->horizontalAdvance(Chars[I]);
        G.Index = Index[I];
    }
}

} // namespace

std::vector<std::pair<QString, QString>> FaceSubstitutes()
{
    std::vector<std::pair<QString, QString>> Out;
    for (const TAlias& A : Aliases)
        Out.emplace_back(QLatin1String(A.Name), QLatin1String(A.Family));
    return Out;
}

QString MappedFamily(const char* FaceName, BYTE PitchAndFamily)
{
    const QString Face = QString::fromUtf8(FaceName ? FaceName : "").trimmed();
    if (const TAlias* A = FindAlias(Face))
        return QLatin1String(A->Family);
    if (!Face.isEmpty()) {
        const auto It = Installed().find(Face.toLower());
        if (It != Installed().end())
            return *It;
    }
    if ((PitchAndFamily & 3) == FIXED_PITCH || (PitchAndFamily & 0xF0) == FF_MODERN)
        return QStringLiteral("Liberation Mono");
    if ((PitchAndFamily & 0xF0) == FF_ROMAN)
        return QStringLiteral("Liberation Serif");
    return QStringLiteral("Liberation Sans");
}

const TGlyph& TFont::Glyph(char32_t C)
{
    if (C < 128)
        return Ascii[C];
    auto It = Others.find(C);
    if (It == Others.end()) {
        const std::lock_guard<std::mutex> Hold(Shared->Lock);
        auto S = Shared->Map.find(C);
        if (S == Shared->Map.end())
            S = Shared->Map.emplace(C, LookupGlyph(this, C)).first;
        It = Others.emplace(C, S->second).first;
    }
    return It->second;
}

namespace {

TFont* BuildFont(const LOGFONT& Log)
{
    auto* F = new TFont;
    F->Log = Log;
    F->EmHeight = EmFor(F->Log);
    F->Font = BuildQFont(F->Log, F->EmHeight);
    F->Metrics = std::make_unique<QFontMetrics>(F->Font);
    if (Log.lfWidth > 0) {
        const int Natural = std::max(1, AverageWidth(F));
        F->Font.setStretch(std::clamp(int(std::lround(Log.lfWidth * 100.0 / Natural)), 1, 4000));
        F->Metrics = std::make_unique<QFontMetrics>(F->Font);
    }
    F->Raw = QRawFont::fromFont(F->Font);
    F->Masks = NewGlyphMasks();
    FillAscii(F);
    FillMetric(F);
    return F;
}

// Every field that shapes the built font, the face up to its NUL.
std::string FontKey(const LOGFONT& L)
{
    const LONG Longs[] = {L.lfHeight, L.lfWidth, L.lfEscapement, L.lfOrientation, L.lfWeight};
    const BYTE Bytes[] = {L.lfItalic,       L.lfUnderline,     L.lfStrikeOut, L.lfCharSet,
                          L.lfOutPrecision, L.lfClipPrecision, L.lfQuality,   L.lfPitchAndFamily};
    std::string K(reinterpret_cast<const char*>(Longs), sizeof Longs);
    K.append(reinterpret_cast<const char*>(Bytes), sizeof Bytes);
    K += L.lfFaceName;
    return K;
}

} // namespace

const QFont& TFont::DrawFont(bool Smooth)
{
    std::optional<QFont>& D = Drawn[Smooth ? 1 : 0];
    if (!D) {
        D = Font;
        if (!Smooth)
            D->setStyleStrategy(QFont::StyleStrategy(D->styleStrategy() | QFont::NoAntialias));
        D->setUnderline(false);
        D->setStrikeOut(false);
    }
    return *D;
}

// Building a font shapes each ASCII character once, which costs far more than the text drawn
// with it; callers that select the same font over and over (a canvas re-creating its handle on
// each font change) get a copy of the one built first. The copy shares Qt's implicitly shared
// font data and starts with the same glyph tables, so it measures and draws exactly alike.
TFont* NewFont(const LOGFONT& Log)
{
    LOGFONT L = Log;
    L.lfFaceName[LF_FACESIZE - 1] = 0;
    // Qt's font engines belong to the application object: built fonts serve only while the one
    // that built them lives. A benchmark or tool may run several applications one after another.
    // The stale ones are kept, never freed, as freeing Qt font data after its application is gone
    // is not safe.
    static auto& Built = *new std::unordered_map<std::string, std::unique_ptr<TFont>>;
    static auto& Stale = *new std::vector<std::unique_ptr<TFont>>;
    static std::mutex Lock;
    static bool Watching = false;
    const std::lock_guard<std::mutex> Hold(Lock);
    if (!Watching) {
        QCoreApplication* App = QCoreApplication::instance();
        if (!App)
            return BuildFont(L);
        QObject::connect(App, &QObject::destroyed, [] {
            const std::lock_guard<std::mutex> Hold(Lock);
            for (auto& Entry : Built)
                Stale.push_back(std::move(Entry.second));
            Built.clear();
            Watching = false;
        });
        Watching = true;
    }
    std::string Key = FontKey(L);
    auto It = Built.find(Key);
    if (It == Built.end()) {
        if (Built.size() >= 512)
            Built.clear();
        It = Built.emplace(std::move(Key), std::unique_ptr<TFont>(BuildFont(L))).first;
    }
    const TFont& P = *It->second;
    auto* F = new TFont;
    F->Log = L;
    F->Font = P.Font;
    F->Metric = P.Metric;
    F->EmHeight = P.EmHeight;
    F->Raw = P.Raw;
    F->Metrics = std::make_unique<QFontMetrics>(*P.Metrics);
    F->Ascii = P.Ascii;
    F->Others = P.Others;
    F->Shared = P.Shared;
    F->Masks = P.Masks;
    return F;
}

TFont* CurrentFont(const TDc* Dc)
{
    return Dc->St.Font ? Dc->St.Font : static_cast<TFont*>(StockObject(SYSTEM_FONT));
}

// Bad bytes are taken as Latin-1 characters one by one, so nothing is lost and nothing hangs.
void DecodeUtf8(const char* Text, int Count, std::vector<char32_t>& Chars, std::vector<int>* ByteLen)
{
    Chars.clear();
    if (ByteLen)
        ByteLen->clear();
    if (!Text)
        return;
    const auto* S = reinterpret_cast<const unsigned char*>(Text);
    int I = 0;
    while (I < Count) {
        const unsigned char B = S[I];
        int Len = 1;
        char32_t C = B;
        if (B >= 0xC2 && B <= 0xF4) {
            const int Need = B >= 0xF0 ? 3 : B >= 0xE0 ? 2 : 1;
            if (I + Need < Count) {
                bool Ok = true;
                char32_t V = B & (0x3F >> Need);
                for (int K = 1; K <= Need; ++K) {
                    if ((S[I + K] & 0xC0) != 0x80) {
                        Ok = false;
                        break;
                    }
                    V = (V << 6) | (S[I + K] & 0x3F);
                }
                static const char32_t Min[4] = {0, 0x80, 0x800, 0x10000};
                if (Ok && V >= Min[Need] && V <= 0x10FFFF && !(V >= 0xD800 && V <= 0xDFFF)) {
                    C = V;
                    Len = Need + 1;
                }
            }
        }
        Chars.push_back(C);
        if (ByteLen)
            ByteLen->push_back(Len);
        I += Len;
    }
}

int TextWidth(TFont* F, const TDc* Dc, const char32_t* Chars, int N)
{
    int W = 0;
    for (int I = 0; I < N; ++I)
        W += F->Glyph(Chars[I]).Advance;
    return W + (Dc ? Dc->St.CharExtra * N : 0);
}

namespace {

int StrLen(const char* Text, int Count)
{
    if (!Text)
        return 0;
    return Count < 0 ? int(std::strlen(Text)) : Count;
}

// Advances of each character: from Dx (per byte) when given, else the font's plus the character
// extra and the justification of break characters.
void Advances(TFont* F, TDc* Dc, const std::vector<char32_t>& Chars, const std::vector<int>& Lens,
              const int* Dx, std::vector<int>& A)
{
    A.resize(Chars.size());
    int Byte = 0;
    int Breaks = Dc->St.JustifyBreaks, Extra = Dc->St.JustifyExtra;
    for (std::size_t I = 0; I < Chars.size(); ++I) {
        if (Dx) {
            int Sum = 0;
            for (int K = 0; K < Lens[I]; ++K)
                Sum += Dx[Byte + K];
            A[I] = Sum;
        } else {
            A[I] = F->Glyph(Chars[I]).Advance + Dc->St.CharExtra;
            if (Chars[I] == U' ' && Breaks > 0) {
                const int Share = Extra / Breaks;
                A[I] += Share;
                Extra -= Share;
                --Breaks;
            }
        }
        Byte += Lens[I];
    }
}

} // namespace

void DrawTextRun(TDc* Dc, int X, int Y, const char* Text, int Count, const int* Dx, UINT Options,
                 const RECT* Rect)
{
    TFont* F = CurrentFont(Dc);
    // Kept from call to call: text is drawn in many small pieces.
    static thread_local std::vector<char32_t> Chars;
    static thread_local std::vector<int> Lens, Adv;
    DecodeUtf8(Text, Count, Chars, &Lens);
    Advances(F, Dc, Chars, Lens, Dx, Adv);
    int Width = 0;
    for (int A : Adv)
        Width += A;
    const double Angle = F->Log.lfEscapement / 10.0;
    const bool Mono = Dc->Mono();
    // Classic rendering: smoothing only when the font asks for it, so text pixels are exactly the
    // text colour and masks made from drawn text have no fringes.
    const bool Smooth =
        !Mono && (F->Log.lfQuality == ANTIALIASED_QUALITY || F->Log.lfQuality == CLEARTYPE_QUALITY);
    // Text holding right-to-left characters is laid out as a line of text is: in reading order
    // and shaped (joined where the script joins), not glyph by glyph in the order of storage.
    // ETO_RTLREADING makes the text's own direction right to left.
    std::optional<QTextLayout> Bidi;
    if (!Dx && Angle == 0 &&
        std::any_of(Chars.begin(), Chars.end(), [](char32_t C) { return IsRightToLeftChar(C); })) {
        Bidi.emplace(QString::fromUtf8(Text, Count), F->DrawFont(Smooth));
        QTextOption O;
        O.setTextDirection((Options & ETO_RTLREADING) ? Qt::RightToLeft : Qt::LeftToRight);
        O.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
        O.setWrapMode(QTextOption::NoWrap);
        Bidi->setTextOption(O);
        Bidi->beginLayout();
        QTextLine L = Bidi->createLine();
        if (L.isValid())
            L.setPosition(QPointF(0, 0));
        Bidi->endLayout();
        if (L.isValid())
            Width =
                static_cast<int>(std::lround(L.naturalTextWidth())) + Dc->St.CharExtra * int(Chars.size());
        else
            Bidi.reset();
    }
    const TEXTMETRIC& Tm = F->Metric;
    const UINT Align = Dc->St.TextAlign;
    if (Align & TA_UPDATECP) {
        X = Dc->St.Pos.x;
        Y = Dc->St.Pos.y;
    }
    const QPoint Ref = ToSurface(Dc, X, Y);
    int Left = Ref.x(), Top = Ref.y();
    const UINT H = Align & TA_CENTER, V = Align & TA_BASELINE;
    if (H == TA_CENTER)
        Left -= Width / 2;
    else if (H == TA_RIGHT)
        Left -= Width;
    if (V == TA_BASELINE)
        Top -= Tm.tmAscent;
    else if (V == TA_BOTTOM)
        Top -= Tm.tmHeight;
    if (Align & TA_UPDATECP) {
        if (H == TA_LEFT)
            Dc->St.Pos.x += Width;
        if (H == TA_RIGHT)
            Dc->St.Pos.x -= Width;
    }
    Dc->St.JustifyExtra = Dc->St.JustifyBreaks = 0;

    QRect Box;
    if (Rect)
        Box = RectToSurface(Dc, Rect->left, Rect->top, Rect->right, Rect->bottom);
    const bool Clipped = (Options & ETO_CLIPPED) && Rect;
    // A plain image surface is filled and drawn on directly, its clip worked out once.
    std::optional<TDirectSurface> Direct;
    if (QImage* Image = Dc->Surface(); Image && TDirectSurface::Suits(*Image))
        Direct.emplace(*Image, ClipRegion(Dc));
    const QRgb Back = PixelOf(Dc, Dc->St.BkColor);
    TBrushSampler Bk;
    Bk.Mode = TBrushSampler::Solid;
    Bk.Color = Back;
    auto Fill = [&](const QRect& R, const TBrushSampler& Sampler) {
        if (Direct)
            Direct->Fill(R, Sampler.Color);
        else
            FillSurfaceRect(Dc, R, Sampler, R2_COPYPEN);
    };
    if ((Options & ETO_OPAQUE) && Rect)
        Fill(Box, Bk);
    QRect Cell(Left, Top, Width, Tm.tmHeight);
    if (Clipped)
        Cell &= Box;
    if (Dc->St.BkMode == OPAQUE && Angle == 0)
        Fill(Cell, Bk);
    if (Chars.empty())
        return;

    const QRgb Ink = PixelOf(Dc, Dc->St.TextColor);
    const int Base = Top + Tm.tmAscent;
    // Underline and strike-out, drawn by whichever way the glyphs went.
    auto Decorate = [&](const auto& FillLine) {
        if (!F->Log.lfUnderline && !F->Log.lfStrikeOut)
            return;
        const QFontMetrics& M = *F->Metrics;
        const int Thick = std::max(1, M.lineWidth());
        if (F->Log.lfUnderline)
            FillLine(QRect(Left, Base + std::max(1, M.underlinePos()), Width, Thick));
        if (F->Log.lfStrikeOut)
            FillLine(QRect(Left, Base - M.strikeOutPos(), Width, Thick));
    };
    if (Direct && !Bidi && !Smooth && !Mono && Angle == 0) {
        if (Clipped)
            Direct->Limit(Box);
        if (DrawGlyphsDirect(*Direct, F, Chars, Adv, Left, Base, Ink)) {
            Decorate([&](const QRect& R) { Direct->Fill(R, Ink); });
            return;
        }
    }

    TPaintScope P(Dc);
    if (!P.Ok())
        return;
    if (Clipped)
        P->setClipRect(Box, P->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    P->setRenderHint(QPainter::TextAntialiasing, Smooth);
    P->setPen(QColor::fromRgb(Ink));
    P->setFont(F->DrawFont(Smooth));
    if (Angle != 0) {
        P->translate(Ref);
        P->rotate(-Angle);
        P->translate(-Ref);
        if (Dc->St.BkMode == OPAQUE)
            P->fillRect(QRect(Left, Top, Width, Tm.tmHeight), QColor::fromRgb(Back));
    }
    if (Bidi) {
        const QTextLine L = Bidi->lineAt(0);
        const QPointF Origin(Left, Base - L.ascent());
        for (const QGlyphRun& Run : L.glyphRuns())
            P->drawGlyphRun(Origin, Run);
    } else {
        QList<quint32> Glyphs;
        QList<QPointF> Positions;
        Glyphs.reserve(qsizetype(Chars.size()));
        Positions.reserve(qsizetype(Chars.size()));
        int Pen = Left;
        for (std::size_t I = 0; I < Chars.size(); ++I) {
            const TGlyph& G = F->Glyph(Chars[I]);
            if (G.Index) {
                Glyphs << G.Index;
                Positions << QPointF(Pen, Base);
            } else if (Chars[I] >= 0x20) {
                const char32_t C = Chars[I];
                P->drawText(QPointF(Pen, Base), QString::fromUcs4(&C, 1));
            }
            Pen += Adv[I];
        }
        if (!Glyphs.isEmpty()) {
            QGlyphRun Run;
            QRawFont Raw = F->Raw;
            Run.setRawFont(Raw);
            Run.setGlyphIndexes(Glyphs);
            Run.setPositions(Positions);
            P->drawGlyphRun(QPointF(0, 0), Run);
        }
    }
    Decorate([&](const QRect& R) { P->fillRect(R, QColor::fromRgb(Ink)); });
    if (Mono)
        SnapMono(Dc, QRect(Left - 2, Top - 2, Width + 4 + Tm.tmMaxCharWidth, Tm.tmHeight + 4));
}

} // namespace gdi

using namespace gdi;

// ---------------------------------------------------------------------------------------------
// Fonts

HFONT CreateFontIndirect(const LOGFONT* LogFont)
{
    if (!LogFont)
        return nullptr;
    EnsureInit();
    return Register(NewFont(*LogFont));
}

HFONT CreateFont(int Height, int Width, int Escapement, int Orientation, int Weight, DWORD Italic,
                 DWORD Underline, DWORD StrikeOut, DWORD CharSet, DWORD OutPrecision, DWORD ClipPrecision,
                 DWORD Quality, DWORD PitchAndFamily, const char* Face)
{
    LOGFONT Lf;
    Lf.lfHeight = Height;
    Lf.lfWidth = Width;
    Lf.lfEscapement = Escapement;
    Lf.lfOrientation = Orientation;
    Lf.lfWeight = Weight;
    Lf.lfItalic = BYTE(Italic != 0);
    Lf.lfUnderline = BYTE(Underline != 0);
    Lf.lfStrikeOut = BYTE(StrikeOut != 0);
    Lf.lfCharSet = BYTE(CharSet);
    Lf.lfOutPrecision = BYTE(OutPrecision);
    Lf.lfClipPrecision = BYTE(ClipPrecision);
    Lf.lfQuality = BYTE(Quality);
    Lf.lfPitchAndFamily = BYTE(PitchAndFamily);
    if (Face)
        std::strncpy(Lf.lfFaceName, Face, LF_FACESIZE - 1);
    return CreateFontIndirect(&Lf);
}

BOOL GetTextMetrics(HDC DC, TEXTMETRIC* Metric)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Metric)
        return FALSE;
    *Metric = CurrentFont(Dc)->Metric;
    return TRUE;
}

int GetTextFace(HDC DC, int Count, char* Face)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return 0;
    TFont* F = CurrentFont(Dc);
    std::string Name = F->Log.lfFaceName;
    if (Name.empty())
        Name = QFontInfo(F->Font).family().toStdString();
    if (!Face)
        return int(Name.size()) + 1;
    if (Count <= 0)
        return 0;
    const int N = std::min<int>(Count - 1, int(Name.size()));
    std::memcpy(Face, Name.data(), std::size_t(N));
    Face[N] = 0;
    return N;
}

int GetTextCharset(HDC DC)
{
    TDc* Dc = DcOf(DC);
    return Dc ? CurrentFont(Dc)->Metric.tmCharSet : DEFAULT_CHARSET;
}

BOOL GetTextExtentExPoint(HDC DC, const char* Text, int Count, int MaxExtent, int* Fit, int* Dx, SIZE* Size)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || (!Text && Count > 0) || Count < 0)
        return FALSE;
    TFont* F = CurrentFont(Dc);
    // Layout measures text piece by piece many thousand times: the buffers are kept.
    thread_local std::vector<char32_t> Chars;
    thread_local std::vector<int> Lens;
    DecodeUtf8(Text, Count, Chars, &Lens);
    int W = 0, Byte = 0, Fitted = 0;
    bool Over = false;
    for (std::size_t I = 0; I < Chars.size(); ++I) {
        W += F->Glyph(Chars[I]).Advance + Dc->St.CharExtra;
        if (!Over && W <= MaxExtent)
            Fitted = Byte + Lens[I];
        else
            Over = true;
        if (Dx)
            for (int K = 0; K < Lens[I]; ++K)
                Dx[Byte + K] = W;
        Byte += Lens[I];
    }
    if (Fit)
        *Fit = Fitted;
    if (Size)
        *Size = SIZE{W, F->Metric.tmHeight};
    return TRUE;
}

BOOL GetTextExtentPoint32(HDC DC, const char* Text, int Count, SIZE* Size)
{
    if (!Size)
        return FALSE;
    return GetTextExtentExPoint(DC, Text, Count, 0, nullptr, nullptr, Size);
}
BOOL GetTextExtentPoint(HDC DC, const char* Text, int Count, SIZE* Size)
{
    return GetTextExtentPoint32(DC, Text, Count, Size);
}

BOOL GetCharWidth32(HDC DC, UINT First, UINT Last, int* Widths)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Widths || Last < First || Last - First > 0x10FFFF)
        return FALSE;
    TFont* F = CurrentFont(Dc);
    for (UINT C = First; C <= Last; ++C)
        Widths[C - First] = F->Glyph(char32_t(C)).Advance;
    return TRUE;
}
BOOL GetCharWidth(HDC DC, UINT First, UINT Last, int* Widths)
{
    return GetCharWidth32(DC, First, Last, Widths);
}

BOOL GetCharABCWidths(HDC DC, UINT First, UINT Last, ABC* Widths)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Widths || Last < First || Last - First > 0x10FFFF)
        return FALSE;
    TFont* F = CurrentFont(Dc);
    for (UINT C = First; C <= Last; ++C) {
        const int Adv = F->Glyph(char32_t(C)).Advance;
        ABC& W = Widths[C - First];
        if (C < 0x10000 && C >= 0x20) {
            const QChar Q{char16_t(C)};
            W.abcA = F->Metrics->leftBearing(Q);
            W.abcC = F->Metrics->rightBearing(Q);
        } else {
            W.abcA = W.abcC = 0;
        }
        W.abcB = UINT(std::max(0, Adv - W.abcA - W.abcC));
    }
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Text output

BOOL ExtTextOut(HDC DC, int X, int Y, UINT Options, const RECT* Rect, const char* Text, UINT Count,
                const int* Dx)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || (!Text && Count > 0))
        return FALSE;
    DrawTextRun(Dc, X, Y, Text, int(Count), Dx, Options, Rect);
    return TRUE;
}

BOOL TextOut(HDC DC, int X, int Y, const char* Text, int Count)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || Count < 0 || (!Text && Count > 0))
        return FALSE;
    DrawTextRun(Dc, X, Y, Text, Count, nullptr, 0, nullptr);
    return TRUE;
}

namespace {

// Pixel position of the tab stop after Pos (relative to the line start).
int NextTab(int Pos, int Positions, const int* Stops, int Default)
{
    if (Positions > 1 && Stops) {
        for (int I = 0; I < Positions; ++I)
            if (Stops[I] > Pos)
                return Stops[I];
        return Pos + Default;
    }
    const int Step = Positions == 1 && Stops && Stops[0] > 0 ? Stops[0] : Default;
    return (Pos / Step + 1) * Step;
}

// Draws (or only measures, when Draw is false) Text with tabs expanded; returns the width.
int TabbedRun(TDc* Dc, int X, int Y, const std::string& Text, int Positions, const int* Stops, int Origin,
              bool Draw, UINT Options = 0, const RECT* Clip = nullptr)
{
    TFont* F = CurrentFont(Dc);
    const int Default = std::max(1, 8 * F->Metric.tmAveCharWidth);
    int Pos = X - Origin;
    std::size_t Start = 0;
    while (Start <= Text.size()) {
        const std::size_t Tab = Text.find('\t', Start);
        const std::string Part =
            Text.substr(Start, Tab == std::string::npos ? std::string::npos : Tab - Start);
        std::vector<char32_t> Chars;
        DecodeUtf8(Part.data(), int(Part.size()), Chars, nullptr);
        if (Draw && !Part.empty())
            DrawTextRun(Dc, Origin + Pos, Y, Part.data(), int(Part.size()), nullptr, Options, Clip);
        Pos += TextWidth(F, Dc, Chars.data(), int(Chars.size()));
        if (Tab == std::string::npos)
            break;
        Pos = NextTab(Pos, Positions, Stops, Default);
        Start = Tab + 1;
    }
    return Pos - (X - Origin);
}

} // namespace

LONG TabbedTextOut(HDC DC, int X, int Y, const char* Text, int Count, int TabPositions, const int* TabStops,
                   int Origin)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return 0;
    const std::string S(Text ? Text : "", std::size_t(StrLen(Text, Count)));
    const UINT Align = Dc->St.TextAlign;
    Dc->St.TextAlign &= ~TA_UPDATECP;
    const int W = TabbedRun(Dc, X, Y, S, TabPositions, TabStops, Origin, true);
    Dc->St.TextAlign = Align;
    return LONG(W & 0xFFFF) | LONG(CurrentFont(Dc)->Metric.tmHeight << 16);
}

DWORD GetTabbedTextExtent(HDC DC, const char* Text, int Count, int TabPositions, const int* TabStops)
{
    TDc* Dc = DcOf(DC);
    if (!Dc)
        return 0;
    const std::string S(Text ? Text : "", std::size_t(StrLen(Text, Count)));
    const int W = TabbedRun(Dc, 0, 0, S, TabPositions, TabStops, 0, false);
    return DWORD(W & 0xFFFF) | DWORD(CurrentFont(Dc)->Metric.tmHeight << 16);
}

namespace {

struct TLine {
    std::string Text;   // prefixes resolved
    int Underline = -1; // byte offset of the underlined character, -1: none
    int Width = 0;
};

// Resolves "&x" (x underlined) and "&&" ("&").
void StripPrefix(const std::string& In, bool Keep, std::string& Out, int& Underline)
{
    Out.clear();
    Underline = -1;
    if (Keep) {
        Out = In;
        return;
    }
    for (std::size_t I = 0; I < In.size(); ++I) {
        if (In[I] == '&') {
            if (I + 1 < In.size() && In[I + 1] == '&') {
                Out += '&';
                ++I;
                continue;
            }
            if (I + 1 < In.size())
                Underline = int(Out.size());
            continue;
        }
        Out += In[I];
    }
}

struct TFormatter {
    TDc* Dc;
    TFont* F;
    bool Tabs;
    int TabWidth;
    int Measure(const std::string& S) const
    {
        if (Tabs) {
            const int Stop = TabWidth;
            return TabbedRun(Dc, 0, 0, S, 1, &Stop, 0, false);
        }
        std::vector<char32_t> C;
        DecodeUtf8(S.data(), int(S.size()), C, nullptr);
        return TextWidth(F, Dc, C.data(), int(C.size()));
    }
};

// Greedy word wrap of one paragraph; a word longer than the line stays whole.
std::vector<std::string> Wrap(const TFormatter& Fm, const std::string& Para, int MaxWidth)
{
    std::vector<std::string> Out;
    std::string Line;
    std::size_t I = 0;
    while (I < Para.size()) {
        std::size_t J = I;
        while (J < Para.size() && Para[J] != ' ' && Para[J] != '\t')
            ++J; // the word
        std::size_t K = J;
        while (K < Para.size() && (Para[K] == ' ' || Para[K] == '\t'))
            ++K; // its trailing blanks
        const std::string Word = Para.substr(I, J - I);
        if (!Line.empty() && Fm.Measure(Line + Word) > MaxWidth) {
            while (!Line.empty() && (Line.back() == ' ' || Line.back() == '\t'))
                Line.pop_back();
            Out.push_back(Line);
            Line.clear();
        }
        Line += Para.substr(I, K - I);
        I = K;
    }
    while (!Line.empty() && (Line.back() == ' ' || Line.back() == '\t'))
        Line.pop_back();
    Out.push_back(Line);
    return Out;
}

// Shortens S with "..." until it fits MaxWidth (the prefix underline goes if it is cut off).
void Ellipsize(const TFormatter& Fm, TLine& L, int MaxWidth)
{
    if (L.Width <= MaxWidth)
        return;
    std::vector<char32_t> C;
    std::vector<int> Lens;
    DecodeUtf8(L.Text.data(), int(L.Text.size()), C, &Lens);
    std::size_t Bytes = L.Text.size();
    for (std::size_t N = C.size(); N > 0; --N) {
        Bytes -= std::size_t(Lens[N - 1]);
        const std::string Try = L.Text.substr(0, Bytes) + "...";
        if (Fm.Measure(Try) <= MaxWidth || Bytes == 0) {
            L.Text = Try;
            L.Width = Fm.Measure(Try);
            if (L.Underline >= int(Bytes))
                L.Underline = -1;
            return;
        }
    }
}

int DrawTextImpl(TDc* Dc, const char* Text, int Count, RECT* Rect, UINT Format, DRAWTEXTPARAMS* Params)
{
    TFont* F = CurrentFont(Dc);
    const TEXTMETRIC& Tm = F->Metric;
    int TabChars = 8;
    if (Format & DT_TABSTOP) {
        TabChars = int((Format >> 8) & 0xFF);
        Format &= ~0xFF00u;
    }
    if (Params && Params->iTabLength > 0)
        TabChars = Params->iTabLength;
    const TFormatter Fm{Dc, F, (Format & DT_EXPANDTABS) != 0,
                        std::max(1, TabChars) * std::max(1, Tm.tmAveCharWidth)};
    const std::string All(Text ? Text : "", std::size_t(StrLen(Text, Count)));
    RECT R = *Rect;
    if (Params) {
        R.left += Params->iLeftMargin;
        R.right -= Params->iRightMargin;
    }
    const int MaxWidth = R.right - R.left;
    const int LineH = Tm.tmHeight + ((Format & DT_EXTERNALLEADING) ? Tm.tmExternalLeading : 0);
    const bool Single = Format & DT_SINGLELINE;

    // Paragraphs, then lines.
    std::vector<std::string> Paras;
    if (Single) {
        std::string S;
        for (char C : All)
            if (C != '\r' && C != '\n')
                S += C;
        Paras.push_back(S);
    } else {
        std::string Cur;
        for (std::size_t I = 0; I < All.size(); ++I) {
            if (All[I] == '\r' || All[I] == '\n') {
                Paras.push_back(Cur);
                Cur.clear();
                if (All[I] == '\r' && I + 1 < All.size() && All[I + 1] == '\n')
                    ++I;
            } else {
                Cur += All[I];
            }
        }
        Paras.push_back(Cur);
    }
    std::vector<TLine> Lines;
    const bool KeepPrefix = Format & DT_NOPREFIX;
    for (const std::string& P : Paras) {
        std::string Stripped;
        int Under;
        StripPrefix(P, KeepPrefix, Stripped, Under);
        if ((Format & DT_WORDBREAK) && !Single) {
            // Wrap on the stripped text; the underline follows its byte offset.
            std::size_t Offset = 0;
            for (const std::string& W : Wrap(Fm, Stripped, MaxWidth)) {
                const std::size_t At = Stripped.find(W, Offset);
                TLine L;
                L.Text = W;
                if (Under >= 0 && At != std::string::npos && std::size_t(Under) >= At &&
                    std::size_t(Under) < At + W.size())
                    L.Underline = Under - int(At);
                if (At != std::string::npos)
                    Offset = At + W.size();
                L.Width = Fm.Measure(W);
                Lines.push_back(L);
            }
        } else {
            TLine L;
            L.Text = Stripped;
            L.Underline = Under;
            L.Width = Fm.Measure(Stripped);
            Lines.push_back(L);
        }
    }
    if (Format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS))
        for (TLine& L : Lines)
            Ellipsize(Fm, L, MaxWidth);

    int MaxLine = 0;
    for (const TLine& L : Lines)
        MaxLine = std::max(MaxLine, L.Width);
    const int Height = int(Lines.size()) * LineH;
    if (Params)
        Params->uiLengthDrawn = UINT(All.size());
    if (Format & DT_CALCRECT) {
        Rect->right = R.left + MaxLine + (Params ? Params->iRightMargin : 0);
        Rect->bottom = Rect->top + Height;
        return Height;
    }

    int Y = R.top;
    if (Single) {
        if (Format & DT_VCENTER)
            Y = R.top + (R.bottom - R.top - LineH) / 2;
        else if (Format & DT_BOTTOM)
            Y = R.bottom - LineH;
    }
    const UINT Align = Dc->St.TextAlign;
    Dc->St.TextAlign = TA_TOP | TA_LEFT;
    const bool Clip = !(Format & DT_NOCLIP);
    const RECT* ClipRect = Clip ? Rect : nullptr;
    const UINT Options = Clip ? ETO_CLIPPED : 0;
    const bool PrefixOnly = Format & DT_PREFIXONLY;
    for (const TLine& L : Lines) {
        int X = R.left;
        if (Format & DT_CENTER)
            X = R.left + (MaxWidth - L.Width) / 2;
        else if (Format & DT_RIGHT)
            X = R.right - L.Width;
        if (!PrefixOnly) {
            if (Fm.Tabs) {
                const int Stop = Fm.TabWidth;
                TabbedRun(Dc, X, Y, L.Text, 1, &Stop, X, true, Options, ClipRect);
            } else if (!L.Text.empty()) {
                DrawTextRun(Dc, X, Y, L.Text.data(), int(L.Text.size()), nullptr, Options, ClipRect);
            } else if (Dc->St.BkMode == OPAQUE) {
                // nothing to draw, and an empty run paints no background either
            }
        }
        if (L.Underline >= 0 && !(Format & DT_HIDEPREFIX)) {
            const int Before = Fm.Measure(L.Text.substr(0, std::size_t(L.Underline)));
            std::vector<char32_t> C;
            std::vector<int> Lens;
            DecodeUtf8(L.Text.data() + L.Underline, int(L.Text.size()) - L.Underline, C, &Lens);
            const int W = C.empty() ? 0 : F->Glyph(C[0]).Advance;
            const QPoint P = ToSurface(Dc, X + Before, Y + Tm.tmAscent + 1);
            TBrushSampler Ink;
            Ink.Mode = TBrushSampler::Solid;
            Ink.Color = PixelOf(Dc, Dc->St.TextColor);
            QRect U(P.x(), P.y(), W, 1);
            if (Clip)
                U &= RectToSurface(Dc, Rect->left, Rect->top, Rect->right, Rect->bottom);
            FillSurfaceRect(Dc, U, Ink, R2_COPYPEN);
        }
        Y += LineH;
    }
    Dc->St.TextAlign = Align;
    if (Single && (Format & (DT_VCENTER | DT_BOTTOM)))
        return Y - Rect->top;
    return Height;
}

} // namespace

int DrawText(HDC DC, const char* Text, int Count, RECT* Rect, UINT Format)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Rect)
        return 0;
    return DrawTextImpl(Dc, Text, Count, Rect, Format, nullptr);
}

int DrawTextEx(HDC DC, const char* Text, int Count, RECT* Rect, UINT Format, DRAWTEXTPARAMS* Params)
{
    TDc* Dc = DcOf(DC);
    if (!Dc || !Rect)
        return 0;
    return DrawTextImpl(Dc, Text, Count, Rect, Format, Params);
}

// ---------------------------------------------------------------------------------------------
// Enumeration

namespace {

struct TFace {
    QString Name;   // what the caller sees
    QString Family; // what draws it
    bool Raster = false;
    bool Oem = false;
};

std::vector<TFace> AllFaces()
{
    std::map<QString, TFace> Sorted; // by lower-case name, so the order is stable
    for (const QString& F : QFontDatabase::families()) {
        if (QFontDatabase::isPrivateFamily(F))
            continue;
        Sorted[F.toLower()] = TFace{F, F, false};
    }
    for (const TAlias& A : Aliases) {
        const QString Name = QLatin1String(A.Name);
        if (!Sorted.count(Name.toLower()))
            Sorted[Name.toLower()] = TFace{Name, QLatin1String(A.Family), A.Raster, A.Oem};
    }
    std::vector<TFace> Out;
    for (auto& [Key, Face] : Sorted)
        Out.push_back(Face);
    return Out;
}

bool CoversCharset(const QString& Family, BYTE CharSet)
{
    QFontDatabase::WritingSystem Ws;
    switch (CharSet) {
    case DEFAULT_CHARSET:
    case ANSI_CHARSET:
    case OEM_CHARSET:
    case TURKISH_CHARSET:
    case BALTIC_CHARSET:
    case EASTEUROPE_CHARSET:
        Ws = QFontDatabase::Latin;
        break;
    case GREEK_CHARSET:
        Ws = QFontDatabase::Greek;
        break;
    case RUSSIAN_CHARSET:
        Ws = QFontDatabase::Cyrillic;
        break;
    case HEBREW_CHARSET:
        Ws = QFontDatabase::Hebrew;
        break;
    case ARABIC_CHARSET:
        Ws = QFontDatabase::Arabic;
        break;
    case THAI_CHARSET:
        Ws = QFontDatabase::Thai;
        break;
    case SHIFTJIS_CHARSET:
        Ws = QFontDatabase::Japanese;
        break;
    case HANGEUL_CHARSET:
        Ws = QFontDatabase::Korean;
        break;
    case GB2312_CHARSET:
        Ws = QFontDatabase::SimplifiedChinese;
        break;
    case CHINESEBIG5_CHARSET:
        Ws = QFontDatabase::TraditionalChinese;
        break;
    case SYMBOL_CHARSET:
        Ws = QFontDatabase::Symbol;
        break;
    default:
        return false;
    }
    if (CharSet == DEFAULT_CHARSET)
        return true;
    return QFontDatabase::writingSystems(Family).contains(Ws);
}

int Report(const TFace& Face, const QString& Style, int Weight, bool Italic, BYTE CharSet, FONTENUMPROC Proc,
           LPARAM Data)
{
    ENUMLOGFONTEX E;
    const QByteArray Name = Face.Name.toUtf8();
    std::strncpy(E.elfLogFont.lfFaceName, Name.constData(), LF_FACESIZE - 1);
    std::strncpy(E.elfFullName, Name.constData(), LF_FULLFACESIZE - 1);
    std::strncpy(E.elfStyle, Style.toUtf8().constData(), LF_FACESIZE - 1);
    std::strncpy(E.elfScript, CharSet == SYMBOL_CHARSET ? "Symbol" : "Western", LF_FACESIZE - 1);
    E.elfLogFont.lfHeight = 16;
    E.elfLogFont.lfWeight = Weight;
    E.elfLogFont.lfItalic = Italic ? 1 : 0;
    E.elfLogFont.lfCharSet = CharSet != DEFAULT_CHARSET ? CharSet : Face.Oem ? OEM_CHARSET : ANSI_CHARSET;
    const bool Fixed = QFontDatabase::isFixedPitch(Face.Family);
    E.elfLogFont.lfPitchAndFamily =
        BYTE((Fixed ? FIXED_PITCH : VARIABLE_PITCH) | FamilyBits(Face.Family, Fixed));
    E.elfLogFont.lfOutPrecision = Face.Raster ? OUT_STRING_PRECIS : OUT_STROKE_PRECIS;
    E.elfLogFont.lfClipPrecision = CLIP_STROKE_PRECIS;
    E.elfLogFont.lfQuality = DRAFT_QUALITY;
    std::unique_ptr<TFont> F(NewFont(E.elfLogFont));
    NEWTEXTMETRICEX M;
    static_cast<TEXTMETRIC&>(M.ntmTm) = F->Metric;
    M.ntmTm.ntmSizeEM = 2048;
    M.ntmTm.ntmCellHeight = UINT(F->Metric.tmHeight);
    M.ntmTm.ntmAvgWidth = UINT(F->Metric.tmAveCharWidth);
    M.ntmTm.ntmFlags =
        (Weight >= FW_BOLD ? 0x20 : 0) | (Italic ? 0x01 : 0) | (Weight < FW_BOLD && !Italic ? 0x40 : 0);
    if (Face.Raster)
        M.ntmTm.tmPitchAndFamily &= BYTE(~(TMPF_TRUETYPE | TMPF_VECTOR));
    const DWORD Type = Face.Raster ? RASTER_FONTTYPE : TRUETYPE_FONTTYPE;
    return Proc(reinterpret_cast<const LOGFONT*>(&E), reinterpret_cast<const TEXTMETRIC*>(&M), Type, Data);
}

int Enumerate(const char* Family, BYTE CharSet, FONTENUMPROC Proc, LPARAM Data)
{
    if (!Proc)
        return 0;
    EnsureInit();
    int Result = 1;
    const QString Wanted = QString::fromUtf8(Family ? Family : "").trimmed();
    const std::vector<TFace> Faces = AllFaces();
    if (Wanted.isEmpty()) {
        for (const TFace& F : Faces) {
            if (!CoversCharset(F.Family, CharSet))
                continue;
            Result = Report(F, QStringLiteral("Regular"), FW_NORMAL, false, CharSet, Proc, Data);
            if (!Result)
                break;
        }
        return Result;
    }
    for (const TFace& F : Faces) {
        if (F.Name.compare(Wanted, Qt::CaseInsensitive) != 0)
            continue;
        QStringList Styles = QFontDatabase::styles(F.Family);
        if (Styles.isEmpty())
            Styles << QStringLiteral("Regular");
        Styles.sort();
        for (const QString& S : Styles) {
            const int W = std::clamp(QFontDatabase::weight(F.Family, S), 100, 900);
            Result = Report(F, S, W, QFontDatabase::italic(F.Family, S), CharSet, Proc, Data);
            if (!Result)
                return Result;
        }
        break;
    }
    return Result;
}

} // namespace

int EnumFontFamilies(HDC, const char* Family, FONTENUMPROC Proc, LPARAM Data)
{
    return Enumerate(Family, DEFAULT_CHARSET, Proc, Data);
}

int EnumFontFamiliesEx(HDC, const LOGFONT* LogFont, FONTENUMPROC Proc, LPARAM Data, DWORD)
{
    return Enumerate(LogFont ? LogFont->lfFaceName : nullptr, LogFont ? LogFont->lfCharSet : DEFAULT_CHARSET,
                     Proc, Data);
}

int EnumFonts(HDC DC, const char* Face, FONTENUMPROC Proc, LPARAM Data)
{
    return EnumFontFamilies(DC, Face, Proc, Data);
}

// ---------------------------------------------------------------------------------------------
// Qt side

namespace gdi {
QFont QFontOf(HFONT Font)
{
    TFont* F = LookupAs<TFont>(Font, TKind::Font);
    return F ? F->Font : QFont();
}
} // namespace gdi
