#include "app/artwork/painting.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <vector>

#include "app/artwork/windowgeometry.h"
#include "images/viewergeometry.h"
#include "service/sessiongeometry.h"
#include "upload/progressgeometry.h"

namespace artwork {

namespace {

// The lab's colours: the window's light paper, a deep blue for lettering and panels,
// the list titles' green and blue, and a warm orange for what leads on.
const QColor kPaper(239, 243, 239);
const QColor kInk(20, 72, 120);
const QColor kPanel(18, 98, 140);
const QColor kGreen(57, 150, 57);
const QColor kBlue(99, 130, 206);
const QColor kOrange(236, 128, 32);
const QColor kRed(196, 52, 44);
const QColor kMuted(96, 108, 118);
const QColor kYellow(250, 208, 64);
// Under the usage hint: its blue lettering (RGB 0, 147, 221) reads at 5:1 on it.
const QColor kNight(12, 28, 44);

const QString kName = QStringLiteral("КОРВЕЛЛА");
const QString kTagline = QStringLiteral("фотолаборатория · печать фотографий");
const QString kContactLine = QStringLiteral(
    "Фотолаборатория «КОРВЕЛЛА» · заказы на сайте круглосуточно · тел. 8 800 000-00-00");
const QString kPaperLine =
    QStringLiteral("Печатаем на профессиональной фотобумаге: матовой и глянцевой");

QFont lettering(int pixelSize, bool bold = true) {
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// The largest font up to pixelSize whose single line of text fits the box.
QFont fitted(const QString& text, const QSize& box, int pixelSize, bool bold = true) {
    QFont font = lettering(pixelSize, bold);
    for (int size = pixelSize; size > 6; --size) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        if (metrics.horizontalAdvance(text) <= box.width() && metrics.height() <= box.height()) {
            break;
        }
    }
    return font;
}

void centredText(QPainter& p, const QRect& box, const QString& text, const QColor& colour,
                 int pixelSize, bool bold = true) {
    p.setFont(fitted(text, box.size(), pixelSize, bold));
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
}

void leftText(QPainter& p, const QRect& box, const QString& text, const QColor& colour,
              int pixelSize, bool bold = false) {
    p.setFont(fitted(text, box.size(), pixelSize, bold));
    p.setPen(colour);
    p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
}

QLinearGradient vertical(const QRectF& r, const QColor& colour) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, colour.lighter(125));
    g.setColorAt(1.0, colour.darker(110));
    return g;
}

struct Button {
    QRect area;
    QString caption;
    QColor colour;
};

QRect captionBox(const QRect& area) {
    return area.adjusted(6, 2, -6, -2);
}

// A raised button with its caption, filling the hot area less a pixel all round (the
// list layout's hot areas touch each other).
void button(QPainter& p, const Button& b, const QFont& font) {
    const QRect& area = b.area;
    const QColor& colour = b.colour;
    const QRectF r = QRectF(area).adjusted(1.5, 1.5, -1.5, -1.5);
    p.setPen(QPen(colour.darker(135), 1));
    p.setBrush(vertical(r, colour));
    p.drawRoundedRect(r, 6, 6);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 5, 5);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(captionBox(area), Qt::AlignCenter, b.caption);
}

// A group of buttons whose captions share one size, the largest up to pixelSize at which
// every caption fits its button.
void buttons(QPainter& p, const std::vector<Button>& group, int pixelSize) {
    int size = pixelSize;
    for (const Button& b : group) {
        size = std::min(size, fitted(b.caption, captionBox(b.area).size(), pixelSize).pixelSize());
    }
    for (const Button& b : group) {
        button(p, b, lettering(size));
    }
}

enum class Glyph { Help, Close, Info, Arrow };

