// Drawing with coordinates near the 32-bit limits: each primitive sets the same pixels as the same
// drawing given coordinates just past the surface's edges, and does so without walking the parts
// nobody sees (a line from -2e9 to 2e9 would take seconds pixel by pixel).
#include "platform/graphics/WinGdi.h"
#include "platform/graphics/tests/GdiTestUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

const COLORREF Grey = RGB(128, 128, 128);

struct TFarCase {
    const char* Name;
    std::function<void(HDC)> Far, Near; // Near null: the far drawing shows nothing
};

void Line(HDC Dc, int X0, int Y0, int X1, int Y1)
{
    MoveToEx(Dc, X0, Y0, nullptr);
    LineTo(Dc, X1, Y1);
}

void WithPen(HDC Dc, int Style, int Width, const std::function<void()>& Draw)
{
    HPEN Pen = CreatePen(Style, Width, RGB(0, 0, 0));
    HGDIOBJ Old = SelectObject(Dc, Pen);
    SetBkColor(Dc, RGB(255, 0, 0)); // the gaps of styled pens show
    Draw();
    SelectObject(Dc, Old);
    DeleteObject(Pen);
}

void Fill(HDC Dc, RECT R, COLORREF C)
{
    HBRUSH B = CreateSolidBrush(C);
    FillRect(Dc, &R, B);
    DeleteObject(B);
}

// Where the two surfaces differ, as "x,y" pairs (the first few).
std::string Differences(const TTestSurface& A, const TTestSurface& B)
{
    std::string Out;
    int Count = 0;
    for (int Y = 0; Y < A.Height; ++Y)
        for (int X = 0; X < A.Width; ++X)
            if (A.At(X, Y) != B.At(X, Y) && ++Count <= 8)
                Out += std::to_string(X) + "," + std::to_string(Y) + " ";
    return Count ? Out + "(" + std::to_string(Count) + " pixels)" : Out;
}

