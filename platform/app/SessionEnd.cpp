#include "platform/app/SessionEnd.h"

#include "platform/app/Application.h"

#include <QGuiApplication>
#include <QSessionManager>

void ConnectSessionManager()
{
    static bool Connected = false;
    auto* Gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (Connected || !Gui)
        return;
    Connected = true;
    // The application object of the moment answers, so a program that makes a new one (the
    // tests do) is asked, never a freed one.
    QObject::connect(
        Gui, &QGuiApplication::commitDataRequest, Gui,
        [](QSessionManager& Manager) {
            if (!Application)
                return;
            // Questions to the user only once the manager allows them; it may make us wait.
            const bool MayAsk = Manager.allowsInteraction();
            const bool Ends = Application->EndSession(MayAsk);
            if (MayAsk)
                Manager.release();
            if (!Ends)
                Manager.cancel();
        },
        Qt::DirectConnection);
}
