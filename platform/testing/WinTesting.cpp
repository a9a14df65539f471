// The test input path: synthetic Qt events delivered to the host widgets, draining the queue,
// capturing windows and resetting the model. Linked into test programs only.
#include "platform/testing/WinTesting.h"
#include "platform/qt/WinState.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>

using namespace win;

namespace {

Qt::MouseButtons gSimButtons;


bool SendMouseTo(HWND Top, QPoint Screen, UINT Message, WPARAM Keys)
{
    TWindow* T = Find(Top);
    if (!T || !T->Host || !T->Host->isVisible())
        return false;
    QWidget* Host = T->Host;
    QPoint Local = Screen - WindowOrigin(T);
    QWidget* Receiver = Host;
    if (QWidget* Child = Host->childAt(Local); Child && AttachedOwner(Child))
        Receiver = Child;
    QPoint RLocal = Receiver == Host ? Local : Receiver->mapFrom(Host, Local);
    UseSimulatedDesktop();
    Qt::KeyboardModifiers Mods = CurrentModifiers();
    if (Keys & MK_SHIFT)
        Mods |= Qt::ShiftModifier;
    if (Keys & MK_CONTROL)
        Mods |= Qt::ControlModifier;
    QEvent::Type Type = QEvent::MouseMove;
    Qt::MouseButton Button = Qt::NoButton;
    switch (Message) {
    case WM_MOUSEMOVE:
        break;
    case WM_LBUTTONDOWN:
        Type = QEvent::MouseButtonPress;
        Button = Qt::LeftButton;
        break;
    case WM_LBUTTONUP:
        Type = QEvent::MouseButtonRelease;
        Button = Qt::LeftButton;
        break;
    case WM_LBUTTONDBLCLK:
        Type = QEvent::MouseButtonDblClick;
        Button = Qt::LeftButton;
        break;
    case WM_RBUTTONDOWN:
        Type = QEvent::MouseButtonPress;
        Button = Qt::RightButton;
        break;
    case WM_RBUTTONUP:
        Type = QEvent::MouseButtonRelease;
        Button = Qt::RightButton;
        break;
    case WM_RBUTTONDBLCLK:
        Type = QEvent::MouseButtonDblClick;
        Button = Qt::RightButton;
        break;
    case WM_MBUTTONDOWN:
        Type = QEvent::MouseButtonPress;
        Button = Qt::MiddleButton;
        break;
    case WM_MBUTTONUP:
        Type = QEvent::MouseButtonRelease;
        Button = Qt::MiddleButton;
        break;
    case WM_MBUTTONDBLCLK:
        Type = QEvent::MouseButtonDblClick;
        Button = Qt::MiddleButton;
        break;
    default:
        return false;
    }
    if (Type == QEvent::MouseButtonPress || Type == QEvent::MouseButtonDblClick)
        gSimButtons |= Button;
    else if (Type == QEvent::MouseButtonRelease)
        gSimButtons &= ~Button;
    // Keys given for this event hold for it only: the host notes the event's modifiers as the
    // key state, so the state from before is put back once it is delivered.
    bool ShiftWas = GetAsyncKeyState(VK_SHIFT) < 0, ControlWas = GetAsyncKeyState(VK_CONTROL) < 0;
    QMouseEvent E(Type, QPointF(RLocal), QPointF(Screen), Button, gSimButtons, Mods);
    QCoreApplication::sendEvent(Receiver, &E);
    NoteAsyncKey(VK_SHIFT, ShiftWas);
    NoteAsyncKey(VK_CONTROL, ControlWas);
    return true;
}

} // namespace

bool SimulateMouse(HWND Wnd, UINT Message, int X, int Y, WPARAM Keys)
{
    TWindow* W = Find(Wnd);
    if (!W || !IsShown(W))
        return false;
    QPoint Screen = ClientOrigin(W) + QPoint(X, Y);
    return SendMouseTo(Root(Wnd), Screen, Message, Keys);
}

bool SimulateMouseAt(int ScreenX, int ScreenY, UINT Message, WPARAM Keys)
{
    for (HWND T : TopLevels()) {
        TWindow* W = Find(T);
        if (W && W->Host && W->Host->isVisible() && ScreenWindowRect(W).contains(ScreenX, ScreenY))
            return SendMouseTo(T, QPoint(ScreenX, ScreenY), Message, Keys);
    }
    return false;
}

bool SimulateClick(HWND Wnd, int X, int Y)
{
    return SimulateMouse(Wnd, WM_LBUTTONDOWN, X, Y) && SimulateMouse(Wnd, WM_LBUTTONUP, X, Y);
}

