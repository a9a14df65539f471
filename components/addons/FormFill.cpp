#include "components/addons/FormFill.h"

#include "platform/classes/TypInfo.h"
#include "platform/rtl/RandomGen.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/WinUser.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int TileSide = 30;

// The registry lives until the program ends; its painter entries go with it.
struct TFillRegistry {
    std::unique_ptr<TStringList> List;
    ~TFillRegistry()
    {
        if (!List)
            return;
        for (int I = 0; I < List->Count(); ++I)
            delete List->Objects(I);
    }
};

TFillRegistry& Registry()
{
    static TFillRegistry R;
    return R;
}

TFillPainter PainterAt(int Index)
{
    TStringList* L = FillTypeRegistry();
    if (!L || Index < 0 || Index >= L->Count())
        return nullptr;
    auto* Entry = dynamic_cast<TFillPainterEntry*>(L->Objects(Index));
    return Entry ? Entry->Painter : nullptr;
}

void Line(TCanvas* C, int X1, int Y1, int X2, int Y2)
{
    C->MoveTo(X1, Y1);
    C->LineTo(X2, Y2);
}

void PenColour(TCanvas* C, TColor Colour)
{
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetMode(pmCopy);
    C->Pen()->SetWidth(1);
    C->Pen()->SetColor(Colour);
}

void FillArea(TCanvas* C, TColor Colour, const TRect& R)
{
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Colour);
    C->FillRect(R);
}

// Two one-pixel line steps: (X, Y) in C1 and (X+1, Y+1) in C2.
void Speck(TCanvas* C, int X, int Y, TColor C1, TColor C2)
{
    PenColour(C, C1);
    Line(C, X, Y, X + 1, Y);
    PenColour(C, C2);
    Line(C, X + 1, Y + 1, X + 2, Y + 1);
}

// A random point of the control's client area; X is drawn before Y.
TPoint RandomPoint(TFormFill* F)
{
    const int X = Random(F->ClientWidth());
    const int Y = Random(F->ClientHeight());
    return Point(X, Y);
}

// ---- The painters ---------------------------------------------------------------------------

void PaintPittsburg(TFormFill* F, int&)
{
    TCanvas* T = F->TileCanvas();
    PenColour(T, clBtnHighlight);
    Line(T, 0, 0, 29, 0);
    Line(T, 0, 0, 0, 29);
    PenColour(T, clBtnShadow);
    Line(T, 0, 29, 29, 29);
    Line(T, 29, 29, 29, 0);
    const TColor Rivets[] = {clBtnShadow, clBtnHighlight};
    for (int Layer = 0; Layer < 2; ++Layer) {
        const int D = Layer; // the light layer sits one pixel up and left of the shadow one
        PenColour(T, Rivets[Layer]);
        T->Brush()->SetStyle(bsSolid);
        T->Brush()->SetColor(Rivets[Layer]);
        T->Ellipse(4 - D, 4 - D, 6 - D, 6 - D);
        T->Ellipse(26 - D, 26 - D, 28 - D, 28 - D);
        T->Ellipse(4 - D, 26 - D, 6 - D, 28 - D);
        T->Ellipse(26 - D, 4 - D, 28 - D, 6 - D);
    }
}

void PaintAlcatraz(TFormFill* F, int& TileSize)
{
    PaintPittsburg(F, TileSize);
    TCanvas* T = F->TileCanvas();
    const struct {
        int X;
        TColor Colour;
    } Bars[] = {{6, clBtnShadow},  {7, clBtnHighlight}, {8, clBtnFace},    {9, clBtnFace},   {10, clBtnFace},
                {11, clBtnShadow}, {21, clBtnShadow},   {23, clBtnShadow}, {22, clBtnShadow}};
    for (const auto& B : Bars) {
        PenColour(T, B.Colour);
        Line(T, B.X, 0, B.X, TileSide);
    }
}

void PaintHonolulu(TFormFill* F, int&)
{
    TCanvas* T = F->TileCanvas();
    PenColour(T, clBtnHighlight);
    Line(T, 0, 29, 29, 0);
    PenColour(T, clBtnShadow);
    Line(T, 1, 1, 30, 30);
    Line(T, 1, 30, 30, 1);
}