// A round button ("?", "X", "i", an arrow) inside the hot area.
void roundButton(QPainter& p, const QRect& area, Glyph glyph, const QColor& colour) {
    const int side = std::min(area.width(), area.height()) - 3;
    QRectF r(0, 0, side, side);
    r.moveCenter(QRectF(area).center());
    p.setPen(QPen(colour.darker(140), 1));
    p.setBrush(vertical(r, colour));
    p.drawEllipse(r);
    const QRectF inner = r.adjusted(side * 0.3, side * 0.3, -side * 0.3, -side * 0.3);
    switch (glyph) {
        case Glyph::Close:
            p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(inner.topLeft(), inner.bottomRight());
            p.drawLine(inner.topRight(), inner.bottomLeft());
            break;
        case Glyph::Arrow: {
            p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            const QPointF tip(inner.right(), inner.center().y());
            p.drawLine(QPointF(inner.left(), inner.center().y()), tip);
            p.drawLine(tip, QPointF(inner.center().x(), inner.top()));
            p.drawLine(tip, QPointF(inner.center().x(), inner.bottom()));
            break;
        }
        case Glyph::Help:
        case Glyph::Info:
            p.setFont(lettering(static_cast<int>(side * 0.62)));
            p.setPen(Qt::white);
            p.drawText(r, Qt::AlignCenter,
                       glyph == Glyph::Help ? QStringLiteral("?") : QStringLiteral("i"));
            break;
    }
}

// The lab's mark: a lens.
void lens(QPainter& p, const QRectF& r) {
    p.setPen(Qt::NoPen);
    p.setBrush(kOrange);
    p.drawEllipse(r);
    const QRectF glass =
        r.adjusted(r.width() * 0.18, r.height() * 0.18, -r.width() * 0.18, -r.height() * 0.18);
    QRadialGradient shine(glass.center() - QPointF(glass.width() * 0.2, glass.height() * 0.2),
                          glass.width() * 0.7);
    shine.setColorAt(0.0, kBlue.lighter(130));
    shine.setColorAt(1.0, kInk);
    p.setBrush(shine);
    p.drawEllipse(glass);
    p.setBrush(QColor(255, 255, 255, 200));
    const qreal spot = glass.width() * 0.22;
    p.drawEllipse(QRectF(glass.left() + glass.width() * 0.22, glass.top() + glass.height() * 0.2,
                         spot, spot));
}

void panel(QPainter& p, const QRectF& r, const QColor& fill, const QColor& border, qreal radius) {
    p.setPen(QPen(border, 1));
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius);
}

void background(QPainter& p, const QSize& size) {
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0.0, kPaper);
    g.setColorAt(1.0, kPaper.darker(104));
    p.fillRect(QRect(QPoint(0, 0), size), g);
}

QImage canvas(const QSize& size, qreal ratio) {
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(kPaper);
    return image;
}

void prepare(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
}

}  // namespace

