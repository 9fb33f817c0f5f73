#include "upload/sendfiles.h"

#include <curl/curl.h>

#include <QFileInfo>
#include <QFuture>
#include <cmath>
#include <cstring>
#include <deque>
#include <memory>

#include "order/resolution.h"
#include "platform/background.h"
#include "platform/dialogs.h"
#include "platform/error.h"
#include "service/httpget.h"
#include "service/labaddress.h"
#include "service/replytext.h"
#include "upload/log.h"
#include "upload/uploadbody.h"
#include "upload/uploadmessages.h"

namespace upload {

namespace {

constexpr qint64 kChunk = 512;
// How many rows' prints are made ahead of the row being sent: enough to keep the
// second core busy, few enough to bound the memory they hold.
constexpr int kPrintsAhead = 2;
// The most of the lab's reply to an upload (or to its empty request) that is read: it
// answers "Ok" or a short error text.
constexpr qsizetype kLargestReply = 64 * 1024;

struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

int roundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

// The body of the upload request, handed to libcurl piece by piece: the head at once,
// the picture in chunks of 512 bytes (the row's progress shown after each, as the
// user-interface thread shows it), then the tail.
class BodyReader {
public:
    BodyReader(const QByteArray& head, const QByteArray& picture, const QByteArray& tail,
               std::function<void(qint64 sent)> chunkSent)
        : head_(head), picture_(picture), tail_(tail), chunkSent_(std::move(chunkSent)) {}

    static size_t read(char* buffer, size_t size, size_t count, void* self) {
        return static_cast<BodyReader*>(self)->next(buffer, size * count);
    }

private:
    size_t next(char* buffer, size_t room) {
        if (piece_ == Piece::Head) {
            const size_t n = copy(head_, buffer, room);
            if (offset_ == head_.size()) {
                piece_ = Piece::Picture;
                offset_ = 0;
            }
            return n;
        }
        if (piece_ == Piece::Picture) {
            const qint64 chunk = std::min<qint64>(kChunk, picture_.size() - sent_);
            const size_t n = static_cast<size_t>(std::min<qint64>(chunk, room));
            std::memcpy(buffer, picture_.constData() + sent_, n);
            sent_ += static_cast<qint64>(n);
            chunkSent_(sent_);
            // The loop ends after the first chunk shorter than 512 bytes (an empty
            // one when the picture's size is a multiple of 512).
            if (static_cast<qint64>(n) < kChunk) {
                piece_ = Piece::Tail;
                if (n == 0) {
                    return copy(tail_, buffer, room);
                }
            }
            return n;
        }
        return copy(tail_, buffer, room);  // 0 once all is handed out
    }

    size_t copy(const QByteArray& bytes, char* buffer, size_t room) {
        const qint64 left = bytes.size() - offset_;
        const size_t n = static_cast<size_t>(std::min<qint64>(left, static_cast<qint64>(room)));
        std::memcpy(buffer, bytes.constData() + offset_, n);
        offset_ += static_cast<qint64>(n);
        return n;
    }

