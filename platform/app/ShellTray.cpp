// The notification-area icons over Qt's tray icon.
#include "platform/app/ShellApi.h"

#include "platform/graphics/Graphics.h"

#include <QCoreApplication>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QThread>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace {

struct TTrayEntry {
    HWND Wnd = nullptr;
    UINT ID = 0;
    UINT CallbackMessage = 0;
    HICON Icon = nullptr;
    std::string Tip;
    QPointer<QSystemTrayIcon> Qt; // null where the desktop has no tray (or tests say there is one)
};

using TKey = std::pair<HWND, UINT>;

// The worker thread of an animated icon modifies icons too: the table is locked, and the Qt
// side is only ever touched on the user-interface thread.
std::mutex& TrayLock()
{
    static std::mutex M;
    return M;
}
std::map<TKey, TTrayEntry>& Entries()
{
    static auto* M = new std::map<TKey, TTrayEntry>;
    return *M;
}

bool gOverride = false;
bool gOverrideAvailable = false;

bool RealTrayAvailable()
{
    return QCoreApplication::instance() && QSystemTrayIcon::isSystemTrayAvailable();
}

std::string TipText(const char* Tip)
{
    std::size_t N = 0;
    while (N < 63 && Tip[N])
        ++N;
    return std::string(Tip, N);
}

QIcon ToQIcon(HICON Icon)
{
    std::shared_ptr<const TIconImage> Image = IconHandleImage(Icon);
    if (!Image || Image->Image.Width <= 0 || Image->Image.Height <= 0 ||
        Image->Image.Pixels.size() < std::size_t(Image->Image.Width) * std::size_t(Image->Image.Height))
        return QIcon();
    QImage Q(Image->Image.Width, Image->Image.Height, QImage::Format_ARGB32);
    for (int Y = 0; Y < Q.height(); ++Y)
        std::memcpy(Q.scanLine(Y), Image->Image.Pixels.data() + std::size_t(Y) * Image->Image.Width,
                    std::size_t(Image->Image.Width) * 4);
    return QIcon(QPixmap::fromImage(Q));
}

void PostCallback(HWND Wnd, UINT ID, UINT Message, UINT Mouse)
{
    PostMessage(Wnd, Message, static_cast<WPARAM>(ID), static_cast<LPARAM>(Mouse));
}

// The messages the desktop sends for one action on the icon.
void PostAction(const TTrayEntry& E, UINT MouseMessage)
{
    if (!E.CallbackMessage)
        return;
    switch (MouseMessage) {
    case WM_LBUTTONUP:
        PostCallback(E.Wnd, E.ID, E.CallbackMessage, WM_LBUTTONDOWN);
        PostCallback(E.Wnd, E.ID, E.CallbackMessage, WM_LBUTTONUP);
        break;
    case WM_RBUTTONUP:
        PostCallback(E.Wnd, E.ID, E.CallbackMessage, WM_RBUTTONDOWN);
        PostCallback(E.Wnd, E.ID, E.CallbackMessage, WM_RBUTTONUP);
        break;
    case WM_MBUTTONUP:
        PostCallback(E.Wnd, E.ID, E.CallbackMessage, WM_MBUTTONDOWN);
        PostCallback(E.Wnd, E.ID, E.CallbackMessage, WM_MBUTTONUP);
        break;
    case WM_LBUTTONDBLCLK:
        PostCallback(E.Wnd, E.ID, E.CallbackMessage, WM_LBUTTONDBLCLK);
        PostCallback(E.Wnd, E.ID, E.CallbackMessage, WM_LBUTTONUP);
        break;
    default:
        PostCallback(E.Wnd, E.ID, E.CallbackMessage, MouseMessage);
        break;
    }
}

void Activated(TKey Key, QSystemTrayIcon::ActivationReason Reason)
{
    TTrayEntry Copy;
    {
        std::lock_guard<std::mutex> G(TrayLock());
        auto It = Entries().find(Key);
        if (It == Entries().end())
            return;
        Copy = It->second;
    }
    const QPoint P = QCursor::pos();
    SetCursorPos(P.x(), P.y());
    switch (Reason) {
    case QSystemTrayIcon::Trigger:
        PostAction(Copy, WM_LBUTTONUP);
        break;
    case QSystemTrayIcon::DoubleClick:
        PostAction(Copy, WM_LBUTTONDBLCLK);
        break;
    case QSystemTrayIcon::Context:
        PostAction(Copy, WM_RBUTTONUP);
        break;
    case QSystemTrayIcon::MiddleClick:
        PostAction(Copy, WM_MBUTTONUP);
        break;
    default:
        break;
    }
}