void PaintHollywood(TFormFill* F, int&)
{
    TCanvas* T = F->TileCanvas();
    T->Brush()->SetStyle(bsSolid);
    T->Brush()->SetColor(clBtnFace);
    PenColour(T, clBtnHighlight);
    T->Rectangle(0, 0, 15, 15);
    T->Rectangle(15, 15, 30, 30);
    T->Brush()->SetColor(clBtnHighlight);
    PenColour(T, clBtnFace);
    T->Rectangle(0, 15, 15, 30);
    T->Rectangle(15, 0, 30, 15);
}

void PaintMinsk(TFormFill* F, int&)
{
    TCanvas* T = F->TileCanvas();
    T->Pen()->SetStyle(psClear);
    T->Brush()->SetStyle(bsSolid);
    const struct {
        int X1, X2;
        TColor Colour;
    } Bands[] = {{0, 7, clBtnFace}, {7, 14, clBtnHighlight}, {16, 21, clBtnFace}, {21, 30, clBtnHighlight}};
    for (const auto& B : Bands) {
        T->Brush()->SetColor(B.Colour);
        T->Rectangle(B.X1, 0, B.X2, 32);
    }
    PenColour(T, clBtnShadow);
    Line(T, 14, 0, 14, TileSide);
    Line(T, 28, 0, 28, TileSide);
}

const TPoint HanoiPoints[95] = {
    {0, 0},   {9, 0},   {1, 10},  {2, 11},  {3, 12},  {4, 13},  {4, 14},  {4, 15},  {4, 16},  {4, 17},
    {4, 18},  {4, 19},  {4, 20},  {4, 21},  {4, 22},  {4, 23},  {3, 24},  {2, 25},  {1, 26},  {0, 27},
    {0, 28},  {0, 29},  {0, 30},  {0, 27},  {1, 2},   {2, 3},   {3, 4},   {4, 5},   {5, 6},   {6, 7},
    {8, 7},   {9, 7},   {10, 6},  {11, 5},  {12, 4},  {13, 3},  {14, 2},  {15, 1},  {16, 0},  {17, 0},
    {18, 0},  {18, 1},  {17, 2},  {16, 4},  {15, 5},  {15, 6},  {16, 7},  {17, 8},  {18, 9},  {19, 10},
    {19, 11}, {19, 12}, {18, 13}, {17, 14}, {16, 15}, {16, 16}, {15, 18}, {14, 20}, {13, 21}, {13, 22},
    {13, 23}, {13, 24}, {13, 25}, {13, 26}, {14, 27}, {15, 28}, {16, 28}, {16, 27}, {16, 26}, {17, 25},
    {18, 24}, {19, 23}, {19, 22}, {19, 21}, {19, 20}, {19, 19}, {19, 18}, {20, 17}, {20, 16}, {21, 15},
    {22, 14}, {23, 13}, {23, 12}, {23, 11}, {23, 10}, {23, 9},  {23, 8},  {23, 7},  {23, 6},  {24, 5},
    {25, 4},  {26, 3},  {27, 2},  {28, 1},  {29, 0}};

void PaintHanoi(TFormFill* F, int&)
{
    for (const TPoint& P : HanoiPoints)
        F->TileSpeck(P.x, P.y, clBtnShadow, clBtnHighlight);
    F->Grooves(clBtnShadow, clBtnHighlight);
}

void PaintElPaso(TFormFill* F, int&)
{
    for (int I = 0; I < 4; ++I) {
        int X = Random(TileSide);
        int Y = Random(TileSide);
        F->TileSpeck(X, Y, clBtnShadow, clBtnHighlight);
        X = Random(TileSide);
        Y = Random(TileSide);
        F->TileSpeck(X, Y, clBtnHighlight, clBtnShadow);
    }
    F->Grooves(clBtnShadow, clBtnHighlight);
}

// Bricks: the mortar lines and a speck in the corner.
void DrawBricks(TFormFill* F)
{
    TCanvas* T = F->TileCanvas();
    PenColour(T, clBtnHighlight);
    const TPoint Outline[] = {{0, 0}, {30, 0}, {30, 15}, {0, 15}, {0, 0}};
    T->Polyline(Outline, 5);
    Line(T, 15, 15, 15, 30);
    F->TileSpeck(0, 0, clBtnShadow, clBtnHighlight);
}

