// Stores a 10 MB format list of small records (about half a million, fifty names over
// and over) as the format download does, and reports the time: the worst a hostile
// reply can make the download work.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include "formats/catalogue.h"
#include "platform/settingsstore.h"
#include "platform/testing/scripteddialogs.h"
#include "service/replytext.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());

    QByteArray reply;
    int records = 0;
    for (; reply.size() < 10 * 1024 * 1024; ++records) {
        reply += "f" + QByteArray::number(records % 50) + ":1:2:3:4:5:6;";
    }
    platform::QSettingsStore store;
    testing_support::ScriptedDialogs dialogs;
    const formats::CatalogueServices catalogue{
        [&](const QString&) { return service::replyText(reply); }, store, dialogs,
        QStringLiteral("lab.test"), QString()};
    QElapsedTimer timer;
    timer.start();
    const bool stored = formats::DownloadFormats(catalogue);
    out << "download of " << records << " records (" << reply.size() / 1024
        << " KB): " << timer.elapsed() << " ms, stored "
        << store.subkeyCount(formats::FormatsKey).value_or(0) << " formats, result " << stored
        << "\n";
    return stored ? 0 : 1;
}