// Brings the Qt icon of Key in line with the table (user-interface thread only).
void SyncQt(TKey Key)
{
    std::unique_lock<std::mutex> G(TrayLock());
    auto It = Entries().find(Key);
    if (It == Entries().end())
        return;
    TTrayEntry& E = It->second;
    if (!E.Qt) {
        if (!RealTrayAvailable())
            return;
        E.Qt = new QSystemTrayIcon(QCoreApplication::instance());
        QObject::connect(E.Qt.data(), &QSystemTrayIcon::activated,
                         [Key](QSystemTrayIcon::ActivationReason Reason) { Activated(Key, Reason); });
    }
    QPointer<QSystemTrayIcon> Icon = E.Qt;
    const HICON H = E.Icon;
    const QString Tip = QString::fromUtf8(E.Tip.c_str());
    G.unlock();
    Icon->setIcon(ToQIcon(H));
    Icon->setToolTip(Tip);
    Icon->show();
}

void DeleteQt(QPointer<QSystemTrayIcon> Icon)
{
    if (Icon) {
        Icon->hide();
        Icon->deleteLater();
    }
}

bool OnUiThread()
{
    QCoreApplication* App = QCoreApplication::instance();
    return App && QThread::currentThread() == App->thread();
}

template <class F> void RunOnUi(F Fn)
{
    if (OnUiThread())
        Fn();
    else if (QCoreApplication* App = QCoreApplication::instance())
        QMetaObject::invokeMethod(App, Fn, Qt::QueuedConnection);
}

} // namespace

void SetTrayAvailableOverride(bool Override, bool Available)
{
    gOverride = Override;
    gOverrideAvailable = Available;
}

bool TrayAvailable()
{
    return gOverride ? gOverrideAvailable : RealTrayAvailable();
}

BOOL Shell_NotifyIcon(DWORD Message, NOTIFYICONDATA* Data)
{
    if (!Data)
        return FALSE;
    const TKey Key{Data->hWnd, Data->uID};
    switch (Message) {
    case NIM_ADD: {
        if (!TrayAvailable())
            return FALSE;
        {
            std::lock_guard<std::mutex> G(TrayLock());
            if (Entries().count(Key))
                return FALSE;
            TTrayEntry E;
            E.Wnd = Data->hWnd;
            E.ID = Data->uID;
            if (Data->uFlags & NIF_MESSAGE)
                E.CallbackMessage = Data->uCallbackMessage;
            if (Data->uFlags & NIF_ICON)
                E.Icon = Data->hIcon;
            if (Data->uFlags & NIF_TIP)
                E.Tip = TipText(Data->szTip);
            Entries()[Key] = E;
        }
        RunOnUi([Key] { SyncQt(Key); });
        return TRUE;
    }
    case NIM_MODIFY: {
        {
            std::lock_guard<std::mutex> G(TrayLock());
            auto It = Entries().find(Key);
            if (It == Entries().end())
                return FALSE;
            if (Data->uFlags & NIF_MESSAGE)
                It->second.CallbackMessage = Data->uCallbackMessage;
            if (Data->uFlags & NIF_ICON)
                It->second.Icon = Data->hIcon;
            if (Data->uFlags & NIF_TIP)
                It->second.Tip = TipText(Data->szTip);
        }
        RunOnUi([Key] { SyncQt(Key); });
        return TRUE;
    }
    case NIM_DELETE: {
        QPointer<QSystemTrayIcon> Icon;
        {
            std::lock_guard<std::mutex> G(TrayLock());
            auto It = Entries().find(Key);
            if (It == Entries().end())
                return FALSE;
            Icon = It->second.Qt;
            Entries().erase(It);
        }
        RunOnUi([Icon] { DeleteQt(Icon); });
        return TRUE;
    }
    default:
        return FALSE;
    }
}

TTrayIconState TrayIconState(HWND Wnd, UINT ID)
{
    TTrayIconState S;
    std::lock_guard<std::mutex> G(TrayLock());
    auto It = Entries().find(TKey{Wnd, ID});
    if (It == Entries().end())
        return S;
    S.Exists = true;
    S.Tip = It->second.Tip;
    S.Icon = It->second.Icon;
    S.CallbackMessage = It->second.CallbackMessage;
    return S;
}

bool SimulateTrayClick(HWND Wnd, UINT ID, UINT MouseMessage)
{
    TTrayEntry Copy;
    {
        std::lock_guard<std::mutex> G(TrayLock());
        auto It = Entries().find(TKey{Wnd, ID});
        if (It == Entries().end())
            return false;
        Copy = It->second;
    }
    PostAction(Copy, MouseMessage);
    return true;
}
