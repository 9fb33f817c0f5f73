#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMovie>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest/QTest>
#include <algorithm>
#include <set>

#include <QSet>
#include <QToolTip>

#include "app/Unit1.h"
#include "app/application.h"
#include "app/artwork/windowgeometry.h"
#include "app/help.h"
#include "app/orderlistview.h"
#include "app/tests/appfixture.h"
#include "formats/messages.h"
#include "labd/banner.h"
#include "labd/tests/labfixture.h"
#include "platform/hotarea.h"
#include "platform/testing/jpegbytes.h"
#include "platform/testing/recordingurlopener.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/testing/userfolders.h"

using testing_support::control;
using testing_support::RecordingUrlOpener;
using testing_support::ScriptedDialogs;
using testing_support::UserFolders;

namespace {

// A main window over a lab (or none), with photos to add made on disk.
class MainWindow : public ::testing::Test {
protected:
    void start(const QString& host = QStringLiteral("127.0.0.1:1")) {
        ProgramOptions options;
        options.serviceHost = host;
        options.urls = &urls_;
        program_ = std::make_unique<Program>(dialogs_, options);
    }
    TForm1& form() { return program_->form1(); }
    template <typename T = QWidget>
    T* child(const char* name) {
        return form().findChild<T*>(QString::fromLatin1(name));
    }
    // A photo of this pixel size in the test's folder.
    QString photo(const QString& name, int width, int height) {
        const QString path = folders_.root() + u'/' + name;
        testing_support::writeFile(path, testing_support::jpegHeaderFile(width, height));
        return path;
    }
    void showAndActivate() {
        form().show();
        form().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    }

    UserFolders folders_;
    ScriptedDialogs dialogs_;
    RecordingUrlOpener urls_;
    std::unique_ptr<Program> program_;
};

const QStringList kUsageHints = {
    "Для выбора файлов Вы можете нажать кнопку \"Выбрать файлы\", нажать кнопку Ins на "
    "клавиатуре или просто перетащить файлы из проводника на окно программы",
    "Для просмотра файла кликните на нем 2 раза.",
    "Чтобы удалить файл из списка нажмите Delete",
    "Нажмите правую кнопку мышки над списком файлов для дополнительных возможностей.",
    "Нажмите F1 для инфорамции",
};

}  // namespace

TEST_F(MainWindow, TheLayoutFollowsTheRowCount) {
    testing_support::storeFormats();
    start();
    const QStringList emptyOnly = {"Image2",
                                   "Label3",
                                   "JvTransparentButton8",
                                   "JvTransparentButton9",
                                   "JvTransparentButton10",
                                   "JvTransparentButton11"};
    const QStringList listOnly = {"Image1",
                                  "DBGrid1",
                                  "Label1",
                                  "Label2",
                                  "banner",
                                  "JvTransparentButton1",
                                  "JvTransparentButton2",
                                  "JvTransparentButton3",
                                  "JvTransparentButton4",
                                  "JvTransparentButton5"};
    const QStringList both = {"JvTransparentButton6",
                              "JvTransparentButton7",
                              "JvTransparentButton12",
                              "JvTransparentButton13",
                              "btnInfo",
                              "btnHelp",
                              "btnClose"};
    const auto expectLayout = [&](bool list) {
        EXPECT_EQ(control(form(), "DBGrid1")->isVisibleTo(&form()), list);
        EXPECT_EQ(form().size(), list ? QSize(678, 600) : QSize(739, 437));
        for (const QString& name : emptyOnly) {
            EXPECT_EQ(form().findChild<QWidget*>(name)->isVisibleTo(&form()), !list)
                << name.toStdString();
        }
        for (const QString& name : listOnly) {
            EXPECT_EQ(form().findChild<QWidget*>(name)->isVisibleTo(&form()), list)
                << name.toStdString();
        }
        for (const QString& name : both) {
            EXPECT_TRUE(form().findChild<QWidget*>(name)->isVisibleTo(&form()))
                << name.toStdString();
        }
    };
    expectLayout(false);
    form().DropFiles({photo("a.jpg", 3000, 2000)});
    expectLayout(true);
    form().DropFiles({photo("b.jpg", 3000, 2000)});
    form().actDelExecute();
    expectLayout(true);
    form().actDelExecute();
    expectLayout(false);
    EXPECT_TRUE(form().windowFlags() & Qt::FramelessWindowHint);
}

