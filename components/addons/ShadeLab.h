// A label drawn plain, with a drop shadow, raised or sunken: the text is drawn up to three times
// at small offsets in the shadow and highlight colours.
#pragma once

#include "platform/controls/StdButtons.h"

#include <cstdint>
#include <string>

enum TStyle : std::uint8_t { stNormal, stShadow, stRaised, stSunken };

class TShadeLabel : public TLabel {
public:
    explicit TShadeLabel(TComponent* AOwner);

    TStyle Style() const { return FStyle; }
    void SetStyle(TStyle Value);
    int ShadowOffset() const { return FShadowOffset; }
    void SetShadowOffset(int Value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor Value);
    // Kept for the printed look; the screen drawing does not use it.
    TColor PrintBkColor() const { return FPrintBkColor; }
    void SetPrintBkColor(TColor Value);
    // An information text.
    std::string About = "Version 1.0";

    // The caption moved by (Offset, Offset) in Color, with the current paint's flags.
    void DrawTextAt(int Offset, TColor Color);

protected:
    void Paint() override;

private:
    UINT FDrawFlags = 0;
    TStyle FStyle = stSunken;
    TColor FShadowColor = clBtnShadow;
    TColor FPrintBkColor = 0xFFFFFF;
    int FShadowOffset = 3;
};
TW_LINK_CLASS(TShadeLabel);
