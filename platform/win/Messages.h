// Window messages: the WM_* numbers of the window model, the class library's own CM_*
// notifications and the CN_* reflections, the TMessage record every window procedure of the
// class library receives, and typed views over it (TWMMouse, TWMKey, TWMNCHitTest ...).
//
// A view holds references into the TMessage it was made from, so writing `Message.Result = 1`
// through a view writes the message's result. Handlers take views by value:
//     void WMNCHitTest(TWMNCHitTest Message) { ... Message.Result = HTCLIENT; }
#pragma once

#include "platform/rtl/Types.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Packing helpers for message parameters.
inline constexpr WORD LOWORD(std::uintptr_t V)
{
    return static_cast<WORD>(V & 0xFFFF);
}
inline constexpr WORD HIWORD(std::uintptr_t V)
{
    return static_cast<WORD>((V >> 16) & 0xFFFF);
}
inline constexpr BYTE LOBYTE(std::uintptr_t V)
{
    return static_cast<BYTE>(V & 0xFF);
}
inline constexpr BYTE HIBYTE(std::uintptr_t V)
{
    return static_cast<BYTE>((V >> 8) & 0xFF);
}
inline constexpr DWORD MAKELONG(WORD Lo, WORD Hi)
{
    return static_cast<DWORD>(Lo) | (static_cast<DWORD>(Hi) << 16);
}
inline constexpr WPARAM MAKEWPARAM(WORD Lo, WORD Hi)
{
    return static_cast<WPARAM>(MAKELONG(Lo, Hi));
}
inline constexpr LPARAM MAKELPARAM(WORD Lo, WORD Hi)
{
    return static_cast<LPARAM>(MAKELONG(Lo, Hi));
}
inline constexpr LRESULT MAKELRESULT(WORD Lo, WORD Hi)
{
    return static_cast<LRESULT>(MAKELONG(Lo, Hi));
}
// Signed coordinates packed into an LPARAM (negative values survive the round trip).
inline constexpr int GET_X_LPARAM(LPARAM L)
{
    return static_cast<SmallInt>(L & 0xFFFF);
}
inline constexpr int GET_Y_LPARAM(LPARAM L)
{
    return static_cast<SmallInt>((L >> 16) & 0xFFFF);
}
inline constexpr LPARAM PointToLParam(int X, int Y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<SmallInt>(X)),
                      static_cast<WORD>(static_cast<SmallInt>(Y)));
}
inline TPoint LParamToPoint(LPARAM L)
{
    return TPoint{GET_X_LPARAM(L), GET_Y_LPARAM(L)};
}

