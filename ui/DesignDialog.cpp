#include "ui/DesignDialog.h"

#include <QKeyEvent>

DesignDialog::DesignDialog(QWidget *parent, Qt::WindowFlags flags) : QDialog(parent, flags) { }

void DesignDialog::setClientSize(int width, int height)
{
    setFixedSize(width, height);
}

void DesignDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier
        && !m_escapeCloses) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
