#include "ui/Look.h"

#include "ui/Placement.h"

#include <QWidget>

namespace Look {

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

void setBoxGrey(QWidget *box)
{
    setColour(box, QPalette::Base, BoxGrey);
    setColour(box, QPalette::Button, BoxGrey);
}

QWidget *ruleLine(QWidget *parent, const QString &name, const QRect &rect, QPalette::ColorRole role,
                  const QColor &colour)
{
    auto *line = place(new QWidget(parent), name, rect.x(), rect.y(), rect.width(), rect.height());
    if (colour.isValid())
        setColour(line, role, colour);
    line->setBackgroundRole(role);
    line->setAutoFillBackground(true);
    line->setAttribute(Qt::WA_TransparentForMouseEvents);
    return line;
}

} // namespace Look