TEST_F(MainWindow, HotAreasLieWhereTheirButtonsAreDrawnAndCallTheirHandlers) {
    testing_support::storeFormats();
    start();
    struct Area {
        const char* name;
        QRect place;
        QString hint;
    };
    const QString more = QStringLiteral("Ещё информации!");
    const QString help = QStringLiteral("Показать подсказки по программе");
    const QString quit = QStringLiteral("Закрыть программу");
    const QString add = QStringLiteral("Выбрать файлы для отправки");
    const QString old = QStringLiteral("Просмотр старых сессий");
    const std::vector<Area> areas = {
        {"JvTransparentButton8", {64, 64, 185, 41}, add},
        {"JvTransparentButton10", {64, 168, 185, 49}, old},
        {"JvTransparentButton9", {64, 264, 185, 41}, QString()},
        {"JvTransparentButton11", {64, 370, 193, 39}, quit},
        {"JvTransparentButton7", {650, 6, 33, 33}, help},
        {"JvTransparentButton6", {690, 6, 33, 33}, quit},
        {"JvTransparentButton12", {466, 80, 39, 41}, more},
        {"JvTransparentButton13", {18, 8, 39, 33}, more},
        {"btnInfo", {18, 220, 31, 33}, more},
        {"btnHelp", {595, 220, 33, 33}, help},
        {"btnClose", {629, 220, 33, 33}, quit},
        {"JvTransparentButton1", {18, 568, 129, 33}, add},
        {"JvTransparentButton2", {146, 568, 129, 31}, "Выделить все файлы в списке"},
        {"JvTransparentButton4", {282, 568, 129, 31}, "Обновить данные о форматах печати"},
        {"JvTransparentButton5", {410, 568, 129, 31}, old},
        {"JvTransparentButton3", {538, 568, 129, 31}, "Отправить файлы на сайт"},
    };
    for (const Area& area : areas) {
        auto* hot = child<HotArea>(area.name);
        ASSERT_NE(hot, nullptr) << area.name;
        EXPECT_EQ(hot->geometry(), area.place) << area.name;
        EXPECT_EQ(hot->toolTip(), area.hint) << area.name;
        EXPECT_EQ(hot->cursor().shape(), Qt::PointingHandCursor) << area.name;
    }

    child<HotArea>("JvTransparentButton8")->click();  // the add command: the file dialog
    EXPECT_EQ(dialogs_.count(ScriptedDialogs::Shown::OpenFiles), 1);

    form().DropFiles({photo("a.jpg", 3000, 2000), photo("b.jpg", 3000, 2000)});
    child<HotArea>("JvTransparentButton2")->click();
    EXPECT_EQ(control<QTableView>(form(), "DBGrid1")->selectionModel()->selectedRows().size(), 2);
    // The empty layout's "X" lies beyond the list layout's right edge.
    EXPECT_FALSE(form().rect().intersects(child("JvTransparentButton6")->geometry()));

    showAndActivate();
    child<HotArea>("btnClose")->click();
    EXPECT_FALSE(form().isVisible());
}

TEST_F(MainWindow, UsageHintsAndInformationTexts) {
    testing_support::storeFormats();
    start();
    EXPECT_EQ(control<QLabel>(form(), "Label2")->text(), kUsageHints[0]);
    EXPECT_EQ(control<QLabel>(form(), "Label3")->text(), kUsageHints[0]);
    auto* timer = child<QTimer>("Timer1");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 30000);
    EXPECT_TRUE(timer->isActive());

    std::set<QString> hints;
    for (int i = 0; i < 200; ++i) {
        child<HotArea>("JvTransparentButton13")->click();
        hints.insert(control<QLabel>(form(), "Label2")->text());
    }
    EXPECT_EQ(hints, std::set<QString>(kUsageHints.begin(), kUsageHints.end()));

    std::set<QString> infos;
    for (int i = 0; i < 100; ++i) {
        child<HotArea>(i % 2 ? "btnInfo" : "JvTransparentButton12")->click();
        infos.insert(control<QLabel>(form(), "Label3")->text());
    }
    ASSERT_EQ(infos.size(), 2u);
    EXPECT_TRUE(infos.count(kUsageHints[0]));
    EXPECT_TRUE(
        infos.rbegin()->startsWith("Фотокнига (или евроальбом) – это совершенно уникальный"));
    EXPECT_TRUE(infos.rbegin()->endsWith("Это несомненно, бесценный подарок."));
}

