#include "tools/sendcommand.h"

#include "formats/catalogue.h"
#include "images/prepare.h"
#include "korvella/buildconfig.h"
#include "order/choices.h"
#include "order/readjpeginfo.h"
#include "order/resolution.h"
#include "platform/clock.h"
#include "platform/settingsstore.h"
#include "service/httpget.h"
#include "service/sessions.h"
#include "tools/printingdialogs.h"
#include "upload/sendfiles.h"
#include "upload/uploadmessages.h"

namespace tool {

namespace {

// The order as the command line gives it, and what the run shows, printed.
class PrintingHost final : public upload::SendHost {
public:
    PrintingHost(std::vector<upload::SendRow> rows, const service::SessionServices& sessions,
                 QTextStream& out)
        : rows_(std::move(rows)), sessions_(sessions), out_(out) {}

    int rowCount() override { return static_cast<int>(rows_.size()); }
    void FirstRecord() override { position_ = 0; }
    upload::SendRow currentRow() override { return rowAt(static_cast<int>(position_)); }
    upload::SendRow rowAt(int index) override {
        return index >= 0 && static_cast<size_t>(index) < rows_.size() ? rows_[index]
                                                                       : upload::SendRow{};
    }
    void UpdateProgress(const upload::SendProgress& p) override {
        // Each text once, as it comes; the bars' values only with a new row.
        if (p.FormCaption != shown_.FormCaption && !p.FormCaption.isEmpty()) {
            out_ << p.FormCaption << "\n";
        }
        if (p.Caption != shown_.Caption) {
            out_ << p.Caption << "\n";
        }
        shown_ = p;
    }
    void NextRecord() override { ++position_; }
    void SendFinished(const QString& session,
                      const std::vector<upload::NotSent>& notSent) override {
        finished_ = true;
        allSent_ = notSent.empty();
        out_ << service::sessionPageAddress(sessions_.serviceHost, session) << "\n";
        if (!notSent.empty()) {
            out_ << upload::messages::notSent(notSent) << "\n";
        }
    }
    QString GetNewSession(const std::atomic<bool>&) override {
        return service::GetNewSession(sessions_);
    }
    bool finished() const { return finished_; }
    bool allSent() const { return allSent_; }

private:
    std::vector<upload::SendRow> rows_;
    size_t position_ = 0;
    const service::SessionServices& sessions_;
    QTextStream& out_;
    upload::SendProgress shown_;
    bool finished_ = false;
    bool allSent_ = false;
};

}  // namespace

int runSendCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    QString host = QString::fromUtf8(korvella::ServiceHost);
    QString format;
    QString how = order::paramChoices().constFirst();
    QString paper = order::paperChoices().constFirst();
    int count = 1;
    auto onFailure = platform::Dialogs::Answer::Abort;
    QStringList photos;
    bool usage = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool more = i + 1 < args.size();
        if (a == QLatin1String("--host") && more) {
            host = args[++i];
        } else if (a == QLatin1String("--format") && more) {
            format = args[++i];
        } else if (a == QLatin1String("--how") && more) {
            how = args[++i];
        } else if (a == QLatin1String("--paper") && more) {
            paper = args[++i];
        } else if (a == QLatin1String("--count") && more) {
            bool ok = false;
            count = args[++i].toInt(&ok);
            usage = usage || !ok || count < 1;
        } else if (a == QLatin1String("--on-failure") && more) {
            const QString answer = args[++i];
            usage =
                usage || (answer != QLatin1String("abort") && answer != QLatin1String("ignore"));
            onFailure = answer == QLatin1String("ignore") ? platform::Dialogs::Answer::Ignore
                                                          : platform::Dialogs::Answer::Abort;
        } else if (a.startsWith(QLatin1String("--"))) {
            usage = true;
        } else {
            photos << a;
        }
    }
    if (usage || photos.isEmpty()) {
        err << "usage: korvella-tool send [--host HOST] [--format NAME] [--how HOW] "
               "[--paper PAPER] [--count N] [--on-failure abort|ignore] PHOTO...\n";
        return 2;
    }

    PrintingDialogs dialogs(out, onFailure);
    platform::QSettingsStore store;
    platform::SystemClock clock;
    service::CredentialStore credentials;
    service::HttpClient http(dialogs, credentials);
    const auto httpGet = [&](const QString& url) { return http.HttpGet(url, QString()); };
    const QString web = QString::fromUtf8(korvella::ServiceWebAddress);
    formats::TFormats catalogue;
    try {
        formats::LoadFormats(false, catalogue, {httpGet, store, dialogs, host, web});
    } catch (const platform::Error& e) {
        out << e.text() << "\n";
    }
    if (catalogue.empty()) {
        return 1;
    }
    if (format.isEmpty()) {
        format = catalogue.front().Name;
    }
    const formats::TFormatsRecord* record = order::findFormat(catalogue, format);

    std::vector<upload::SendRow> rows;
    for (const QString& photo : photos) {
        quint16 width = 0;
        quint16 height = 0;
        qint32 size = 0;
        try {
            if (!order::ReadJpegInfo(photo, width, height, size)) {
                err << photo << ": not a JPEG photo the program takes\n";
                return 1;
            }
        } catch (const platform::Error& e) {
            err << e.text() << "\n";
            return 1;
        }
        upload::SendRow row{photo, count, format, how, paper, width, height, std::nullopt};
        if (record != nullptr) {
            row.record = *record;
        }
        rows.push_back(row);
    }

    const service::SessionServices sessions{httpGet, store, dialogs, clock, host, web};
    PrintingHost printing(std::move(rows), sessions, out);
    upload::SendRun run(printing, {http, dialogs, &images::preparePrint, host, web});
    try {
        run.StartSend();
    } catch (const platform::Error& e) {
        out << e.text() << "\n";
        return 1;
    }
    if (!printing.finished()) {
        out << upload::messages::aborted() << "\n";
        return 1;
    }
    return printing.allSent() ? 0 : 3;
}

}  // namespace tool
