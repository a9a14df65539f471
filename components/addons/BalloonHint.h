// Balloon-style hints: placed on the main form, the component replaces the application's hint
// window with THintWindow95, a borderless hint in the tooltip colours and the status-bar font
// with a thin frame, shown just below the visible part of the mouse pointer, and sets the
// application's hint timings.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Controls.h"
#include "platform/graphics/Graphics.h"
#include "platform/win/WinUser.h"

#include <cstdint>
#include <memory>
#include <string>

enum THintStyle : std::uint8_t { hsFlat, hsOffice, hsWindows95 };

class TBalloonHint : public TComponent {
public:
    explicit TBalloonHint(TComponent* AOwner);
    ~TBalloonHint() override;

    THintStyle HintStyle() const { return FHintStyle; }
    // A switch to hsOffice reads the font again (it may change the face).
    void SetHintStyle(THintStyle Value);
    TFont* HintFont() const { return FHintFont.get(); }
    // Called before each hint with the application's arguments.
    TShowHintEvent OnShowHint;

    // Fills the hint font from the system's status-bar font.
    void ReadHintFont();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void DoShowHint(std::string& HintStr, bool& CanShow, THintInfo& HintInfo);
    void UtilityWndProc(TMessage& Message);
    std::unique_ptr<TFont> FHintFont;
    THintStyle FHintStyle = hsWindows95;
    HWND FUtilityWnd = nullptr;
};
TW_LINK_CLASS(TBalloonHint);

// The control whose hint is about to show (from the last hint cycle); null once that control
// or the component watching it is gone.
TControl* HintControl();
// The first TBalloonHint of the application's main form (null when there is none).
TBalloonHint* FindHintComponent();

// Fills Font from a status-bar LOGFONT: face, height, bold above weight 500, italic, underline,
// strike-out and pitch. With Office, "MS Sans Serif" becomes "Tahoma" when Installed holds it.
void HintFontFromLogFont(TFont* Font, const LOGFONT& Status, bool Office, TStrings* Installed);

class THintWindow95 : public THintWindow {
public:
    explicit THintWindow95(TComponent* AOwner);
    ~THintWindow95() override;
    // Places the hint at the pointer (kept on the screen) and shows it without activating.
    void ActivateHint(const TRect& Rect, const std::string& AHint) override;
    // How far below the hot spot the pointer's lowest drawn row lies, from its mask bitmap
    // (a 32-pixel wide AND mask, for a monochrome pointer with the XOR mask below it).
    static int CursorBottomOffset(HBITMAP Mask, int HotSpotY);

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void DrawHintFrame(TCanvas* Canvas, const TRect& Rect, TColor TopLeftColor, TColor BottomRightColor);

private:
    TBalloonHint* Component() const;
    THintStyle Style() const;
    std::unique_ptr<TBitmap> FBitmap;
    TBalloonHint* FHintComponent = nullptr; // found for this activation
    int FTextHeight = 0;
    int FTextWidth = 0;
};
