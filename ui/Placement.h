#pragma once

#include <QString>
#include <QWidget>

// Names a control as the design does (tests find it by that name) and puts it
// at its designed place in pixels.
template <class W>
W *place(W *widget, const QString &name, int left, int top, int width, int height)
{
    widget->setObjectName(name);
    widget->setGeometry(left, top, width, height);
    return widget;
}
