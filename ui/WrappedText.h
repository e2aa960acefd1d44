#pragma once

#include <QString>

class QLabel;

// Gives a two-line, word-wrapped label its text so that both lines fit its
// designed height whatever face stands in for the designed one. Call it after
// the label has its geometry and font. The plain text becomes its accessible name.
void setWrappedText(QLabel *label, const QString &text);
