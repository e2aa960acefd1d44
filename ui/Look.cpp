#include "ui/Look.h"

#include "ui/Placement.h"

#include <QWidget>

namespace Look {

void setBoxGrey(QWidget *box)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, BoxGrey);
    palette.setColor(QPalette::Button, BoxGrey);
    box->setPalette(palette);
}

QWidget *ruleLine(QWidget *parent, const QString &name, const QRect &rect, QPalette::ColorRole role,
                  const QColor &colour)
{
    auto *line = place(new QWidget(parent), name, rect.x(), rect.y(), rect.width(), rect.height());
    if (colour.isValid()) {
        QPalette palette = line->palette();
        palette.setColor(role, colour);
        line->setPalette(palette);
    }
    line->setBackgroundRole(role);
    line->setAutoFillBackground(true);
    line->setAttribute(Qt::WA_TransparentForMouseEvents);
    return line;
}

} // namespace Look
