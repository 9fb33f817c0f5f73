// korvella-screenshot [--host HOST] OUTDIR: runs the program's windows as a customer
// would see them (on the display the environment gives, e.g. Xvfb) and saves PNGs in
// OUTDIR: the main window's empty layout, its list layout with a prepared order (one
// row too coarse for its format, so red) and the list's popup menu open, the help
// window, and the other windows. Dialogs that would wait for a person are answered and
// listed instead. The order's photos are made in a temporary folder.
#include <QCursor>
#include <QDir>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <functional>

#include "app/Unit1.h"
#include "app/application.h"
#include "app/artwork/jpegcodec.h"
#include "app/help.h"
#include "images/ShowImage.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/qtdialogs.h"
#include "platform/urlopener.h"
#include "service/Session.h"
#include "tools/printingdialogs.h"
#include "upload/progress.h"
#include "upload/sendtask.h"
#include "upload/uploadmessages.h"

namespace {

void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool save(const QPixmap& shot, const QString& path) {
    const bool saved = shot.save(path);
    QTextStream(stdout) << path << (saved ? "" : " (not saved)") << "\n";
    return saved;
}

bool shoot(QWidget& window, const QString& path) {
    window.show();
    window.raise();
    settle(400);
    return save(window.screen()->grabWindow(window.winId()), path);
}

// The screen around a window, so that popups over it are in the picture too.
bool shootScreen(QWidget& window, const QSize& size, const QString& path) {
    settle(400);
    const QPoint at = window.frameGeometry().topLeft();
    return save(window.screen()->grabWindow(0, at.x(), at.y(), size.width(), size.height()), path);
}

// A photo of the given pixel size: a sky over a meadow, so rows have something to show.
QString makePhoto(const QDir& folder, const QString& name, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0.0, QColor(110, 170, 230));
    sky.setColorAt(0.6, QColor(200, 225, 245));
    sky.setColorAt(0.61, QColor(90, 160, 70));
    sky.setColorAt(1.0, QColor(50, 110, 40));
    painter.fillRect(image.rect(), sky);
    painter.end();
    const QString path = folder.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(artwork::encodeJpeg(image, 85));
    }
    return path;
}

// The pages the program opens stay closed: no browser comes up under the X server.
class NoBrowser final : public platform::UrlOpener {
public:
    void openUrl(const QString&) override {}
};

// The time of day the session stamps are made of, moved on by hand.
class StepClock final : public platform::Clock {
public:
    QDateTime now() const override { return now_; }
    QDateTime now_{QDate(2026, 12, 7), QTime(18, 42, 5)};
};

}  // namespace

