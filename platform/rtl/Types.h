// Basic value types shared by every area of the platform layer: the fixed-width integers,
// points, rectangles and handle kinds the class library and the Win32 subset are written with.
#pragma once

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using BOOL = int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using COLORREF = DWORD;
using Cardinal = std::uint32_t;
using Longint = std::int32_t;
using SmallInt = std::int16_t;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

// Distinct handle types, so a device context cannot be passed where a window is expected.
#define TW_DECLARE_HANDLE(name)                                                                              \
    struct name##__;                                                                                         \
    using name = name##__*
TW_DECLARE_HANDLE(HWND);
TW_DECLARE_HANDLE(HDC);
TW_DECLARE_HANDLE(HGDIOBJ);
TW_DECLARE_HANDLE(HINSTANCE);
TW_DECLARE_HANDLE(HMENU);
TW_DECLARE_HANDLE(HICON);
TW_DECLARE_HANDLE(HHOOK);
TW_DECLARE_HANDLE(HDROP);
using HCURSOR = HICON;
using HMODULE = HINSTANCE;
// GDI object kinds are all selectable through SelectObject, so they share one handle type.
using HBITMAP = HGDIOBJ;
using HPEN = HGDIOBJ;
using HBRUSH = HGDIOBJ;
using HFONT = HGDIOBJ;
using HPALETTE = HGDIOBJ;
using HRGN = HGDIOBJ;
using HANDLE = void*;
using THandle = std::uintptr_t;

struct POINT {
    LONG x = 0;
    LONG y = 0;
};
struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
};
struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

using TPoint = POINT;
using TSize = SIZE;
using TRect = RECT;

inline TPoint Point(int x, int y)
{
    return TPoint{x, y};
}
inline TRect Rect(int left, int top, int right, int bottom)
{
    return TRect{left, top, right, bottom};
}
inline TRect Bounds(int left, int top, int width, int height)
{
    return TRect{left, top, left + width, top + height};
}

inline bool operator==(const POINT& a, const POINT& b)
{
    return a.x == b.x && a.y == b.y;
}
inline bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
