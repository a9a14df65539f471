// The Qt side of the window model: a frameless host widget per shown top-level window that
// presents the composed window and turns Qt input into queued raw input, attached Qt widgets
// for standard controls, the desktop overlay window, cursors, and the desktop's modifiers that
// the test input path (platform/testing/WinTesting.cpp) drives.
#include "platform/qt/WinHost.h"
#include "platform/qt/WinState.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <map>
#include <optional>

using namespace win;

namespace {

// ---- keys -----------------------------------------------------------------------------------

struct TKeyMap {
    int Qt;
    int Vk;
    bool Extended;
};
const TKeyMap kKeys[] = {
    {Qt::Key_Backspace, VK_BACK, false},
    {Qt::Key_Tab, VK_TAB, false},
    {Qt::Key_Backtab, VK_TAB, false},
    {Qt::Key_Return, VK_RETURN, false},
    {Qt::Key_Enter, VK_RETURN, true},
    {Qt::Key_Shift, VK_SHIFT, false},
    {Qt::Key_Control, VK_CONTROL, false},
    {Qt::Key_Alt, VK_MENU, false},
    {Qt::Key_AltGr, VK_MENU, true},
    {Qt::Key_Pause, VK_PAUSE, false},
    {Qt::Key_CapsLock, VK_CAPITAL, false},
    {Qt::Key_Escape, VK_ESCAPE, false},
    {Qt::Key_Space, VK_SPACE, false},
    {Qt::Key_PageUp, VK_PRIOR, true},
    {Qt::Key_PageDown, VK_NEXT, true},
    {Qt::Key_End, VK_END, true},
    {Qt::Key_Home, VK_HOME, true},
    {Qt::Key_Left, VK_LEFT, true},
    {Qt::Key_Up, VK_UP, true},
    {Qt::Key_Right, VK_RIGHT, true},
    {Qt::Key_Down, VK_DOWN, true},
    {Qt::Key_Print, VK_SNAPSHOT, true},
    {Qt::Key_Insert, VK_INSERT, true},
    {Qt::Key_Delete, VK_DELETE, true},
    {Qt::Key_Help, VK_HELP, false},
    {Qt::Key_Meta, VK_LWIN, true},
    {Qt::Key_Menu, VK_APPS, true},
    {Qt::Key_NumLock, VK_NUMLOCK, true},
    {Qt::Key_ScrollLock, VK_SCROLL, false},
    {Qt::Key_Semicolon, VK_OEM_1, false},
    {Qt::Key_Colon, VK_OEM_1, false},
    {Qt::Key_Equal, VK_OEM_PLUS, false},
    {Qt::Key_Plus, VK_OEM_PLUS, false},
    {Qt::Key_Comma, VK_OEM_COMMA, false},
    {Qt::Key_Less, VK_OEM_COMMA, false},
    {Qt::Key_Minus, VK_OEM_MINUS, false},
    {Qt::Key_Underscore, VK_OEM_MINUS, false},
    {Qt::Key_Period, VK_OEM_PERIOD, false},
    {Qt::Key_Greater, VK_OEM_PERIOD, false},
    {Qt::Key_Slash, VK_OEM_2, false},
    {Qt::Key_Question, VK_OEM_2, false},
    {Qt::Key_QuoteLeft, VK_OEM_3, false},
    {Qt::Key_AsciiTilde, VK_OEM_3, false},
    {Qt::Key_BracketLeft, VK_OEM_4, false},
    {Qt::Key_BraceLeft, VK_OEM_4, false},
    {Qt::Key_Backslash, VK_OEM_5, false},
    {Qt::Key_Bar, VK_OEM_5, false},
    {Qt::Key_BracketRight, VK_OEM_6, false},
    {Qt::Key_BraceRight, VK_OEM_6, false},
    {Qt::Key_Apostrophe, VK_OEM_7, false},
    {Qt::Key_QuoteDbl, VK_OEM_7, false},
    {Qt::Key_Exclam, '1', false},
    {Qt::Key_At, '2', false},
    {Qt::Key_NumberSign, '3', false},
    {Qt::Key_Dollar, '4', false},
    {Qt::Key_Percent, '5', false},
    {Qt::Key_AsciiCircum, '6', false},
    {Qt::Key_Ampersand, '7', false},
    {Qt::Key_Asterisk, '8', false},
    {Qt::Key_ParenLeft, '9', false},
    {Qt::Key_ParenRight, '0', false},
};

int QtKeyToVk(int Key, Qt::KeyboardModifiers Mods, bool* Extended)
{
    *Extended = false;
    if (Mods & Qt::KeypadModifier) {
        if (Key >= Qt::Key_0 && Key <= Qt::Key_9)
            return VK_NUMPAD0 + (Key - Qt::Key_0);
        switch (Key) {
        case Qt::Key_Asterisk:
            return VK_MULTIPLY;
        case Qt::Key_Plus:
            return VK_ADD;
        case Qt::Key_Minus:
            return VK_SUBTRACT;
        case Qt::Key_Period:
            return VK_DECIMAL;
        case Qt::Key_Slash:
            *Extended = true;
            return VK_DIVIDE;
        default:
            break;
        }
    }
    if (Key >= Qt::Key_A && Key <= Qt::Key_Z)
        return 'A' + (Key - Qt::Key_A);
    if (Key >= Qt::Key_0 && Key <= Qt::Key_9)
        return '0' + (Key - Qt::Key_0);
    if (Key >= Qt::Key_F1 && Key <= Qt::Key_F24)
        return VK_F1 + (Key - Qt::Key_F1);
    for (const TKeyMap& M : kKeys)
        if (M.Qt == Key) {
            *Extended = M.Extended;
            return M.Vk;
        }
    return 0;
}

std::u32string ToU32(const QString& S)
{
    std::u32string R;
    for (char32_t C : S.toUcs4())
        if ((C >= 0x20 && C != 0x7F) || C == 27 || (C >= 1 && C <= 26))
            R.push_back(C);
    return R;
}

void NoteModifiers(Qt::KeyboardModifiers Mods)
{
    NoteAsyncKey(VK_SHIFT, (Mods & Qt::ShiftModifier) != 0);
    NoteAsyncKey(VK_CONTROL, (Mods & Qt::ControlModifier) != 0);
    NoteAsyncKey(VK_MENU, (Mods & Qt::AltModifier) != 0);
}

// The mouse keys of an event: its buttons and the modifiers it carries (a message reports the
// keys as they were when the event happened, not when the queue reads it).
WPARAM ButtonsToKeys(Qt::MouseButtons B, Qt::KeyboardModifiers Mods)
{
    WPARAM K = 0;
    if (Mods & Qt::ShiftModifier)
        K |= MK_SHIFT;
    if (Mods & Qt::ControlModifier)
        K |= MK_CONTROL;
    if (B & Qt::LeftButton)
        K |= MK_LBUTTON;
    if (B & Qt::RightButton)
        K |= MK_RBUTTON;
    if (B & Qt::MiddleButton)
        K |= MK_MBUTTON;
    return K;
}

UINT MouseMessageOf(QEvent::Type T, Qt::MouseButton B)
{
    bool Down = T == QEvent::MouseButtonPress || T == QEvent::MouseButtonDblClick;
    switch (B) {
    case Qt::LeftButton:
        return Down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case Qt::RightButton:
        return Down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case Qt::MiddleButton:
        return Down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default:
        return 0;
    }
}

// Turns a Qt input event into raw input of the model; Target is set for attached widgets.
// False when the event is not input.
bool QueueQtEvent(QEvent* E, HWND Host, HWND Target, QPoint Screen, DWORD NativeId)
{
    TRawInput R;
    R.Host = Host;
    R.Target = Target;
    R.NativeId = NativeId;
    switch (E->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        auto* M = static_cast<QMouseEvent*>(E);
        NoteModifiers(M->modifiers());
        R.Kind = TRawInput::Mouse;
        R.Message = E->type() == QEvent::MouseMove ? WM_MOUSEMOVE : MouseMessageOf(E->type(), M->button());
        if (!R.Message)
            return false;
        R.Keys = ButtonsToKeys(M->buttons(), M->modifiers());
        NoteAsyncKey(VK_LBUTTON, (M->buttons() & Qt::LeftButton) != 0);
        NoteAsyncKey(VK_RBUTTON, (M->buttons() & Qt::RightButton) != 0);
        NoteAsyncKey(VK_MBUTTON, (M->buttons() & Qt::MiddleButton) != 0);
        R.Screen = POINT{Screen.x(), Screen.y()};
        break;
    }
    case QEvent::Wheel: {
        auto* W = static_cast<QWheelEvent*>(E);
        NoteModifiers(W->modifiers());
        R.Kind = TRawInput::Wheel;
        R.Message = WM_MOUSEWHEEL;
        R.Keys = ButtonsToKeys(W->buttons(), W->modifiers());
        int D = W->angleDelta().y() ? W->angleDelta().y() : W->angleDelta().x();
        R.WheelDelta = D;
        R.Screen = POINT{Screen.x(), Screen.y()};
        break;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* K = static_cast<QKeyEvent*>(E);
        bool Ext = false;
        int Vk = QtKeyToVk(K->key(), K->modifiers(), &Ext);
        if (!Vk)
            return false;
        bool Down = E->type() == QEvent::KeyPress;
        NoteAsyncKey(Vk, Down);
        R.Kind = TRawInput::Key;
        R.Message = Down ? WM_KEYDOWN : WM_KEYUP;
        R.Keys = static_cast<WPARAM>(Vk);
        R.KeyData = static_cast<LPARAM>((K->nativeScanCode() & 0xFF) << 16) | (Ext ? (1 << 24) : 0);
        if (Down)
            R.Text = ToU32(K->text());
        break;
    }
    default:
        return false;
    }
    QueueInput(std::move(R));
    return true;
}