TEST_F(MainWindow, TheSiteOpensFromTheBannerAndTheInformationTextButNotFromTheDragStrip) {
    testing_support::storeFormats();
    start(QStringLiteral("lab.test:8642"));
    showAndActivate();
    QTest::mouseClick(child("Label3"), Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(urls_.opened, QStringList{"http://lab.test:8642"});

    form().DropFiles({photo("a.jpg", 3000, 2000)});
    QWidget* banner = child("banner");
    ASSERT_TRUE(banner->isVisible());
    // 10 pixels below the top: 300 from the left is the drag strip, 20 is the banner.
    EXPECT_TRUE(form().DragStripHitTest(form().mapToGlobal(QPoint(300, 10))));
    QTest::mouseClick(banner, Qt::LeftButton, {}, banner->mapFrom(&form(), QPoint(300, 10)));
    EXPECT_EQ(urls_.opened.size(), 1);
    EXPECT_FALSE(form().DragStripHitTest(form().mapToGlobal(QPoint(20, 10))));
    QTest::mouseClick(banner, Qt::LeftButton, {}, banner->mapFrom(&form(), QPoint(20, 10)));
    EXPECT_EQ(urls_.opened, (QStringList{"http://lab.test:8642", "http://lab.test:8642"}));
}

TEST_F(MainWindow, KeysOpenHelpAndTheFileDialogAndEnterOnAnEmptyListDoesNothing) {
    testing_support::storeFormats();
    start();
    showAndActivate();
    int helpShown = 0;
    const auto closeHelpSoon = [&] {
        QTimer::singleShot(50, &program_->frmHelp(), [&] {
            helpShown += program_->frmHelp().isVisible() ? 1 : 0;
            program_->frmHelp().reject();
        });
    };
    closeHelpSoon();
    QTest::keyClick(&form(), Qt::Key_F1);
    EXPECT_EQ(helpShown, 1);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));

    QTest::keyClick(&form(), Qt::Key_Return);
    EXPECT_TRUE(dialogs_.shown().empty());

    QTest::keyClick(&form(), Qt::Key_Insert);
    EXPECT_EQ(dialogs_.count(ScriptedDialogs::Shown::OpenFiles), 1);

    form().DropFiles({photo("a.jpg", 3000, 2000)});
    ASSERT_TRUE(control(form(), "DBGrid1")->isVisibleTo(&form()));
    closeHelpSoon();
    QTest::keyClick(&form(), Qt::Key_F1);
    EXPECT_EQ(helpShown, 2);
}

TEST_F(MainWindow, TheBannerIsFetchedWhenMissingOrTwoDaysOldAndAnimatesInTheListLayout) {
    testing_support::storeFormats();
    labd::testing::Lab lab;
    const QString host = QString::fromStdString(lab.address());
    const QString cached = folders_.workFolder() + QStringLiteral("banner.gif");

    start(host);
    // Fetched in the background: it shows when it arrives.
    for (int i = 0; i < 500 && control<QLabel>(form(), "banner")->movie() == nullptr; ++i) {
        QTest::qWait(10);
    }
    EXPECT_EQ(lab.requests("banner.gif"), 1);
    ASSERT_NE(control<QLabel>(form(), "banner")->movie(), nullptr);
    EXPECT_TRUE(control<QLabel>(form(), "banner")->movie()->isValid());
    EXPECT_EQ(control<QLabel>(form(), "banner")->movie()->state(),
              QMovie::NotRunning);  // empty order
    form().DropFiles({photo("a.jpg", 3000, 2000)});
    EXPECT_EQ(control<QLabel>(form(), "banner")->movie()->state(), QMovie::Running);
    program_.reset();

    start(host);  // fresh: used as it is
    EXPECT_EQ(lab.requests("banner.gif"), 1);
    EXPECT_EQ(control<QLabel>(form(), "banner")->movie()->state(),
              QMovie::Running);  // the order has a row
    program_.reset();

    QFile file(cached);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addDays(-3),
                                 QFileDevice::FileModificationTime));
    file.close();
    start(host);
    for (int i = 0; i < 500 && lab.requests("banner.gif") < 2; ++i) {
        QTest::qWait(10);
    }
    EXPECT_EQ(lab.requests("banner.gif"), 2);
    EXPECT_TRUE(dialogs_.shown().empty());
}

