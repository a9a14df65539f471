#include "components/addons/AdHelpersVcl.h"

#include "platform/controls/Forms.h"
#include "platform/win/WinUser.h"

#include <vector>

void PaintParentBackground(TControl* Control, TCanvas* Dest)
{
    TWinControl* Parent = Control->Parent();
    if (!Parent)
        return;
    HDC DC = Dest->Handle();
    const TRect SelfRect = Control->BoundsRect();
    const int OX = -Control->Left();
    const int OY = -Control->Top();

    int Saved = SaveDC(DC);
    SetViewportOrgEx(DC, OX, OY, nullptr);
    IntersectClipRect(DC, 0, 0, Parent->ClientWidth(), Parent->ClientHeight());
    Parent->PaintWindow(DC);
    RestoreDC(DC, Saved);

    for (int I = 0; I < Parent->ControlCount(); ++I) {
        TControl* Sibling = Parent->Controls(I);
        if (!Sibling || dynamic_cast<TWinControl*>(Sibling))
            continue;
        if (Sibling == Control)
            break; // only what lies below it in z-order shows through
        TRect Bounds = Sibling->BoundsRect();
        TRect Common;
        if (!Sibling->Visible() || !IntersectRect(&Common, &Bounds, &SelfRect))
            continue;
        Saved = SaveDC(DC);
        SetViewportOrgEx(DC, Sibling->Left() + OX, Sibling->Top() + OY, nullptr);
        IntersectClipRect(DC, 0, 0, Sibling->Width(), Sibling->Height());
        Sibling->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        RestoreDC(DC, Saved);
    }
}

void TransparentStretchBlit(HDC DstDC, int DstX, int DstY, int DstW, int DstH, HDC SrcDC, int SrcX, int SrcY,
                            int SrcW, int SrcH, TColor TransparentColor, HPALETTE Palette)
{
    HDC InvMaskDC = CreateCompatibleDC(DstDC);
    HDC MaskDC = CreateCompatibleDC(DstDC);
    HDC WorkDC = CreateCompatibleDC(DstDC);
    HDC CopyDC = CreateCompatibleDC(DstDC);
    HBITMAP InvMaskBmp = CreateBitmap(SrcW, SrcH, 1, 1, nullptr);
    HBITMAP MaskBmp = CreateBitmap(SrcW, SrcH, 1, 1, nullptr);
    HBITMAP WorkBmp = CreateCompatibleBitmap(DstDC, DstW, DstH);
    HBITMAP CopyBmp = CreateCompatibleBitmap(DstDC, SrcW, SrcH);
    HGDIOBJ OldInvMask = SelectObject(InvMaskDC, InvMaskBmp);
    HGDIOBJ OldMask = SelectObject(MaskDC, MaskBmp);
    HGDIOBJ OldWork = SelectObject(WorkDC, WorkBmp);
    HGDIOBJ OldCopy = SelectObject(CopyDC, CopyBmp);

    HPALETTE OldDstPal = nullptr, OldCopyPal = nullptr, OldMaskPal = nullptr, OldWorkPal = nullptr;
    if (Palette) {
        OldDstPal = SelectPalette(DstDC, Palette, TRUE);
        RealizePalette(DstDC);
        OldCopyPal = SelectPalette(CopyDC, Palette, FALSE);
        RealizePalette(CopyDC);
        OldMaskPal = SelectPalette(MaskDC, Palette, FALSE);
        RealizePalette(MaskDC);
        OldWorkPal = SelectPalette(WorkDC, Palette, TRUE);
        RealizePalette(WorkDC);
    }
    const int MapMode = GetMapMode(DstDC);
    SetMapMode(SrcDC, MapMode);
    SetMapMode(CopyDC, MapMode);

    BitBlt(CopyDC, 0, 0, SrcW, SrcH, SrcDC, SrcX, SrcY, SRCCOPY);
    // The mask is 1 where the source has the transparent colour.
    COLORREF OldBk = SetBkColor(CopyDC, static_cast<COLORREF>(PaletteRelativeColor(TransparentColor)));
    BitBlt(MaskDC, 0, 0, SrcW, SrcH, CopyDC, 0, 0, SRCCOPY);
    SetBkColor(CopyDC, OldBk);
    BitBlt(InvMaskDC, 0, 0, SrcW, SrcH, MaskDC, 0, 0, NOTSRCCOPY);

    BitBlt(WorkDC, 0, 0, DstW, DstH, DstDC, DstX, DstY, SRCCOPY);
    StretchBlt(WorkDC, 0, 0, DstW, DstH, MaskDC, 0, 0, SrcW, SrcH, SRCAND);
    BitBlt(CopyDC, 0, 0, SrcW, SrcH, InvMaskDC, 0, 0, SRCAND);
    StretchBlt(WorkDC, 0, 0, DstW, DstH, CopyDC, 0, 0, SrcW, SrcH, SRCPAINT);
    BitBlt(DstDC, DstX, DstY, DstW, DstH, WorkDC, 0, 0, SRCCOPY);

    if (Palette) {
        SelectPalette(WorkDC, OldWorkPal, TRUE);
        SelectPalette(MaskDC, OldMaskPal, TRUE);
        SelectPalette(CopyDC, OldCopyPal, TRUE);
        SelectPalette(DstDC, OldDstPal, TRUE);
    }
    SelectObject(CopyDC, OldCopy);
    SelectObject(WorkDC, OldWork);
    SelectObject(MaskDC, OldMask);
    SelectObject(InvMaskDC, OldInvMask);
    DeleteObject(CopyBmp);
    DeleteObject(WorkBmp);
    DeleteObject(MaskBmp);
    DeleteObject(InvMaskBmp);
    DeleteDC(CopyDC);
    DeleteDC(WorkDC);
    DeleteDC(MaskDC);
    DeleteDC(InvMaskDC);
}