int main(int argc, char** argv) {
    QTextStream err(stderr);
    tool::PrintingDialogs dialogs(err);
    KorvellaApplication app(argc, argv, dialogs);
    QStringList args = app.arguments().mid(1);
    ProgramOptions options;
    StepClock clock;
    options.clock = &clock;
    NoBrowser noBrowser;
    options.urls = &noBrowser;
    // --single FILE: only the window with one photo, placed low on the screen, saved as
    // the whole screen (the script's small screen, and its screen at twice the scale).
    QString single;
    if (const qsizetype at = args.indexOf(QStringLiteral("--single"));
        at >= 0 && at + 1 < args.size()) {
        single = args[at + 1];
        args.remove(at, 2);
    }
    if (args.size() == 3 && args[0] == QLatin1String("--host")) {
        options.serviceHost = args[1];
        args = args.mid(2);
    }
    if (args.size() != 1) {
        err << "usage: korvella-screenshot [--single FILE] [--host HOST] OUTDIR\n";
        return 2;
    }
    const QDir out(args[0]);
    QDir().mkpath(out.path());
    Program program(dialogs, options);
    TForm1& form = program.form1();

    if (!single.isEmpty()) {
        // A laptop's screen (the script's second X server is 1366 x 768): the empty
        // layout placed low, then a photo added; the taller list layout stays on it.
        QTemporaryDir photos;
        form.show();
        form.move(form.x(), form.screen()->availableGeometry().bottom() - 440);
        settle(300);
        form.DropFiles(
            {makePhoto(QDir(photos.path()), QStringLiteral("IMG_0001.JPG"), 1800, 1200)});
        settle(600);
        const bool saved = save(form.screen()->grabWindow(0), out.filePath(single));
        program.state().Data.empty();
        return saved ? 0 : 1;
    }

    bool ok = shoot(form, out.filePath(QStringLiteral("TForm1-empty.png")));

    QTemporaryDir photos;
    const QDir folder(photos.path());
    form.DropFiles({makePhoto(folder, QStringLiteral("Море.jpg"), 3000, 2000),
                    makePhoto(folder, QStringLiteral("Дача летом.jpg"), 2400, 1600),
                    makePhoto(folder, QStringLiteral("Старое фото.jpg"), 640, 480),
                    makePhoto(folder, QStringLiteral("Портрет.jpg"), 1600, 2400),
                    makePhoto(folder, QStringLiteral("Свадьба в саду у бабушки.jpg"), 3000, 2000)});
    form.show();
    settle(300);
    ok &= shoot(form, out.filePath(QStringLiteral("TForm1-list.png")));

    // Two rows selected and the popup menu open on the list, its format submenu too.
    auto* list = form.findChild<QTableView*>(QStringLiteral("DBGrid1"));
    auto* popup = form.findChild<QMenu*>(QStringLiteral("PopupMenu1"));
    list->selectionModel()->select(list->model()->index(0, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list->selectionModel()->select(list->model()->index(3, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QPoint at = list->viewport()->mapToGlobal(QPoint(150, 40));
    popup->popup(at);
    settle(300);
    if (QMenu* formats = popup->findChild<QMenu*>(QStringLiteral("N5"))) {
        popup->setActiveAction(formats->menuAction());
        formats->popup(popup->geometry().topRight());
    }
    ok &= shootScreen(form, QSize(900, 620), out.filePath(QStringLiteral("TForm1-popup.png")));
    popup->close();

    // The pointer resting on the red row: its hint tells why.
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        const QModelIndex cell = list->model()->index(row, 2);
        if (!form.DBGrid1ShowCellHint(cell).first.startsWith(QStringLiteral("Разрешение"))) {
            continue;
        }
        list->clearSelection();
        const QPoint spot = list->visualRect(cell).center();
        QCursor::setPos(list->viewport()->mapToGlobal(spot));
        settle(300);
        // The hover's tool-tip request, as the pointer resting there would give it.
        QHelpEvent rest(QEvent::ToolTip, spot, list->viewport()->mapToGlobal(spot));
        QCoreApplication::sendEvent(list->viewport(), &rest);
        settle(500);
        ok &= shootScreen(form, QSize(900, 620), out.filePath(QStringLiteral("TForm1-hint.png")));
        QCursor::setPos(form.mapToGlobal(QPoint(-50, -50)));
        break;
    }

    // Thirty photos with camera names alike at their starts, one of them prepared.
    QStringList camera;
    for (int i = 1; i <= 25; ++i) {
        camera << makePhoto(folder,
                            QStringLiteral("IMG_2024_0612_14%1.JPG").arg(i, 2, 10, QChar(u'0')),
                            1800, 1200);
    }
    form.DropFiles(camera);
    program.state().Data.first();
    program.state().Data.setField(order::Field::Param, QStringLiteral("Подготовленный"));
    program.state().Data.post();
    list->clearSelection();
    list->scrollToTop();
    ok &= shoot(form, out.filePath(QStringLiteral("TForm1-list-30.png")));
    // Forty, and the pointer resting on a name: its hint with the photo's picture.
    QStringList more;
    for (int i = 26; i <= 35; ++i) {
        more << makePhoto(folder,
                          QStringLiteral("IMG_2024_0612_14%1.JPG").arg(i, 2, 10, QChar(u'0')), 1800,
                          1200);
    }
    form.DropFiles(more);
    list->clearSelection();
    list->scrollToTop();
    {
        const QPoint spot = list->visualRect(list->model()->index(3, 0)).center();
        QCursor::setPos(list->viewport()->mapToGlobal(spot));
        settle(300);
        QHelpEvent rest(QEvent::ToolTip, spot, list->viewport()->mapToGlobal(spot));
        QCoreApplication::sendEvent(list->viewport(), &rest);
        settle(1200);  // the picture is decoded meanwhile
        ok &= shootScreen(form, QSize(900, 620),
                          out.filePath(QStringLiteral("TForm1-name-hint.png")));
        QCursor::setPos(form.mapToGlobal(QPoint(-50, -50)));
        settle(200);
    }

    QTimer::singleShot(600, &program.frmHelp(), [&] {
        ok &= shootScreen(program.frmHelp(), program.frmHelp().size(),
                          out.filePath(QStringLiteral("TfrmHelp.png")));
        program.frmHelp().reject();
    });
    form.actShowHelpExecute();

    // The viewer on the coarse photo (its red warning), that preview turned left, and on
    // a portrait photo.
    const auto view = [&](const char* file, const std::function<void(TForm2&)>& shots) {
        program.state().Data.locate(folder.filePath(QString::fromUtf8(file)));
        QTimer::singleShot(800, &program.form2(), [&] {
            shots(program.form2());
            program.form2().reject();
        });
        form.actShowImageExecute();
    };
    view("Старое фото.jpg", [&](TForm2& viewer) {
        ok &= shootScreen(viewer, viewer.size(), out.filePath(QStringLiteral("TForm2.png")));
        viewer.actRotateLeftExecute();
        ok &= shootScreen(viewer, viewer.size(), out.filePath(QStringLiteral("TForm2-turned.png")));
    });
    view("Портрет.jpg", [&](TForm2& viewer) {
        ok &=
            shootScreen(viewer, viewer.size(), out.filePath(QStringLiteral("TForm2-portrait.png")));
    });
    // The progress window during a run, at its finished end, and after a cancel.
    const auto photos5 = [&] {
        return QStringList{makePhoto(folder, QStringLiteral("Море.jpg"), 3000, 2000),
                           makePhoto(folder, QStringLiteral("Дача летом.jpg"), 2400, 1600),
                           makePhoto(folder, QStringLiteral("Старое фото.jpg"), 640, 480)};
    };
    const auto upload = [&](const std::function<void(TForm3&)>& during, const char* endName) {
        TForm3& window = program.form3();
        bool shotDuring = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!window.isVisible()) {
                return;
            }
            if (!shotDuring && window.windowTitle().endsWith(QStringLiteral("2 из 3"))) {
                shotDuring = true;
                during(window);
            }
            if (program.state().SendTask != nullptr && !program.state().Sending) {
                watch.stop();
                settle(300);
                ok &=
                    shootScreen(window, window.size(), out.filePath(QString::fromLatin1(endName)));
                form.findChild<QAction*>(QStringLiteral("actCancelProgress"))->trigger();
            }
        });
        watch.start(5);
        form.actSendExecute();
    };
    form.N2Click();
    form.DropFiles(photos5());
    upload(
        [&](TForm3& window) {
            // Drawn at once: the run goes on while the screen would be waited for.
            ok &= save(window.grab(), out.filePath(QStringLiteral("TForm3.png")));
        },
        "TForm3-finished.png");
    form.DropFiles(photos5());
    upload(
        [&](TForm3&) { form.findChild<QAction*>(QStringLiteral("actCancelProgress"))->trigger(); },
        "TForm3-aborted.png");
    // The message a row that did not go through asks with, as the program shows it: over
    // the progress window, which stays on top, where the window manager stacks it.
    form.DropFiles(photos5());
    upload(
        [&](TForm3& window) {
            platform::QtDialogs boxes(applicationTitle());
            QTimer::singleShot(800, [&] {
                if (QWidget* box = QApplication::activeModalWidget()) {
                    const QRect both = window.frameGeometry().united(box->frameGeometry());
                    ok &= save(window.screen()->grabWindow(0, both.x(), both.y(), both.width(),
                                                           both.height()),
                               out.filePath(QStringLiteral("TransferFailed.png")));
                    box->close();
                }
            });
            boxes.askAbortRetryIgnore(
                upload::messages::transferFailed(folder.filePath(QStringLiteral("Море.jpg"))));
            form.findChild<QAction*>(QStringLiteral("actCancelProgress"))->trigger();
        },
        "TForm3-aborted.png");

    // The session window with no stored session, then with three from the lab.
    const auto showSessions = [&](const char* name) {
        QTimer::singleShot(600, &program.formSession(), [&, name] {
            ok &= shootScreen(program.formSession(), program.formSession().size(),
                              out.filePath(QString::fromLatin1(name)));
            program.formSession().reject();
        });
        form.actSessOldExecute();
    };
    form.findChild<QAction*>(QStringLiteral("actSessOld"))->setEnabled(true);
    program.formSession().N2Click();
    showSessions("TformSession-empty.png");
    for (int i = 0; i < 3; ++i) {
        clock.now_ = clock.now_.addSecs(3600 * 26 + 61);
        form.GetNewSession();
    }
    showSessions("TformSession.png");
    program.formSession().N2Click();

    // The prepared order is not the user's: leave the list empty again.
    form.N2Click();
    return ok ? 0 : 1;
}
