#include "tools/sessionscommand.h"

#include "korvella/buildconfig.h"
#include "platform/clock.h"
#include "platform/settingsstore.h"
#include "service/httpget.h"
#include "service/sessions.h"
#include "tools/printingdialogs.h"

namespace tool {

int runSessionsCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    bool create = false;
    QString host = QString::fromUtf8(korvella::ServiceHost);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--new")) {
            create = true;
        } else if (args[i] == QLatin1String("--host") && i + 1 < args.size()) {
            host = args[++i];
        } else {
            err << "usage: korvella-tool sessions [--new] [--host HOST]\n";
            return 2;
        }
    }
    PrintingDialogs dialogs(out);
    platform::QSettingsStore store;
    platform::SystemClock clock;
    service::CredentialStore credentials;
    service::HttpClient http(dialogs, credentials);
    const service::SessionServices sessions{
        [&](const QString& url) { return http.HttpGet(url, QString()); },
        store,
        dialogs,
        clock,
        host,
        QString::fromUtf8(korvella::ServiceWebAddress)};
    int status = 0;
    if (create) {
        try {
            if (service::GetNewSession(sessions).isEmpty()) {
                status = 1;
            }
        } catch (const platform::Error& e) {
            // The program shows this in an error box.
            out << e.text() << "\n";
            status = 1;
        }
    }
    for (const QString& stamp : service::listSessions(sessions)) {
        out << stamp << '\t' << service::GetOldSession(stamp, sessions) << '\n';
    }
    return status;
}

}  // namespace tool
