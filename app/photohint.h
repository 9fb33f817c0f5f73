#pragma once

#include <QFrame>
#include <QHash>
#include <QImage>
#include <QRect>
#include <QSet>

class QLabel;

// The hint of the order list's File cell: the photo's whole name (and what the cell's
// hint adds) with a small picture of the photo, decoded at a small DCT scale on the
// program's thread pool and kept for the run, so the list never waits for it. It stays
// while the pointer rests on the cell; the list hides it when the pointer leaves the
// cell or the list scrolls. User-interface thread only.
class PhotoHint : public QFrame {
    Q_OBJECT

public:
    explicit PhotoHint(QWidget* owner);

    // Shows the hint at the pointer for the photo whose cell lies at `cell` (screen
    // coordinates); its picture comes when decoded.
    void showFor(const QString& path, const QString& text, const QPoint& at, const QRect& cell);
    // Hides the hint when the pointer is no longer over its cell.
    void follow(const QPoint& pointer);
    // The picture made for a photo, once decoded; null before or when it cannot be.
    QImage thumbnail(const QString& path) const { return made_.value(path); }

Q_SIGNALS:
    // A photo's picture was decoded (or failed: a null image).
    void thumbnailReady(const QString& path);

private:
    void arrived(const QString& path, const QImage& picture);
    void showPicture();

    QLabel* picture_ = nullptr;
    QLabel* text_ = nullptr;
    QString shown_;
    QRect cell_;
    QHash<QString, QImage> made_;
    QSet<QString> asked_;
};