// ---------------------------------------------------------------------------------------------
// Window messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUERYENDSESSION = 0x0011;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_QUERYOPEN = 0x0013;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_ENDSESSION = 0x0016;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_WININICHANGE = 0x001A;
constexpr UINT WM_SETTINGCHANGE = WM_WININICHANGE;
constexpr UINT WM_DEVMODECHANGE = 0x001B;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_FONTCHANGE = 0x001D;
constexpr UINT WM_TIMECHANGE = 0x001E;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_MOUSEACTIVATE = 0x0021;
constexpr UINT WM_CHILDACTIVATE = 0x0022;
constexpr UINT WM_QUEUESYNC = 0x0023;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_PAINTICON = 0x0026;
constexpr UINT WM_ICONERASEBKGND = 0x0027;
constexpr UINT WM_NEXTDLGCTL = 0x0028;
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_MEASUREITEM = 0x002C;
constexpr UINT WM_DELETEITEM = 0x002D;
constexpr UINT WM_VKEYTOITEM = 0x002E;
constexpr UINT WM_CHARTOITEM = 0x002F;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_SETHOTKEY = 0x0032;
constexpr UINT WM_GETHOTKEY = 0x0033;
constexpr UINT WM_QUERYDRAGICON = 0x0037;
constexpr UINT WM_COMPAREITEM = 0x0039;
constexpr UINT WM_COMPACTING = 0x0041;
constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_COPYDATA = 0x004A;
constexpr UINT WM_CANCELJOURNAL = 0x004B;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_HELP = 0x0053;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_STYLECHANGING = 0x007C;
constexpr UINT WM_STYLECHANGED = 0x007D;
constexpr UINT WM_DISPLAYCHANGE = 0x007E;
constexpr UINT WM_GETICON = 0x007F;
constexpr UINT WM_SETICON = 0x0080;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_NCCALCSIZE = 0x0083;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_NCPAINT = 0x0085;
constexpr UINT WM_NCACTIVATE = 0x0086;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr UINT WM_NCLBUTTONUP = 0x00A2;
constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;
constexpr UINT WM_NCRBUTTONUP = 0x00A5;
constexpr UINT WM_NCRBUTTONDBLCLK = 0x00A6;
constexpr UINT WM_NCMBUTTONDOWN = 0x00A7;
constexpr UINT WM_NCMBUTTONUP = 0x00A8;
constexpr UINT WM_NCMBUTTONDBLCLK = 0x00A9;
constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_DEADCHAR = 0x0103;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_SYSDEADCHAR = 0x0107;
constexpr UINT WM_KEYLAST = 0x0108;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_INITMENU = 0x0116;
constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_MENUSELECT = 0x011F;
constexpr UINT WM_MENUCHAR = 0x0120;
constexpr UINT WM_ENTERIDLE = 0x0121;
constexpr UINT WM_CTLCOLORMSGBOX = 0x0132;
constexpr UINT WM_CTLCOLOREDIT = 0x0133;
constexpr UINT WM_CTLCOLORLISTBOX = 0x0134;
constexpr UINT WM_CTLCOLORBTN = 0x0135;
constexpr UINT WM_CTLCOLORDLG = 0x0136;
constexpr UINT WM_CTLCOLORSCROLLBAR = 0x0137;
// Scroll-bar controls (SB_CTL): SetScrollInfo / GetScrollInfo / SetScrollPos / GetScrollPos on
// such a window send these to it (wParam: redraw for the setters; lParam: the SCROLLINFO).
constexpr UINT SBM_SETPOS = 0x00E0;
constexpr UINT SBM_GETPOS = 0x00E1;
constexpr UINT SBM_SETSCROLLINFO = 0x00E9;
constexpr UINT SBM_GETSCROLLINFO = 0x00EA;
constexpr UINT WM_CTLCOLORSTATIC = 0x0138;
constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_MOUSELAST = 0x020A;
constexpr UINT WM_PARENTNOTIFY = 0x0210;
constexpr UINT WM_ENTERMENULOOP = 0x0211;
constexpr UINT WM_EXITMENULOOP = 0x0212;
constexpr UINT WM_SIZING = 0x0214;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_MOVING = 0x0216;
constexpr UINT WM_MDICREATE = 0x0220;
constexpr UINT WM_MDIDESTROY = 0x0221;
constexpr UINT WM_MDIACTIVATE = 0x0222;
constexpr UINT WM_MDIRESTORE = 0x0223;
constexpr UINT WM_MDINEXT = 0x0224;
constexpr UINT WM_MDIMAXIMIZE = 0x0225;
constexpr UINT WM_MDITILE = 0x0226;
constexpr UINT WM_MDICASCADE = 0x0227;
constexpr UINT WM_MDIICONARRANGE = 0x0228;
constexpr UINT WM_MDIGETACTIVE = 0x0229;
constexpr UINT WM_MDISETMENU = 0x0230;
constexpr UINT WM_ENTERSIZEMOVE = 0x0231;
constexpr UINT WM_EXITSIZEMOVE = 0x0232;
constexpr UINT WM_DROPFILES = 0x0233;
constexpr UINT WM_MDIREFRESHMENU = 0x0234;
constexpr UINT WM_MOUSEHOVER = 0x02A1;
constexpr UINT WM_MOUSELEAVE = 0x02A3;
constexpr UINT WM_CUT = 0x0300;
constexpr UINT WM_COPY = 0x0301;
constexpr UINT WM_PASTE = 0x0302;
constexpr UINT WM_CLEAR = 0x0303;
constexpr UINT WM_UNDO = 0x0304;
constexpr UINT WM_RENDERFORMAT = 0x0305;
constexpr UINT WM_RENDERALLFORMATS = 0x0306;
constexpr UINT WM_DESTROYCLIPBOARD = 0x0307;
constexpr UINT WM_DRAWCLIPBOARD = 0x0308;
constexpr UINT WM_PAINTCLIPBOARD = 0x0309;
constexpr UINT WM_SIZECLIPBOARD = 0x030B;
constexpr UINT WM_CHANGECBCHAIN = 0x030D;
constexpr UINT WM_QUERYNEWPALETTE = 0x030F;
constexpr UINT WM_PALETTEISCHANGING = 0x0310;
constexpr UINT WM_PALETTECHANGED = 0x0311;
constexpr UINT WM_HOTKEY = 0x0312;
constexpr UINT WM_PRINT = 0x0317;
constexpr UINT WM_PRINTCLIENT = 0x0318;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// Edit-control messages (answered by the class library's edit controls).
constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_GETRECT = 0x00B2;
constexpr UINT EM_SETRECT = 0x00B3;
constexpr UINT EM_SETRECTNP = 0x00B4;
constexpr UINT EM_SCROLL = 0x00B5;
constexpr UINT EM_LINESCROLL = 0x00B6;
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_GETLINECOUNT = 0x00BA;
constexpr UINT EM_LINEINDEX = 0x00BB;
constexpr UINT EM_LINELENGTH = 0x00C1;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EM_GETLINE = 0x00C4;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETLIMITTEXT = 0x00C5; // the same message as EM_LIMITTEXT
constexpr UINT EM_CANUNDO = 0x00C6;
constexpr UINT EM_UNDO = 0x00C7;
constexpr UINT EM_LINEFROMCHAR = 0x00C9;
constexpr UINT EM_SETTABSTOPS = 0x00CB;
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
constexpr UINT EM_SETMARGINS = 0x00D3;
constexpr UINT EM_GETMARGINS = 0x00D4;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;
constexpr UINT EM_POSFROMCHAR = 0x00D6;
constexpr UINT EM_CHARFROMPOS = 0x00D7;

