#include <QApplication>
#include <QWidget>

// The yardstick for the game's start-up time and memory: a Qt Widgets program
// that opens one empty window and does nothing else.
int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Korvu Bare Window"));
    window.resize(269, 96);
    window.show();
    return application.exec();
}
