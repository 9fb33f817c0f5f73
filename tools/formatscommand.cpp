#include "tools/formatscommand.h"

#include "formats/catalogue.h"
#include "korvella/buildconfig.h"
#include "platform/settingsstore.h"
#include "service/httpget.h"
#include "tools/printingdialogs.h"

namespace tool {

int runFormatsCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    bool force = false;
    QString host = QString::fromUtf8(korvella::ServiceHost);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--update")) {
            force = true;
        } else if (args[i] == QLatin1String("--host") && i + 1 < args.size()) {
            host = args[++i];
        } else {
            err << "usage: korvella-tool formats [--update] [--host HOST]\n";
            return 2;
        }
    }
    PrintingDialogs dialogs(out);
    platform::QSettingsStore store;
    service::CredentialStore credentials;
    service::HttpClient http(dialogs, credentials);
    formats::TFormats catalogue;
    // As the program starts: a catalogue that does not read is fetched anew, and one
    // that still does not read is none (the program ends then).
    try {
        formats::LoadFormatsForStart(
            force, catalogue,
            {[&](const QString& url) { return http.HttpGet(url, QString()); }, store, dialogs, host,
             QString::fromUtf8(korvella::ServiceWebAddress)});
    } catch (const platform::Error& e) {
        out << e.text() << "\n";  // the program's error box
        return 1;
    }
    for (const formats::TFormatsRecord& f : catalogue) {
        out << f.Name << '\t' << QString::number(static_cast<double>(f.Cost), 'g', 9) << '\t'
            << f.Width_mm << '\t' << f.Height_mm << '\t' << f.Width_px << '\t' << f.Height_px
            << '\t' << f.DPI_Min << '\n';
    }
    return catalogue.empty() ? 1 : 0;
}

}  // namespace tool
