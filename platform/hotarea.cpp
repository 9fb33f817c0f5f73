#include "platform/hotarea.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <cmath>

HotArea::HotArea(const char* name, const QRect& place, const QString& hint, QWidget* parent)
    : QAbstractButton(parent) {
    setObjectName(QString::fromLatin1(name));
    setGeometry(place);
    setToolTip(hint);
    setCursor(Qt::PointingHandCursor);
    // Tab only: a click leaves the focus where it was (in the list, say).
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(hint);
    setAttribute(Qt::WA_Hover);
}

bool HotArea::event(QEvent* event) {
    // Enter runs the focused button rather than the window's Enter command.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            event->accept();
            return true;
        }
    }
    return QAbstractButton::event(event);
}

void HotArea::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);  // Space
}

void HotArea::paintEvent(QPaintEvent*) {
    const bool focusShown = hasFocus();
    if (!underMouse() && !isDown() && !focusShown) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (focusShown) {
        painter.setPen(QPen(QColor(255, 255, 255), 2, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
        if (!underMouse() && !isDown()) {
            return;
        }
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(isDown() ? QColor(0, 0, 0, 40) : QColor(255, 255, 255, 60));
    painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 6, 6);
}

QLabel* faceWindow(QWidget* window, const QImage& picture, const QSize& size,
                   const QColor& background, const char* pictureName) {
    window->setWindowFlag(Qt::FramelessWindowHint);
    window->setFixedSize(size);
    QPalette colours = window->palette();
    colours.setColor(QPalette::Window, background);
    window->setPalette(colours);
    window->setAutoFillBackground(true);
    auto* image = new QLabel(window);
    image->setObjectName(QString::fromLatin1(pictureName));
    image->setPixmap(QPixmap::fromImage(picture));
    image->setGeometry(QRect(QPoint(0, 0), size));
    return image;
}

ClickableLabel::ClickableLabel(const char* name, const QRect& place, QWidget* parent)
    : QLabel(parent) {
    setObjectName(QString::fromLatin1(name));
    setGeometry(place);
}

void ClickableLabel::keepClear(const QRect& area) {
    keepClear_ = area;
    update();
}

void ClickableLabel::layOut(QTextDocument& document) const {
    // The text as the label lays it out, after an invisible picture floated right that
    // covers the area to keep clear.
    static const QString kClearPixel = QStringLiteral(
        "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAAC0lEQVR4nGNg"
        "AAIAAAUAAXpeqz8AAAAASUVORK5CYII=");
    document.setDocumentMargin(0);
    document.setTextWidth(width());
    QString body = text().toHtmlEscaped();
    body.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
    if (!keepClear_.isEmpty()) {
        body = QStringLiteral(
                   "<img src=\"%1\" width=\"%2\" height=\"%3\" "
                   "style=\"float: right\">%4")
                   .arg(kClearPixel)
                   .arg(width() - keepClear_.left())
                   .arg(keepClear_.bottom() + 1)
                   .arg(body);
    }
    QFont letters = font();
    document.setDefaultFont(letters);
    document.setHtml(body);
    while (shrinkToFit_ && document.size().height() > height() && letters.pixelSize() > 9) {
        letters.setPixelSize(letters.pixelSize() - 1);
        document.setDefaultFont(letters);
        document.setHtml(body);
    }
}

int ClickableLabel::textHeight() const {
    QTextDocument document;
    layOut(document);
    return static_cast<int>(std::ceil(document.size().height()));
}

void ClickableLabel::paintEvent(QPaintEvent* event) {
    if (keepClear_.isEmpty() && !shrinkToFit_) {
        QLabel::paintEvent(event);
        return;
    }
    QTextDocument document;
    layOut(document);
    QPainter painter(this);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, palette().color(QPalette::WindowText));
    context.clip = QRectF(rect());
    painter.setClipRect(rect());
    document.documentLayout()->draw(&painter, context);
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
