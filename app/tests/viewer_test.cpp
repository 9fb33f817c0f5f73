#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QSpinBox>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>

#include "app/Unit1.h"
#include "app/application.h"
#include "app/help.h"
#include "app/tests/appfixture.h"
#include "images/ShowImage.h"
#include "images/prepare.h"
#include "platform/hotarea.h"
#include "platform/testing/jpegbytes.h"
#include "platform/testing/recordingurlopener.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/testing/userfolders.h"

using testing_support::control;
using testing_support::ScriptedDialogs;

namespace {

// The program with an order of photos, and the viewer opened on it as the customer
// opens it: Enter in the list.
class Viewer : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::storeFormats();  // 10x15 and 9x13: 1795 × 1205, 150 dpi, 152 mm
        ProgramOptions options;
        options.serviceHost = QStringLiteral("127.0.0.1:1");
        options.urls = &urls_;
        program_ = std::make_unique<Program>(dialogs_, options);
        form().show();
        form().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    }
    TForm1& form() { return program_->form1(); }
    TForm2& viewer() { return program_->form2(); }
    order::OrderTable& table() { return program_->state().Data; }
    QString photo(const char* name, int width, int height) {
        const QString path = folders_.root() + u'/' + QString::fromUtf8(name);
        testing_support::writeFile(path, testing_support::encodedJpeg(width, height));
        return path;
    }
    // Opens the viewer with Enter in the list, runs what while it is shown, then closes
    // it with Esc unless what did.
    void whileShown(const std::function<void()>& what) {
        bool ran = false;
        // A real timer: it fires after the steps the opening posted.
        QTimer::singleShot(50, &viewer(), [&] {
            // The viewer shows its row first.
            for (int i = 0; i < 500 && viewer().windowTitle() != table().current().file; ++i) {
                QTest::qWait(10);
            }
            ran = true;
            what();
            if (viewer().isVisible()) {
                QTest::keyClick(&viewer(), Qt::Key_Escape);
            }
        });
        // The main window active again after an earlier showing, as a desktop makes it.
        if (!form().isActiveWindow()) {
            form().activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&form()));
        }
        auto* list = control<QTableView>(form(), "DBGrid1");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Return);
        EXPECT_TRUE(ran);
    }
    QLabel* warning() { return control<QLabel>(viewer(), "Label9"); }

    testing_support::UserFolders folders_;
    ScriptedDialogs dialogs_;
    testing_support::RecordingUrlOpener urls_;
    std::unique_ptr<Program> program_;
};

}  // namespace

// A coarse photo shows the warning with borders and hides it when prepared; the format
// list's change re-evaluates it at once; paper and count leave the preview alone.
TEST_F(Viewer, TheWarningFollowsTheChoicesAndTheRowIsWritten) {
    const QString coarse = photo("coarse.jpg", 880, 600);  // 147 dpi at 152 mm
    form().DropFiles({coarse});
    whileShown([&] {
        EXPECT_EQ(viewer().windowTitle(), coarse);
        EXPECT_TRUE(warning()->isVisible());
        EXPECT_EQ(warning()->text(), QStringLiteral("Разрешение файла: 147 dpi"));
        EXPECT_EQ(viewer().previewBitmap().width, 460);
        const QByteArray opened = viewer().previewBitmap().bytes;

        auto* how = control<QComboBox>(viewer(), "DBComboBox2");
        how->setFocus();
        QTest::keyClick(how, Qt::Key_Down);  // "Без полей"
        QTest::keyClick(how, Qt::Key_Down);  // "Подготовленный"
        EXPECT_EQ(table().current().param, QStringLiteral("Подготовленный"));
        EXPECT_FALSE(warning()->isVisible());
        EXPECT_NE(viewer().previewBitmap().bytes, opened);

        const QByteArray prepared = viewer().previewBitmap().bytes;
        auto* paper = control<QComboBox>(viewer(), "DBComboBox3");
        paper->setFocus();
        QTest::keyClick(paper, Qt::Key_Down);
        EXPECT_EQ(table().current().paper, QStringLiteral("Глянцевая"));
        EXPECT_EQ(viewer().previewBitmap().bytes, prepared);

        auto* count = control<QSpinBox>(viewer(), "JvDBSpinEdit1");
        count->setFocus();
        QTest::keyClick(count, Qt::Key_Up);
        QTest::mouseClick(control<HotArea>(viewer(), "JvTransparentButton6"), Qt::LeftButton);
    });
    EXPECT_FALSE(viewer().isVisible());
    EXPECT_EQ(table().current().count, 2);  // saved on save and close
    EXPECT_TRUE(dialogs_.shown().empty());
}

