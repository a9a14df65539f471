// Files dropped from the desktop onto windows that accept them (WM_DROPFILES).
#include "platform/app/ShellApi.h"

#include "platform/qt/WinHost.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <cstring>
#include <set>
#include <unordered_set>

namespace {

struct TDropRec {
    std::vector<std::string> Files;
    POINT Point;
    BOOL InClient = TRUE;
};

std::unordered_set<TDropRec*>& Drops()
{
    static auto* S = new std::unordered_set<TDropRec*>;
    return *S;
}
TDropRec* DropOf(HDROP Drop)
{
    auto* R = reinterpret_cast<TDropRec*>(Drop);
    return Drops().count(R) ? R : nullptr;
}

// Windows that asked for dropped files; their host widgets must accept drops.
std::set<HWND>& Accepting()
{
    static auto* S = new std::set<HWND>;
    return *S;
}

HWND TopOf(HWND Wnd)
{
    HWND Root = GetAncestor(Wnd, GA_ROOT);
    return Root ? Root : Wnd;
}

bool AcceptsFiles(HWND Wnd)
{
    return IsWindow(Wnd) && (GetWindowLong(Wnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

// The window a drop at a screen point goes to: the window under it, or the nearest parent
// that accepts files.
HWND DropTarget(POINT Screen)
{
    for (HWND W = WindowFromPoint(Screen); W;) {
        if (AcceptsFiles(W))
            return W;
        W = (GetWindowLong(W, GWL_STYLE) & WS_CHILD) ? GetParent(W) : nullptr;
    }
    return nullptr;
}

std::vector<std::string> LocalFiles(const QMimeData* Mime)
{
    std::vector<std::string> Files;
    if (!Mime || !Mime->hasUrls())
        return Files;
    for (const QUrl& Url : Mime->urls())
        if (Url.isLocalFile())
            Files.push_back(Url.toLocalFile().toStdString());
    return Files;
}

// The top-level window whose host (or attached widget) is Widget, and the widget's offset in
// that host.
bool LocateWidget(QWidget* Widget, HWND& Top, QPoint& Offset)
{
    if (HWND Wnd = WinWindowOfWidget(Widget)) {
        Top = TopOf(Wnd);
        QWidget* Host = WinHostWidget(Top);
        if (!Host)
            return false;
        Offset = Widget->mapTo(Host, QPoint(0, 0));
        return true;
    }
    for (HWND Wnd : Accepting()) {
        if (!IsWindow(Wnd))
            continue;
        HWND T = TopOf(Wnd);
        if (WinHostWidget(T) == Widget) {
            Top = T;
            Offset = QPoint(0, 0);
            return true;
        }
    }
    return false;
}

void UpdateHostDrops(HWND Wnd)
{
    if (QWidget* Host = WinHostWidget(TopOf(Wnd)))
        Host->setAcceptDrops(true);
}

class TDropFilter : public QObject {
public:
    bool eventFilter(QObject* O, QEvent* E) override
    {
        const QEvent::Type T = E->type();
        if (T == QEvent::Show) {
            auto* W = qobject_cast<QWidget*>(O);
            if (W && W->isWindow())
                for (HWND Wnd : Accepting())
                    if (IsWindow(Wnd) && WinHostWidget(TopOf(Wnd)) == W)
                        W->setAcceptDrops(true);
            return false;
        }
        if (T != QEvent::DragEnter && T != QEvent::DragMove && T != QEvent::Drop)
            return false;
        auto* Widget = qobject_cast<QWidget*>(O);
        auto* D = static_cast<QDropEvent*>(E);
        HWND Top = nullptr;
        QPoint Offset;
        if (!Widget || !LocateWidget(Widget, Top, Offset))
            return false;
        const std::vector<std::string> Files = LocalFiles(D->mimeData());
        if (Files.empty())
            return false;
        RECT TopRect{};
        GetWindowRect(Top, &TopRect);
        const QPoint Local = D->position().toPoint() + Offset;
        POINT Screen{TopRect.left + Local.x(), TopRect.top + Local.y()};
        HWND Target = DropTarget(Screen);
        if (!Target)
            return false;
        D->setDropAction(Qt::CopyAction);
        D->accept();
        if (T == QEvent::Drop) {
            POINT Client = Screen;
            ScreenToClient(Target, &Client);
            RECT R{};
            GetClientRect(Target, &R);
            HDROP Drop = CreateDropHandle(Files, Client, PtInRect(&R, Client));
            PostMessage(Target, WM_DROPFILES, reinterpret_cast<WPARAM>(Drop), 0);
        }
        return true;
    }
};

void EnsureFilter()
{
    static TDropFilter* Filter = nullptr;
    if (Filter || !QCoreApplication::instance())
        return;
    Filter = new TDropFilter;
    QCoreApplication::instance()->installEventFilter(Filter);
}

} // namespace

void DragAcceptFiles(HWND Wnd, BOOL Accept)
{
    if (!IsWindow(Wnd))
        return;
    const LONG_PTR Ex = GetWindowLong(Wnd, GWL_EXSTYLE);
    const LONG_PTR New = Accept ? (Ex | WS_EX_ACCEPTFILES) : (Ex & ~LONG_PTR(WS_EX_ACCEPTFILES));
    if (New != Ex)
        SetWindowLong(Wnd, GWL_EXSTYLE, New);
    // Forget windows that are gone.
    for (auto It = Accepting().begin(); It != Accepting().end();)
        It = IsWindow(*It) ? std::next(It) : Accepting().erase(It);
    if (Accept) {
        Accepting().insert(Wnd);
        EnsureFilter();
        UpdateHostDrops(Wnd);
    } else {
        Accepting().erase(Wnd);
    }
}

HDROP CreateDropHandle(const std::vector<std::string>& Files, POINT Point, BOOL InClient)
{
    auto* R = new TDropRec;
    R->Files = Files;
    R->Point = Point;
    R->InClient = InClient;
    Drops().insert(R);
    return reinterpret_cast<HDROP>(R);
}

UINT DragQueryFile(HDROP Drop, UINT Index, char* File, UINT Size)
{
    TDropRec* R = DropOf(Drop);
    if (!R)
        return 0;
    if (Index == 0xFFFFFFFFu)
        return static_cast<UINT>(R->Files.size());
    if (Index >= R->Files.size())
        return 0;
    const std::string& Name = R->Files[Index];
    if (!File)
        return static_cast<UINT>(Name.size());
    if (Size == 0)
        return 0;
    const std::size_t N = std::min<std::size_t>(Name.size(), Size - 1);
    std::memcpy(File, Name.data(), N);
    File[N] = '\0';
    return static_cast<UINT>(N);
}

BOOL DragQueryPoint(HDROP Drop, POINT* Point)
{
    TDropRec* R = DropOf(Drop);
    if (!R || !Point)
        return FALSE;
    *Point = R->Point;
    return R->InClient;
}

void DragFinish(HDROP Drop)
{
    TDropRec* R = DropOf(Drop);
    if (!R)
        return;
    Drops().erase(R);
    delete R;
}

bool SimulateFileDrop(HWND Wnd, int X, int Y, const std::vector<std::string>& Files)
{
    if (!IsWindow(Wnd))
        return false;
    const HWND Top = TopOf(Wnd);
    QWidget* Host = WinHostWidget(Top);
    if (!Host)
        return false;
    EnsureFilter();
    // Qt offers a drag only to widgets that accept drops.
    if (!Host->acceptDrops())
        return false;
    POINT Screen{X, Y};
    ClientToScreen(Wnd, &Screen);
    RECT TopRect{};
    GetWindowRect(Top, &TopRect);
    const QPointF Pos(Screen.x - TopRect.left, Screen.y - TopRect.top);
    QMimeData Mime;
    QList<QUrl> Urls;
    for (const std::string& F : Files)
        Urls << QUrl::fromLocalFile(QString::fromStdString(F));
    Mime.setUrls(Urls);
    QDragEnterEvent Enter(Pos.toPoint(), Qt::CopyAction, &Mime, Qt::LeftButton, Qt::NoModifier);
    Enter.setAccepted(false);
    QCoreApplication::sendEvent(Host, &Enter);
    if (!Enter.isAccepted())
        return false;
    QDropEvent Drop(Pos, Qt::CopyAction, &Mime, Qt::LeftButton, Qt::NoModifier);
    Drop.setAccepted(false);
    QCoreApplication::sendEvent(Host, &Drop);
    return Drop.isAccepted();
}