QImage paintEmptyLayout(qreal ratio) {
    using namespace geometry;
    QImage image = canvas(kEmptyPicture, ratio);
    QPainter p(&image);
    prepare(p);
    background(p, kEmptyPicture);

    // The title band: the lab's mark and name; the window is dragged by it.
    const QRect band(0, 0, kEmptyPicture.width(), 46);
    QLinearGradient bandFill(0, 0, kEmptyPicture.width(), 0);
    bandFill.setColorAt(0.0, kPanel);
    bandFill.setColorAt(1.0, kBlue);
    p.fillRect(band, bandFill);
    lens(p, QRectF(66, 7, 32, 32));
    leftText(p, QRect(108, 4, 200, 26), kName, Qt::white, 24, true);
    leftText(p, QRect(108, 28, 260, 15), kTagline, QColor(225, 236, 246), 12);
    roundButton(p, JvTransparentButton7, Glyph::Help, kBlue.darker(115));
    roundButton(p, JvTransparentButton6, Glyph::Close, kRed);

    // The column of large buttons on a white card, with a tab for the list layout's "i"
    // (it works here too: the next information text).
    panel(p, QRectF(kInfoTab), Qt::white, QColor(208, 216, 222), 10);
    panel(p, QRectF(56, 56, 222, 366), Qt::white, QColor(208, 216, 222), 10);
    p.fillRect(QRectF(50, kInfoTab.top() + 1, 12, kInfoTab.height() - 2), Qt::white);
    buttons(p,
            {{JvTransparentButton8, QStringLiteral("ВЫБРАТЬ ФАЙЛЫ"), kGreen},
             {JvTransparentButton10, QStringLiteral("СТАРЫЕ ЗАГРУЗКИ"), kBlue},
             {JvTransparentButton9, QStringLiteral("ПОДСКАЗКИ"), kBlue},
             {JvTransparentButton11, QStringLiteral("ВЫХОД"), kRed}},
            17);
    leftText(p, QRect(66, 112, 190, 16), QStringLiteral("или перетащите их на окно"), kMuted, 12);
    leftText(p, QRect(66, 224, 190, 16), QStringLiteral("и их страницы на сайте"), kMuted, 12);
    leftText(p, QRect(66, 312, 190, 16), QStringLiteral("клавиши и советы"), kMuted, 12);

    // The information panel under Label3, with its "i" button and heading.
    roundButton(p, JvTransparentButton12, Glyph::Info, kOrange);
    leftText(p, QRect(514, 82, 200, 20), QStringLiteral("ПОЛЕЗНО ЗНАТЬ"), kInk, 17, true);
    leftText(p, QRect(514, 103, 215, 16), QStringLiteral("нажмите «i», чтобы узнать больше"),
             kMuted, 12);
    QLinearGradient info(Label3.topLeft(), Label3.bottomLeft());
    info.setColorAt(0.0, kPanel);
    info.setColorAt(1.0, kInk);
    p.setPen(Qt::NoPen);
    p.setBrush(info);
    p.drawRoundedRect(QRectF(Label3).adjusted(-10, -10, 10, 10), 10, 10);
    // The list layout's "i", "?" and "X" work here too (they are never switched): drawn
    // where they are, the "i" on the card's tab, the other two in the panel's corner
    // under a title of its own; the panel's text flows round the corner.
    QLinearGradient corner(kPanelCorner.topLeft(), kPanelCorner.bottomLeft());
    corner.setColorAt(0.0, kBlue);
    corner.setColorAt(1.0, kPanel);
    p.setBrush(corner);
    p.drawRoundedRect(QRectF(kPanelCorner), 10, 10);
    centredText(p, QRect(kPanelCorner.left(), btnHelp.top() - 44, kPanelCorner.width(), 16),
                QStringLiteral("СПРАВКА"), Qt::white, 12, true);
    centredText(p, QRect(kPanelCorner.left(), btnHelp.top() - 26, kPanelCorner.width(), 16),
                QStringLiteral("и выход"), QColor(225, 236, 246), 11, false);
    roundButton(p, btnInfo, Glyph::Info, kOrange);
    roundButton(p, btnHelp, Glyph::Help, kBlue);
    roundButton(p, btnClose, Glyph::Close, kRed);

    // Contact and paper lines.
    centredText(p, QRect(280, 422, 440, 14), kContactLine, kMuted, 11, false);
    centredText(p, QRect(290, 52, 430, 16), kPaperLine, kInk, 12, false);
    return image;
}