const TFarCase FarCases[] = {
    {"horizontal line", [](HDC D) { Line(D, INT_MIN, 10, INT_MAX, 10); },
     [](HDC D) { Line(D, -20, 10, 60, 10); }},
    {"vertical line", [](HDC D) { Line(D, 12, INT_MIN, 12, INT_MAX); },
     [](HDC D) { Line(D, 12, -20, 12, 60); }},
    {"diagonal line", [](HDC D) { Line(D, -1000000000, -1000000000, 1000000000, 1000000000); },
     [](HDC D) { Line(D, -20, -20, 60, 60); }},
    // Slopes of exactly 1/2 and 2: the near lines step through the same pixels.
    {"shallow line", [](HDC D) { Line(D, -2000000000, -1000000000, 2000000000, 1000000000); },
     [](HDC D) { Line(D, -40, -20, 80, 40); }},
    {"steep line", [](HDC D) { Line(D, -1000000000, -2000000000, 1000000000, 2000000000); },
     [](HDC D) { Line(D, -20, -40, 40, 80); }},
    {"line drawn backwards", [](HDC D) { Line(D, 2000000000, 1000000000, -2000000000, -1000000000); },
     [](HDC D) { Line(D, 80, 40, -40, -20); }},
    // The styles' cycles (6 and 24 pixels) divide both distances to the surface.
    {"dotted line", [](HDC D) { WithPen(D, PS_DOT, 1, [&] { Line(D, -1200000000, 8, 1200000000, 8); }); },
     [](HDC D) { WithPen(D, PS_DOT, 1, [&] { Line(D, -72, 8, 72, 8); }); }},
    {"dash-dot-dot line",
     [](HDC D) { WithPen(D, PS_DASHDOTDOT, 1, [&] { Line(D, -1200000000, 8, 1200000000, 8); }); },
     [](HDC D) { WithPen(D, PS_DASHDOTDOT, 1, [&] { Line(D, -72, 8, 72, 8); }); }},
    {"polyline keeps its style across a far corner",
     [](HDC D) {
         const POINT P[] = {{0, 5}, {-1200000000, 5}, {-1200000000, 8}, {60, 8}};
         WithPen(D, PS_DOT, 1, [&] { Polyline(D, P, 4); });
     },
     [](HDC D) {
         const POINT P[] = {{0, 5}, {-12, 5}, {-12, 8}, {60, 8}};
         WithPen(D, PS_DOT, 1, [&] { Polyline(D, P, 4); });
     }},
    {"wide line", [](HDC D) { WithPen(D, PS_SOLID, 3, [&] { Line(D, INT_MIN, 10, INT_MAX, 10); }); },
     [](HDC D) { WithPen(D, PS_SOLID, 3, [&] { Line(D, -20, 10, 60, 10); }); }},
    {"rectangle", [](HDC D) { Rectangle(D, INT_MIN, 5, INT_MAX, 20); },
     [](HDC D) { Rectangle(D, -20, 5, 60, 20); }},
    {"dotted rectangle",
     [](HDC D) { WithPen(D, PS_DOT, 1, [&] { Rectangle(D, -1200000000, 4, 1200000001, 12); }); },
     [](HDC D) { WithPen(D, PS_DOT, 1, [&] { Rectangle(D, -12, 4, 43, 12); }); }},
    {"fill",
     [](HDC D) {
         Fill(D, RECT{INT_MIN, 3, INT_MAX, 9}, Grey);
     },
     [](HDC D) {
         Fill(D, RECT{-20, 3, 60, 9}, Grey);
     }},
    {"pattern blit", [](HDC D) { PatBlt(D, -2000000000, 3, 2100000000, 4, DSTINVERT); },
     [](HDC D) { PatBlt(D, -20, 3, 80, 4, DSTINVERT); }},
    {"pattern blit past the largest coordinate", [](HDC D) { PatBlt(D, INT_MAX - 5, 0, 100, 10, BLACKNESS); },
     nullptr},
    {"focus rectangle",
     [](HDC D) {
         RECT R{INT_MIN, 3, INT_MAX, 9};
         DrawFocusRect(D, &R);
     },
     [](HDC D) {
         RECT R{-20, 3, 60, 9};
         DrawFocusRect(D, &R);
     }},
    {"frame",
     [](HDC D) {
         RECT R{INT_MIN, 3, INT_MAX, 9};
         FrameRect(D, &R, (HBRUSH)GetStockObject(BLACK_BRUSH));
     },
     [](HDC D) {
         RECT R{-20, 3, 60, 9};
         FrameRect(D, &R, (HBRUSH)GetStockObject(BLACK_BRUSH));
     }},
    {"3-D edge",
     [](HDC D) {
         RECT R{INT_MIN, 2, INT_MAX, 20};
         DrawEdge(D, &R, EDGE_RAISED, BF_RECT | BF_MIDDLE);
     },
     [](HDC D) {
         RECT R{-20, 2, 60, 20};
         DrawEdge(D, &R, EDGE_RAISED, BF_RECT | BF_MIDDLE);
     }},
    {"region",
     [](HDC D) {
         HRGN R = CreateRectRgn(INT_MIN, 3, INT_MAX, 9);
         FillRgn(D, R, (HBRUSH)GetStockObject(BLACK_BRUSH));
         DeleteObject(R);
     },
     [](HDC D) {
         HRGN R = CreateRectRgn(-20, 3, 60, 9);
         FillRgn(D, R, (HBRUSH)GetStockObject(BLACK_BRUSH));
         DeleteObject(R);
     }},
    // Shapes around the whole surface: only their insides show.
    {"ellipse",
     [](HDC D) {
         SelectObject(D, GetStockObject(NULL_PEN));
         SelectObject(D, GetStockObject(BLACK_BRUSH));
         Ellipse(D, -1000000000, -1000000000, 1000000000, 1000000000);
     },
     [](HDC D) {
         Fill(D, RECT{-20, -20, 60, 60}, RGB(0, 0, 0));
     }},
    {"rounded rectangle",
     [](HDC D) {
         SelectObject(D, GetStockObject(NULL_PEN));
         SelectObject(D, GetStockObject(BLACK_BRUSH));
         RoundRect(D, INT_MIN, INT_MIN, INT_MAX, INT_MAX, 100, 100);
     },
     [](HDC D) {
         Fill(D, RECT{-20, -20, 60, 60}, RGB(0, 0, 0));
     }},
    {"polygon",
     [](HDC D) {
         const POINT P[] = {{-1000000000, -1000000000}, {1000000000, 1000000000}, {-1000000000, 1000000000}};
         SelectObject(D, GetStockObject(BLACK_BRUSH));
         Polygon(D, P, 3);
     },
     [](HDC D) {
         const POINT P[] = {{-60, -60}, {60, 60}, {-60, 60}};
         SelectObject(D, GetStockObject(BLACK_BRUSH));
         Polygon(D, P, 3);
     }},
    // A scroll arrow grows with its button: this one covers everything that shows.
    {"scroll arrow",
     [](HDC D) {
         RECT R{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
         DrawFrameControl(D, &R, DFC_SCROLL, DFCS_SCROLLDOWN);
     },
     [](HDC D) {
         Fill(D, RECT{-20, -20, 60, 60}, GetSysColor(COLOR_BTNTEXT));
     }},
    {"size grip",
     [](HDC D) {
         RECT R{INT_MIN, INT_MIN, 30, 20};
         DrawFrameControl(D, &R, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
     },
     [](HDC D) {
         RECT R{-100, -100, 30, 20};
         DrawFrameControl(D, &R, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
     }},
    {"opaque text box",
     [](HDC D) {
         RECT R{INT_MIN, 2, INT_MAX, 12};
         SetBkColor(D, Grey);
         ExtTextOut(D, INT_MIN, 2, ETO_OPAQUE, &R, "", 0, nullptr);
     },
     [](HDC D) {
         RECT R{-20, 2, 60, 12};
         SetBkColor(D, Grey);
         ExtTextOut(D, -20, 2, ETO_OPAQUE, &R, "", 0, nullptr);
     }},
    {"text past the largest coordinate", [](HDC D) { TextOut(D, INT_MAX - 3, 5, "Far away", 8); }, nullptr},
    {"text before the smallest coordinate", [](HDC D) { TextOut(D, INT_MIN, 5, "Far away", 8); }, nullptr},
};

// Each case with the plain mapping and with origins that move the far coordinates further out.
TEST(FarCoordinates, DrawTheSamePixelsAsCoordinatesJustOffTheSurface)
{
    struct TOrigin {
        const char* Name;
        POINT Viewport, Window;
    };
    const TOrigin Origins[] = {{"plain", {0, 0}, {0, 0}}, {"moved", {7, 3}, {-2, 5}}};
    for (const TOrigin& O : Origins)
        for (const TFarCase& C : FarCases) {
            TTestSurface Far(40, 30), Near(40, 30), Blank(40, 30);
            for (TTestSurface* S : {&Far, &Near}) {
                SetViewportOrgEx(S->Dc, O.Viewport.x, O.Viewport.y, nullptr);
                SetWindowOrgEx(S->Dc, O.Window.x, O.Window.y, nullptr);
            }
            C.Far(Far.Dc);
            if (C.Near) {
                C.Near(Near.Dc);
                ASSERT_FALSE(Differences(Near, Blank).empty())
                    << C.Name << ": the near drawing shows nothing";
            }
            EXPECT_EQ(Differences(Far, Near), "") << C.Name << ", " << O.Name << " origins";
        }
}

// The surface's pixels, row by row (reading them one by one is slow for many large surfaces).
std::vector<std::uint32_t> Pixels(const TTestSurface& S)
{
    const LONG Total = GetBitmapBits(S.Bitmap, 0, nullptr);
    std::vector<std::uint8_t> Bytes(static_cast<std::size_t>(Total));
    GetBitmapBits(S.Bitmap, Total, Bytes.data());
    const std::size_t Stride = std::size_t(Total / S.Height), Step = Stride / std::size_t(S.Width);
    std::vector<std::uint32_t> Out;
    for (std::size_t Y = 0; Y < std::size_t(S.Height); ++Y)
        for (std::size_t X = 0; X < std::size_t(S.Width); ++X) {
            const std::uint8_t* P = &Bytes[Y * Stride + X * Step];
            Out.push_back(std::uint32_t(P[0]) | std::uint32_t(P[1]) << 8 | std::uint32_t(P[2]) << 16);
        }
    return Out;
}

// Lines that start and end anywhere around a small clip: where the clip lets them through they
// set the pixels (and pen style phases) that the same lines set on a surface holding all of them.
TEST(FarCoordinates, ClippedLinesStepThroughTheSamePixels)
{
    constexpr int Whole = 180, Shift = 60, Part = 60;
    unsigned Seed = 12345;
    auto Next = [&](int Lo, int Hi) {
        Seed = Seed * 1103515245u + 12345u;
        return Lo + int((Seed >> 8) % unsigned(Hi - Lo + 1));
    };
    for (int Style : {PS_SOLID, PS_DASHDOT}) {
        for (int N = 0; N < 150; ++N) {
            POINT P[3];
            for (POINT& Q : P)
                Q = POINT{Next(-Shift, Part + Shift - 1), Next(-Shift, Part + Shift - 1)};
            TTestSurface Big(Whole, Whole), Small(Part, Part);
            // The small surface clipped inside its edges as well, so the bounds do not start at its
            // corner; the large one holds every line whole.
            const RECT Clip{13, 7, 51, 48};
            HRGN Rgn = CreateRectRgnIndirect(&Clip);
            SelectClipRgn(Small.Dc, Rgn);
            DeleteObject(Rgn);
            SetViewportOrgEx(Big.Dc, Shift, Shift, nullptr);
            for (TTestSurface* S : {&Big, &Small})
                WithPen(S->Dc, Style, 1, [&] { Polyline(S->Dc, P, 3); });
            const std::vector<std::uint32_t> BigBits = Pixels(Big), SmallBits = Pixels(Small);
            int Wrong = 0;
            for (int Y = 0; Y < Part; ++Y)
                for (int X = 0; X < Part; ++X) {
                    const bool Inside = X >= Clip.left && X < Clip.right && Y >= Clip.top && Y < Clip.bottom;
                    const std::uint32_t Want =
                        Inside ? BigBits[std::size_t((Y + Shift) * Whole + X + Shift)] : 0xFFFFFFu;
                    Wrong += SmallBits[std::size_t(Y * Part + X)] != Want;
                }
            ASSERT_EQ(Wrong, 0) << "style " << Style << ": (" << P[0].x << "," << P[0].y << ") (" << P[1].x
                                << "," << P[1].y << ") (" << P[2].x << "," << P[2].y << ")";
        }
    }
}

// Caption glyphs of a button far larger than the surface: the cross's diagonal passes through the
// middle of the button, the maximise frame's edges are far outside.
TEST(FarCoordinates, CaptionGlyphsOfHugeButtons)
{
    TTestSurface S(40, 30);
    RECT R{-1000000000, -1000000000, 1000000000, 1000000000};
    DrawFrameControl(S.Dc, &R, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    int OnDiagonal = 0;
    for (int I = 0; I < 30; ++I)
        OnDiagonal += S.At(I, I) == GetSysColor(COLOR_BTNTEXT);
    EXPECT_GE(OnDiagonal, 28);
    DrawFrameControl(S.Dc, &R, DFC_CAPTION, DFCS_CAPTIONMAX);
    EXPECT_EQ(S.Count(GetSysColor(COLOR_BTNFACE)), 40 * 30);
}

} // namespace
