#include "bench/Table.h"

#include <cstdio>

void printRow(const TableRow &row)
{
    const QString line = QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | %7 |\n")
                                 .arg(row.what, row.figure, row.reference, row.referenceFigure,
                                      row.ratio, row.goal, row.holds);
    std::fputs(line.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

QString formatDuration(double nanoseconds)
{
    if (nanoseconds < 1e3)
        return QStringLiteral("%1 ns").arg(nanoseconds, 0, 'f', 1);
    if (nanoseconds < 1e6)
        return QStringLiteral("%1 µs").arg(nanoseconds / 1e3, 0, 'f', 2);
    return QStringLiteral("%1 ms").arg(nanoseconds / 1e6, 0, 'f', 3);
}

QString formatRatio(double ratio)
{
    return QStringLiteral("%1×").arg(ratio, 0, 'f', ratio < 0.1 ? 4 : 2);
}

QString verdict(bool holds)
{
    return holds ? QStringLiteral("yes") : QStringLiteral("**no**");
}