QImage paintListLayout(qreal ratio) {
    using namespace geometry;
    QImage image = canvas(kListPicture, ratio);
    QPainter p(&image);
    prepare(p);
    background(p, kListPicture);

    // What lies under the banner: shown while no banner has been loaded.
    QLinearGradient bannerFill(banner.topLeft(), banner.bottomRight());
    bannerFill.setColorAt(0.0, kPanel);
    bannerFill.setColorAt(1.0, kBlue);
    p.setPen(Qt::NoPen);
    p.setBrush(bannerFill);
    p.drawRoundedRect(QRectF(banner), 10, 10);
    lens(p, QRectF(banner.left() + 40, banner.top() + 55, 100, 100));
    leftText(p, QRect(banner.left() + 170, banner.top() + 58, 440, 56), kName, Qt::white, 52, true);
    leftText(p, QRect(banner.left() + 172, banner.top() + 118, 440, 24),
             QStringLiteral("печать фотографий — быстро и бережно"), QColor(225, 236, 246), 20);

    // The row under the banner: information, the lab's name, help and close.
    roundButton(p, btnInfo, Glyph::Info, kOrange);
    leftText(p, QRect(60, 222, 180, 28), kName, kInk, 22, true);
    leftText(p, QRect(226, 226, 360, 22), kTagline, kMuted, 13);
    roundButton(p, btnHelp, Glyph::Help, kBlue);
    roundButton(p, btnClose, Glyph::Close, kRed);

    // The list's frame and heading.
    leftText(p, QRect(DBGrid1.left(), 260, 300, 20), QStringLiteral("ФАЙЛЫ ЗАКАЗА"), kInk, 14,
             true);
    p.setPen(QPen(QColor(170, 182, 192), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(DBGrid1).adjusted(-1.5, -1.5, 1.5, 1.5));

    // The usage hint's card.
    panel(p, QRectF(Label2).adjusted(-6, -6, 6, 3), kNight, kBlue, 8);

    // The "ЗАГРУЖЕНО ФАЙЛОВ" box; Label1 shows the count on its lower half.
    const QRectF box(kCountBox);
    panel(p, box, Qt::white, kInk, 8);
    QPainterPath head;
    head.addRoundedRect(box.adjusted(0.5, 0.5, -0.5, 0), 8, 8);
    QPainterPath upper;
    upper.addRect(QRectF(box.left(), box.top(), box.width(), Label1.top() - box.top()));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPath(head.intersected(upper));
    centredText(p,
                QRect(static_cast<int>(box.left()) + 4, 447, static_cast<int>(box.width()) - 8, 22),
                QStringLiteral("ЗАГРУЖЕНО ФАЙЛОВ"), Qt::white, 14);

    // Contact and paper lines under the list.
    lens(p, QRectF(DBGrid1.left(), 512, 34, 34));
    leftText(p, QRect(DBGrid1.left() + 44, 510, 600, 18), kPaperLine, kInk, 13, true);
    leftText(p, QRect(DBGrid1.left() + 44, 530, 600, 16), kContactLine, kMuted, 12);

    // The row of command buttons.
    buttons(p,
            {{JvTransparentButton1, QStringLiteral("ВЫБРАТЬ ФАЙЛЫ"), kGreen},
             {JvTransparentButton2, QStringLiteral("ВЫДЕЛИТЬ ВСЕ"), kBlue},
             {JvTransparentButton4, QStringLiteral("ОБНОВИТЬ ФОРМАТЫ"), kBlue},
             {JvTransparentButton5, QStringLiteral("СТАРЫЕ ЗАГРУЗКИ"), kBlue},
             {JvTransparentButton3, QStringLiteral("ОТПРАВИТЬ"), kOrange}},
            14);
    return image;
}

QImage paintHelpWindow(qreal ratio) {
    using namespace geometry;
    QImage image = canvas(kHelpWindow, ratio);
    QPainter p(&image);
    prepare(p);
    background(p, kHelpWindow);
    QLinearGradient bandFill(0, 0, kHelpWindow.width(), 0);
    bandFill.setColorAt(0.0, kPanel);
    bandFill.setColorAt(1.0, kBlue);
    p.fillRect(QRect(0, 0, kHelpWindow.width(), 56), bandFill);
    lens(p, QRectF(22, 13, 30, 30));
    leftText(p, QRect(62, 12, 280, 32), QStringLiteral("Информация"), Qt::white, 24, true);
    roundButton(p, helpCloseButton, Glyph::Close, kRed);
    p.setPen(QPen(kBlue.lighter(130), 1));
    p.drawLine(QPointF(JvLinkLabel1.left(), JvLinkLabel1.top() - 4.5),
               QPointF(JvLinkLabel2.right(), JvLinkLabel1.top() - 4.5));
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, kHelpWindow.width() - 1, kHelpWindow.height() - 1));
    return image;
}

