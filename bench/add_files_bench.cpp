// Adds 10 000 photo files in one add operation, as the add command does, and reports
// the time taken and the bytes read per file. The files are small real JPEGs made
// here, freshly written and so in the page cache.
//   scripts/bench.sh            (builds optimised and runs every benchmark)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

#include "order/addfile.h"
#include "order/ordertable.h"
#include "platform/testing/jpegbytes.h"

namespace {

// Bytes this process has read through read-like system calls so far.
qint64 bytesRead() {
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:")) {
            return line.mid(6).trimmed().toLongLong();
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;

    QTemporaryDir dir;
    const QByteArray jpeg = testing_support::encodedJpeg(320, 240);
    QStringList files;
    for (int i = 0; i < count; ++i) {
        // Names in an order other than the sorted one, as a file dialog may give them.
        const QString path = dir.filePath(
            QStringLiteral("IMG_%1.jpg").arg((i * 7919) % count, 5, 10, QLatin1Char('0')));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size()) {
            out << "cannot write " << path << "\n";
            return 1;
        }
        files << path;
    }

    order::OrderTable table;
    table.setFileName(dir.filePath(QStringLiteral("Data.csv")));
    table.open();

    QElapsedTimer timer;
    const qint64 readBefore = bytesRead();
    timer.start();
    for (const QString& path : files) {
        order::addFile(table, path, QStringLiteral("10x15"), order::Field::File, true);
    }
    const qint64 addMs = timer.elapsed();
    const qint64 readAdding = bytesRead() - readBefore;
    timer.restart();
    table.close();
    table.open();
    const qint64 saveMs = timer.elapsed();

    out << "add " << count << " files: " << addMs << " ms (" << table.rowCount() << " rows)\n"
        << "bytes read per file while adding: " << (readAdding / count) << " (file size "
        << jpeg.size() << ")\n"
        << "save and reload: " << saveMs << " ms\n";
    return table.rowCount() == count ? 0 : 1;
}