void PaintManhattan(TFormFill* F, int& TileSize)
{
    DrawBricks(F);
    F->TileBlt(TileSide, F->ClientRect());
    for (int I = F->Density() / 3; I > 0; --I) {
        TPoint P = RandomPoint(F);
        F->CanvasSpeck(P.x, P.y, clBtnShadow, clBtnHighlight);
        P = RandomPoint(F);
        F->CanvasSpeck(P.x, P.y, clBtnHighlight, clBtnShadow);
    }
    TileSize = 1;
}

void PaintLondon(TFormFill* F, int& TileSize)
{
    F->RandomSpecks(150);
    DrawBricks(F);
    F->TileBlt(TileSide, F->ClientRect());
    // Small patches of speckled surface, each inside one brick cell (the mortar lies on the
    // multiples of 15) and at most 10 x 10.
    HDC Dest = F->Canvas()->Handle();
    HDC Tile = F->TileCanvas()->Handle();
    for (int I = 2 * F->Density() + 1; I > 0; --I) {
        const TPoint P = RandomPoint(F);
        const int W = P.x % 15 == 0 ? 0 : std::min(10, 15 - P.x % 15);
        const int H = P.y % 15 == 0 ? 0 : std::min(10, 15 - P.y % 15);
        if (W > 0 && H > 0)
            BitBlt(Dest, P.x, P.y, W, H, Tile, 2, 2, SRCCOPY);
    }
    TileSize = 1;
}

void PaintSahara(TFormFill* F, int& TileSize)
{
    F->RandomSpecks(150);
    F->TileBlt(TileSide, F->ClientRect());
    F->Scatter(15, 0);
    TileSize = 1;
}

void PaintOshawa(TFormFill* F, int& TileSize)
{
    int Ignored = TileSide;
    PaintElPaso(F, Ignored);
    F->RandomSpecks(150);
    F->TileBlt(TileSide, F->ClientRect());
    F->Scatter(8, 3);
    TileSize = 1;
}

void PaintAdobe(TFormFill* F, int& TileSize)
{
    F->RandomSpecks(100);
    F->TileBlt(TileSide, F->ClientRect());
    F->WithTemporaryTile([F] {
        F->RandomSpecks(150);
        F->Bead(clBtnHighlight, clBtnShadow);
        F->Scatter(7, 0);
    });
    TileSize = 1;
}

void PaintHoles(TFormFill* F, int& TileSize)
{
    FillArea(F->Canvas(), F->Color(), F->ClientRect());
    F->Bead(clBtnHighlight, clBtnShadow);
    F->Scatter(7, 0);
    TileSize = 0;
}

void PaintOrleans(TFormFill* F, int& TileSize)
{
    PaintHoles(F, TileSize);
    TCanvas* C = F->Canvas();
    const int H = F->ClientHeight();
    for (int X0 = 0; X0 < F->ClientWidth(); X0 += TileSide) {
        PenColour(C, clBtnShadow);
        for (int D : {0, 1, 14, 15, 28})
            Line(C, X0 + D, 0, X0 + D, H);
        PenColour(C, clBtnHighlight);
        for (int D : {13, 16, 29})
            Line(C, X0 + D, 0, X0 + D, H);
    }
    TileSize = 0;
}

// A white card with a drop shadow of Depth pixels, on a cleared border.
void DrawCard(TFormFill* F, int Depth)
{
    TCanvas* C = F->Canvas();
    const int W = F->ClientWidth();
    const int H = F->ClientHeight();
    const int D = 5 + Depth;
    F->ClearBorder();
    FillArea(C, F->Color(), Rect(5, H - D, D, H - 5));
    FillArea(C, F->Color(), Rect(W - D, 5, W - 5, D));
    PenColour(C, clBtnShadow);
    FillArea(C, clBtnShadow, Rect(D, H - D, W - 5, H - 5));
    FillArea(C, clBtnShadow, Rect(W - D, D, W - 5, H - 5));
    C->Brush()->SetColor(clBtnHighlight);
    PenColour(C, clBlack);
    C->Rectangle(5, 5, W - D, H - D);
}

void PaintPhiladelphia(TFormFill* F, int& TileSize)
{
    DrawCard(F, 7);
    TileSize = 0;
}