bool SimulateWheel(HWND Wnd, int X, int Y, int Delta)
{
    TWindow* W = Find(Wnd);
    if (!W || !IsShown(W))
        return false;
    TWindow* T = Find(Root(Wnd));
    if (!T || !T->Host)
        return false;
    QPoint Screen = ClientOrigin(W) + QPoint(X, Y);
    QPoint Local = Screen - WindowOrigin(T);
    QWidget* Receiver = T->Host;
    if (QWidget* Child = T->Host->childAt(Local); Child && AttachedOwner(Child))
        Receiver = Child;
    QPoint RLocal = Receiver == T->Host.data() ? Local : Receiver->mapFrom(T->Host, Local);
    UseSimulatedDesktop();
    QWheelEvent E(QPointF(RLocal), QPointF(Screen), QPoint(), QPoint(0, Delta), gSimButtons,
                  CurrentModifiers(), Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Receiver, &E);
    return true;
}

bool SimulateKey(UINT Message, int VirtKey, const std::string& Text)
{
    HWND Focus = GetFocus() ? GetFocus() : GetActiveWindow();
    TWindow* W = Find(Focus);
    if (!W)
        return false;
    QWidget* Receiver = W->Attached ? W->Attached.data() : HostOf(Focus);
    if (W->Attached)
        if (QWidget* F = W->Attached->focusWidget())
            Receiver = F;
    if (!Receiver)
        return false;
    int Key = VkToQtKey(VirtKey);
    if (!Key)
        return false;
    bool Down = Message == WM_KEYDOWN || Message == WM_SYSKEYDOWN;
    NoteDesktopKey(Message, VirtKey);
    if (Down && VirtKey == VK_SHIFT)
        NoteAsyncKey(VK_SHIFT, true);
    if (Down && VirtKey == VK_CONTROL)
        NoteAsyncKey(VK_CONTROL, true);
    if (Down && VirtKey == VK_MENU)
        NoteAsyncKey(VK_MENU, true);
    Qt::KeyboardModifiers Mods = CurrentModifiers();
    if (!Down && VirtKey == VK_SHIFT)
        Mods &= ~Qt::ShiftModifier;
    if (!Down && VirtKey == VK_CONTROL)
        Mods &= ~Qt::ControlModifier;
    if (!Down && VirtKey == VK_MENU)
        Mods &= ~Qt::AltModifier;
    if (IsKeypadVk(VirtKey))
        Mods |= Qt::KeypadModifier;
    QString QText = QString::fromStdString(Text);
    QKeyEvent E(Down ? QEvent::KeyPress : QEvent::KeyRelease, Key, Mods, Down ? QText : QString());
    QCoreApplication::sendEvent(Receiver, &E);
    return true;
}

bool SimulateKeyPress(int VirtKey, const std::string& Text)
{
    return SimulateKey(WM_KEYDOWN, VirtKey, Text) && SimulateKey(WM_KEYUP, VirtKey);
}

void SimulateKeyElsewhere(UINT Message, int VirtKey)
{
    NoteDesktopKey(Message, VirtKey);
}

int ProcessPendingMessages()
{
    int N = 0;
    MSG M;
    for (int Guard = 0; Guard < 100000; ++Guard) {
        if (!PeekMessage(&M, nullptr, 0, 0, PM_NOREMOVE))
            break;
        if (M.message == WM_QUIT)
            break;
        PeekMessage(&M, nullptr, 0, 0, PM_REMOVE);
        TranslateMessage(&M);
        DispatchMessage(&M);
        ++N;
    }
    return N;
}

namespace {
TDibImage ToDib(const QImage& Source)
{
    TDibImage D;
    QImage I = Source.convertToFormat(QImage::Format_RGB32);
    D.Width = I.width();
    D.Height = I.height();
    D.BitsPerPixel = 24;
    D.Pixels.resize(static_cast<std::size_t>(D.Width) * static_cast<std::size_t>(D.Height));
    for (int Y = 0; Y < D.Height; ++Y) {
        const QRgb* Row = reinterpret_cast<const QRgb*>(I.constScanLine(Y));
        std::copy(Row, Row + D.Width, D.Pixels.begin() + static_cast<std::ptrdiff_t>(Y) * D.Width);
    }
    return D;
}
} // namespace

TDibImage CaptureWindowImage(HWND Wnd, bool ClientOnly)
{
    QImage I = RenderWindowImage(Wnd, ClientOnly);
    return I.isNull() ? TDibImage() : ToDib(I);
}

TDibImage CaptureDesktopOverlay()
{
    return ToDib(DesktopOverlay());
}

bool DesktopOverlayShown()
{
    return DesktopOverlayVisible();
}

void ResetWindowModel()
{
    for (int Round = 0; Round < 4; ++Round) {
        std::vector<HWND> Tops = TopLevels();
        for (HWND T : Tops)
            DestroyWindow(T);
    }
    ResetMessageOnlyWindows();
    ResetQueueState();
    ResetPaintState();
    gSimButtons = Qt::NoButton;
    ResetSimulatedDesktop();
    ShowDesktopOverlay(false);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
