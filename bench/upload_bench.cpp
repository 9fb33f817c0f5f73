// The upload against preparing its prints alone: COPIES copies of PHOTO (real photos,
// copied) made into 10x15 prints with borders in one process, then uploaded as one
// order to a labd on loopback through the worker on its thread, its progress shown in
// the progress window on this (the user-interface) thread, as the send command does.
// Prints both times, their ratio, and the memory held after 10 rows and after the last.
//   build-bench/bench/upload_bench LABD PHOTO [COPIES]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <fstream>
#include <string>

#include "images/prepare.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/urlopener.h"
#include "service/httpget.h"
#include "upload/progress.h"
#include "upload/sendtask.h"

namespace {

// A figure of this process's memory from /proc, in MB: "VmRSS:" now, "VmHWM:" the peak.
double megabytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0;
}

class NoBrowser final : public platform::UrlOpener {
public:
    void openUrl(const QString&) override {}
};

// The order: the copies; the progress: the window.
class Host final : public upload::SendHost {
public:
    Host(const QStringList& photos, const formats::TFormatsRecord& format, TForm3& window,
         service::HttpClient& http, const QString& host)
        : photos_(photos), format_(format), window_(window), http_(http), host_(host) {}

    int rowCount() override { return static_cast<int>(photos_.size()); }
    void FirstRecord() override { row_ = 0; }
    upload::SendRow currentRow() override { return rowAt(row_); }
    upload::SendRow rowAt(int index) override {
        return {photos_.value(index),      1,    format_.Name, QStringLiteral("С полями"),
                QStringLiteral("Матовая"), 5472, 3648,         format_};
    }
    void UpdateProgress(const upload::SendProgress& progress) override {
        window_.UpdateProgress(progress);
    }
    void NextRecord() override {
        ++row_;
        if (row_ == 10) {
            residentAfter10 = megabytes("VmRSS:");
        }
        if (row_ == rowCount()) {
            residentAtEnd = megabytes("VmRSS:");
        }
    }
    void SendFinished(const QString&, const std::vector<upload::NotSent>&) override {
        finished = true;
    }
    QString GetNewSession(const std::atomic<bool>&) override {
        QString key = http_.HttpGet(host_ + "/index.php?option=com_photoprint&step=session", {});
        return key.remove(QStringLiteral("\r\n"));
    }

    bool finished = false;
    double residentAfter10 = 0;
    double residentAtEnd = 0;

private:
    QStringList photos_;
    formats::TFormatsRecord format_;
    TForm3& window_;
    service::HttpClient& http_;
    QString host_;
    int row_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const service::HttpGlobal curl;
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = QApplication::arguments();
    if (args.size() < 3) {
        out << "usage: upload_bench LABD PHOTO [COPIES]\n";
        return 2;
    }
    const int copies = args.size() > 3 ? args[3].toInt() : 100;
    QTemporaryDir work;
    QStringList photos;
    for (int i = 0; i < copies; ++i) {
        const QString copy = work.filePath(QStringLiteral("photo-%1.jpg").arg(i));
        QFile::copy(args[2], copy);
        photos << copy;
    }
    formats::TFormatsRecord format{QStringLiteral("10x15"), 12.5f, 152, 102, 1795, 1205, 150};

    // The prints alone.
    QElapsedTimer clock;
    clock.start();
    qint64 bytes = 0;
    for (const QString& photo : photos) {
        bytes += images::preparePrint(photo, format, QStringLiteral("С полями")).size();
    }
    const double prepareSeconds = clock.elapsed() / 1000.0;

    // A labd of its own on a free loopback port.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const int port = probe.serverPort();
    probe.close();
    QProcess labd;
    labd.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    QDir().mkpath(work.filePath(QStringLiteral("labd")));
    labd.setStandardErrorFile(work.filePath(QStringLiteral("labd.log")));
    labd.start(args[1], {QStringLiteral("--port"), QString::number(port), QStringLiteral("--data"),
                         work.filePath(QStringLiteral("labd"))});
    if (!labd.waitForStarted()) {
        out << "labd did not start\n";
        return 1;
    }
    QThread::msleep(500);
    const QString host = QStringLiteral("127.0.0.1:%1").arg(port);

    testing_support::ScriptedDialogs dialogs;  // records the messages, answers Abort
    service::CredentialStore credentials;
    service::HttpClient http(dialogs, credentials);
    NoBrowser urls;
    TForm3 window(urls, nullptr, QImage());
    window.show();
    Host steps(photos, format, window, http, host);
    TSendFilesTask task(
        steps, upload::SendServices{http, dialogs, &images::preparePrint, host, host}, &window);
    clock.restart();
    // The event loop serves the worker's steps as the program's does.
    QEventLoop loop;
    QTimer ended;
    QObject::connect(&ended, &QTimer::timeout, [&] {
        if (task.isFinished()) {
            loop.quit();
        }
    });
    ended.start(20);
    task.start();
    loop.exec();
    const double uploadSeconds = clock.elapsed() / 1000.0;
    labd.terminate();
    labd.waitForFinished();

    out << copies << " prints of " << args[2] << " (" << bytes / copies / 1024 << " KB each)\n"
        << "  preparing alone: " << prepareSeconds << " s\n"
        << "  uploading:       " << uploadSeconds << " s"
        << (steps.finished ? "" : " (not finished)") << "\n"
        << "  upload / preparation: " << uploadSeconds / prepareSeconds << "\n"
        << "  resident memory after 10 rows: " << steps.residentAfter10
        << " MB, after the last: " << steps.residentAtEnd << " MB (peak " << megabytes("VmHWM:")
        << " MB)\n";
    for (const QString& message : dialogs.errors()) {
        out << message << "\n";
    }
    return steps.finished ? 0 : 1;
}
