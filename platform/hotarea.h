#pragma once

#include <QAbstractButton>
#include <QLabel>

// A transparent button lying over a button drawn in a window's picture: it has a hint,
// a hand cursor and a light sheen under the pointer, and nothing else of its own look.
// The keyboard reaches it too: Tab gives it the focus (a ring shows it), Space or
// Enter runs it, and screen readers name it by its hint.
class HotArea : public QAbstractButton {
    Q_OBJECT

public:
    HotArea(const char* name, const QRect& place, const QString& hint, QWidget* parent);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// Faces a borderless window of a fixed size with its picture: the background colour
// under it, and the picture as a label (named pictureName) filling the window.
QLabel* faceWindow(QWidget* window, const QImage& picture, const QSize& size,
                   const QColor& background, const char* pictureName = "Image1");

// A label that reports a click: a press and a release of the left button on it.
class ClickableLabel : public QLabel {
    Q_OBJECT

public:
    ClickableLabel(const char* name, const QRect& place, QWidget* parent);
    // Word-wrapped text flows around this rectangle (the label's coordinates, reaching
    // its right edge), where the window's picture draws buttons over the label.
    void keepClear(const QRect& area);
    // A text too long for the label is set in smaller letters (down to 9 pixels)
    // instead of being cut.
    void setShrinkToFit(bool shrink) { shrinkToFit_ = shrink; }
    // The height of the text as the label paints it (with keepClear or shrinking).
    int textHeight() const;

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void layOut(class QTextDocument& document) const;

    bool pressed_ = false;
    QRect keepClear_;
    bool shrinkToFit_ = false;
};