void PaintSmithsonian(TFormFill* F, int& TileSize)
{
    TCanvas* C = F->Canvas();
    const int W = F->ClientWidth();
    const int H = F->ClientHeight();
    F->ClearBorder();
    PenColour(C, clBlack);
    C->Brush()->SetStyle(bsClear);
    C->Rectangle(5, 5, W - 5, H - 5);
    for (const TRect& R : {Rect(6, 6, W - 6, 8), Rect(6, H - 8, W - 6, H - 6), Rect(6, 8, 8, H - 8),
                           Rect(W - 8, 8, W - 6, H - 8)})
        FillArea(C, clBtnShadow, R);
    C->Brush()->SetColor(clBtnHighlight);
    PenColour(C, clBlack);
    C->Rectangle(8, 8, W - 8, H - 8);
    // The spine.
    const int M = W / 2;
    const struct {
        int X;
        TColor Colour;
    } Spine[] = {{M, clBtnShadow},   {M + 1, clBtnFace},      {M + 2, clBtnFace}, {M + 3, clBtnFace},
                 {M + 4, clBtnFace}, {M + 5, clBtnHighlight}, {M + 6, clBtnFace}};
    for (const auto& S : Spine) {
        PenColour(C, S.Colour);
        Line(C, S.X, 9, S.X, H - 9);
    }
    // The edges of the pages, mirrored on both halves.
    PenColour(C, clBtnFace);
    for (int X : {W - 10, W - 15, W - 20, W - 25, W - 30, 10, 15, 20, 25, 30})
        Line(C, X, 9, X, H - 9);
    Line(C, W - 16, 9, W - 18, H - 9);
    Line(C, 16, 9, 18, H - 9);
    TileSize = 0;
}

void PaintHarvard(TFormFill* F, int& TileSize)
{
    TCanvas* C = F->Canvas();
    const int W = F->ClientWidth();
    const int H = F->ClientHeight();
    DrawCard(F, 3);
    PenColour(C, TColor(0xFF0000));
    for (int Y = 40; Y < H - 20; Y += 20)
        Line(C, 8, Y, W - 10, Y);
    PenColour(C, TColor(0x0000FF));
    Line(C, W / 8, 7, W / 8, H - 12);
    // Punched holes down the margin; a page under 4 pixels high has no room for any.
    const int S = H / 4;
    const int D = W / 16;
    const int E = W / 48;
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnFace);
    if (S > 0) {
        for (int Y = S / 2; Y < H - S / 2; Y += S) {
            PenColour(C, clBtnShadow);
            C->Ellipse(D - 1, Y - 1, D + E, Y + E);
            PenColour(C, clBtnHighlight);
            C->Ellipse(D, Y, D + E, Y + E);
        }
    }
    TileSize = 0;
}

} // namespace

// ---- The registry ---------------------------------------------------------------------------

TStringList* FillTypeRegistry()
{
    return Registry().List.get();
}

void RegisterFillType(const std::string& Name, TFillPainter Painter)
{
    auto& List = Registry().List;
    if (!List) {
        List = std::make_unique<TStringList>();
        List->SetSorted(true);
    }
    if (!Painter)
        return;
    int Index;
    if (List->Find(Name, Index)) {
        delete List->Objects(Index);
        List->SetObjects(Index, new TFillPainterEntry(Painter));
        return;
    }
    List->AddObject(Name, new TFillPainterEntry(Painter));
}

void RegisterFillTypes()
{
    Randomize();
    const struct {
        const char* Name;
        TFillPainter Painter;
    } Types[] = {{"Adobe", PaintAdobe},
                 {"Orleans", PaintOrleans},
                 {"Alcatraz", PaintAlcatraz},
                 {"Holes", PaintHoles},
                 {"Oshawa", PaintOshawa},
                 {"London", PaintLondon},
                 {"Hollywood", PaintHollywood},
                 {"Minsk", PaintMinsk},
                 {"Hanoi", PaintHanoi},
                 {"Pittsburg", PaintPittsburg},
                 {"Manhattan", PaintManhattan},
                 {"Honolulu", PaintHonolulu},
                 {"ElPaso", PaintElPaso},
                 {"Sahara", PaintSahara},
                 {"Smithsonian", PaintSmithsonian},
                 {"Philadelphia", PaintPhiladelphia},
                 {"Harvard", PaintHarvard}};
    for (const auto& T : Types)
        RegisterFillType(T.Name, T.Painter);
}