    enum class Piece { Head, Picture, Tail };
    const QByteArray& head_;
    const QByteArray& picture_;
    const QByteArray& tail_;
    std::function<void(qint64)> chunkSent_;
    Piece piece_ = Piece::Head;
    qint64 sent_ = 0;
    qint64 offset_ = 0;
};

// A libcurl handle set up for the upload address with the lab's request parameters.
// Its deadline allows for a body of bodyBytes; stop ends the transfer within a second.
std::unique_ptr<CURL, CurlDeleter> uploadHandle(service::HttpClient& http,
                                                const QByteArray& address,
                                                const QByteArray& referrer, qint64 bodyBytes,
                                                const std::atomic<bool>& stop) {
    std::unique_ptr<CURL, CurlDeleter> handle(curl_easy_init());
    if (!handle) {
        return handle;
    }
    CURL* curl = handle.get();
    curl_easy_setopt(curl, CURLOPT_URL, address.constData());
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(curl, CURLOPT_USERAGENT, service::kUserAgent);
    curl_easy_setopt(curl, CURLOPT_REFERER, referrer.constData());
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    http.applyLimits(curl, bodyBytes, &stop);
    return handle;
}

}  // namespace

int chunkProgress(int start, qint64 sent, qint64 size) {
    return roundHalfEven(start +
                         static_cast<double>(sent) / static_cast<double>(size) * (100 - start));
}

QString dpiValue(const SendRow& row) {
    if (!row.record) {
        return QStringLiteral("0");
    }
    const std::optional<int> dpi = order::effectiveResolution(
        row.width.value_or(0), row.height.value_or(0), row.record->Width_mm);
    return QString::number(dpi.value_or(0));
}

SendRun::SendRun(SendHost& host, const SendServices& services) : host_(host), services_(services) {}

namespace {

// A row's print, or why not. Runs on any thread; holds nothing of the run, so a print
// still being made when the run ends may finish after it.
SendRun::Print makePrint(const PreparePrint& prepare, const SendRow& row) {
    try {
        if (!row.record) {
            throw platform::Error(
                QStringLiteral("формата %1 нет в списке форматов печати").arg(row.format));
        }
        return {prepare(row.file, *row.record, row.param), QString()};
    } catch (const std::exception& e) {
        return {QByteArray(), platform::errorText(e)};
    }
}

}  // namespace

void SendRun::StartSend() {
    // Nothing the run meets may end the program: what escapes a step is told, and the
    // run ends as stopped (the order kept).
    try {
        sendAll();
    } catch (const std::exception& e) {
        const QString text = platform::errorText(e);
        qCWarning(lcUpload) << "the upload ended on an error:" << text;
        requestStop();
        services_.dialogs.showError(text);
    }
}

void SendRun::sendAll() {
    host_.FirstRecord();
    progress_ = SendProgress{};
    notSent_.clear();
    progress_.Caption = progress_.Hint = messages::sessionWanted();
    update();

    session_ = host_.GetNewSession(stop_);
    if (session_.size() != 32) {
        requestStop();  // GetNewSession has told the user
    }
    host_.focusProgress();

    const int rows = host_.rowCount();
    // Prints being made ahead, by row position, in order. The pool's threads are kept
    // between rows, so their memory is reused.
    std::deque<std::pair<int, QFuture<Print>>> ahead;
    int next = 2;
    for (int position = 1; position <= rows && !stopRequested(); ++position) {
        const SendRow row = host_.currentRow();
        // The row's own text as its turn starts, before anything waits for its print.
        progress_.Caption = progress_.Hint = messages::preparing(row.file);
        progress_.Progress1 = 0;
        progress_.FormCaption = messages::rowOfRows(position, rows);
        update();
        while (next <= std::min(rows, position + kPrintsAhead)) {
            const SendRow later = host_.rowAt(next - 1);
            ahead.emplace_back(next, platform::runComputation([prepare = services_.prepare, later] {
                                   return makePrint(prepare, later);
                               }));
            ++next;
        }
        std::optional<QFuture<Print>> early;
        if (!ahead.empty() && ahead.front().first == position) {
            early = ahead.front().second;
            ahead.pop_front();
        }
        if (!QFileInfo::exists(row.file)) {
            qCDebug(lcUpload) << "skipped, no file:" << row.file;
            notSent_.push_back({position - 1, row.file, true});
            host_.NextRecord();
            continue;
        }
        bool sent = false;
        if (const std::optional<QByteArray> print = preparedPrint(row, std::move(early))) {
            sent =
                UploadFile(*print, row, session_, QString::number(position)) == UploadOutcome::Sent;
        }
        if (!sent && !stopRequested()) {
            notSent_.push_back({position - 1, row.file, false});
        }
        progress_.Progress2 = roundHalfEven(static_cast<double>(position) / rows * 100);
        update();
        host_.NextRecord();
    }
    if (!stopRequested()) {
        host_.SendFinished(session_, notSent_);
    }
}

std::optional<QByteArray> SendRun::preparedPrint(const SendRow& row,
                                                 std::optional<QFuture<Print>> ahead) {
    for (;;) {
        const Print print = ahead ? ahead->result() : makePrint(services_.prepare, row);
        ahead.reset();
        if (print.failure.isEmpty()) {
            // Loading, turning, laying out, encoding and copying, as the progress shows.
            for (int step = 0; step < 5; ++step) {
                progress_.Progress1 += 5;
                update();
            }
            return print.bytes;
        }
        const QString& reason = print.failure;
        qCWarning(lcUpload) << "no print of" << row.file << ":" << reason;
        switch (
            services_.dialogs.askAbortRetryIgnore(messages::preparationFailed(row.file, reason))) {
            case platform::Dialogs::Answer::Retry:
                continue;
            case platform::Dialogs::Answer::Ignore:
                return std::nullopt;
            default:
                requestStop();
                return std::nullopt;
        }
    }
}

UploadOutcome SendRun::UploadFile(const QByteArray& picture, const SendRow& row, const QString& key,
                                  const QString& fileNumber) {
    for (;;) {
        if (picture.isEmpty()) {
            return UploadOutcome::Sent;
        }
        const std::optional<QString> reply = attempt(picture, row, key, fileNumber);
        if (!reply || stopRequested()) {
            requestStop();
            return UploadOutcome::Stop;
        }
        if (*reply == QLatin1String("Ok")) {
            return UploadOutcome::Sent;
        }
        qCWarning(lcUpload) << "not sent:" << row.file << "reply" << reply->left(80);
        switch (services_.dialogs.askAbortRetryIgnore(messages::transferFailed(row.file))) {
            case platform::Dialogs::Answer::Retry:
                continue;
            case platform::Dialogs::Answer::Ignore:
                return UploadOutcome::Ignored;
            default:
                requestStop();
                return UploadOutcome::Stop;
        }
    }
}

std::optional<QString> SendRun::attempt(const QByteArray& picture, const SendRow& row,
                                        const QString& key, const QString& fileNumber) {
    progress_.Caption = progress_.Hint = messages::sending(row.file);
    progress_.Progress1 += 5;
    update();

    const UploadFields fields{QString::number(row.count.value_or(0)),
                              row.format,
                              paperValue(row.paper),
                              key,
                              dpiValue(row),
                              fileNumber,
                              paramValue(row.param)};
    const QByteArray head = uploadHead(row.file);
    const QByteArray tail = uploadTail(fields);
    const QString& host = services_.serviceHost;
    const QByteArray address = service::labUploadAddress(host).toUtf8();
    const QByteArray referrer = service::labSite(host).toUtf8();

    // The empty request: where the proxy's and the lab's credentials are asked for.
    service::CurlCredentials held;
    {
        const auto probe = uploadHandle(services_.http, address, referrer, 0, stop_);
        if (!probe) {
            return QString();  // nothing received: the transfer message
        }
        curl_easy_setopt(probe.get(), CURLOPT_POSTFIELDS, "");
        curl_easy_setopt(probe.get(), CURLOPT_POSTFIELDSIZE, 0L);
        QByteArray body;
        QByteArray headers;
        const service::HttpClient::Run run = services_.http.runWithCredentials(
            probe.get(), host, held, &body, &headers, {}, kLargestReply);
        host_.focusProgress();
        qCDebug(lcUpload) << "empty POST ->" << run.status;
        if (stopRequested()) {
            return std::nullopt;  // stopped on the way: nothing to tell
        }
        if (run.status == 407) {
            services_.dialogs.showError(messages::proxyRefused(services_.serviceWebAddress));
            return std::nullopt;
        }
        if (run.status != 200) {
            services_.dialogs.showError(messages::noConnection(services_.serviceWebAddress));
            return std::nullopt;
        }
    }

    // The upload itself, with the credentials the empty request settled.
    const qint64 total = head.size() + picture.size() + tail.size();
    const auto handle = uploadHandle(services_.http, address, referrer, total, stop_);
    if (!handle) {
        return QString();
    }
    CURL* curl = handle.get();
    const std::unique_ptr<curl_slist, ListDeleter> headerList([] {
        curl_slist* list = nullptr;
        list = curl_slist_append(
            list,
            (QByteArray("Content-Type: multipart/form-data; boundary=") + kBoundary).constData());
        list = curl_slist_append(list, "Accept: */*");
        list = curl_slist_append(list, "Connection: Keep-Alive");
        list = curl_slist_append(list, "Expect:");
        return list;
    }());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headerList.get());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(total));
    const int start = progress_.Progress1;
    const qint64 size = picture.size();
    BodyReader reader(head, picture, tail, [&](qint64 sent) {
        // A chunk after which the window would show the same is not waited for.
        const int next = chunkProgress(start, sent, size);
        if (next != progress_.Progress1) {
            progress_.Progress1 = next;
            update();
        }
    });
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, BodyReader::read);
    curl_easy_setopt(curl, CURLOPT_READDATA, &reader);
    QByteArray body;
    QByteArray headers;
    // Credentials settled on the empty request hold here too, sent with the request at
    // once: a method negotiated first would have to send the body twice.
    if (!held.user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, held.user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, held.password.constData());
        curl_easy_setopt(curl, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
    }
    if (!held.proxyUser.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_PROXYUSERNAME, held.proxyUser.constData());
        curl_easy_setopt(curl, CURLOPT_PROXYPASSWORD, held.proxyPassword.constData());
        curl_easy_setopt(curl, CURLOPT_PROXYAUTH, CURLAUTH_BASIC);
    }
    // The lab answers "Ok"; a longer reply than this ends the transfer, a failed row.
    curl_easy_setopt(
        curl, CURLOPT_WRITEFUNCTION, +[](char* data, size_t size, size_t count, void* out) {
            auto* reply = static_cast<QByteArray*>(out);
            const auto n = static_cast<qsizetype>(size * count);
            if (reply->size() + n > kLargestReply) {
                return size_t{0};
            }
            reply->append(data, n);
            return size * count;
        });
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    const CURLcode result = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    qCDebug(lcUpload) << "upload of" << row.file << "->" << status << curl_easy_strerror(result);
    // A transfer that failed on the way (a reply past its bound, cut short of its
    // announced length, a reset, a time limit) is no answer at all, whatever part of a
    // reply came: even an "Ok" cut short is not the lab's word that the row is in.
    if (result != CURLE_OK) {
        qCWarning(lcUpload) << "the upload of" << row.file
                            << "failed on the way:" << curl_easy_strerror(result);
        return QString();
    }
    QString reply = service::decodeReply(body);
    reply.remove(u'\r');
    reply.remove(u'\n');
    return reply;
}

}  // namespace upload
