#include "about/KorvuIcon.h"
#include "about/KorvuVersion.h"
#include "app/KorvuApp.h"
#include "app/ScaleFactor.h"
#include "game/Clock.h"
#include "game/RandomSource.h"
#include "highscores/frmInput.h"
#include "settings/IniStore.h"
#include "settings/WriteFailureNotice.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QDateTime>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    for (const QString &notice : dropSenselessScaleFactors())
        std::fprintf(stderr, "%s\n", qPrintable(notice));
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setOrganizationName(QStringLiteral("Korvu"));
    QApplication::setApplicationName(QStringLiteral("Korvu"));
    QApplication::setApplicationVersion(QLatin1String(KorvuVersion));
    // Ties the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.korvu.Korvu"));
    QApplication::setWindowIcon(korvuIcon());

    int code = 0;
    {
        QtMessageBoxes messages;
        IniStore store;
        reportWriteFailures(store, messages);
        MixingRandom random(quint64(QDateTime::currentMSecsSinceEpoch()));
        SystemClock clock;
        DialogNamePrompt names;
        KorvuApp korvu(AppServices{store, messages, names, random, clock});
        korvu.start();
        code = application.exec();
    }
    // Qt 6.4's Wayland plugin can wait for ever for its event thread as the
    // application is torn down. Every window is closed and every setting saved
    // by now, so the process ends here instead.
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
