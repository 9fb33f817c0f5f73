#include "app/listviewportevents.h"

#include <QEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

ListViewportEvents::ListViewportEvents(QWidget& viewport, Handlers handlers)
    : QObject(&viewport), handlers_(std::move(handlers)) {
    viewport.installEventFilter(this);
}

bool ListViewportEvents::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Resize:
            handlers_.resized();
            break;
        case QEvent::MouseMove:
            handlers_.pointerAt(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            break;
        case QEvent::Leave:
            handlers_.pointerLeft();
            break;
        case QEvent::Wheel:
            handlers_.pointerLeft();
            handlers_.wheel(static_cast<QWheelEvent*>(event));
            return true;
        case QEvent::ToolTip:
            if (handlers_.hint(static_cast<QHelpEvent*>(event))) {
                return true;
            }
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}