// The class library's own notifications. They stay below 0xB03D, the first number the
// programs use for private messages between their controls.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 22;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 23;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 28;
constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr UINT CM_INVOKEHELP = CM_BASE + 31;
constexpr UINT CM_WINDOWHOOK = CM_BASE + 32;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr UINT CM_WININICHANGE = CM_BASE + 37;
constexpr UINT CM_FONTCHANGE = CM_BASE + 38;
constexpr UINT CM_TIMECHANGE = CM_BASE + 39;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_UIACTIVATE = CM_BASE + 41;
constexpr UINT CM_UIDEACTIVATE = CM_BASE + 42;
constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 43;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr UINT CM_GETDATALINK = CM_BASE + 45;
constexpr UINT CM_CHILDKEY = CM_BASE + 46;
constexpr UINT CM_DRAG = CM_BASE + 47;
constexpr UINT CM_HINTSHOW = CM_BASE + 48;
constexpr UINT CM_DIALOGHANDLE = CM_BASE + 49;
constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 50;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 53;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
constexpr UINT CM_CHANGED = CM_BASE + 55;
constexpr UINT CM_APPACTIVATE = CM_BASE + 56; // wParam: 1 the program became active, 0 inactive
constexpr UINT CM_LAST = CM_BASE + 60;        // the class library adds nothing above this

// A parent reflects notifications back to the child control that sent them: CN_BASE + the
// original message number.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

// ---------------------------------------------------------------------------------------------
// The message record.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;

    WORD WParamLo() const { return LOWORD(WParam); }
    WORD WParamHi() const { return HIWORD(WParam); }
    WORD LParamLo() const { return LOWORD(static_cast<std::uintptr_t>(LParam)); }
    WORD LParamHi() const { return HIWORD(static_cast<std::uintptr_t>(LParam)); }
};

