#include "ui/ModalCloseGuard.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

bool ModalCloseGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Close || !watched->isWidgetType())
        return false;
    const QWidget *modal = QApplication::activeModalWidget();
    const auto *window = static_cast<QWidget *>(watched);
    if (!modal || !window->isWindow())
        return false;
    for (const QWidget *owner = window; owner; owner = owner->parentWidget()) {
        if (owner == modal)
            return false;
    }
    event->ignore();
    return true;
}
