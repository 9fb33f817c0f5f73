#pragma once

#include <QByteArray>
#include <QFuture>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>
#include <vector>

#include "formats/formatsrecord.h"

namespace platform {
class Dialogs;
}
namespace service {
class HttpClient;
}

// The upload of a whole order: a new session from the lab, then every row's print
// made and sent, first row to last, with the progress shown as it goes.
namespace upload {

// One row of the order as the worker sends it, read for it where the order lives.
struct SendRow {
    QString file;
    std::optional<qint32> count;
    QString format;
    QString param;
    QString paper;
    std::optional<qint32> width;
    std::optional<qint32> height;
    // The row's format: a copy of the catalogue's first entry of that name (letter
    // case ignored); none when the catalogue has no such format.
    std::optional<formats::TFormatsRecord> record;
};

// The worker's fields, which UpdateProgress shows.
struct SendProgress {
    int Progress1 = 0;  // the current row, percent (may pass 100 after retries)
    int Progress2 = 0;  // the whole order, percent
    QString FormCaption;
    QString Caption;
    QString Hint;
};

// A row the run did not send: its photo was gone at its turn, or the customer skipped
// it (Ignore). Such rows stay in the order after a finished run.
struct NotSent {
    int position = 0;  // 0-based, in the order as the run found it
    QString file;
    bool missing = false;  // the photo was gone; otherwise skipped
};

// What the worker has done for it where the order and the windows live. Every call
// but GetNewSession runs there and returns when done; GetNewSession runs on the
// worker's own thread (its messages come up where the dialogs seam puts them).
class SendHost {
public:
    virtual ~SendHost() = default;
    virtual int rowCount() = 0;
    // Moves the order to its first row.
    virtual void FirstRecord() = 0;
    virtual SendRow currentRow() = 0;
    // A row further on (0-based), read without moving the cursor: its print is made
    // ahead while the rows before it are sent. The order cannot change during the run.
    virtual SendRow rowAt(int index) = 0;
    virtual void UpdateProgress(const SendProgress& progress) = 0;
    virtual void NextRecord() = 0;
    // The run ended without a stop request: the finished display, the session page
    // opened, the order emptied but for the rows not sent, which are named.
    virtual void SendFinished(const QString& session, const std::vector<NotSent>& notSent) = 0;
    // stop turns true when the run is asked to stop: the request then ends soon, as a
    // failed one.
    virtual QString GetNewSession(const std::atomic<bool>& stop) = 0;
    // The progress window is given the focus again (after a dialog).
    virtual void focusProgress() {}
};

// Makes a row's print (see images::preparePrint): the JPEG bytes, or a raised
// platform::Error saying why not.
using PreparePrint = std::function<QByteArray(
    const QString& path, const formats::TFormatsRecord& format, const QString& how)>;

// What a run works with besides its host.
struct SendServices {
    service::HttpClient& http;
    platform::Dialogs& dialogs;
    PreparePrint prepare;
    QString serviceHost;
    QString serviceWebAddress;
};

// How one row's upload ended.
enum class UploadOutcome { Sent, Ignored, Stop };

// One run of the upload. StartSend runs on the worker's thread; requestStop may come
// from any thread: it ends a request under way within about a second (the row is not
// sent), and no further row starts. While a row is sent, the prints
// of the next rows (two at most) are made ahead on the program's thread pool; what the
// user and the lab see keeps the rows' order (a failed print is told when its row's
// turn comes), and when the run stops it does not wait for prints still being made:
// they finish unseen and are dropped.
class SendRun {
public:
    SendRun(SendHost& host, const SendServices& services);

    // The whole run. Returns with the stop request raised, or after SendFinished.
    void StartSend();
    void requestStop() { stop_ = true; }
    bool stopRequested() const { return stop_; }
    // The session key of this run (32 characters when valid).
    const QString& Session() const { return session_; }
    // The rows this run did not send, in the order's order.
    const std::vector<NotSent>& notSent() const { return notSent_; }

    // Sends one row's prepared picture (see the file upload request): the attempts,
    // the messages and what each answer does. The stop request is raised on Stop.
    UploadOutcome UploadFile(const QByteArray& picture, const SendRow& row, const QString& key,
                             const QString& fileNumber);

    // A print made, or why not.
    struct Print {
        QByteArray bytes;
        QString failure;  // empty when made
    };

private:
    // The run itself; StartSend catches what it raises.
    void sendAll();
    // A row's print (the one being made ahead, when given); on failure asks Abort, Retry
    // or Ignore. Nothing on Ignore and Stop (the stop request raised then).
    std::optional<QByteArray> preparedPrint(const SendRow& row,
                                            std::optional<QFuture<Print>> ahead);
    // One attempt of UploadFile: the reply text, or nothing after a fatal connection
    // error (shown, stop request raised).
    std::optional<QString> attempt(const QByteArray& picture, const SendRow& row,
                                   const QString& key, const QString& fileNumber);
    void update() { host_.UpdateProgress(progress_); }

    SendHost& host_;
    SendServices services_;
    SendProgress progress_;
    QString session_;
    std::vector<NotSent> notSent_;
    std::atomic<bool> stop_{false};
};

// The row's print resolution for the lab: the longer pixel side over the format's
// Width_mm times 25.4, rounded half to even; "0" when it has none (no format, or a
// Width_mm of 0).
QString dpiValue(const SendRow& row);

// Progress1 while a picture is sent: start + sent / size × (100 − start), rounded half
// to even.
int chunkProgress(int start, qint64 sent, qint64 size);

}  // namespace upload