// Base of every view: the four fields of the message, by reference.
struct TMessageView {
    explicit TMessageView(TMessage& M)
        : Msg(M.Msg), WParam(M.WParam), LParam(M.LParam), Result(M.Result), FM(M)
    {
    }
    UINT& Msg;
    WPARAM& WParam;
    LPARAM& LParam;
    LRESULT& Result;
    TMessage& Message() const { return FM; }
    // So a handler can pass its view on where a whole message is asked for (DefaultHandler).
    operator TMessage&() const { return FM; }

protected:
    WORD LLo() const { return LOWORD(static_cast<std::uintptr_t>(LParam)); }
    WORD LHi() const { return HIWORD(static_cast<std::uintptr_t>(LParam)); }

private:
    TMessage& FM;
};

struct TWMNoParams : TMessageView {
    using TMessageView::TMessageView;
};

// Mouse messages in client coordinates (WM_MOUSEMOVE, WM_xBUTTONxxx): Keys are the MK_* flags.
struct TWMMouse : TMessageView {
    using TMessageView::TMessageView;
    WPARAM Keys() const { return WParam; }
    SmallInt XPos() const { return static_cast<SmallInt>(LLo()); }
    SmallInt YPos() const { return static_cast<SmallInt>(LHi()); }
    TPoint Pos() const { return TPoint{XPos(), YPos()}; }
};
using TWMMouseMove = TWMMouse;
using TWMLButtonDown = TWMMouse;
using TWMLButtonUp = TWMMouse;
using TWMLButtonDblClk = TWMMouse;
using TWMRButtonDown = TWMMouse;
using TWMRButtonUp = TWMMouse;
using TWMRButtonDblClk = TWMMouse;
using TWMMButtonDown = TWMMouse;
using TWMMButtonUp = TWMMouse;
using TWMMButtonDblClk = TWMMouse;

// WM_MOUSEWHEEL: the position is in screen coordinates; WheelDelta is a multiple of 120.
struct TWMMouseWheel : TMessageView {
    using TMessageView::TMessageView;
    WORD Keys() const { return LOWORD(WParam); }
    SmallInt WheelDelta() const { return static_cast<SmallInt>(HIWORD(WParam)); }
    SmallInt XPos() const { return static_cast<SmallInt>(LLo()); }
    SmallInt YPos() const { return static_cast<SmallInt>(LHi()); }
    TPoint Pos() const { return TPoint{XPos(), YPos()}; }
};

// Keyboard messages: CharCode is the virtual key (WM_KEYDOWN ...) or the character code
// (WM_CHAR: a Unicode code point); KeyData holds repeat count, scan code and the flag bits.
struct TWMKey : TMessageView {
    using TMessageView::TMessageView;
    WORD CharCode() const { return LOWORD(WParam); }
    void SetCharCode(WORD Value) { WParam = Value; }
    LPARAM KeyData() const { return LParam; }
};
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;
using TWMChar = TWMKey;
using TWMSysKeyDown = TWMKey;
using TWMSysKeyUp = TWMKey;
using TWMSysChar = TWMKey;
using TCMDialogKey = TWMKey;
using TCMDialogChar = TWMKey;
using TCMWantSpecialKey = TWMKey;
using TCMChildKey = TWMKey;

struct TWMPaint : TMessageView {
    using TMessageView::TMessageView;
    HDC DC() const { return reinterpret_cast<HDC>(WParam); }
};
using TWMEraseBkgnd = TWMPaint;
using TWMPrintClient = TWMPaint;

// Non-client messages carrying a point in screen coordinates.
struct TWMNCHitTest : TMessageView {
    using TMessageView::TMessageView;
    SmallInt XPos() const { return static_cast<SmallInt>(LLo()); }
    SmallInt YPos() const { return static_cast<SmallInt>(LHi()); }
    TPoint Pos() const { return TPoint{XPos(), YPos()}; }
};

// WM_NCxBUTTONxxx and WM_NCMOUSEMOVE: HitTest is the HT* code, the cursor in screen coordinates.
struct TWMNCHitMessage : TMessageView {
    using TMessageView::TMessageView;
    int HitTest() const { return static_cast<int>(WParam); }
    SmallInt XCursor() const { return static_cast<SmallInt>(LLo()); }
    SmallInt YCursor() const { return static_cast<SmallInt>(LHi()); }
    TPoint Pos() const { return TPoint{XCursor(), YCursor()}; }
};
using TWMNCLButtonDown = TWMNCHitMessage;
using TWMNCLButtonUp = TWMNCHitMessage;
using TWMNCLButtonDblClk = TWMNCHitMessage;
using TWMNCMouseMove = TWMNCHitMessage;
using TWMNCRButtonDown = TWMNCHitMessage;

