// The clipboard viewer: a scroll box in the clipboard viewer chain that always shows what the
// clipboard holds, in one child it replaces on every change (a read-only text box, a picture, a
// grid of palette colours, a copied component), a line of text when nothing can be shown, and
// nothing at all when the clipboard is empty. Also the icon clipboard format the viewer reads.
#pragma once

#include "platform/app/Clipbrd.h"
#include "platform/classes/Classes.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Grids.h"
#include "platform/controls/ScrollBox.h"
#include "platform/graphics/Graphics.h"

#include <array>
#include <cstdint>

// ---- Icons on the clipboard -------------------------------------------------------------------
// The private format of icons (an icon file image); 0 until registered.
extern UINT IconClipboardFormat;
// Start-up step: registers the format and binds it to TIcon, so pictures read it.
void RegisterIconClipboardFormat();
// Fills Graphic from the clipboard's icon data; nothing when the clipboard holds none.
void LoadIconFromClipboard(TGraphic* Graphic);
// A new icon from the clipboard (the caller owns it); null when the clipboard holds none.
TIcon* IconFromClipboard();

// ---- The viewer -------------------------------------------------------------------------------
enum TClipboardViewFormat : std::uint8_t {
    cvDefault, // choose automatically
    cvEmpty,
    cvUnknown,
    cvText,
    cvBitmap,
    cvMetafile,
    cvPalette,
    cvOemText,
    cvPicture,
    cvComponent,
    cvIcon,
};

// The clipboard format a view shows (0 for cvDefault, cvEmpty, cvUnknown).
UINT ClipboardFormatOf(TClipboardViewFormat Format);

class TCustomClipboardViewer : public TScrollBox {
public:
    explicit TCustomClipboardViewer(TComponent* AOwner);
    ~TCustomClipboardViewer() override;

    TClipboardViewFormat ViewFormat() const { return FViewFormat; }
    // Keeps Value when the clipboard can show it, else cvDefault; then refreshes the view.
    void SetViewFormat(TClipboardViewFormat Value);
    // The child showing the clipboard (null when it is empty).
    TControl* View() const { return FView; }
    TNotifyEvent OnChange;

    virtual void RefreshView();
    virtual TClipboardViewFormat ChooseDisplayFormat();

protected:
    TW_MESSAGE_HANDLERS(TCustomClipboardViewer);
    void WMDrawClipboard(TMessage& Message);
    void WMChangeCBChain(TMessage& Message);
    void WMDestroyClipboard(TMessage& Message);
    void WMSize(TWMSize Message);

    void CreateWnd() override;
    void DestroyWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void Change();
    virtual bool FormatAvailable(TClipboardViewFormat Format);

private:
    void ForwardToNext(TMessage& Message);
    void RefreshWithAlignDisabled();
    void ShowText(TClipboardViewFormat Format);
    void ShowPalette();
    void ShowComponent();
    void ShowPicture(TClipboardViewFormat Format);
    HWND FNextViewer = nullptr;
    TControl* FView = nullptr;
    TClipboardViewFormat FViewFormat = cvDefault;
};
TW_LINK_CLASS(TCustomClipboardViewer);

class TClipboardViewer : public TCustomClipboardViewer {
public:
    using TCustomClipboardViewer::TCustomClipboardViewer;
};
TW_LINK_CLASS(TClipboardViewer);

// ---- The palette view -------------------------------------------------------------------------
// A grid of colour squares, one per palette entry, as many columns as fit the width.
class TPaletteGrid : public TDrawGrid {
public:
    explicit TPaletteGrid(TComponent* AOwner);
    ~TPaletteGrid() override;

    // Shows a copy of Palette (0: none).
    void SetPalette(HPALETTE Palette);
    HPALETTE GetPalette() const { return FPalette; }
    int EntryCount() const { return FCount; }
    // The colour of a cell's entry; NoTransparentColor for a cell without one.
    TColor CellColor(int ACol, int ARow) const;

protected:
    TW_MESSAGE_HANDLERS(TPaletteGrid);
    void WMSize(TWMSize Message);

    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;

private:
    void UpdateSize();
    std::array<PALETTEENTRY, 256> FEntries{};
    HPALETTE FPalette = nullptr;
    int FCount = 0;
    bool FSizing = false;
};
TW_LINK_CLASS(TPaletteGrid);
