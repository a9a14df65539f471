// A window class whose procedure records every message it gets, with per-window overrides,
// and a fixture that resets the window model around each test.
#pragma once

#include "platform/testing/WinTesting.h"
#include "platform/win/Windows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace wintest {

struct TRecord {
    HWND Wnd;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
};

inline std::vector<TRecord>& Log()
{
    static std::vector<TRecord> L;
    return L;
}

// Returning true marks the message handled with *Result; false falls through to DefWindowProc.
using THandler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>;
inline std::map<HWND, THandler>& Handlers()
{
    static std::map<HWND, THandler> H;
    return H;
}

inline LRESULT RecordingProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    Log().push_back(TRecord{Wnd, Msg, WParam, LParam});
    auto It = Handlers().find(Wnd);
    LRESULT R = 0;
    if (It != Handlers().end() && It->second && It->second(Wnd, Msg, WParam, LParam, &R))
        return R;
    return DefWindowProc(Wnd, Msg, WParam, LParam);
}

inline void RegisterTestClasses()
{
    static bool Done = false;
    if (Done)
        return;
    Done = true;
    WNDCLASS C;
    C.style = CS_DBLCLKS;
    C.lpfnWndProc = RecordingProc;
    C.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
    C.hCursor = LoadCursor(nullptr, IDC_ARROW);
    C.lpszClassName = "TestWindow";
    RegisterClass(&C);
    C.style = 0;
    C.lpszClassName = "TestNoDbl";
    RegisterClass(&C);
}

// Messages of one window (or all with Wnd 0), optionally only the numbers in Only.
inline std::vector<UINT> MessagesOf(HWND Wnd, const std::vector<UINT>& Only = {})
{
    std::vector<UINT> R;
    for (const TRecord& X : Log())
        if ((!Wnd || X.Wnd == Wnd) &&
            (Only.empty() || std::find(Only.begin(), Only.end(), X.Msg) != Only.end()))
            R.push_back(X.Msg);
    return R;
}

inline const TRecord* FirstOf(HWND Wnd, UINT Msg)
{
    for (const TRecord& X : Log())
        if (X.Wnd == Wnd && X.Msg == Msg)
            return &X;
    return nullptr;
}

inline std::uint32_t PixelAt(const TDibImage& I, int X, int Y)
{
    return I.Pixels[static_cast<std::size_t>(Y) * static_cast<std::size_t>(I.Width) +
                    static_cast<std::size_t>(X)] &
           0xFFFFFFu;
}

// 0xRRGGBB of a COLORREF, as captures report pixels.
inline std::uint32_t Rgb(COLORREF C)
{
    return (GetRValue(C) << 16) | (GetGValue(C) << 8) | GetBValue(C);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetWindowModel();
        RegisterTestClasses();
        SetTestClock(true, 100000);
        Log().clear();
        Handlers().clear();
    }
    void TearDown() override
    {
        ResetWindowModel();
        Handlers().clear();
        Log().clear();
    }
    HWND Top(int X = 100, int Y = 100, int W = 300, int H = 200,
             DWORD Style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, DWORD ExStyle = 0,
             const char* Cls = "TestWindow")
    {
        return CreateWindowEx(ExStyle, Cls, "Top", Style, X, Y, W, H, nullptr, nullptr, nullptr, nullptr);
    }
    HWND Child(HWND Parent, int X, int Y, int W, int H, DWORD Style = WS_CHILD | WS_VISIBLE,
               const char* Cls = "TestWindow")
    {
        return CreateWindowEx(0, Cls, "Child", Style, X, Y, W, H, Parent, nullptr, nullptr, nullptr);
    }
};

} // namespace wintest
