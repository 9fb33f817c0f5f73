#include <gtest/gtest.h>

#include <QFile>
#include <functional>

#include "app/artwork/jpegcodec.h"
#include "app/artwork/painting.h"
#include "app/artwork/windowgeometry.h"
#include "images/viewergeometry.h"
#include "service/sessiongeometry.h"
#include "upload/progressgeometry.h"

namespace {

QByteArray committed(const char* name) {
    QFile file(QStringLiteral(KORVELLA_ARTWORK_DIR "/") + QString::fromLatin1(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Whether a colour is one of a drawn button's (saturated), not the window's pale paper
// or a white card.
bool buttonColoured(QRgb pixel) {
    return QColor(pixel).saturation() > 80;
}

double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

}  // namespace

TEST(Artwork, TheCommittedPicturesAreWhatTheGeneratorDraws) {
    const std::vector<std::tuple<const char*, QSize, std::function<QImage(qreal)>>> pictures = {
        {"empty", geometry::kEmptyPicture, artwork::paintEmptyLayout},
        {"list", geometry::kListPicture, artwork::paintListLayout},
        {"help", geometry::kHelpWindow, artwork::paintHelpWindow},
        {"session", geometry::session::kWindow, artwork::paintSessionWindow},
        {"progress", geometry::progress::kWindow, artwork::paintProgressWindow},
        {"viewer", geometry::viewer::kWindow, artwork::paintViewerWindow},
    };
    for (const auto& [name, size, paint] : pictures) {
        for (const int ratio : {1, 2}) {
            const std::string file = std::string(name) + (ratio == 2 ? "@2x.jpg" : ".jpg");
            const QImage stored = artwork::decodeJpeg(committed(file.c_str()));
            ASSERT_EQ(stored.size(), size * ratio) << file;
            const QImage drawn = artwork::decodeJpeg(artwork::encodeJpeg(paint(ratio), 92));
            ASSERT_EQ(drawn.size(), size * ratio) << file;
            // Other font versions may shift a glyph's edge; a changed drawing moves far more.
            EXPECT_LT(meanDifference(stored, drawn), 1.0)
                << file << ": run scripts/make-artwork.sh and commit the pictures";
        }
    }
}

// At twice the pixels the picture is the same drawing, only sharper: shrunk back it is
// the ordinary picture.
TEST(Artwork, TheSharpPicturesAreTheSameDrawing) {
    const QImage one = artwork::decodeJpeg(committed("list.jpg"));
    const QImage two = artwork::decodeJpeg(committed("list@2x.jpg"));
    const QImage shrunk = two.scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(meanDifference(one, shrunk), 4.0);
}

TEST(Artwork, ButtonsAreDrawnUnderTheirHotAreas) {
    using namespace geometry;
    const QImage empty = artwork::decodeJpeg(committed("empty.jpg"));
    const QImage list = artwork::decodeJpeg(committed("list.jpg"));
    const QImage sessionWindow = artwork::decodeJpeg(committed("session.jpg"));
    const QImage progressWindow = artwork::decodeJpeg(committed("progress.jpg"));
    const QImage viewerWindow = artwork::decodeJpeg(committed("viewer.jpg"));
    // Whether the place 6 pixels above a button is plain (not in a coloured band).
    const std::vector<std::tuple<const QImage*, QRect, bool>> buttons = {
        {&empty, JvTransparentButton8, true},
        {&empty, JvTransparentButton10, true},
        {&empty, JvTransparentButton9, true},
        {&empty, JvTransparentButton11, true},
        {&empty, JvTransparentButton7, false},
        {&empty, JvTransparentButton6, false},
        {&empty, JvTransparentButton12, true},
        {&empty, btnInfo, true},
        {&empty, btnHelp, false},
        {&empty, btnClose, false},
        {&list, btnInfo, false},
        {&list, btnHelp, false},
        {&list, btnClose, false},
        {&list, JvTransparentButton1, true},
        {&list, JvTransparentButton2, true},
        {&list, JvTransparentButton4, true},
        {&list, JvTransparentButton5, true},
        {&list, JvTransparentButton3, true},
        {&sessionWindow, session::JvTransparentButton4, true},
        {&sessionWindow, session::JvTransparentButton1, false},
        {&progressWindow, progress::JvTransparentButton4, true},
        {&viewerWindow, viewer::JvTransparentButton9, true},
        {&viewerWindow, viewer::JvTransparentButton11, true},
        {&viewerWindow, viewer::JvTransparentButton7, true},
        {&viewerWindow, viewer::JvTransparentButton12, true},
        {&viewerWindow, viewer::JvTransparentButton6, true},
        {&viewerWindow, viewer::JvTransparentButton2, false},
    };
    for (const auto& [picture, area, plainAbove] : buttons) {
        // Inside, near the left and right edges and above the caption: the button.
        const int y = area.top() + 5;
        const int inset = area.width() > area.height() ? 5 : area.width() / 2;
        EXPECT_TRUE(buttonColoured(picture->pixel(area.left() + inset, y)))
            << area.x() << "," << area.y();
        EXPECT_TRUE(buttonColoured(picture->pixel(area.right() - inset, y)))
            << area.x() << "," << area.y();
        // Just above: not the button any more.
        if (plainAbove) {
            EXPECT_FALSE(buttonColoured(picture->pixel(area.center().x(), area.top() - 6)))
                << area.x() << "," << area.y();
        }
    }
}

TEST(Artwork, DamagedJpegsGiveNoPicture) {
    const QByteArray good = committed("help.jpg");
    ASSERT_FALSE(good.isEmpty());
    EXPECT_TRUE(artwork::decodeJpeg(QByteArray()).isNull());
    EXPECT_TRUE(artwork::decodeJpeg("not a picture").isNull());
    EXPECT_TRUE(artwork::decodeJpeg(good.left(good.size() / 2)).isNull());
    EXPECT_TRUE(artwork::picture(QStringLiteral("no such picture")).isNull());
}
