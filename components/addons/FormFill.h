// A windowless control that covers its parent with one of the named decorative patterns, drawn in
// the system's 3-D colours. It aligns to the parent's client area, sits below every other control
// and keeps the parent from erasing its background, so the pattern is painted once and does not
// flicker.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/controls/Controls.h"
#include "platform/graphics/Graphics.h"

#include <functional>
#include <memory>
#include <string>

class TFormFill;

// Draws a pattern. On entry TileSize is 30 and the 30 x 30 tile is filled with the control's
// Color; a painter leaves it at 30 (the control repeats the tile over itself) or sets it to 0 or
// 1 (the painter has covered the control itself).
using TFillPainter = void (*)(TFormFill* Control, int& TileSize);

// The names of the patterns, sorted without regard to case, each holding its painter (a
// TFillPainterEntry) as the object; nullptr before the first registration.
TStringList* FillTypeRegistry();
// Adds Name with Painter (nothing for a null painter); a name already there gets the new painter.
void RegisterFillType(const std::string& Name, TFillPainter Painter);
// The start-up step: seeds the random generator and registers the program's 17 patterns.
void RegisterFillTypes();

class TFillPainterEntry : public TObject {
public:
    explicit TFillPainterEntry(TFillPainter APainter) : Painter(APainter) {}
    TFillPainter Painter;
};

class TFormFill : public TGraphicControl {
public:
    explicit TFormFill(TComponent* AOwner);
    ~TFormFill() override;

    // The pattern's name; an unknown name leaves the pattern as it is.
    std::string FillType() const;
    void SetFillType(const std::string& Value);
    int FillTypeIndex() const { return FFillType; }

    void SetParent(TWinControl* AParent) override;
    // Whether this control has replaced its parent's window procedure.
    bool HooksParent() const { return FHookedWnd != nullptr; }

    // ---- Drawing steps for the painters ----
    // One per 15 x 15 pixels of the client area.
    int Density() const;
    // Opens the 30 x 30 tile filled with Color; raises Exception when one is already open.
    void BeginTile();
    // Releases the tile (nothing when none is open).
    void EndTile();
    bool TileOpen() const { return FTileDC != nullptr; }
    // The canvas drawing on the open tile.
    TCanvas* TileCanvas() const { return FTileCanvas.get(); }
    // Repeats the tile's Size x Size square over Rect of the control's canvas.
    void TileBlt(int Size, const TRect& Rect);
    // Pixel (X, Y) in C1 and (X+1, Y+1) in C2, on the tile or on the control's canvas.
    void TileSpeck(int X, int Y, TColor C1, TColor C2);
    void CanvasSpeck(int X, int Y, TColor C1, TColor C2);
    // Full-height tile lines at X 0, 15, 29 in C1 and at 1, 16 in C2.
    void Grooves(TColor C1, TColor C2);
    // N light-and-shadow specks at random points of the tile.
    void RandomSpecks(int N);
    // Density + 1 copies of the tile's Size x Size square at (SrcX, 0) at random points.
    void Scatter(int Size, int SrcX);
    // A 7 x 7 shaded spot at the tile's corner.
    void Bead(TColor C1, TColor C2);
    // Fills the 5-pixel bands along the client area's edges with Color.
    void ClearBorder();
    // Runs Draw on a second tile, then puts the first one back; the second is released however
    // Draw ends.
    void WithTemporaryTile(const std::function<void()>& Draw);

protected:
    void Paint() override;

private:
    void HookParent();
    void UnhookParent();
    void ParentHookProc(TMessage& Message);

    int FFillType = 0;
    HDC FTileDC = nullptr;
    HBITMAP FTileBitmap = nullptr;
    HGDIOBJ FOldTileBitmap = nullptr;
    std::unique_ptr<TCanvas> FTileCanvas;
    // The parent window hooked, its previous procedure, and our procedure in its place.
    HWND FHookedWnd = nullptr;
    WNDPROC FOldParentProc = nullptr;
    WNDPROC FHookInstance = nullptr;
};
TW_LINK_CLASS(TFormFill);