void PaintBitmapOnCanvas(TCanvas* Dest, int DstX, int DstY, int DstW, int DstH, TBitmap* Bitmap, int SrcX,
                         int SrcY, int SrcW, int SrcH, TColor TransparentColor)
{
    if (DstW <= 0)
        DstW = Bitmap->Width();
    if (DstH <= 0)
        DstH = Bitmap->Height();
    if (SrcW <= 0 || SrcH <= 0) {
        SrcX = 0;
        SrcY = 0;
        SrcW = Bitmap->Width();
        SrcH = Bitmap->Height();
    }
    const bool Mono = Bitmap->Monochrome();
    if (!Mono)
        SetStretchBltMode(Dest->Handle(), STRETCH_DELETESCANS);

    TCanvas* Source = Bitmap->Canvas();
    TNotifyEvent SavedChanging = Source->OnChanging;
    Source->OnChanging = nullptr;
    try {
        if (TransparentColor == NoTransparentColor) {
            StretchBlt(Dest->Handle(), DstX, DstY, DstW, DstH, Source->Handle(), SrcX, SrcY, SrcW, SrcH,
                       Dest->CopyMode());
        } else {
            const TColor Key = Mono ? TColor(0xFFFFFF) : ColorToRGB(TransparentColor);
            HPALETTE Palette = Bitmap->Palette();
            TransparentStretchBlit(Dest->Handle(), DstX, DstY, DstW, DstH, Source->Handle(), SrcX, SrcY, SrcW,
                                   SrcH, Key, Palette);
        }
    } catch (...) {
        Source->OnChanging = SavedChanging;
        throw;
    }
    Source->OnChanging = SavedChanging;
}

void DrawBitmapTransparent(TCanvas* Dest, int X, int Y, TColor TransparentColor, TBitmap* Bitmap)
{
    PaintBitmapOnCanvas(Dest, X, Y, Bitmap->Width(), Bitmap->Height(), Bitmap, 0, 0, Bitmap->Width(),
                        Bitmap->Height(), TransparentColor);
}

TBitmap* MakeDisabledBitmap(TBitmap* Source, TColor BackColor)
{
    constexpr DWORD DSPDxax = 0x00E20746; // the brush where the source is white, else the destination
    const int W = Source->Width();
    const int H = Source->Height();
    auto Result = std::make_unique<TBitmap>();
    TBitmap Mono;
    Result->SetSize(W, H);
    Mono.Assign(Source);
    Mono.Canvas()->Brush()->SetColor(BackColor);
    if (Mono.Monochrome()) {
        // To colour first (0 bits white, 1 bits BackColor), and only then the white brush: with
        // the brush white during the conversion every pixel would come out white.
        Mono.Canvas()->Font()->SetColor(clWhite);
        Mono.SetMonochrome(false);
        Mono.Canvas()->Brush()->SetColor(clWhite);
    }
    Mono.SetMonochrome(true);

    TCanvas* C = Result->Canvas();
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(Rect(0, 0, W, H));
    HDC MonoDC = Mono.Canvas()->Handle();
    const TColor Brushes[2] = {clBtnHighlight, clBtnShadow};
    for (int Pass = 0; Pass < 2; ++Pass) {
        C->Brush()->SetColor(Brushes[Pass]);
        C->RequiredState(csAllValid);
        HDC DC = C->Handle();
        COLORREF OldText = SetTextColor(DC, 0x000000);
        COLORREF OldBk = SetBkColor(DC, 0xFFFFFF);
        const int Offset = Pass == 0 ? 1 : 0;
        BitBlt(DC, Offset, Offset, W, H, MonoDC, 0, 0, DSPDxax);
        SetTextColor(DC, OldText);
        SetBkColor(DC, OldBk);
    }
    return Result.release();
}

TBitmap* MakeCheckerPattern(TColor Color1, TColor Color2)
{
    auto Result = std::make_unique<TBitmap>();
    Result->SetSize(8, 8);
    TCanvas* C = Result->Canvas();
    C->Brush()->SetColor(Color1);
    C->Brush()->SetStyle(bsSolid);
    C->FillRect(Rect(0, 0, 8, 8));
    for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 8; ++X)
            if ((X + Y) % 2 == 0)
                C->SetPixels(X, Y, Color2);
    return Result.release();
}