// A lab's banner past the window's bounds (here 200 frames of 5000 × 5000 in a few
// kilobytes) is never decoded: the cached banner stays and shows; without one, none.
TEST_F(MainWindow, ABannerPastItsBoundsLeavesTheCachedOne) {
    testing_support::storeFormats();
    QByteArray hostile("GIF89a\x88\x13\x88\x13\x80\0\0", 13);
    hostile += QByteArray(6, '\x7F');
    for (int i = 0; i < 200; ++i) {
        hostile += QByteArray(
            "\x21\xF9\x04\x04\x0A\0\0\0,\0\0\0\0\x88\x13\x88\x13\0\x02"
            "\x03\x01\x02\x03\0",
            25);
    }
    hostile += ';';
    labd::ServiceOptions options;
    options.fixedAnswers["/banner.gif"] = {200, hostile.toStdString()};
    labd::testing::Lab lab(options);
    const QString cached = folders_.workFolder() + QStringLiteral("banner.gif");
    ASSERT_TRUE(QDir().mkpath(folders_.workFolder()));
    const QByteArray good = QByteArray::fromStdString(labd::bannerGif());
    testing_support::writeFile(cached, good);
    QFile file(cached);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addDays(-3),
                                 QFileDevice::FileModificationTime));
    file.close();

    start(QString::fromStdString(lab.address()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return lab.requests("banner.gif") == 1; }, 10000));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return control<QLabel>(form(), "banner")->movie() != nullptr; }));
    QTest::qWait(200);  // the fetch's own showing comes after its request
    EXPECT_EQ(testing_support::readFile(cached), good);
    ASSERT_NE(control<QLabel>(form(), "banner")->movie(), nullptr);
    EXPECT_EQ(control<QLabel>(form(), "banner")->movie()->frameRect().size(), QSize(640, 200));
    program_.reset();

    QFile::remove(cached);
    start(QString::fromStdString(lab.address()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return lab.requests("banner.gif") == 2; }, 10000));
    QTest::qWait(200);
    EXPECT_EQ(control<QLabel>(form(), "banner")->movie(), nullptr);
    EXPECT_FALSE(QFileInfo::exists(cached));
    EXPECT_TRUE(dialogs_.shown().empty());
}

TEST_F(MainWindow, WithoutABannerStartUpGoesOnSilently) {
    testing_support::storeFormats();
    QDir().mkpath(folders_.workFolder());
    testing_support::writeFile(folders_.workFolder() + QStringLiteral("banner.gif"),
                               "GIF89a broken");
    start();  // nothing listens there, and the cached banner is damaged
    EXPECT_EQ(control<QLabel>(form(), "banner")->movie(), nullptr);
    EXPECT_TRUE(dialogs_.shown().empty());
    EXPECT_FALSE(program_->state().terminateRequested);
}

