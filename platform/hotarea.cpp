#include "platform/hotarea.h"

#include <QMouseEvent>
#include <QPainter>

HotArea::HotArea(const char* name, const QRect& place, const QString& hint, QWidget* parent)
    : QAbstractButton(parent) {
    setObjectName(QString::fromLatin1(name));
    setGeometry(place);
    setToolTip(hint);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

void HotArea::paintEvent(QPaintEvent*) {
    if (!underMouse() && !isDown()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(isDown() ? QColor(0, 0, 0, 40) : QColor(255, 255, 255, 60));
    painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 6, 6);
}

ClickableLabel::ClickableLabel(const char* name, const QRect& place, QWidget* parent)
    : QLabel(parent) {
    setObjectName(QString::fromLatin1(name));
    setGeometry(place);
}

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) {
        Q_EMIT clicked();
    }
}