void DrawButtonText(TCanvas* Canvas, const std::string& Text, const TRect& Bounds, UINT Flags, bool Embossed,
                    TColor Light, TColor Shadow)
{
    Canvas->Brush()->SetStyle(bsClear);
    auto Draw = [&](TColor Color, TRect R) {
        Canvas->Font()->SetColor(Color);
        Canvas->RequiredState(csAllValid);
        HDC DC = Canvas->Handle();
        SetBkMode(DC, TRANSPARENT);
        SetTextColor(DC, ColorToColorRef(Color));
        DrawText(DC, Text.c_str(), static_cast<int>(Text.size()), &R, Flags);
    };
    const TColor Saved = Canvas->Font()->Color();
    if (Embossed) {
        TRect Shifted = Bounds;
        OffsetRect(&Shifted, 1, 1);
        Draw(Light, Shifted);
        Draw(Shadow, Bounds);
        Canvas->Font()->SetColor(Saved);
    } else {
        Draw(Saved, Bounds);
    }
}

TColor PaletteRelativeColor(TColor Color)
{
    return ColorToRGB(Color) | clPaletteRelative;
}

void PurgeQueuedMessage(HWND Wnd, UINT Msg)
{
    MSG M;
    if (PeekMessage(&M, Wnd, Msg, Msg, PM_REMOVE) && M.message == WM_QUIT)
        PostQuitMessage(static_cast<int>(M.wParam)); // a quit request is never lost
}

int PaletteEntryCount(HPALETTE Palette)
{
    WORD Count = 0;
    if (!Palette || GetObject(Palette, sizeof(Count), &Count) == 0)
        return 0;
    return Count;
}

void CentreInParent(TControl* Control)
{
    int X = Control->Left();
    int Y = Control->Top();
    if (auto* Form = dynamic_cast<TCustomForm*>(Control)) {
        TCustomForm* MainForm = ApplicationHost() ? ApplicationHost()->MainForm() : nullptr;
        if (Form->FormStyle() == fsMDIChild && MainForm) {
            X = (MainForm->ClientWidth() - Form->Width()) / 2;
            Y = (MainForm->ClientHeight() - Form->Height()) / 2;
        } else {
            X = (ScreenInstance()->Width() - Form->Width()) / 2;
            Y = (ScreenInstance()->Height() - Form->Height()) / 2;
        }
    } else if (TWinControl* Parent = Control->Parent()) {
        Parent->HandleNeeded();
        X = (Parent->ClientWidth() - Control->Width()) / 2;
        Y = (Parent->ClientHeight() - Control->Height()) / 2;
    }
    if (X < 0)
        X = 0;
    if (Y < 0)
        Y = 0;
    Control->SetBounds(X, Y, Control->Width(), Control->Height());
}

bool BringWindowForward(HWND Wnd, bool Restore)
{
    if (!IsWindowEnabled(Wnd))
        return false;
    const bool Foreground = SetForegroundWindow(Wnd) != FALSE;
    if (!Restore)
        return Foreground;
    if (!IsWindowVisible(Wnd))
        return false;
    if (!IsZoomed(Wnd))
        SendMessage(Wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    return SetFocus(Wnd) != nullptr;
}

std::string EllipsizeText(const std::string& S, TCanvas* Canvas, int MaxWidth)
{
    // Cut by characters, not bytes, so a multi-byte character is never split.
    std::vector<std::size_t> Starts;
    for (std::size_t I = 0; I < S.size(); ++I)
        if ((static_cast<unsigned char>(S[I]) & 0xC0) != 0x80)
            Starts.push_back(I);
    const int Length = static_cast<int>(Starts.size());
    std::string Result = S;
    int Cut = 1;
    while (Cut < Length && Canvas->TextWidth(Result) > MaxWidth) {
        ++Cut;
        const int Keep = Length - Cut;
        Result = S.substr(0, Keep > 0 ? Starts[Keep] : 0) + "...";
    }
    return Result;
}

namespace {
struct TActiveSearch {
    HWND Active = nullptr;
    bool Found = false;
};

BOOL FindActiveWindow(HWND Wnd, LPARAM Param)
{
    auto* Search = reinterpret_cast<TActiveSearch*>(Param);
    if (Wnd == Search->Active) {
        Search->Found = true;
        return FALSE;
    }
    return TRUE;
}
} // namespace

bool IsOwnThreadActive()
{
    TActiveSearch Search;
    Search.Active = GetActiveWindow();
    if (!Search.Active)
        return false;
    EnumThreadWindows(GetCurrentThreadId(), FindActiveWindow, reinterpret_cast<LPARAM>(&Search));
    return Search.Found;
}

std::string CutToChars(const std::string& S, std::size_t Count)
{
    std::size_t Chars = 0;
    for (std::size_t I = 0; I < S.size(); ++I) {
        if ((static_cast<unsigned char>(S[I]) & 0xC0) != 0x80) {
            if (Chars == Count)
                return S.substr(0, I);
            ++Chars;
        }
    }
    return S;
}
