// The font combo box: an owner-drawn, sorted drop-down list of the installed font names for the
// screen, the printer or both, filtered by kind and pitch, each name after a small glyph that
// marks outline (TrueType) and device fonts. The chosen name is FontName.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/Graphics.h"

#include <cstdint>
#include <memory>
#include <string>

// fdScreen, fdPrinter, fdBoth: the font dialog's device type.
using TFontDevice = TFontDialogDevice;
enum TFontListOption : std::uint8_t {
    foAnsiOnly,
    foTrueTypeOnly,
    foFixedPitchOnly,
    foNoOEMFonts,
    foOEMFontsOnly,
    foScalableOnly,
};
using TFontListOptions = TSet<TFontListOption>;

// Font names are kept to this many characters.
inline constexpr std::size_t MaxFontNameLength = 31;

// Whether a font the system reported (its LOGFONT and RASTER/DEVICE/TRUETYPE_FONTTYPE bits)
// passes the options.
bool FontPassesOptions(const LOGFONT& Font, DWORD FontType, TFontListOptions Options);

class TFontComboBox : public TCustomComboBox {
public:
    explicit TFontComboBox(TComponent* AOwner);
    ~TFontComboBox() override;

    TFontDevice Device() const { return FDevice; }
    void SetDevice(TFontDevice Value);
    TFontListOptions Options() const { return FOptions; }
    void SetOptions(TFontListOptions Value);
    bool TrueTypeOnly() const { return FOptions.Contains(foTrueTypeOnly); }
    void SetTrueTypeOnly(bool Value);
    // The box's text, at most 31 characters.
    std::string FontName() const;
    // Selects the first item equal to Value regardless of case (none: no selection), then
    // reports a change.
    void SetFontName(const std::string& Value);
    // The font type the system reported for an item.
    DWORD ItemFontType(int Index) const;

    // Refills the items from the system (only while the window exists).
    virtual void FillFontList();
    // Refills keeping the chosen name; reports a change only when the name is gone.
    void Reset();
    void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;

protected:
    TW_MESSAGE_HANDLERS(TFontComboBox);
    void WMFontChange(TMessage& Message);
    void CMFontChanged(TMessage& Message);

    void CreateWnd() override;
    void Change() override;

private:
    void ResetItemHeight();
    std::unique_ptr<TBitmap> FTrueTypeGlyph;
    std::unique_ptr<TBitmap> FDeviceGlyph;
    TFontDevice FDevice = fdScreen;
    bool FUpdating = false;
    TFontListOptions FOptions;
};
TW_LINK_CLASS(TFontComboBox);
