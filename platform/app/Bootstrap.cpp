#include "platform/app/Bootstrap.h"

#include <QApplication>
#include <QMainWindow>

int RunBootstrapWindow(int argc, char** argv, const std::string& Caption)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QString::fromStdString(Caption));
    window.resize(800, 600);
    window.show();
    return app.exec();
}
