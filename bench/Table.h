#pragma once

#include <QString>

// One line of the benchmark table, as a Markdown row.
struct TableRow {
    QString what;
    QString figure;
    QString reference;
    QString referenceFigure;
    QString ratio;
    QString goal;
    QString holds;
};

void printRow(const TableRow &row);

// Nanoseconds in the unit that keeps three significant digits readable.
QString formatDuration(double nanoseconds);
QString formatRatio(double ratio);
QString verdict(bool holds);