TEST_F(MainWindow, TheWheelClearsTheSelectionAndMovesTheCursor) {
    testing_support::storeFormats();
    start();
    QStringList photos;
    for (int i = 0; i < 30; ++i) {
        photos << photo(QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0')), 3000, 2000);
    }
    form().DropFiles(photos);
    showAndActivate();
    QTableView* list = control<QTableView>(form(), "DBGrid1");
    const int visible = list->viewport()->height() / 17;
    const auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
        const QPointF at(20, 20);
        QWheelEvent event(at, list->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(list->viewport(), &event);
    };
    order::OrderTable& table = program_->state().Data;
    table.first();
    list->selectAll();
    wheel(-120, Qt::NoModifier);  // one notch down
    EXPECT_EQ(table.position(), 2);
    EXPECT_TRUE(list->selectionModel()->selectedRows().isEmpty());
    EXPECT_TRUE(list->hasFocus());
    wheel(-120, Qt::ShiftModifier);
    EXPECT_EQ(table.position(), 3);
    wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(table.position(), 3 + visible - 1);
    wheel(240, Qt::NoModifier);  // two notches up
    EXPECT_EQ(table.position(), 3 + visible - 1 - 4);
    EXPECT_EQ(list->currentIndex().row(), table.position());  // the list follows the cursor
}

TEST_F(MainWindow, CellHintsDescribeTheRowUnderThePointer) {
    testing_support::storeFormats();  // 152 mm wide, at least 150 dpi
    start();
    form().DropFiles({photo("coarse.jpg", 640, 480), photo("fine.jpg", 3000, 2000)});
    QAbstractItemModel* model = control<QTableView>(form(), "DBGrid1")->model();
    program_->state().Data.first();  // the cursor on coarse.jpg: the hints follow the cell
    const auto hint = [&](int row, int column) {
        return form().DBGrid1ShowCellHint(model->index(row, column));
    };
    EXPECT_EQ(hint(1, 0), std::make_pair(QStringLiteral("fine.jpg"), 0));  // while it rests
    EXPECT_EQ(hint(0, 2),
              std::make_pair(QStringLiteral("Разрешение файла: 107 dpi\r\nЭтого разрешения "
                                            "недостаточно для печати фотографии в этом формате!"),
                             3000));
    EXPECT_EQ(hint(1, 2).first, QString());  // fits its column
    control<QTableView>(form(), "DBGrid1")->setColumnWidth(3, 30);
    EXPECT_EQ(hint(1, 3), std::make_pair(QStringLiteral("С полями"), 3000));
}

TEST_F(MainWindow, CellEditorsOfferThePickListsAndTheTableRefusesWhatIsNotOnThem) {
    testing_support::storeFormats({"10x15", "9x13"});
    start();
    form().DropFiles({photo("a.jpg", 3000, 2000)});
    QTableView* list = control<QTableView>(form(), "DBGrid1");
    auto* delegate = qobject_cast<OrderListDelegate*>(list->itemDelegate());
    ASSERT_NE(delegate, nullptr);
    QAbstractItemModel* model = list->model();
    const QStyleOptionViewItem option;
    const auto edit = [&](int column, const QString& typed) {
        const QModelIndex cell = model->index(0, column);
        std::unique_ptr<QWidget> editor(delegate->createEditor(list->viewport(), option, cell));
        if (auto* combo = qobject_cast<QComboBox*>(editor.get())) {
            combo->setCurrentText(typed);
        } else if (auto* line = qobject_cast<QLineEdit*>(editor.get())) {
            line->setText(typed);
        }
        delegate->setModelData(editor.get(), model, cell);
        return model->index(0, column).data(Qt::EditRole).toString();
    };
    EXPECT_EQ(delegate->createEditor(list->viewport(), option, model->index(0, 0)), nullptr);
    std::unique_ptr<QWidget> formatEditor(
        delegate->createEditor(list->viewport(), option, model->index(0, 2)));
    auto* formats = qobject_cast<QComboBox*>(formatEditor.get());
    ASSERT_NE(formats, nullptr);
    ASSERT_EQ(formats->count(), 2);
    EXPECT_EQ(formats->itemText(1), "9x13");

    EXPECT_EQ(edit(2, "99x99"), "10x15");  // not in the catalogue
    EXPECT_EQ(edit(2, "9x13"), "9x13");
    EXPECT_EQ(edit(3, "Подготовленный"), "Подготовленный");
    EXPECT_EQ(edit(4, "Бархатная"), "Матовая");
    EXPECT_EQ(edit(1, "7"), "7");
    EXPECT_EQ(edit(1, "abc"), "7");
    EXPECT_EQ(dialogs_.errors(),
              QStringList{"'abc' is not a valid integer value for field 'Count'"});
}

TEST_F(MainWindow, CoarseRowsAreRedAndSilverWhileHighlighted) {
    testing_support::storeFormats();
    start();
    form().DropFiles(
        {photo("a.jpg", 640, 480), photo("b.jpg", 640, 480), photo("c.jpg", 3000, 2000)});
    showAndActivate();
    QTableView* list = control<QTableView>(form(), "DBGrid1");
    list->selectionModel()->select(list->model()->index(1, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QImage shot = list->viewport()->grab().toImage();
    const auto colourAt = [&](int row) {
        const QRect cell = list->visualRect(list->model()->index(row, 1));
        return QColor(shot.pixel(cell.right() - 3, cell.center().y()));
    };
    EXPECT_EQ(colourAt(0), QColor(255, 0, 0));
    EXPECT_EQ(colourAt(1), QColor(192, 192, 192));
    EXPECT_EQ(colourAt(2), QColor(Qt::white));

    // "Подготовленный" is never flagged.
    list->selectionModel()->clearSelection();
    list->selectionModel()->select(list->model()->index(0, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    control<QMenu>(form(), "PopupMenu1")->findChild<QMenu*>("N6")->actions()[2]->trigger();
    list->selectionModel()->clearSelection();
    EXPECT_EQ(QColor(list->viewport()->grab().toImage().pixel(
                  list->visualRect(list->model()->index(0, 1)).right() - 3,
                  list->visualRect(list->model()->index(0, 1)).center().y())),
              QColor(Qt::white));
}

TEST_F(MainWindow, TheSortedTitleShowsTheDirection) {
    testing_support::storeFormats();
    start();
    form().DropFiles({photo("a.jpg", 3000, 2000)});
    QHeaderView* titles = control<QTableView>(form(), "DBGrid1")->horizontalHeader();
    form().DBGrid1TitleClick(2);
    EXPECT_TRUE(titles->isSortIndicatorShown());
    EXPECT_EQ(titles->sortIndicatorSection(), 2);
    EXPECT_EQ(titles->sortIndicatorOrder(), Qt::DescendingOrder);
    form().DBGrid1TitleClick(2);
    EXPECT_EQ(titles->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(titles->model()->headerData(0, Qt::Horizontal, Qt::BackgroundRole).value<QColor>(),
              QColor(57, 150, 57));
    EXPECT_EQ(titles->model()->headerData(2, Qt::Horizontal, Qt::BackgroundRole).value<QColor>(),
              QColor(99, 130, 206));
}

TEST_F(MainWindow, CommandsCarryTheirCaptionsHintsAndKeys) {
    testing_support::storeFormats();
    start();
    struct Command {
        const char* name;
        QString caption;
        QString hint;
        QList<QKeySequence> keys;
    };
    const std::vector<Command> commands = {
        {"actAdd", "Выбрать файлы", "Выбрать файлы для отправки", {Qt::Key_Insert}},
        {"actDel", "Удалить файлы", "Удалить выбранные файлы из списка", {QKeySequence::Delete}},
        {"actShowImage", "Просмотр файла", "Посмотреть картинку", {Qt::Key_Return, Qt::Key_Enter}},
        {"actFirst", "<<", "Перейти к первому файлу в списке", {Qt::Key_Home}},
        {"actLast", ">>", "Перейти к последнему файлу в списке", {Qt::Key_End}},
        {"actPrev", "<", "Перейти к предыдущему файлу в списке", {}},
        {"actNext", ">", "Перейти к следующему файлу в списке", {}},
        {"actSelAll", "Выделить всё", "Выделить все файлы в списке", {}},
        {"actSend", "Отправить файлы", "Отправить файлы на сайт", {}},
        {"actCancelProgress", "Прервать", "", {}},
        {"actUpdateFormats", "", "Обновить данные о форматах печати", {}},
        {"actSessOld", "Старые сессии", "Просмотр старых сессий", {}},
        {"actSessSelect", "Перейти", "Перейти на сайт для просмотра выбранной сессии", {}},
        {"actSessClose", "Закрыть", "Закрыть окно", {}},
        {"actShowHelp", "?", "", {Qt::Key_F1}},
    };
    for (const Command& c : commands) {
        auto* action = child<QAction>(c.name);
        ASSERT_NE(action, nullptr) << c.name;
        EXPECT_EQ(action->text(), c.caption) << c.name;
        // An action with no hint of its own shows its caption as its tool tip.
        EXPECT_EQ(action->toolTip(), c.hint.isEmpty() ? c.caption : c.hint) << c.name;
        EXPECT_EQ(action->shortcuts(), c.keys) << c.name;
    }
}

// The information panel's text keeps clear of the "?" and "X" drawn on it (their hot
// areas work in the empty layout too): the long text paints nothing there.
TEST_F(MainWindow, TheInformationTextFlowsRoundTheButtonsOnItsPanel) {
    testing_support::storeFormats();
    start();
    auto* label = child<QLabel>("Label3");
    label->setText(QString(60, u' ').replace(u' ', QStringLiteral("Фотокнига для всех ")));
    // Drawn over black, as over its dark panel: the text is what is light.
    QImage drawn(label->size(), QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::black);
    label->render(&drawn, QPoint(), QRegion(), QWidget::DrawChildren);
    const QRect buttons(geometry::btnHelp.topLeft() - geometry::Label3.topLeft(),
                        geometry::btnClose.bottomRight() - geometry::Label3.topLeft());
    int ink = 0;
    int inkElsewhere = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const bool white = qGray(drawn.pixel(x, y)) > 128;
            (buttons.contains(x, y) ? ink : inkElsewhere) += white ? 1 : 0;
        }
    }
    EXPECT_EQ(ink, 0);
    EXPECT_GT(inkElsewhere, 1000);  // the text is there, round them
}

// The file count stands in the middle of its drawn box.
TEST_F(MainWindow, TheFileCountIsCentredInItsBox) {
    testing_support::storeFormats();
    start();
    form().DropFiles({photo("a.jpg", 3000, 2000)});
    showAndActivate();
    const QImage window = form().grab().toImage();
    int left = window.width();
    int right = -1;
    for (int y = geometry::Label1.top(); y <= geometry::Label1.bottom(); ++y) {
        for (int x = geometry::kCountBox.left(); x <= geometry::kCountBox.right(); ++x) {
            const QColor c = window.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 90 && c.blue() < 90) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    ASSERT_GE(right, left) << "no red count drawn";
    EXPECT_NEAR((left + right) / 2.0, geometry::kCountBox.center().x(), 2.0);
}

// A layout change never leaves the window reaching past its screen's free area.
TEST_F(MainWindow, TheWindowStaysOnTheScreenWhenTheLayoutGrows) {
    testing_support::storeFormats();
    start();
    showAndActivate();
    const QRect area = form().screen()->availableGeometry();
    form().move(area.left() + 40, area.bottom() - geometry::kEmptyLayout.height() - 10);
    form().DropFiles({photo("a.jpg", 3000, 2000)});  // the taller list layout
    QCoreApplication::processEvents();
    EXPECT_EQ(form().size(), geometry::kListLayout);
    EXPECT_TRUE(area.contains(form().frameGeometry()))
        << form().frameGeometry().y() << " " << area.bottom();
}

// A lab that does not answer keeps nothing waiting on a banner: the window is there at
// once, and the end of the program does not wait for the fetch either.
TEST_F(MainWindow, ASilentLabDelaysNeitherTheStartNorTheEnd) {
    testing_support::storeFormats();
    labd::ServiceOptions options;
    options.stallSeconds = 30;
    labd::testing::Lab lab(options);
    QElapsedTimer timer;
    timer.start();
    start(QString::fromStdString(lab.address()));
    showAndActivate();
    EXPECT_LT(timer.elapsed(), 10000);  // the stall limit is a minute
    EXPECT_EQ(control<QLabel>(form(), "banner")->movie(), nullptr);
    timer.restart();
    program_.reset();
    EXPECT_LT(timer.elapsed(), 10000);
}

// The first start's format download shows a note while the lab is asked; closing the
// note gives the download up, and the program ends as without formats.
TEST_F(MainWindow, TheFirstDownloadShowsANoteThatCancelsIt) {
    labd::ServiceOptions options;
    options.stallSeconds = 30;
    labd::testing::Lab lab(options);
    bool noted = false;
    bool busy = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == QLatin1String("DownloadNote") && window->isVisible()) {
                noted = true;
                busy = QGuiApplication::overrideCursor() != nullptr &&
                       QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
                window->close();
            }
        }
    });
    closer.start(200);
    QElapsedTimer timer;
    timer.start();
    start(QString::fromStdString(lab.address()));
    closer.stop();
    EXPECT_TRUE(noted);
    EXPECT_TRUE(busy);
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_EQ(dialogs_.errors(),
              (QStringList{formats::messages::F1(), formats::messages::L2(),
                           formats::messages::B1(QString::fromUtf8(korvella::ServiceWebAddress))}));
    EXPECT_TRUE(program_->state().terminateRequested);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// The drawn buttons are reached from the keyboard: Tab gives them the focus, Space and
// Enter run them, and each has a name for screen readers.
TEST_F(MainWindow, TheDrawnButtonsWorkFromTheKeyboard) {
    testing_support::storeFormats();
    start();
    showAndActivate();
    for (HotArea* area : form().findChildren<HotArea*>()) {
        EXPECT_FALSE(area->accessibleName().isEmpty()) << area->objectName().toStdString();
    }
    // Only what can be seen takes the focus: in the list layout not the buttons under
    // the banner or beyond the window's right edge.
    EXPECT_EQ(child<HotArea>("JvTransparentButton12")->focusPolicy(), Qt::TabFocus);
    form().DropFiles({photo("a.jpg", 3000, 2000)});
    for (const char* hidden : {"JvTransparentButton12", "JvTransparentButton13",
                               "JvTransparentButton6", "JvTransparentButton7"}) {
        EXPECT_EQ(child<HotArea>(hidden)->focusPolicy(), Qt::NoFocus) << hidden;
    }
    EXPECT_EQ(child<HotArea>("btnHelp")->focusPolicy(), Qt::TabFocus);
    program_->state().Data.empty();  // back to the empty layout
    auto* add = child<HotArea>("JvTransparentButton8");
    for (int i = 0; i < 40 && QApplication::focusWidget() != add; ++i) {
        QTest::keyClick(
            QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &form(),
            Qt::Key_Tab);
    }
    ASSERT_EQ(QApplication::focusWidget(), add) << "Tab never reached the add button";
    QTest::keyClick(add, Qt::Key_Space);
    EXPECT_EQ(dialogs_.count(ScriptedDialogs::Shown::OpenFiles), 1);
    QTest::keyClick(add, Qt::Key_Return);
    EXPECT_EQ(dialogs_.count(ScriptedDialogs::Shown::OpenFiles), 2);
}

// The list has the focus as it appears, whichever way the photos came (the add
// command's dialog from the welcome screen's keys, a drop, a hand-over), so the first
// key reaches it: not a welcome-screen button that has just gone (Enter on it opened
// the help window).
TEST_F(MainWindow, TheListTakesTheFocusAsItAppears) {
    testing_support::storeFormats();
    start();
    showAndActivate();
    auto* list = child<QTableView>("DBGrid1");
    // Tab to a welcome-screen button first, as a customer using the keyboard would.
    QTest::keyClick(&form(), Qt::Key_Tab);
    ASSERT_TRUE(qobject_cast<HotArea*>(QApplication::focusWidget()) != nullptr);
    dialogs_.scriptOpenFiles({photo("a.jpg", 1800, 1200)});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Insert);
    ASSERT_EQ(program_->state().Data.rowCount(), 1);
    EXPECT_EQ(QApplication::focusWidget(), list);

    form().DropFiles({photo("b.jpg", 1800, 1200)});
    EXPECT_EQ(QApplication::focusWidget(), list);
}

// The File cell's hint: the whole name with a small picture of the photo, decoded off
// the window's thread; it stays while the pointer rests on the cell and goes when the
// pointer leaves it.
TEST_F(MainWindow, TheFileHintShowsThePhotoAndStaysWhileThePointerRests) {
    testing_support::storeFormats();
    start();
    showAndActivate();
    const QString path = folders_.root() + QStringLiteral("/IMG_20261211_0001_holiday.jpg");
    testing_support::writeFile(path, testing_support::encodedJpeg(1200, 800));
    form().DropFiles({path});
    auto* list = child<QTableView>("DBGrid1");
    const QRect cell = list->visualRect(list->model()->index(0, 0));
    const QPoint at = cell.center();
    QHelpEvent ask(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &ask);
    auto* hint = form().findChild<QFrame*>(QStringLiteral("PhotoHint"));
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->findChild<QLabel*>(QStringLiteral("text"))->text(),
              QStringLiteral("IMG_20261211_0001_holiday.jpg"));
    auto* picture = hint->findChild<QLabel*>(QStringLiteral("picture"));
    QTRY_VERIFY_WITH_TIMEOUT(!picture->pixmap().isNull(), 10000);
    EXPECT_EQ(picture->pixmap().width(), 160);  // landscape: its longer side
    QTest::qWait(1500);
    EXPECT_TRUE(hint->isVisible());  // no time-out while the pointer rests

    QTest::mouseMove(list->viewport(), cell.center() + QPoint(0, cell.height() * 3));
    EXPECT_FALSE(hint->isVisible());
}

// The welcome screen's panel holds each information text whole (the photobook text is
// set smaller rather than cut), and in the list layout, where the panel is hidden, the
// "i" shows the text it chose beside itself.
TEST_F(MainWindow, InformationTextsShowWholeInBothLayouts) {
    testing_support::storeFormats();
    start();
    showAndActivate();
    auto* label = child<ClickableLabel>("Label3");
    auto* info = child<HotArea>("btnInfo");
    QSet<QString> seen;
    for (int i = 0; i < 60 && seen.size() < 2; ++i) {
        info->click();
        seen.insert(label->text());
        EXPECT_LE(label->textHeight(), label->height()) << label->text().left(40).toStdString();
    }
    EXPECT_EQ(seen.size(), 2);
    EXPECT_FALSE(QToolTip::isVisible());  // the panel itself shows it here

    form().DropFiles({photo("a.jpg", 3000, 2000)});
    info->click();
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), label->text());
}
