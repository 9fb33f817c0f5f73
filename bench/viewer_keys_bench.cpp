// The viewer moving from one photo to the next: PgDn sent to the viewer window, the next
// row's photo opened (cache, layout, stretch, sharpening) and its preview painted,
// RUNS times over copies of PHOTO; the median from key to painted preview, once with
// the keys pressed one right after the other and once a second apart, as a customer
// looks at each photo (the next one's cache is then decoded ahead).
//   build-bench/bench/viewer_keys_bench RUNS PHOTO
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <vector>

#include "images/ShowImage.h"
#include "order/ordertable.h"
#include "platform/testing/scripteddialogs.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = QApplication::arguments();
    if (args.size() < 3) {
        out << "usage: viewer_keys_bench RUNS PHOTO\n";
        return 2;
    }
    const int runs = std::max(1, args[1].toInt());
    QTemporaryDir work;
    order::OrderTable table;
    table.setFileName(work.filePath(QStringLiteral("Data.csv")));
    table.open();
    for (int i = 0; i <= runs; ++i) {
        const QString copy =
            work.filePath(QStringLiteral("photo-%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
        QFile::copy(args[2], copy);
        order::OrderRow row;
        row.file = copy;
        row.count = 1;
        row.format = QStringLiteral("10x15");
        row.param = QStringLiteral("С полями");
        row.paper = QStringLiteral("Матовая");
        row.width = 5472;
        row.height = 3648;
        table.appendSorted(row, order::Field::File, true);
    }
    const formats::TFormats catalogue = {
        {QStringLiteral("10x15"), 12.5f, 152, 102, 1795, 1205, 150}};
    const QStringList names = {QStringLiteral("10x15")};
    testing_support::ScriptedDialogs dialogs;  // records the messages, answers Abort
    TForm2 viewer({table, catalogue, names, dialogs}, QImage());
    // The main window's part: the next-row command, and the viewer following the cursor.
    QAction next;
    QObject::connect(&next, &QAction::triggered, [&] { table.next(); });
    QObject::connect(&table, &order::OrderTable::afterScroll, [&] { viewer.UpdateForm(false); });
    viewer.setCommands({nullptr, &next, nullptr, nullptr, nullptr, {}});
    viewer.show();
    QApplication::processEvents();

    for (const int lookMs : {0, 1000}) {
        std::vector<qint64> times;
        table.first();
        QApplication::processEvents();
        for (int i = 0; i < runs / 2; ++i) {
            if (lookMs > 0) {
                QElapsedTimer looking;
                looking.start();
                while (looking.elapsed() < lookMs) {
                    QApplication::processEvents(QEventLoop::AllEvents, 50);
                }
            }
            QElapsedTimer timer;
            timer.start();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
            QApplication::sendEvent(&viewer, &press);
            viewer.repaint();
            times.push_back(timer.nsecsElapsed());
        }
        std::sort(times.begin(), times.end());
        out << "PgDn to the next photo, painted, " << lookMs
            << " ms after the last: " << times[times.size() / 2] / 1e6 << " ms (median of "
            << times.size() << ")\n";
    }
    return 0;
}
