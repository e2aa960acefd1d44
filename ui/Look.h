#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

class QRect;
class QWidget;

// What every window shares in its look: the title of the message boxes, the
// light grey of the input boxes, and the etched rules drawn as strips of colour.
namespace Look {

inline const QString Title = QStringLiteral("Korvu");
inline const QColor BoxGrey = QColor(224, 224, 224);

// Sets one colour of a widget's palette and keeps the others.
void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour);

// Gives a text box or a list its designed grey face.
void setBoxGrey(QWidget *box);

// One line of an etched rule: a strip filled with the colour of `role`, set to
// `colour` when one is given. Clicks go through it.
QWidget *ruleLine(QWidget *parent, const QString &name, const QRect &rect, QPalette::ColorRole role,
                  const QColor &colour = {});

} // namespace Look