// PgDn, the keypad's 3 and End move on even while a list has the focus; Home does
// nothing; the first-row button goes to the first row.
TEST_F(Viewer, KeysAndButtonsMoveThroughTheOrder) {
    form().DropFiles({photo("a.jpg", 1800, 1200), photo("b.jpg", 1800, 1200),
                      photo("c.jpg", 1800, 1200), photo("d.jpg", 1800, 1200)});
    whileShown([&] {
        control<QComboBox>(viewer(), "DBComboBox1")->setFocus();
        QTest::keyClick(&viewer(), Qt::Key_PageDown);
        EXPECT_EQ(table().position(), 1);
        EXPECT_TRUE(viewer().windowTitle().endsWith("b.jpg"));
        QTest::keyClick(viewer().focusWidget(), Qt::Key_3, Qt::KeypadModifier);
        EXPECT_EQ(table().position(), 2);
        QTest::keyClick(viewer().focusWidget(), Qt::Key_PageUp);
        EXPECT_EQ(table().position(), 1);
        QTest::keyClick(&viewer(), Qt::Key_End);
        EXPECT_EQ(table().position(), 3);
        QTest::keyClick(&viewer(), Qt::Key_Home);
        EXPECT_EQ(table().position(), 3);
        QTest::mouseClick(control<HotArea>(viewer(), "JvTransparentButton11"), Qt::LeftButton);
        EXPECT_EQ(table().position(), 0);
        EXPECT_TRUE(viewer().windowTitle().endsWith("a.jpg"));
    });
}

// The delete button asks (No keeps the row), Delete does not ask; deleting the only row
// left closes the viewer.
TEST_F(Viewer, DeletingAsksOnTheButtonAndClosesOnTheLastRow) {
    form().DropFiles({photo("a.jpg", 1800, 1200), photo("b.jpg", 1800, 1200)});
    dialogs_.scriptYesNo(false);
    dialogs_.scriptYesNo(true);
    whileShown([&] {
        auto* remove = control<HotArea>(viewer(), "JvTransparentButton7");
        QTest::mouseClick(remove, Qt::LeftButton);  // No
        EXPECT_EQ(table().rowCount(), 2);
        QTest::mouseClick(remove, Qt::LeftButton);  // Yes
        EXPECT_EQ(table().rowCount(), 1);
        EXPECT_TRUE(viewer().windowTitle().endsWith("b.jpg"));
        QTest::keyClick(&viewer(), Qt::Key_Delete);
        EXPECT_EQ(table().rowCount(), 0);
        EXPECT_FALSE(viewer().isVisible());
    });
    EXPECT_EQ(dialogs_.count(ScriptedDialogs::Shown::YesNo), 2);
    EXPECT_EQ(dialogs_.shown()[0].text,
              QStringLiteral("Вы действительно хотите удалить этот файл?"));
}

// Turns never add up: left twice shows one left turn; left then right one right turn;
// the photo and the print the upload makes stay as they were.
TEST_F(Viewer, TurnsShowTheUnturnedPreviewTurnedOnce) {
    const QString path = photo("p.jpg", 2000, 3000);
    form().DropFiles({path});
    const QByteArray before =
        images::preparePrint(path, program_->state().Formats.front(), QStringLiteral("С полями"));
    whileShown([&] {
        EXPECT_EQ(viewer().previewProportion(), 0.53333336f);
        auto* left = control<HotArea>(viewer(), "JvTransparentButton9");
        auto* right = control<HotArea>(viewer(), "JvTransparentButton10");
        QTest::mouseClick(left, Qt::LeftButton);
        EXPECT_EQ(viewer().previewBitmap().width, 304);
        EXPECT_EQ(viewer().previewBitmap().height, 460);
        QTest::mouseClick(left, Qt::LeftButton);
        const QByteArray leftOnce = viewer().previewBitmap().bytes;
        QTest::mouseClick(left, Qt::LeftButton);
        EXPECT_EQ(viewer().previewBitmap().bytes, leftOnce);  // rebuilt, then turned once
        QTest::mouseClick(right, Qt::LeftButton);
        const QByteArray rightOnce = viewer().previewBitmap().bytes;
        EXPECT_NE(rightOnce, leftOnce);
        EXPECT_EQ(images::turned(images::turned(viewer().previewBitmap(), true), true).bytes,
                  images::turned(images::turned(viewer().previewBitmap(), false), false).bytes);
    });
    EXPECT_EQ(
        images::preparePrint(path, program_->state().Formats.front(), QStringLiteral("С полями")),
        before);
}

