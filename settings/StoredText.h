#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// How stored and typed texts become numbers. Every reading accepts surrounding
// blanks, a sign, a decimal fraction and an exponent, in the C locale.

// A finite decimal number, or nothing.
std::optional<double> ReadNumber(const QString &text);

// A 16-bit whole number: fractions round to the nearest integer, a value exactly
// halfway going to the even neighbour ("7.5" is 8, "6.5" is 6). Nothing when the
// text is not a number or the rounded value leaves -32768..32767.
std::optional<qint16> ReadInt16(const QString &text);

// A cell size the board can use, read as ReadInt16 reads: nothing for a text
// that gives no number from StoreLimits::MinCellSize to MaxCellSize.
std::optional<qint16> ReadCellSize(const QString &text);

// The "Played" marker: "True"/"False" in any case, or a number (non-zero is
// true). Anything else counts as true, so that a damaged store is never taken
// for a first start that would wipe the score table.
bool ReadPlayed(const QString &text);

// A stored score; text that is not a number counts as 0.
double ReadScore(const QString &text);
