#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

// Sends a mouse event to a widget as the window system would, with a global position.
inline void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &global,
                      Qt::MouseButton button, Qt::MouseButtons buttons)
{
    const QPointF local = widget->mapFromGlobal(global);
    QMouseEvent event(type, local, local, global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}
