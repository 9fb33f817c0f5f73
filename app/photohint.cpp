#include "app/photohint.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QThreadPool>
#include <QToolTip>
#include <QVBoxLayout>

#include "app/log.h"
#include "images/prepare.h"
#include "images/thumbnail.h"

namespace {

// The picture's longer side in the hint.
constexpr int kSide = 160;
// Pictures kept for the run: enough for a long order at 50 KB each.
constexpr int kKept = 2000;

QImage decoded(const QString& path) {
    try {
        const images::Picture24 small = images::thumbnailOf(path, kSide);
        const QImage picture(reinterpret_cast<const uchar*>(small.bytes.constData()), small.width,
                             small.height, small.stride, QImage::Format_BGR888);
        return picture.scaled(kSide, kSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    } catch (const std::exception& e) {
        qCDebug(lcApp) << "no thumbnail of" << path << ":" << e.what();
        return {};
    }
}

}  // namespace

PhotoHint::PhotoHint(QWidget* owner) : QFrame(owner, Qt::ToolTip) {
    setObjectName(QStringLiteral("PhotoHint"));
    setFrameShape(QFrame::Box);
    setPalette(QToolTip::palette());
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("picture"));
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setMinimumSize(kSide, kSide * 2 / 3);
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("text"));
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    text_->setMaximumWidth(420);
    layout->addWidget(picture_);
    layout->addWidget(text_);
}

void PhotoHint::showFor(const QString& path, const QString& text, const QPoint& at,
                        const QRect& cell) {
    shown_ = path;
    cell_ = cell;
    text_->setText(text);
    showPicture();
    if (!made_.contains(path) && !asked_.contains(path)) {
        asked_.insert(path);
        QPointer<PhotoHint> self(this);
        QThreadPool::globalInstance()->start([self, path] {
            const QImage picture = decoded(path);
            QMetaObject::invokeMethod(
                qApp,
                [self, path, picture] {
                    if (self) {
                        self->arrived(path, picture);
                    }
                },
                Qt::QueuedConnection);
        });
    }
    adjustSize();
    QPoint place = at + QPoint(12, 16);
    if (const QScreen* screen = QGuiApplication::screenAt(at)) {
        const QRect free = screen->availableGeometry();
        place.setX(std::min(place.x(), free.right() - width()));
        if (place.y() + height() > free.bottom()) {
            place.setY(at.y() - height() - 8);
        }
    }
    move(place);
    show();
}

void PhotoHint::follow(const QPoint& pointer) {
    if (isVisible() && !cell_.contains(pointer)) {
        hide();
    }
}

void PhotoHint::arrived(const QString& path, const QImage& picture) {
    asked_.remove(path);
    if (made_.size() >= kKept) {
        made_.clear();
    }
    made_.insert(path, picture);
    if (path == shown_ && isVisible()) {
        showPicture();
        adjustSize();
    }
    Q_EMIT thumbnailReady(path);
}

void PhotoHint::showPicture() {
    const QImage picture = made_.value(shown_);
    picture_->setPixmap(picture.isNull() ? QPixmap() : QPixmap::fromImage(picture));
    picture_->setVisible(!picture.isNull() || asked_.contains(shown_));
}
