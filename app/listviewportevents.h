#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

class QHelpEvent;
class QWheelEvent;
class QWidget;

// What the order list's viewport does beyond a table's own: its width spread over the
// columns when it changes, the photo hint following the pointer and gone when it
// leaves, the wheel moving the cursor, and the cells' own hints. Installed on that one
// viewport, so the rest of the window never passes through it. User-interface thread.
class ListViewportEvents : public QObject {
    Q_OBJECT

public:
    struct Handlers {
        std::function<void()> resized;
        std::function<void(QPoint global)> pointerAt;
        std::function<void()> pointerLeft;
        std::function<void(QWheelEvent*)> wheel;
        // True when it showed a hint (the event is then taken).
        std::function<bool(QHelpEvent*)> hint;
    };

    ListViewportEvents(QWidget& viewport, Handlers handlers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handlers handlers_;
};
