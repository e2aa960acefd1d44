#include <QApplication>
#include <QLabel>
#include <QWidget>

// The yardsticks for the game's start-up time and memory: a Qt Widgets program
// that opens one empty window and does nothing else, or with "label" one
// window showing one line of text, which is what loading a font costs.
int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Korvu Bare Window"));
    window.resize(269, 96);
    if (argc > 1 && qstrcmp(argv[1], "label") == 0)
        (new QLabel(QStringLiteral("Yakinlik: (Normali=7)"), &window))->move(8, 8);
    window.show();
    return application.exec();
}
