#include "components/addons/AdCombos.h"

#include "components/addons/AdHelpersCore.h"
#include "components/addons/AdHelpersRes.h"

#include "platform/app/Printers.h"
#include "platform/graphics/WinGdi.h"
#include "platform/rtl/SysUtils.h"

#include <cstdint>

namespace {

std::unique_ptr<TBitmap> LoadGlyphResource(const char* Name)
{
    std::unique_ptr<TBitmap> Glyph(BitmapFromResource(GetModuleHandle(nullptr), Name));
    if (!Glyph)
        RaiseResourceNotFound(Name);
    return Glyph;
}

TObject* TypeAsObject(DWORD FontType)
{
    return reinterpret_cast<TObject*>(static_cast<std::uintptr_t>(FontType));
}

struct TFillContext {
    TStrings* Items;
    TFontListOptions Options;
};

int AddFont(const LOGFONT* Font, const TEXTMETRIC*, DWORD FontType, LPARAM Data)
{
    auto* Context = reinterpret_cast<TFillContext*>(Data);
    const std::string Name = Font->lfFaceName;
    if (Context->Items->IndexOf(Name) < 0 && FontPassesOptions(*Font, FontType, Context->Options))
        Context->Items->AddObject(Name, TypeAsObject(FontType));
    return 1;
}

} // namespace

bool FontPassesOptions(const LOGFONT& Font, DWORD FontType, TFontListOptions Options)
{
    bool Pass = true;
    if (Options.Contains(foAnsiOnly))
        Pass = Pass && Font.lfCharSet == ANSI_CHARSET;
    if (Options.Contains(foTrueTypeOnly))
        Pass = Pass && (FontType & TRUETYPE_FONTTYPE) != 0;
    if (Options.Contains(foFixedPitchOnly))
        Pass = Pass && (Font.lfPitchAndFamily & FIXED_PITCH) != 0;
    if (Options.Contains(foOEMFontsOnly))
        Pass = Pass && Font.lfCharSet == OEM_CHARSET;
    if (Options.Contains(foNoOEMFonts))
        Pass = Pass && Font.lfCharSet != OEM_CHARSET;
    if (Options.Contains(foScalableOnly))
        Pass = Pass && (FontType & RASTER_FONTTYPE) == 0;
    return Pass;
}

TFontComboBox::TFontComboBox(TComponent* AOwner)
    : TCustomComboBox(AOwner), FTrueTypeGlyph(LoadGlyphResource("TRUETYPE_FNT")),
      FDeviceGlyph(LoadGlyphResource("DEVICE_FNT"))
{
    FDevice = fdScreen;
    SetStyle(csOwnerDrawFixed);
    SetSorted(true);
    FUpdating = false;
    ResetItemHeight();
}

TFontComboBox::~TFontComboBox() = default;

void TFontComboBox::SetDevice(TFontDevice Value)
{
    if (Value == FDevice)
        return;
    FDevice = Value;
    Reset();
}

void TFontComboBox::SetOptions(TFontListOptions Value)
{
    if (Value == FOptions)
        return;
    FOptions = Value;
    Reset();
}

void TFontComboBox::SetTrueTypeOnly(bool Value)
{
    if (Value == TrueTypeOnly())
        return;
    if (Value)
        FOptions.Include(foTrueTypeOnly);
    else
        FOptions.Exclude(foTrueTypeOnly);
    Reset();
}

std::string TFontComboBox::FontName() const
{
    return Text().substr(0, MaxFontNameLength);
}

void TFontComboBox::SetFontName(const std::string& Value)
{
    if (FontName() == Value)
        return;
    HandleNeeded();
    const std::string Wanted = AnsiUpperCase(Value);
    int Found = -1;
    for (int I = 0; I < Items()->Count() && Found < 0; ++I)
        if (AnsiUpperCase(Items()->Strings(I)) == Wanted)
            Found = I;
    SetItemIndex(Found);
    Change();
}

DWORD TFontComboBox::ItemFontType(int Index) const
{
    if (Index < 0 || Index >= Items()->Count())
        return 0;
    return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(Items()->Objects(Index)));
}