struct WINDOWPOS;
struct NCCALCSIZE_PARAMS;
struct MINMAXINFO;
struct CREATESTRUCT;

// WM_NCCALCSIZE: with CalcValidRects the parameters are NCCALCSIZE_PARAMS (rgrc[0] holds the new
// window rectangle and receives the client rectangle), else a single RECT doing the same.
struct TWMNCCalcSize : TMessageView {
    using TMessageView::TMessageView;
    bool CalcValidRects() const { return WParam != 0; }
    NCCALCSIZE_PARAMS* CalcSize_Params() const { return reinterpret_cast<NCCALCSIZE_PARAMS*>(LParam); }
    // The rectangle to adjust in either form (both forms start with it).
    RECT* Rect() const { return reinterpret_cast<RECT*>(LParam); }
};

// WM_NCPAINT: the region to paint, in screen coordinates, or 1 for the whole frame.
struct TWMNCPaint : TMessageView {
    using TMessageView::TMessageView;
    HRGN RGN() const { return reinterpret_cast<HRGN>(WParam); }
};

struct TWMNCActivate : TMessageView {
    using TMessageView::TMessageView;
    bool Active() const { return WParam != 0; }
};

struct TWMWindowPosMsg : TMessageView {
    using TMessageView::TMessageView;
    WINDOWPOS* WindowPos() const { return reinterpret_cast<WINDOWPOS*>(LParam); }
};
using TWMWindowPosChanged = TWMWindowPosMsg;
using TWMWindowPosChanging = TWMWindowPosMsg;

// WM_SETCURSOR: the window under the cursor, the hit-test code and the mouse message.
struct TWMSetCursor : TMessageView {
    using TMessageView::TMessageView;
    HWND CursorWnd() const { return reinterpret_cast<HWND>(WParam); }
    SmallInt HitTest() const { return static_cast<SmallInt>(LLo()); }
    WORD MouseMsg() const { return LHi(); }
};

using TIMERPROC = void (*)(HWND, UINT, std::uintptr_t, DWORD);
struct TWMTimer : TMessageView {
    using TMessageView::TMessageView;
    std::uintptr_t TimerID() const { return WParam; }
    TIMERPROC TimerProc() const { return reinterpret_cast<TIMERPROC>(LParam); }
};

// WM_ACTIVATE: Active is WA_INACTIVE, WA_ACTIVE or WA_CLICKACTIVE; ActiveWindow the other window.
struct TWMActivate : TMessageView {
    using TMessageView::TMessageView;
    WORD Active() const { return LOWORD(WParam); }
    bool Minimized() const { return HIWORD(WParam) != 0; }
    HWND ActiveWindow() const { return reinterpret_cast<HWND>(LParam); }
};

struct TWMActivateApp : TMessageView {
    using TMessageView::TMessageView;
    bool Active() const { return WParam != 0; }
    DWORD ThreadId() const { return static_cast<DWORD>(LParam); }
};

// WM_MOUSEACTIVATE: answer MA_ACTIVATE, MA_NOACTIVATE, MA_ACTIVATEANDEAT or MA_NOACTIVATEANDEAT.
struct TWMMouseActivate : TMessageView {
    using TMessageView::TMessageView;
    HWND TopLevel() const { return reinterpret_cast<HWND>(WParam); }
    SmallInt HitTestCode() const { return static_cast<SmallInt>(LLo()); }
    WORD MouseMsg() const { return LHi(); }
};

struct TWMCommand : TMessageView {
    using TMessageView::TMessageView;
    WORD ItemID() const { return LOWORD(WParam); }
    WORD NotifyCode() const { return HIWORD(WParam); }
    HWND Ctl() const { return reinterpret_cast<HWND>(LParam); }
};