// ---- TFormFill ------------------------------------------------------------------------------

TFormFill::TFormFill(TComponent* AOwner) : TGraphicControl(AOwner)
{
    ControlStyle.Include(csOpaque);
    ControlStyle.Include(csReplicatable);
    SetAlign(alClient);
    SendToBack();
}

TFormFill::~TFormFill()
{
    UnhookParent();
    EndTile();
}

std::string TFormFill::FillType() const
{
    TStringList* L = FillTypeRegistry();
    if (!L || FFillType < 0 || FFillType >= L->Count())
        return std::string();
    return L->Strings(FFillType);
}

void TFormFill::SetFillType(const std::string& Value)
{
    TStringList* L = FillTypeRegistry();
    int Index;
    if (L && L->Find(Value, Index) && Index != FFillType) {
        FFillType = Index;
        Invalidate();
    }
}

void TFormFill::SetParent(TWinControl* AParent)
{
    UnhookParent();
    TGraphicControl::SetParent(AParent);
    if (!AParent)
        return;
    // Below every control that is already there.
    SendToBack();
    for (int I = 0; I < AParent->ControlCount(); ++I) {
        TControl* C = AParent->Controls(I);
        if (C != this && dynamic_cast<TFormFill*>(C))
            return; // one hook per parent: the first pattern control has it
    }
    HookParent();
}

void TFormFill::HookParent()
{
    if (!Parent() || FHookedWnd)
        return;
    HWND Wnd = Parent()->Handle();
    FHookInstance = MakeObjectInstance([this](TMessage& M) { ParentHookProc(M); });
    if (!FHookInstance)
        return;
    FOldParentProc = reinterpret_cast<WNDPROC>(GetWindowLong(Wnd, GWL_WNDPROC));
    SetWindowLong(Wnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FHookInstance));
    FHookedWnd = Wnd;
}

void TFormFill::UnhookParent()
{
    if (!FHookedWnd)
        return;
    // The window we hooked, not Parent(): the parent may already have let go of us. A window
    // recreated since has its own procedure again and is left alone.
    if (IsWindow(FHookedWnd) &&
        reinterpret_cast<WNDPROC>(GetWindowLong(FHookedWnd, GWL_WNDPROC)) == FHookInstance)
        SetWindowLong(FHookedWnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FOldParentProc));
    FreeObjectInstance(FHookInstance);
    FHookInstance = nullptr;
    FOldParentProc = nullptr;
    FHookedWnd = nullptr;
}

void TFormFill::ParentHookProc(TMessage& Message)
{
    if (Message.Msg == WM_ERASEBKGND && Visible()) {
        Message.Result = 1; // the pattern covers the whole client area
        return;
    }
    Message.Result = CallWindowProc(FOldParentProc, FHookedWnd, Message.Msg, Message.WParam, Message.LParam);
}

int TFormFill::Density() const
{
    return ClientWidth() * ClientHeight() / 225;
}

void TFormFill::BeginTile()
{
    if (FTileDC)
        throw Exception("FillType was already started");
    HDC Ref = Canvas()->Handle();
    FTileDC = CreateCompatibleDC(Ref);
    FTileBitmap = CreateCompatibleBitmap(Ref, TileSide, TileSide);
    FOldTileBitmap = SelectObject(FTileDC, FTileBitmap);
    FTileCanvas = std::make_unique<TCanvas>();
    FTileCanvas->SetHandle(FTileDC);
    FillArea(FTileCanvas.get(), Color(), Rect(0, 0, TileSide, TileSide));
}

void TFormFill::EndTile()
{
    if (!FTileDC)
        return;
    // The canvas lets go of its pen and brush before the DC goes.
    if (FTileCanvas)
        FTileCanvas->SetHandle(nullptr);
    FTileCanvas.reset();
    SelectObject(FTileDC, FOldTileBitmap);
    DeleteObject(FTileBitmap);
    DeleteDC(FTileDC);
    FTileDC = nullptr;
    FTileBitmap = nullptr;
    FOldTileBitmap = nullptr;
}

