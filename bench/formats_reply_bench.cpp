// The largest format list the program takes (kMaxFormats distinct formats): the time to
// store it as the download does and to load it as every start does; and the time to
// refuse a 10 MB list of half a million small records.
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
    for (int i = 0; i < formats::kMaxFormats; ++i) {
        reply += "format " + QByteArray::number(i) + ":12.50:152:102:1795:1205:150;";
    }
    platform::QSettingsStore store;
    testing_support::ScriptedDialogs dialogs;
    const formats::CatalogueServices catalogue{
        [&](const QString&) { return service::replyText(reply); }, store, dialogs,
        QStringLiteral("lab.test"), QString()};
    QElapsedTimer timer;
    timer.start();
    const bool stored = formats::DownloadFormats(catalogue);
    for (const QString& message : dialogs.errors()) {
        out << "message: " << message << "\n";
    }
    out << "storing " << formats::kMaxFormats << " formats (" << reply.size() / 1024
        << " KB): " << timer.elapsed() << " ms, stored "
        << store.subkeyCount(formats::FormatsKey).value_or(0) << ", result " << stored << "\n";

    timer.restart();
    formats::TFormats loaded;
    {
        // A later start: a store of its own, read afresh.
        platform::QSettingsStore later;
        const formats::CatalogueServices again{catalogue.httpGet, later, dialogs,
                                               QStringLiteral("lab.test"), QString()};
        formats::LoadFormats(false, loaded, again);
    }
    out << "loading them at start: " << timer.elapsed() << " ms, " << loaded.size() << " formats\n";

    QByteArray hostile;
    int records = 0;
    for (; hostile.size() < 10 * 1024 * 1024; ++records) {
        hostile += "f" + QByteArray::number(records % 50) + ":1:2:3:4:5:6;";
    }
    reply = hostile;
    timer.restart();
    const bool refused = !formats::DownloadFormats(catalogue);
    out << "refusing " << records << " records (" << hostile.size() / 1024
        << " KB): " << timer.elapsed() << " ms, refused " << refused << "\n";
    return stored && refused && loaded.size() == static_cast<size_t>(formats::kMaxFormats) ? 0 : 1;
}