void TFontComboBox::FillFontList()
{
    if (!HandleAllocated())
        return;
    Items()->BeginUpdate();
    Clear();
    SetItemIndex(-1); // the text goes with the items
    TFillContext Context{Items(), FOptions};
    HDC DC = GetDC(nullptr);
    try {
        if (FDevice == fdScreen || FDevice == fdBoth)
            EnumFonts(DC, nullptr, AddFont, reinterpret_cast<LPARAM>(&Context));
        if (FDevice == fdPrinter || FDevice == fdBoth) {
            try {
                EnumFonts(Printer()->Handle(), nullptr, AddFont, reinterpret_cast<LPARAM>(&Context));
            } catch (...) {
                // No printer to ask: it adds no fonts.
            }
        }
    } catch (...) {
        ReleaseDC(nullptr, DC);
        Items()->EndUpdate();
        throw;
    }
    ReleaseDC(nullptr, DC);
    Items()->EndUpdate();
}

void TFontComboBox::Reset()
{
    if (!HandleAllocated())
        return;
    FUpdating = true;
    const std::string Kept = FontName();
    try {
        FillFontList();
        SetFontName(Kept);
    } catch (...) {
        FUpdating = false;
        if (FontName() != Kept)
            Change();
        throw;
    }
    FUpdating = false;
    if (FontName() != Kept)
        Change();
}

void TFontComboBox::CreateWnd()
{
    const std::string Kept = FontName();
    TCustomComboBox::CreateWnd();
    // The name survives the new window; it is no change.
    FUpdating = true;
    try {
        FillFontList();
        SetFontName(Kept);
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

void TFontComboBox::Change()
{
    if (!FUpdating)
        TCustomComboBox::Change();
}

// A pick by the user arrives as Click and then Change from the combo box itself, so Click needs
// no override to report the change.

void TFontComboBox::WMFontChange(TMessage& Message)
{
    DefaultHandler(Message);
    Reset();
}

void TFontComboBox::CMFontChanged(TMessage& Message)
{
    TCustomComboBox::CMFontChanged(Message);
    ResetItemHeight();
    if (HandleAllocated())
        RecreateWnd();
}

void TFontComboBox::ResetItemHeight()
{
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font()->Handle());
    TEXTMETRIC Metric{};
    GetTextMetrics(DC, &Metric);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    SetItemHeight(LargestOfArray({int(Metric.tmHeight) + 1, FTrueTypeGlyph->Height() - 1, 9}));
}

void TFontComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    TCanvas* C = Canvas();
    C->FillRect(Rect);
    const DWORD Type = ItemFontType(Index);
    TBitmap* Glyph = (Type & TRUETYPE_FONTTYPE) ? FTrueTypeGlyph.get()
                     : (Type & DEVICE_FONTTYPE) ? FDeviceGlyph.get()
                                                : nullptr;
    int Offset = 20;
    if (Glyph) {
        const int Top = (Rect.top + Rect.bottom - Glyph->Height()) / 2;
        C->BrushCopy(Bounds(Rect.left + 2, Top, Glyph->Width(), Glyph->Height()), Glyph,
                     ::Rect(0, 0, Glyph->Width(), Glyph->Height()), Glyph->TransparentColor());
        Offset = Glyph->Width();
    }
    TRect TextRect = Rect;
    TextRect.left += Offset + 6;
    if (Index >= 0 && Index < Items()->Count()) {
        const std::string Text = Items()->Strings(Index);
        SetBkMode(C->Handle(), TRANSPARENT);
        ::DrawText(C->Handle(), Text.c_str(), -1, &TextRect, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
    }
    (void)State;
}

// ---- Published properties ---------------------------------------------------------------------

TW_ENUM(TFontListOption, "foAnsiOnly", "foTrueTypeOnly", "foFixedPitchOnly", "foNoOEMFonts", "foOEMFontsOnly",
        "foScalableOnly");

TW_PUBLISH(TFontComboBox, TCustomComboBox)
{
    Cls.Enum("Device", &TFontComboBox::Device, &TFontComboBox::SetDevice).Default(fdScreen);
    Cls.Str("FontName", &TFontComboBox::FontName, &TFontComboBox::SetFontName);
    Cls.Set("Options", &TFontComboBox::Options, &TFontComboBox::SetOptions).Default(TFontListOptions{});
    Cls.Bool("TrueTypeOnly", &TFontComboBox::TrueTypeOnly, &TFontComboBox::SetTrueTypeOnly).Default(false);
    Cls.Color("Color", &TControl::Color, &TControl::SetColor).Default(clWindow);
    Cls.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
    Cls.Event("OnChange", &TCustomComboBox::OnChange);
    Cls.Event("OnDropDown", &TCustomComboBox::OnDropDown);
    Cls.Message(WM_FONTCHANGE, &TFontComboBox::WMFontChange);
    Cls.Message(CM_FONTCHANGED, &TFontComboBox::CMFontChanged);
}
