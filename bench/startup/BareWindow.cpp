// The yardstick for start-up figures: a plain Qt main window with a menu bar and nothing else.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int Argc, char** Argv)
{
    QApplication App(Argc, Argv);
    QMainWindow Window;
    Window.setWindowTitle("Bare window");
    for (const char* Title : {"&File", "&Edit", "&View", "&Help"}) {
        QMenu* Menu = Window.menuBar()->addMenu(Title);
        Menu->addAction("&New");
        Menu->addAction("&Open...");
        Menu->addSeparator();
        Menu->addAction("E&xit", &App, &QApplication::quit);
    }
    Window.resize(800, 600);
    Window.show();
    return App.exec();
}