void TFormFill::WithTemporaryTile(const std::function<void()>& Draw)
{
    HDC DC = std::exchange(FTileDC, nullptr);
    HBITMAP Bitmap = std::exchange(FTileBitmap, nullptr);
    HGDIOBJ Old = std::exchange(FOldTileBitmap, nullptr);
    std::unique_ptr<TCanvas> TileCanvas = std::move(FTileCanvas);
    struct TRestore {
        TFormFill* Self;
        HDC DC;
        HBITMAP Bitmap;
        HGDIOBJ Old;
        std::unique_ptr<TCanvas>& TileCanvas;
        ~TRestore()
        {
            Self->EndTile();
            Self->FTileDC = DC;
            Self->FTileBitmap = Bitmap;
            Self->FOldTileBitmap = Old;
            Self->FTileCanvas = std::move(TileCanvas);
        }
    } Restore{this, DC, Bitmap, Old, TileCanvas};
    BeginTile();
    Draw();
}

void TFormFill::TileBlt(int Size, const TRect& Rect)
{
    if (Size <= 0 || !FTileDC)
        return;
    HDC Dest = Canvas()->Handle();
    int X = Rect.left;
    int Y = Rect.top;
    while (Y < Rect.bottom) {
        BitBlt(Dest, X, Y, Size, Size, FTileDC, 0, 0, SRCCOPY);
        X += Size;
        if (X > Rect.right) {
            X = Rect.left;
            Y += Size;
        }
    }
}

void TFormFill::TileSpeck(int X, int Y, TColor C1, TColor C2)
{
    if (FTileCanvas)
        Speck(FTileCanvas.get(), X, Y, C1, C2);
}

void TFormFill::CanvasSpeck(int X, int Y, TColor C1, TColor C2)
{
    Speck(Canvas(), X, Y, C1, C2);
}

void TFormFill::Grooves(TColor C1, TColor C2)
{
    if (!FTileCanvas)
        return;
    TCanvas* T = FTileCanvas.get();
    PenColour(T, C1);
    for (int X : {0, 15, 29})
        Line(T, X, 0, X, TileSide);
    PenColour(T, C2);
    for (int X : {1, 16})
        Line(T, X, 0, X, TileSide);
}

void TFormFill::RandomSpecks(int N)
{
    for (int I = 0; I < N; ++I) {
        const int X = Random(TileSide);
        const int Y = Random(TileSide);
        TileSpeck(X, Y, clBtnHighlight, clBtnShadow);
    }
}

void TFormFill::Scatter(int Size, int SrcX)
{
    if (!FTileDC)
        return;
    HDC Dest = Canvas()->Handle();
    for (int I = Density() + 1; I > 0; --I) {
        const TPoint P = RandomPoint(this);
        BitBlt(Dest, P.x, P.y, Size, Size, FTileDC, SrcX, 0, SRCCOPY);
    }
}

void TFormFill::Bead(TColor C1, TColor C2)
{
    if (!FTileCanvas)
        return;
    TCanvas* T = FTileCanvas.get();
    T->Brush()->SetStyle(bsSolid);
    PenColour(T, C1);
    T->Brush()->SetColor(C1);
    T->Ellipse(2, 2, 7, 7);
    PenColour(T, TColor(0xC0C0C0));
    T->Ellipse(1, 1, 6, 6);
    PenColour(T, C1);
    T->Brush()->SetColor(C2);
    T->Ellipse(0, 0, 5, 5);
}

void TFormFill::ClearBorder()
{
    const int W = ClientWidth();
    const int H = ClientHeight();
    for (const TRect& R :
         {Rect(0, 0, W, 5), Rect(0, H - 5, W, H), Rect(0, 5, 5, H - 5), Rect(W - 5, 5, W, H - 5)})
        FillArea(Canvas(), Color(), R);
}

void TFormFill::Paint()
{
    TFillPainter Painter = PainterAt(FFillType);
    if (!Painter) {
        // No patterns registered: at least the background the parent no longer erases.
        FillArea(Canvas(), Color(), ClientRect());
        return;
    }
    BeginTile();
    // The tile goes however the painter ends, so an error shows once and the next paint works.
    struct TTileScope {
        TFormFill* Self;
        ~TTileScope() { Self->EndTile(); }
    } Scope{this};
    int TileSize = TileSide;
    Painter(this, TileSize);
    if (TileSize > 1)
        TileBlt(TileSide, ClientRect());
}

TW_PUBLISH(TFormFill, TGraphicControl)
{
    Cls.Str("FillType", &TFormFill::FillType, &TFormFill::SetFillType);
}