// ---- the host widget ------------------------------------------------------------------------

// Set while the layer itself puts a host where its window is: those moves are no desktop's.
bool gSyncingHost = false;

class THost : public QWidget {
public:
    explicit THost(HWND Wnd, Qt::WindowFlags Flags) : QWidget(nullptr, Flags), FWnd(Wnd)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        setAttribute(Qt::WA_DeleteOnClose, false);
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
    }
    HWND Wnd() const { return FWnd; }

protected:
    void paintEvent(QPaintEvent* E) override
    {
        TWindow* W = Find(FWnd);
        QPainter P(this);
        if (!W) {
            P.fillRect(rect(), Qt::black);
            return;
        }
        Compose(W, P, QPoint(0, 0), E->region(), false);
    }
    bool focusNextPrevChild(bool) override { return false; }
    void mousePressEvent(QMouseEvent* E) override { Queue(E); }
    void mouseReleaseEvent(QMouseEvent* E) override { Queue(E); }
    void mouseDoubleClickEvent(QMouseEvent* E) override { Queue(E); }
    void mouseMoveEvent(QMouseEvent* E) override { Queue(E); }
    void wheelEvent(QWheelEvent* E) override
    {
        TWindow* W = Find(FWnd);
        if (W)
            QueueQtEvent(E, FWnd, nullptr, WindowOrigin(W) + E->position().toPoint(), 0);
    }
    void keyPressEvent(QKeyEvent* E) override { QueueQtEvent(E, FWnd, nullptr, QPoint(), 0); }
    void keyReleaseEvent(QKeyEvent* E) override { QueueQtEvent(E, FWnd, nullptr, QPoint(), 0); }
    void enterEvent(QEnterEvent* E) override
    {
        // The pointer arrives without moving when a window that covered it goes away (a menu,
        // a dialog): the window beneath hears of it by a mouse move at that point, so hot
        // tracking catches up without waiting for the next real move.
        QMouseEvent Move(QEvent::MouseMove, E->position(), E->globalPosition(), Qt::NoButton,
                         QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers());
        Queue(&Move);
    }
    void leaveEvent(QEvent*) override
    {
        TRawInput R;
        R.Kind = TRawInput::Leave;
        R.Host = FWnd;
        QueueInput(std::move(R));
    }
    void closeEvent(QCloseEvent* E) override
    {
        E->ignore();
        if (Find(FWnd))
            PostMessage(FWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    // The desktop moves and sizes the window itself (maximising, tiling, a keyboard resize): the
    // window takes that rectangle as if its own frame had been dragged, so its content follows
    // and the next sync does not put the old size back.
    void moveEvent(QMoveEvent*) override { FollowDesktop(); }
    void resizeEvent(QResizeEvent*) override { FollowDesktop(); }

private:
    void FollowDesktop()
    {
        TWindow* W = Find(FWnd);
        if (!W || gSyncingHost || !isVisible())
            return;
        const QRect G = geometry();
        if (G == ScreenWindowRect(W) || G.width() <= 0 || G.height() <= 0)
            return;
        SetWindowPos(FWnd, nullptr, G.x(), G.y(), G.width(), G.height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void Queue(QMouseEvent* E)
    {
        TWindow* W = Find(FWnd);
        if (W)
            QueueQtEvent(E, FWnd, nullptr, WindowOrigin(W) + E->position().toPoint(), 0);
    }
    HWND FWnd;
};

// ---- attached widgets -----------------------------------------------------------------------

std::map<QWidget*, HWND> gAttached;
bool gSettingFocus = false;

class TAttachFilter : public QObject {
public:
    bool eventFilter(QObject* O, QEvent* E) override
    {
        switch (E->type()) {
        case QEvent::ChildAdded: {
            auto* C = static_cast<QChildEvent*>(E);
            if (C->child() && C->child()->isWidgetType())
                Install(C->child());
            return false;
        }
        case QEvent::ContextMenu:
            return !ReplayingNative();
        case QEvent::FocusIn: {
            HWND Wnd = AttachedOwner(O);
            if (Wnd && !gSettingFocus && GetFocus() != Wnd) {
                gSettingFocus = true;
                SetFocus(Wnd);
                gSettingFocus = false;
            }
            return false;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            if (ReplayingNative())
                return false;
            HWND Wnd = AttachedOwner(O);
            TWindow* W = Find(Wnd);
            auto* Widget = qobject_cast<QWidget*>(O);
            if (!W || !Widget)
                return false;
            QPoint Screen;
            if (E->type() == QEvent::Wheel || E->type() == QEvent::MouseMove ||
                E->type() == QEvent::MouseButtonPress || E->type() == QEvent::MouseButtonRelease ||
                E->type() == QEvent::MouseButtonDblClick) {
                QPointF Local = E->type() == QEvent::Wheel ? static_cast<QWheelEvent*>(E)->position()
                                                           : static_cast<QMouseEvent*>(E)->position();
                TWindow* Top = Find(Root(Wnd));
                QWidget* Host = Top ? Top->Host.data() : nullptr;
                Screen = Host ? Widget->mapTo(Host, Local.toPoint()) + WindowOrigin(Top) : Local.toPoint();
            }
            DWORD Id = StoreNativeEvent(Wnd, O, E->clone());
            if (!QueueQtEvent(E, Root(Wnd), Wnd, Screen, Id))
                return false;
            return true;
        }
        default:
            return false;
        }
    }
    void Install(QObject* O)
    {
        O->installEventFilter(this);
        for (QObject* C : O->children())
            if (C->isWidgetType())
                Install(C);
    }
    void Remove(QObject* O)
    {
        O->removeEventFilter(this);
        for (QObject* C : O->children())
            Remove(C);
    }
};

TAttachFilter& Filter()
{
    static TAttachFilter* F = new TAttachFilter;
    return *F;
}

void Detach(QWidget* Widget)
{
    auto It = gAttached.find(Widget);
    if (It == gAttached.end())
        return;
    if (TWindow* W = Find(It->second))
        W->Attached = nullptr;
    gAttached.erase(It);
    Filter().Remove(Widget);
    Widget->hide();
    Widget->setParent(nullptr);
}

// ---- the desktop overlay --------------------------------------------------------------------

class TOverlay : public QWidget {
public:
    TOverlay()
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus)
    {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setGeometry(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    }

protected:
    void paintEvent(QPaintEvent* E) override
    {
        QImage Shown = DesktopOverlay().convertToFormat(QImage::Format_ARGB32);
        for (int Y = 0; Y < Shown.height(); ++Y) {
            QRgb* Row = reinterpret_cast<QRgb*>(Shown.scanLine(Y));
            for (int X = 0; X < Shown.width(); ++X)
                if ((Row[X] & 0xFFFFFF) == 0)
                    Row[X] = 0;
        }
        QPainter P(this);
        P.setClipRegion(E->region());
        P.setCompositionMode(QPainter::CompositionMode_Source);
        P.drawImage(0, 0, Shown);
    }
};
QPointer<TOverlay> gOverlay;

// ---- cursors --------------------------------------------------------------------------------

QCursor QtCursorOf(HCURSOR C)
{
    TCursorRec* R = FindCursor(C);
    if (!R)
        return QCursor(Qt::ArrowCursor);
    switch (R->StandardId) {
    case 0:
        return QCursor(QPixmap::fromImage(R->Image), R->HotSpot.x, R->HotSpot.y);
    case 32513:
        return QCursor(Qt::IBeamCursor);
    case 32514:
        return QCursor(Qt::WaitCursor);
    case 32515:
        return QCursor(Qt::CrossCursor);
    case 32516:
        return QCursor(Qt::UpArrowCursor);
    case 32640:
    case 32646:
        return QCursor(Qt::SizeAllCursor);
    case 32642:
        return QCursor(Qt::SizeFDiagCursor);
    case 32643:
        return QCursor(Qt::SizeBDiagCursor);
    case 32644:
        return QCursor(Qt::SizeHorCursor);
    case 32645:
        return QCursor(Qt::SizeVerCursor);
    case 32648:
        return QCursor(Qt::ForbiddenCursor);
    case 32649:
        return QCursor(Qt::PointingHandCursor);
    case 32650:
        return QCursor(Qt::BusyCursor);
    case 32651:
        return QCursor(Qt::WhatsThisCursor);
    default:
        return QCursor(Qt::ArrowCursor);
    }
}

QTimer* gBlinkTimer = nullptr;

void EnsureBlinkTimer()
{
    if (gBlinkTimer || !QCoreApplication::instance())
        return;
    // The desktop switching to another program deactivates ours (the offscreen platform used by
    // tests has no other programs, and its state changes would only disturb them).
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        QObject::connect(qApp, &QGuiApplication::applicationStateChanged,
                         [](Qt::ApplicationState S) { SetApplicationActive(S == Qt::ApplicationActive); });
    gBlinkTimer = new QTimer;
    gBlinkTimer->setInterval(100);
    QObject::connect(gBlinkTimer, &QTimer::timeout, [] {
        if (TestClockActive())
            return;
        if (TWindow* W = Find(Caret().Wnd))
            SurfaceChanged(W);
    });
    gBlinkTimer->start();
}

// The modifiers held on the desktop of the test input path, once it has sent something: the
// offscreen platform only knows the modifiers of the last event it saw, so a key let go inside
// a loop of another owner would stay held for it.
std::optional<Qt::KeyboardModifiers> gSimDesktopModifiers;

Qt::KeyboardModifier ModifierOfVk(int VirtKey)
{
    switch (VirtKey) {
    case VK_SHIFT:
    case VK_LSHIFT:
    case VK_RSHIFT:
        return Qt::ShiftModifier;
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL:
        return Qt::ControlModifier;
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU:
        return Qt::AltModifier;
    default:
        return Qt::NoModifier;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Keys, attached widgets and the desktop's modifiers, shared with the test input path

namespace win {

int VkToQtKey(int Vk)
{
    if (Vk >= 'A' && Vk <= 'Z')
        return Qt::Key_A + (Vk - 'A');
    if (Vk >= '0' && Vk <= '9')
        return Qt::Key_0 + (Vk - '0');
    if (Vk >= VK_NUMPAD0 && Vk <= VK_NUMPAD9)
        return Qt::Key_0 + (Vk - VK_NUMPAD0);
    if (Vk >= VK_F1 && Vk <= VK_F1 + 23)
        return Qt::Key_F1 + (Vk - VK_F1);
    switch (Vk) {
    case VK_MULTIPLY:
        return Qt::Key_Asterisk;
    case VK_ADD:
        return Qt::Key_Plus;
    case VK_SUBTRACT:
        return Qt::Key_Minus;
    case VK_DECIMAL:
        return Qt::Key_Period;
    case VK_DIVIDE:
        return Qt::Key_Slash;
    default:
        break;
    }
    for (const TKeyMap& M : kKeys)
        if (M.Vk == Vk)
            return M.Qt;
    return 0;
}

bool IsKeypadVk(int Vk)
{
    return (Vk >= VK_NUMPAD0 && Vk <= VK_DIVIDE);
}

HWND AttachedOwner(QObject* O)
{
    for (QObject* X = O; X; X = X->parent())
        if (auto* W = qobject_cast<QWidget*>(X)) {
            auto It = gAttached.find(W);
            if (It != gAttached.end())
                return It->second;
        }
    return nullptr;
}

Qt::KeyboardModifiers CurrentModifiers()
{
    Qt::KeyboardModifiers M;
    if (GetAsyncKeyState(VK_SHIFT) < 0)
        M |= Qt::ShiftModifier;
    if (GetAsyncKeyState(VK_CONTROL) < 0)
        M |= Qt::ControlModifier;
    if (GetAsyncKeyState(VK_MENU) < 0)
        M |= Qt::AltModifier;
    return M;
}

void UseSimulatedDesktop()
{
    if (!gSimDesktopModifiers)
        gSimDesktopModifiers = Qt::NoModifier;
}

void NoteDesktopKey(UINT Message, int VirtKey)
{
    Qt::KeyboardModifiers Held = gSimDesktopModifiers.value_or(Qt::NoModifier);
    if (Message == WM_KEYDOWN || Message == WM_SYSKEYDOWN)
        Held |= ModifierOfVk(VirtKey);
    else
        Held &= ~ModifierOfVk(VirtKey);
    gSimDesktopModifiers = Held;
}

// The modifiers the desktop reports held now, whoever had the keyboard when they moved.
Qt::KeyboardModifiers DesktopModifiers()
{
    return gSimDesktopModifiers ? *gSimDesktopModifiers : QGuiApplication::queryKeyboardModifiers();
}

void ResetSimulatedDesktop()
{
    gSimDesktopModifiers.reset();
}

bool DesktopOverlayVisible()
{
    return gOverlay && gOverlay->isVisible();
}

} // namespace win

// ---------------------------------------------------------------------------------------------
// Internal entry points

namespace win {

void SyncHost(TWindow* W)
{
    if (!W || W->MessageOnly || W->Parent || !QApplication::instance())
        return;
    bool Show = IsShown(W) && W->Width() > 0 && W->Height() > 0;
    if (!Show) {
        if (W->Host)
            W->Host->hide();
        return;
    }
    if (!W->Host) {
        Qt::WindowFlags Flags = Qt::Window | Qt::FramelessWindowHint;
        if (W->Owner || (W->ExStyle & WS_EX_TOOLWINDOW))
            Flags = Qt::Tool | Qt::FramelessWindowHint;
        if (W->ExStyle & WS_EX_TOPMOST)
            Flags |= Qt::WindowStaysOnTopHint;
        if (W->ExStyle & WS_EX_NOACTIVATE)
            Flags |= Qt::WindowDoesNotAcceptFocus;
        auto* H = new THost(W->Handle, Flags);
        if (W->ExStyle & WS_EX_NOACTIVATE)
            H->setAttribute(Qt::WA_ShowWithoutActivating);
        H->setWindowTitle(QString::fromStdString(W->Text));
        W->Host = H;
        H->setCursor(QtCursorOf(GetCursor()));
        EnsureBlinkTimer();
    }
    bool Topmost = (W->ExStyle & WS_EX_TOPMOST) != 0;
    if (Topmost != W->Host->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        W->Host->setWindowFlag(Qt::WindowStaysOnTopHint, Topmost); // hides it; shown again below
    QString Title = QString::fromStdString(W->Text);
    if (W->Host->windowTitle() != Title)
        W->Host->setWindowTitle(Title);
    QRect R = ScreenWindowRect(W);
    if (W->Host->geometry() != R) {
        gSyncingHost = true;
        W->Host->setGeometry(R);
        gSyncingHost = false;
    }
    if (!W->Host->isVisible())
        W->Host->show();
}

void DestroyHost(TWindow* W)
{
    if (!W)
        return;
    std::vector<QWidget*> Mine;
    for (auto& [Widget, Wnd] : gAttached)
        if (Wnd == W->Handle || (W->Host && Widget->window() == W->Host.data()))
            Mine.push_back(Widget);
    for (QWidget* Widget : Mine) {
        if (gAttached[Widget] == W->Handle) {
            Detach(Widget);
        } else {
            Widget->hide();
            Widget->setParent(nullptr);
        }
    }
    if (W->Host) {
        W->Host->hide();
        W->Host->deleteLater();
        W->Host = nullptr;
    }
}

void SyncAttachedWidgets()
{
    std::vector<QWidget*> Dead;
    for (auto& [Widget, Wnd] : gAttached) {
        TWindow* W = Find(Wnd);
        if (!W) {
            Dead.push_back(Widget);
            continue;
        }
        TWindow* Top = Find(Root(Wnd));
        QWidget* Host = Top ? Top->Host.data() : nullptr;
        bool Show = Host && IsShown(W) && W->ClientWidth() > 0 && W->ClientHeight() > 0;
        if (!Show) {
            Widget->hide();
            continue;
        }
        if (Widget->parentWidget() != Host) {
            Widget->setParent(Host);
        }
        QPoint At = ClientOrigin(W) - WindowOrigin(Top);
        QRect G(At, QSize(W->ClientWidth(), W->ClientHeight()));
        if (Widget->geometry() != G)
            Widget->setGeometry(G);
        QRegion Vis = VisibleWindowRegion(W).translated(-QPoint(W->Client.left, W->Client.top)) &
                      QRegion(0, 0, G.width(), G.height());
        if (Vis == QRegion(0, 0, G.width(), G.height()))
            Widget->clearMask();
        else
            Widget->setMask(Vis.isEmpty() ? QRegion(0, 0, 1, 1) : Vis);
        if (!Widget->isVisible())
            Widget->show();
        Widget->raise();
    }
    for (QWidget* D : Dead)
        Detach(D);
}

void UpdateHost(TWindow* Top, const QRect& WindowRect)
{
    if (!Top || !Top->Host)
        return;
    if (WindowRect.isEmpty())
        Top->Host->update();
    else
        Top->Host->update(WindowRect);
}

void SetHostFocus(TWindow* W)
{
    if (!W)
        return;
    bool Saved = gSettingFocus;
    gSettingFocus = true;
    if (W->Attached) {
        W->Attached->setFocus(Qt::OtherFocusReason);
    } else if (TWindow* Top = Find(Root(W->Handle)); Top && Top->Host) {
        Top->Host->setFocus(Qt::OtherFocusReason);
    }
    gSettingFocus = Saved;
}

void ActivateHost(TWindow* W)
{
    // The desktop keeps its own active window. When the window that held it closes (a modal
    // form, a message box) and no window manager hands it on, the program would be left without
    // it and report itself deactivated. The offscreen platform used by tests has no desktop.
    if (!W || !W->Host || !QGuiApplication::instance() ||
        QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    if (W->Host->isVisible() && !W->Host->isActiveWindow())
        W->Host->activateWindow();
}

void ShowDesktopOverlay(bool Any)
{
    if (!QApplication::instance())
        return;
    if (!Any) {
        if (gOverlay)
            gOverlay->hide();
        return;
    }
    if (!gOverlay)
        gOverlay = new TOverlay;
    if (!gOverlay->isVisible())
        gOverlay->show();
    gOverlay->update();
}

QWidget* HostOf(HWND Wnd)
{
    TWindow* Top = Find(Root(Wnd));
    return Top ? Top->Host.data() : nullptr;
}

void ProcessQtEvents(bool Wait, int TimeoutMs)
{
    if (!QCoreApplication::instance())
        return;
    if (!Wait) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    QTimer Wake;
    Wake.setSingleShot(true);
    if (TimeoutMs >= 0)
        Wake.start(TimeoutMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void ApplyCursor()
{
    QCursor C = CursorShowCount() >= 0 ? QtCursorOf(GetCursor()) : QCursor(Qt::BlankCursor);
    for (HWND T : TopLevels())
        if (TWindow* W = Find(T); W && W->Host)
            W->Host->setCursor(C);
}

} // namespace win

// ---------------------------------------------------------------------------------------------
// Attached widgets

void WinAttachWidget(HWND Wnd, QWidget* Widget)
{
    TWindow* W = Find(Wnd);
    if (!W)
        return;
    if (W->Attached && W->Attached.data() != Widget)
        Detach(W->Attached.data());
    if (!Widget)
        return;
    W->Attached = Widget;
    bool Known = gAttached.count(Widget) != 0;
    gAttached[Widget] = Wnd;
    Filter().Install(Widget);
    // The owner may free the widget before the window goes: forget it then.
    if (!Known)
        QObject::connect(Widget, &QObject::destroyed, Widget, [Widget] { gAttached.erase(Widget); });
    SyncAttachedWidgets();
}

QWidget* WinAttachedWidget(HWND Wnd)
{
    TWindow* W = Find(Wnd);
    return W ? W->Attached.data() : nullptr;
}

HWND WinWindowOfWidget(const QWidget* Widget)
{
    return AttachedOwner(const_cast<QWidget*>(Widget));
}

QWidget* WinHostWidget(HWND Wnd)
{
    return HostOf(Wnd);
}

TPaintsDuringForeignLoop::TPaintsDuringForeignLoop() : FTimer(std::make_unique<QTimer>())
{
    FTimer->setInterval(30);
    QObject::connect(FTimer.get(), &QTimer::timeout, [] { DispatchPendingPaints(); });
    FTimer->start();
}

TPaintsDuringForeignLoop::~TPaintsDuringForeignLoop() = default;

void ForgetModifiersReleasedElsewhere()
{
    BYTE State[256];
    if (!GetKeyboardState(State))
        return;
    const Qt::KeyboardModifiers Now = DesktopModifiers();
    const struct {
        Qt::KeyboardModifier Modifier;
        int Keys[3];
    } Modifiers[] = {{Qt::ShiftModifier, {VK_SHIFT, VK_LSHIFT, VK_RSHIFT}},
                     {Qt::ControlModifier, {VK_CONTROL, VK_LCONTROL, VK_RCONTROL}},
                     {Qt::AltModifier, {VK_MENU, VK_LMENU, VK_RMENU}}};
    bool Changed = false;
    for (const auto& M : Modifiers) {
        if (Now & M.Modifier)
            continue;
        for (int Vk : M.Keys)
            if (State[Vk] & 0x80) {
                State[Vk] &= static_cast<BYTE>(~0x80);
                Changed = true;
            }
    }
    if (Changed)
        SetKeyboardState(State);
}
