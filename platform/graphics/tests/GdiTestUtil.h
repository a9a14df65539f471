// A memory DC holding its own bitmap, for the GDI tests: fill, draw, read pixels back.
#pragma once

#include "platform/graphics/WinGdi.h"

#include <algorithm>
#include <string>

struct TTestSurface {
    HDC Dc = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ Old = nullptr;
    int Width, Height;

    TTestSurface(int W, int H, bool Mono = false, COLORREF Fill = RGB(255, 255, 255)) : Width(W), Height(H)
    {
        Dc = CreateCompatibleDC(nullptr);
        Bitmap = Mono ? CreateBitmap(W, H, 1, 1, nullptr) : CreateCompatibleBitmap(nullptr, W, H);
        Old = SelectObject(Dc, Bitmap);
        Clear(Fill);
    }
    ~TTestSurface()
    {
        SelectObject(Dc, Old);
        DeleteObject(Bitmap);
        DeleteDC(Dc);
    }
    TTestSurface(const TTestSurface&) = delete;
    TTestSurface& operator=(const TTestSurface&) = delete;

    void Clear(COLORREF C)
    {
        HBRUSH B = CreateSolidBrush(C);
        RECT R{0, 0, Width, Height};
        FillRect(Dc, &R, B);
        DeleteObject(B);
    }
    // Reads the bitmap's own pixel, whatever origins and clip the test set on the DC.
    COLORREF At(int X, int Y) const
    {
        const int Saved = SaveDC(Dc);
        SetMapMode(Dc, MM_TEXT);
        SetViewportOrgEx(Dc, 0, 0, nullptr);
        SetWindowOrgEx(Dc, 0, 0, nullptr);
        SelectClipRgn(Dc, nullptr);
        const COLORREF C = GetPixel(Dc, X, Y);
        RestoreDC(Dc, Saved);
        return C;
    }
    void Set(int X, int Y, COLORREF C)
    {
        const int Saved = SaveDC(Dc);
        SetMapMode(Dc, MM_TEXT);
        SetViewportOrgEx(Dc, 0, 0, nullptr);
        SetWindowOrgEx(Dc, 0, 0, nullptr);
        SelectClipRgn(Dc, nullptr);
        SetPixel(Dc, X, Y, C);
        RestoreDC(Dc, Saved);
    }

    // One character per pixel of row Y: '#' for Ink, '.' for anything else.
    std::string Row(int Y, COLORREF Ink = RGB(0, 0, 0)) const
    {
        std::string S;
        for (int X = 0; X < Width; ++X)
            S += At(X, Y) == Ink ? '#' : '.';
        return S;
    }
    // Count of pixels of colour C.
    int Count(COLORREF C) const
    {
        int N = 0;
        for (int Y = 0; Y < Height; ++Y)
            for (int X = 0; X < Width; ++X)
                N += At(X, Y) == C;
        return N;
    }
    // Bounding box of the pixels not of colour Back; empty RECT when none.
    RECT InkBox(COLORREF Back = RGB(255, 255, 255)) const
    {
        RECT R{Width, Height, 0, 0};
        for (int Y = 0; Y < Height; ++Y)
            for (int X = 0; X < Width; ++X)
                if (At(X, Y) != Back) {
                    R.left = std::min<LONG>(R.left, X);
                    R.top = std::min<LONG>(R.top, Y);
                    R.right = std::max<LONG>(R.right, X + 1);
                    R.bottom = std::max<LONG>(R.bottom, Y + 1);
                }
        if (R.right == 0)
            R = RECT{};
        return R;
    }
};
