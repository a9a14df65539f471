// Drawing with coordinates near the 32-bit limits on an 800x600 surface: each primitive should cost
// what its visible part costs (stepped pixel by pixel, a line from -2e9 to 2e9 took seconds).
// The same primitive with coordinates just off the surface runs beside each for comparison.
#include "platform/graphics/WinGdi.h"

#include <benchmark/benchmark.h>

#include <climits>
#include <functional>
#include <vector>

namespace {

constexpr int W = 800, H = 600;

struct TPrimitive {
    const char* Name;
    std::function<void(HDC, int Far)> Draw; // Far: how far out the coordinates reach
    int PenStyle = PS_SOLID, PenWidth = 1;
};

void Line(HDC Dc, int X0, int Y0, int X1, int Y1)
{
    MoveToEx(Dc, X0, Y0, nullptr);
    LineTo(Dc, X1, Y1);
}

const std::vector<TPrimitive>& Primitives()
{
    static const std::vector<TPrimitive> List = {
        {"horizontal line", [](HDC D, int F) { Line(D, -F, 300, F, 300); }},
        {"sloped line", [](HDC D, int F) { Line(D, -F, -F / 2, F, F / 2); }},
        {"dotted line", [](HDC D, int F) { Line(D, -F, 200, F, 201); }, PS_DOT},
        {"wide line", [](HDC D, int F) { Line(D, -F, 100, F, 150); }, PS_SOLID, 5},
        {"rectangle", [](HDC D, int F) { Rectangle(D, -F, 10, F, 590); }},
        {"ellipse", [](HDC D, int F) { Ellipse(D, -F, -F, F, F); }},
        {"pie", [](HDC D, int F) { Pie(D, -F, -F, F, F, F, 0, 0, F); }},
        {"bezier",
         [](HDC D, int F) {
             const POINT P[] = {{-F, 300}, {-F / 2, -F}, {F / 2, F}, {F, 300}};
             PolyBezier(D, P, 4);
         }},
        {"polygon",
         [](HDC D, int F) {
             const POINT P[] = {{-F, -F}, {F, F}, {-F, F}};
             Polygon(D, P, 3);
         }},
        {"focus rectangle",
         [](HDC D, int F) {
             RECT R{-F, 5, F, 595};
             DrawFocusRect(D, &R);
         }},
        {"scroll arrow",
         [](HDC D, int F) {
             RECT R{-F, -F, F, F};
             DrawFrameControl(D, &R, DFC_SCROLL, DFCS_SCROLLDOWN);
         }},
        {"size grip",
         [](HDC D, int F) {
             RECT R{-F, -F, 700, 500};
             DrawFrameControl(D, &R, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
         }},
        {"caption cross",
         [](HDC D, int F) {
             RECT R{-F, -F, F, F};
             DrawFrameControl(D, &R, DFC_CAPTION, DFCS_CAPTIONCLOSE);
         }},
    };
    return List;
}

// range(0): the primitive; range(1): 1 for coordinates near the limits, 0 for just off the surface.
void BM_FarPrimitive(benchmark::State& State)
{
    const TPrimitive& P = Primitives()[std::size_t(State.range(0))];
    const int Far = State.range(1) ? 2000000000 : 1000;
    HDC Dc = CreateCompatibleDC(nullptr);
    HBITMAP Bm = CreateCompatibleBitmap(nullptr, W, H);
    HGDIOBJ Old = SelectObject(Dc, Bm);
    PatBlt(Dc, 0, 0, W, H, WHITENESS);
    SelectObject(Dc, GetStockObject(GRAY_BRUSH));
    HPEN Pen = CreatePen(P.PenStyle, P.PenWidth, RGB(0, 0, 0));
    HGDIOBJ OldPen = SelectObject(Dc, Pen);
    for (auto _ : State)
        P.Draw(Dc, Far);
    State.SetLabel(P.Name);
    SelectObject(Dc, OldPen);
    DeleteObject(Pen);
    SelectObject(Dc, Old);
    DeleteObject(Bm);
    DeleteDC(Dc);
}
BENCHMARK(BM_FarPrimitive)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 12, 1), {0, 1}})
    ->Unit(benchmark::kMicrosecond);

} // namespace