struct TWMSysCommand : TMessageView {
    using TMessageView::TMessageView;
    WPARAM CmdType() const { return WParam & 0xFFF0; }
    SmallInt XPos() const { return static_cast<SmallInt>(LLo()); }
    SmallInt YPos() const { return static_cast<SmallInt>(LHi()); }
};

// WM_SIZE: SizeType is SIZE_RESTORED, SIZE_MINIMIZED, SIZE_MAXIMIZED ...; the new client size.
struct TWMSize : TMessageView {
    using TMessageView::TMessageView;
    WPARAM SizeType() const { return WParam; }
    WORD Width() const { return LLo(); }
    WORD Height() const { return LHi(); }
};

// WM_MOVE: the new client origin (parent client coordinates for a child, else screen).
struct TWMMove : TMessageView {
    using TMessageView::TMessageView;
    SmallInt XPos() const { return static_cast<SmallInt>(LLo()); }
    SmallInt YPos() const { return static_cast<SmallInt>(LHi()); }
};

// WM_HSCROLL / WM_VSCROLL: SB_* code, the thumb position for SB_THUMBTRACK/THUMBPOSITION and
// the scroll-bar control (0 for a window's own scroll bar).
struct TWMScroll : TMessageView {
    using TMessageView::TMessageView;
    SmallInt ScrollCode() const { return static_cast<SmallInt>(LOWORD(WParam)); }
    SmallInt Pos() const { return static_cast<SmallInt>(HIWORD(WParam)); }
    HWND ScrollBar() const { return reinterpret_cast<HWND>(LParam); }
};
using TWMHScroll = TWMScroll;
using TWMVScroll = TWMScroll;

struct TWMSetFocus : TMessageView {
    using TMessageView::TMessageView;
    HWND FocusedWnd() const { return reinterpret_cast<HWND>(WParam); }
};
using TWMKillFocus = TWMSetFocus;

struct TWMGetMinMaxInfo : TMessageView {
    using TMessageView::TMessageView;
    MINMAXINFO* MinMaxInfo() const { return reinterpret_cast<MINMAXINFO*>(LParam); }
};

struct TWMCreate : TMessageView {
    using TMessageView::TMessageView;
    CREATESTRUCT* CreateStruct() const { return reinterpret_cast<CREATESTRUCT*>(LParam); }
};
using TWMNCCreate = TWMCreate;

using TWMDestroy = TWMNoParams;
using TWMNCDestroy = TWMNoParams;
using TWMClose = TWMNoParams;
using TWMCancelMode = TWMNoParams;
using TWMQueryEndSession = TWMNoParams;
using TWMDrawClipboard = TWMNoParams;
using TWMDestroyClipboard = TWMNoParams;
using TWMQueryNewPalette = TWMNoParams;
using TWMCut = TWMNoParams;
using TWMCopy = TWMNoParams;
using TWMPaste = TWMNoParams;
using TWMClear = TWMNoParams;
using TWMUndo = TWMNoParams;
using TWMGetDlgCode = TWMNoParams;
using TCMEnter = TWMNoParams;
using TCMExit = TWMNoParams;
using TCMCancelMode = TWMNoParams;

// WM_CAPTURECHANGED: the window that takes the capture (0 when none does).
struct TWMCaptureChanged : TMessageView {
    using TMessageView::TMessageView;
    HWND NewCapture() const { return reinterpret_cast<HWND>(LParam); }
};

struct TWMShowWindow : TMessageView {
    using TMessageView::TMessageView;
    bool Show() const { return WParam != 0; }
    LPARAM Status() const { return LParam; }
};

struct TWMEnable : TMessageView {
    using TMessageView::TMessageView;
    bool Enabled() const { return WParam != 0; }
};

// WM_SETTEXT: the new text (UTF-8, NUL-terminated).
struct TWMSetText : TMessageView {
    using TMessageView::TMessageView;
    const char* Text() const { return reinterpret_cast<const char*>(LParam); }
};

// WM_GETTEXT: copy at most TextMax - 1 bytes and a NUL into Text; the result is the length.
struct TWMGetText : TMessageView {
    using TMessageView::TMessageView;
    int TextMax() const { return static_cast<int>(WParam); }
    char* Text() const { return reinterpret_cast<char*>(LParam); }
};
using TWMGetTextLength = TWMNoParams;