// A photo that is gone closes the viewer silently; one that no longer decodes says so
// by name, shows an empty preview and lets the customer go on.
TEST_F(Viewer, AVanishedPhotoClosesADamagedOneIsNamed) {
    const QString damaged = photo("a.jpg", 1800, 1200);
    const QString gone = photo("b.jpg", 1800, 1200);
    form().DropFiles({damaged, gone});
    testing_support::writeFile(damaged, "not a picture any more");
    QFile::remove(gone);
    whileShown([&] {
        EXPECT_TRUE(viewer().previewBitmap().isNull());
        ASSERT_EQ(dialogs_.errors().size(), 1);
        EXPECT_TRUE(dialogs_.errors()[0].startsWith(QStringLiteral("Файл ") + damaged));
        QTest::keyClick(&viewer(), Qt::Key_PageDown);  // to the vanished one
        EXPECT_FALSE(viewer().isVisible());
    });
    EXPECT_EQ(table().rowCount(), 2);
}

// A turned preview shows scaled down in proportion and centred: 200 × 304 at 130.
TEST_F(Viewer, ATurnedPreviewShowsCentredInTheBox) {
    form().DropFiles({photo("a.jpg", 1800, 1200)});
    whileShown([&] {
        QTest::mouseClick(control<HotArea>(viewer(), "JvTransparentButton10"), Qt::LeftButton);
        const QImage box = control(viewer(), "Image2")->grab().toImage();
        ASSERT_EQ(box.size(), QSize(460, 304));
        const auto white = [](QRgb c) {
            return qRed(c) > 245 && qGreen(c) > 245 && qBlue(c) > 245;
        };
        EXPECT_TRUE(white(box.pixel(128, 150)));
        EXPECT_FALSE(white(box.pixel(132, 150)));
        EXPECT_FALSE(white(box.pixel(327, 150)));
        EXPECT_TRUE(white(box.pixel(331, 150)));
    });
}

// A row whose format the catalogue no longer has: that list shows no choice, and no
// verdict or preview is made until the customer picks one.
TEST_F(Viewer, AFormatTheCatalogueLacksShowsNoChoiceAndNoPreview) {
    form().DropFiles({photo("a.jpg", 880, 600)});
    // The lab dropped the format: the row keeps the name (as a stored order would).
    order::OrderRow row = table().current();
    row.format = QStringLiteral("50x70");
    table().deleteRows(0, 0);
    table().appendSorted(row, order::Field::File, true);
    whileShown([&] {
        auto* formats = control<QComboBox>(viewer(), "DBComboBox1");
        EXPECT_EQ(formats->currentIndex(), -1);
        EXPECT_FALSE(warning()->isVisible());
        EXPECT_TRUE(viewer().previewBitmap().isNull());
        formats->setFocus();
        QTest::keyClick(formats, Qt::Key_Down);  // the first format
        EXPECT_EQ(table().current().format, QStringLiteral("10x15"));
        EXPECT_TRUE(warning()->isVisible());
        EXPECT_FALSE(viewer().previewBitmap().isNull());
    });
}

