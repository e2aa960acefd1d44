#include "about/KorvuIcon.h"
#include "app/KorvuApp.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setOrganizationName(QStringLiteral("Korvu"));
    QApplication::setApplicationName(QStringLiteral("Korvu"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    // Ties the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.korvu.Korvu"));
    QApplication::setWindowIcon(korvuIcon());

    KorvuApp korvu;
    korvu.start();
    return application.exec();
}
