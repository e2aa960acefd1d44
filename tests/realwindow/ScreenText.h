#pragma once

#include <QImage>
#include <QString>

// The text as this toolkit draws it in a label, cut down to its ink. The program
// draws its dialog text with the same fonts on the same machine, so a picture
// of its window can be searched for it.
QImage renderedText(const QString &text);

// Whether the glyphs appear somewhere in the shot; a small tolerance absorbs
// differences in how the two platforms blend the edges of letters.
bool containsText(const QImage &shot, const QImage &glyphs);