// The viewer opens with the focus on itself, wherever it was when it last closed: the
// keys a customer presses while looking (arrows, Space, Enter) change no row.
TEST_F(Viewer, OpensWithTheFocusWhereNoKeyChangesTheRow) {
    form().DropFiles({photo("a.jpg", 880, 600), photo("b.jpg", 880, 600)});
    whileShown([&] {
        // Last time the customer clicked "Как печатать" and the counter.
        control<QComboBox>(viewer(), "DBComboBox2")->setFocus();
        control<QSpinBox>(viewer(), "JvDBSpinEdit1")->setFocus();
    });
    const order::OrderRow before = table().current();
    whileShown([&] {
        // The control that gets the keys once the window is active.
        QWidget* focus = viewer().focusWidget();
        EXPECT_EQ(focus, control(viewer(), "Image2"))
            << (focus ? focus->metaObject()->className() : "none") << " "
            << (focus ? focus->objectName().toStdString() : "");
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Space, Qt::Key_Return}) {
            QTest::keyClick(focus != nullptr ? focus : &viewer(), key);
        }
        EXPECT_TRUE(viewer().isVisible());
        QTest::mouseClick(control<HotArea>(viewer(), "JvTransparentButton6"), Qt::LeftButton);
    });
    const order::OrderRow after = table().current();
    EXPECT_EQ(after.param, before.param);
    EXPECT_EQ(after.count, before.count);
    EXPECT_EQ(after.format, before.format);
    EXPECT_EQ(after.paper, before.paper);
}

// The counter writes only what the customer set: a count it cannot show (none, or past
// 999) survives looking and saving; a changed count survives opening help.
TEST_F(Viewer, TheCounterWritesOnlyWhatTheCustomerSet) {
    form().DropFiles({photo("a.jpg", 1800, 1200)});
    struct Case {
        std::optional<qint32> stored;
        bool step;  // the customer presses Up on the counter, then opens help
        std::optional<qint32> expected;
    };
    const std::vector<Case> cases = {
        {1500, false, 1500},
        {std::nullopt, false, std::nullopt},
        {1, true, 2},
        {1500, true, 1},  // from the shown value below the range, one step up
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.value_or(-1));
        // Stored so by another program or an older order file.
        order::OrderRow row = table().current();
        row.count = c.stored;
        table().deleteRows(0, 0);
        table().appendSorted(row, order::Field::File, true);
        ASSERT_EQ(table().current().count, c.stored);
        whileShown([&] {
            if (c.step) {
                auto* count = control<QSpinBox>(viewer(), "JvDBSpinEdit1");
                count->setFocus();
                QTest::keyClick(count, Qt::Key_Up);
                QTimer::singleShot(100, &program_->frmHelp(), &QDialog::reject);
                QTest::mouseClick(control<HotArea>(viewer(), "JvTransparentButton1"),
                                  Qt::LeftButton);
            }
            QTest::mouseClick(control<HotArea>(viewer(), "JvTransparentButton6"), Qt::LeftButton);
        });
        EXPECT_EQ(table().current().count, c.expected);
    }
}

// The viewer names the photo (cut in the middle beside the warning), shows the longest
// choice whole, and its turn-right hot area lies over the button drawn in line with
// its neighbours.
TEST_F(Viewer, NamesThePhotoAndShowsItsChoicesWhole) {
    form().DropFiles({photo("IMG_20261211_135405_a_long_camera_name.jpg", 880, 600)});
    whileShown([&] {
        auto* name = control<QLabel>(viewer(), "FileName");
        EXPECT_TRUE(name->isVisible());
        EXPECT_TRUE(name->text().startsWith(QStringLiteral("IMG_2026")) &&
                    name->text().endsWith(QStringLiteral("name.jpg")))
            << name->text().toStdString();
        ASSERT_TRUE(warning()->isVisible());
        EXPECT_FALSE(name->geometry().intersects(warning()->geometry()));

        auto* how = control<QComboBox>(viewer(), "DBComboBox2");
        QStyleOptionComboBox option;
        option.initFrom(how);
        option.rect = how->rect();
        const QRect text = how->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                        QStyle::SC_ComboBoxEditField, how);
        EXPECT_LE(how->fontMetrics().horizontalAdvance(QStringLiteral("Подготовленный")),
                  text.width());

        const QRect right = control(viewer(), "JvTransparentButton10")->geometry();
        const QRect left = control(viewer(), "JvTransparentButton9")->geometry();
        EXPECT_EQ(right.top(), 380);
        EXPECT_EQ(right.bottom(), left.bottom());
    });
}