struct TWMSetFont : TMessageView {
    using TMessageView::TMessageView;
    HFONT Font() const { return reinterpret_cast<HFONT>(WParam); }
    bool Redraw() const { return LParam != 0; }
};

struct TWMChangeCBChain : TMessageView {
    using TMessageView::TMessageView;
    HWND Remove() const { return reinterpret_cast<HWND>(WParam); }
    HWND Next() const { return reinterpret_cast<HWND>(LParam); }
};

struct TWMMenuSelect : TMessageView {
    using TMessageView::TMessageView;
    WORD IDItem() const { return LOWORD(WParam); }
    WORD MenuFlag() const { return HIWORD(WParam); }
    HMENU Menu() const { return reinterpret_cast<HMENU>(LParam); }
};

struct TWMInitMenuPopup : TMessageView {
    using TMessageView::TMessageView;
    HMENU MenuPopup() const { return reinterpret_cast<HMENU>(WParam); }
    WORD Pos() const { return LLo(); }
    bool SystemMenu() const { return LHi() != 0; }
};

struct TWMDropFiles : TMessageView {
    using TMessageView::TMessageView;
    HDROP Drop() const { return reinterpret_cast<HDROP>(WParam); }
};

struct TWMCtlColor : TMessageView {
    using TMessageView::TMessageView;
    HDC ChildDC() const { return reinterpret_cast<HDC>(WParam); }
    HWND ChildWnd() const { return reinterpret_cast<HWND>(LParam); }
};
using TWMCtlColorEdit = TWMCtlColor;
using TWMCtlColorStatic = TWMCtlColor;
using TWMCtlColorBtn = TWMCtlColor;

// WM_WININICHANGE / WM_SETTINGCHANGE: the section name that changed (may be null).
struct TWMWinIniChange : TMessageView {
    using TMessageView::TMessageView;
    const char* Section() const { return reinterpret_cast<const char*>(LParam); }
};

struct TWMContextMenu : TMessageView {
    using TMessageView::TMessageView;
    HWND hWnd() const { return reinterpret_cast<HWND>(WParam); }
    SmallInt XPos() const { return static_cast<SmallInt>(LLo()); }
    SmallInt YPos() const { return static_cast<SmallInt>(LHi()); }
};

struct TWMParentNotify : TMessageView {
    using TMessageView::TMessageView;
    WORD Event() const { return LOWORD(WParam); }
    WORD ChildID() const { return HIWORD(WParam); }
};

// ---------------------------------------------------------------------------------------------
// A table from message number to handler: what a window procedure or a class's message table
// looks a message up in. Sorted once when made; a number given twice keeps its last handler, so
// entries listed after others (a descendant's after its ancestors') win.
template <class H> class TMessageMap {
public:
    using TEntry = std::pair<UINT, H>;

    TMessageMap() = default;
    TMessageMap(std::initializer_list<TEntry> Entries) : TMessageMap(std::vector<TEntry>(Entries)) {}
    explicit TMessageMap(std::vector<TEntry> Entries) : FEntries(std::move(Entries))
    {
        std::stable_sort(FEntries.begin(), FEntries.end(),
                         [](const TEntry& A, const TEntry& B) { return A.first < B.first; });
        // Keep the last of each run of equal numbers.
        auto Out = FEntries.begin();
        for (auto It = FEntries.begin(); It != FEntries.end(); ++It) {
            auto Next = std::next(It);
            if (Next != FEntries.end() && Next->first == It->first)
                continue;
            if (Out != It)
                *Out = std::move(*It);
            ++Out;
        }
        FEntries.erase(Out, FEntries.end());
    }

    // The handler of Msg, or nullptr.
    const H* Find(UINT Msg) const
    {
        auto It = std::lower_bound(FEntries.begin(), FEntries.end(), Msg,
                                   [](const TEntry& E, UINT M) { return E.first < M; });
        return It != FEntries.end() && It->first == Msg ? &It->second : nullptr;
    }
    std::size_t Count() const { return FEntries.size(); }

private:
    std::vector<TEntry> FEntries;
};
