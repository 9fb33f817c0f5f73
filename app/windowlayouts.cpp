#include "app/windowlayouts.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "app/artwork/windowgeometry.h"
#include "platform/hotarea.h"

void WindowLayouts::show(bool list) {
    for (QWidget* w : listOnly_) {
        w->setVisible(list);
    }
    for (QWidget* w : emptyOnly_) {
        w->setVisible(!list);
    }
    const QSize size = list ? geometry::kListLayout : geometry::kEmptyLayout;
    window_.setFixedSize(size);
    keepOnScreen(window_);
    const QRect window(QPoint(0, 0), size);
    for (HotArea* area : window_.findChildren<HotArea*>()) {
        const bool covered = list && area->geometry().intersects(geometry::banner);
        const bool reachable = window.contains(area->geometry()) && !covered;
        area->setFocusPolicy(reachable ? Qt::TabFocus : Qt::NoFocus);
    }
}

void keepOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return;
    }
    // The layouts grow down and to the left of each other.
    const QRect area = screen->availableGeometry();
    const QRect frame = window.frameGeometry();
    const int x = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
    const int y = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
    if (x != frame.left() || y != frame.top()) {
        window.move(window.pos() + QPoint(x - frame.left(), y - frame.top()));
    }
}