QImage paintSessionWindow(qreal ratio) {
    using namespace geometry::session;
    QImage image = canvas(kWindow, ratio);
    QPainter p(&image);
    prepare(p);
    background(p, kWindow);

    // The yellow field with the window's name, and the close button on it.
    const QRect field(0, 0, kWindow.width(), 44);
    QLinearGradient fieldFill(field.topLeft(), field.bottomLeft());
    fieldFill.setColorAt(0.0, kYellow.lighter(112));
    fieldFill.setColorAt(1.0, kYellow);
    p.fillRect(field, fieldFill);
    p.setPen(QPen(kYellow.darker(130), 1));
    p.drawLine(QPointF(0, field.bottom() + 0.5), QPointF(kWindow.width(), field.bottom() + 0.5));
    leftText(p, QRect(18, 6, 320, 32), QStringLiteral("СТАРЫЕ ЗАКАЧКИ"), kInk, 22, true);
    roundButton(p, JvTransparentButton1, Glyph::Close, kRed);

    // The white panel behind the list.
    panel(p, QRectF(ListBox1).adjusted(-3.5, -3.5, 3.5, 3.5), Qt::white, QColor(170, 182, 192), 4);

    // The arrow and the button that opens a session's page.
    roundButton(p, arrowCircle, Glyph::Arrow, kBlue);
    buttons(p, {{JvTransparentButton4, QStringLiteral("СТАРЫЕ ЗАГРУЗКИ"), kRed}}, 13);

    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, kWindow.width() - 1, kWindow.height() - 1));
    return image;
}

QImage paintProgressWindow(qreal ratio) {
    using namespace geometry::progress;
    QImage image = canvas(kWindow, ratio);
    QPainter p(&image);
    prepare(p);
    background(p, kWindow);
    // A light card behind the status text, and the cancel button.
    panel(p, QRectF(Label1).adjusted(-8, 0, 4, 6), Qt::white, QColor(208, 216, 222), 8);
    buttons(p, {{JvTransparentButton4, QStringLiteral("ОТМЕНА"), kRed}}, 13);
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, kWindow.width() - 1, kWindow.height() - 1));
    return image;
}

QImage paintViewerWindow(qreal ratio) {
    using namespace geometry::viewer;
    QImage image = canvas(kWindow, ratio);
    QPainter p(&image);
    prepare(p);
    background(p, kWindow);
    // The frame of the preview box and the card behind the print options.
    p.setPen(QPen(QColor(170, 182, 192), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(Image2).adjusted(-2.5, -2.5, 2.5, 2.5));
    panel(p, QRectF(598, 78, 132, 258), Qt::white, QColor(208, 216, 222), 10);
    // The buttons under the image buttons.
    buttons(p,
            {{JvTransparentButton9, QStringLiteral("↺"), kBlue},
             {kTurnRightDrawn, QStringLiteral("↻"), kBlue},
             {JvTransparentButton11, QStringLiteral("|◀"), kGreen},
             {JvTransparentButton5, QStringLiteral("◀"), kGreen},
             {JvTransparentButton7, QStringLiteral("✕"), kRed},
             {JvTransparentButton8, QStringLiteral("▶"), kGreen},
             {JvTransparentButton12, QStringLiteral("▶|"), kGreen}},
            16);
    buttons(p, {{JvTransparentButton6, QStringLiteral("СОХРАНИТЬ"), kOrange}}, 13);
    roundButton(p, JvTransparentButton1, Glyph::Help, kBlue);
    roundButton(p, JvTransparentButton2, Glyph::Close, kRed);
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, kWindow.width() - 1, kWindow.height() - 1));
    return image;
}

}  // namespace artwork
