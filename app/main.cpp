#include "about/KorvuIcon.h"
#include "about/KorvuVersion.h"
#include "app/KorvuApp.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setOrganizationName(QStringLiteral("Korvu"));
    QApplication::setApplicationName(QStringLiteral("Korvu"));
    QApplication::setApplicationVersion(QLatin1String(KorvuVersion));
    // Ties the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.korvu.Korvu"));
    QApplication::setWindowIcon(korvuIcon());

    KorvuApp korvu;
    korvu.start();
    return application.exec();
}
