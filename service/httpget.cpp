#include "service/httpget.h"

#include <curl/curl.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "service/log.h"
#include "service/replytext.h"
#include "service/splittext.h"

namespace service {

namespace {

struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

// A body gathered up to its limit (none when negative); past it the transfer ends.
struct BoundedBody {
    QByteArray* bytes;
    qsizetype limit;
};

size_t appendBounded(char* data, size_t size, size_t count, void* into) {
    auto* body = static_cast<BoundedBody*>(into);
    const auto n = static_cast<qsizetype>(size * count);
    if (body->limit >= 0 && body->bytes->size() + n > body->limit) {
        return 0;
    }
    body->bytes->append(data, n);
    return size * count;
}

// The proxy libcurl takes from the environment for plain HTTP, from the same variables
// in the same order (libcurl never reads HTTP_PROXY in capitals).
QString environmentProxy() {
    for (const char* name : {"http_proxy", "all_proxy", "ALL_PROXY"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty()) {
            return value;
        }
    }
    return {};
}

// A proxy setting as the user is shown it: its host and port, never the user name and
// password the setting may carry.
QString proxyShown(const QString& setting) {
    const QUrl url = QUrl::fromUserInput(
        setting.contains(QLatin1String("://")) ? setting : QStringLiteral("http://") + setting);
    if (!url.isValid() || url.host().isEmpty()) {
        return {};
    }
    return url.port() >= 0 ? url.host() + u':' + QString::number(url.port()) : url.host();
}

QString realmOf(const QByteArray& headers, bool proxy) {
    const QByteArray name = proxy ? "proxy-authenticate:" : "www-authenticate:";
    for (const QByteArray& line : headers.split('\n')) {
        if (line.toLower().startsWith(name)) {
            const qsizetype at = line.indexOf("realm=\"");
            if (at >= 0) {
                const qsizetype end = line.indexOf('"', at + 7);
                return QString::fromLatin1(line.mid(at + 7, end - at - 7));
            }
        }
    }
    return {};
}

}  // namespace

HttpGlobal::HttpGlobal() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

HttpGlobal::~HttpGlobal() {
    curl_global_cleanup();
}

SystemError::SystemError(int code, const QString& text)
    : platform::Error(QStringLiteral("System Error.  Code: %1.\r\n%2").arg(code).arg(text)),
      code_(code) {}

std::optional<platform::Dialogs::Credentials> CredentialStore::find(const QString& site) const {
    QMutexLocker lock(&mutex_);
    const auto it = bySite_.constFind(site);
    if (it == bySite_.constEnd()) {
        return std::nullopt;
    }
    return *it;
}

void CredentialStore::remember(const QString& site,
                               const platform::Dialogs::Credentials& credentials) {
    QMutexLocker lock(&mutex_);
    bySite_.insert(site, credentials);
}

HttpClient::HttpClient(platform::Dialogs& dialogs, CredentialStore& credentials, HttpLimits limits)
    : dialogs_(dialogs), credentials_(credentials), limits_(limits) {}

void HttpClient::splitAddress(const QString& url, QString* host, QString* path) {
    const QString rest = QString(url).remove(QStringLiteral("http://"));
    QStringList pieces;
    SplitText(QStringLiteral("/"), rest, pieces);
    *host = pieces.isEmpty() ? QString() : pieces.first();
    *path = host->isEmpty() ? rest : QString(rest).remove(*host);
}

namespace {

// libcurl asks about once a second, also while connecting: non-zero ends the transfer.
int stopWhenCancelled(void* cancelled, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(cancelled)->load() ? 1 : 0;
}

}  // namespace

std::chrono::seconds HttpClient::deadlineFor(qint64 bodyBytes) const {
    const qint64 rate = std::max<qint64>(1, limits_.slowLineRate);
    return limits_.deadline + std::chrono::seconds(std::max<qint64>(0, bodyBytes) / rate);
}

void HttpClient::applyLimits(void* handle, qint64 bodyBytes,
                             const std::atomic<bool>* cancelled) const {
    CURL* curl = handle;
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT,
                     static_cast<long>(limits_.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits_.stallLimit.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, static_cast<long>(deadlineFor(bodyBytes).count()));
    if (cancelled != nullptr) {
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, stopWhenCancelled);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(cancelled));
    }
}

HttpClient::Run HttpClient::runWithCredentials(void* handle, const QString& host,
                                               CurlCredentials& held, QByteArray* body,
                                               QByteArray* headers,
                                               const std::function<void()>& beforeEachRun,
                                               qsizetype maxBody) {
    CURL* curl = handle;
    BoundedBody bounded{body, maxBody};
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBounded);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &bounded);
    // No answer needs more head than this.
    BoundedBody boundedHeaders{headers, 1024 * 1024};
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, appendBounded);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &boundedHeaders);
    const auto apply = [&](bool forProxy, const platform::Dialogs::Credentials& given) {
        QByteArray& u = forProxy ? held.proxyUser : held.user;
        QByteArray& p = forProxy ? held.proxyPassword : held.password;
        u = given.user.toUtf8();
        p = given.password.toUtf8();
        curl_easy_setopt(curl, forProxy ? CURLOPT_PROXYUSERNAME : CURLOPT_USERNAME, u.constData());
        curl_easy_setopt(curl, forProxy ? CURLOPT_PROXYPASSWORD : CURLOPT_PASSWORD, p.constData());
        curl_easy_setopt(curl, forProxy ? CURLOPT_PROXYAUTH : CURLOPT_HTTPAUTH, CURLAUTH_ANY);
    };
    const QString proxy = environmentProxy();
    const QString serverSite = host;
    const QString proxySite = QStringLiteral("proxy ") + proxy;
    if (const auto known = credentials_.find(serverSite)) {
        apply(false, *known);
    }
    if (!proxy.isEmpty()) {
        if (const auto known = credentials_.find(proxySite)) {
            apply(true, *known);
        }
    }
    Run run;
    for (;;) {
        body->clear();
        headers->clear();
        if (beforeEachRun) {
            beforeEachRun();
        }
        run.result = curl_easy_perform(curl);
        run.status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &run.status);
        if (run.result != CURLE_OK || (run.status != 401 && run.status != 407)) {
            return run;
        }
        const bool forProxy = run.status == 407;
        const std::optional<platform::Dialogs::Credentials> given = dialogs_.askCredentials(
            {forProxy, forProxy ? proxyShown(proxy) : host, realmOf(*headers, forProxy)});
        if (!given) {
            return run;  // the refusal page is the answer
        }
        credentials_.remember(forProxy ? proxySite : serverSite, *given);
        apply(forProxy, *given);
    }
}

QString HttpClient::HttpGet(const QString& Url, const QString& FileName,
                            const std::atomic<bool>* cancelled) {
    QString host;
    QString path;
    splitAddress(Url, &host, &path);
    const QByteArray address = (QStringLiteral("http://") + host + path).toUtf8();

    QByteArray body;
    bool failed = false;
    {
        std::unique_ptr<CURL, CurlDeleter> handle(curl_easy_init());
        if (!handle) {
            const int code = errno != 0 ? errno : ENOMEM;
            throw SystemError(code, QString::fromLocal8Bit(std::strerror(code)));
        }
        CURL* curl = handle.get();
        QByteArray headers;
        curl_easy_setopt(curl, CURLOPT_URL, address.constData());
        curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent);
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
        applyLimits(curl, 0, cancelled);
        CurlCredentials held;
        const Run run = runWithCredentials(curl, host, held, &body, &headers, {}, limits_.maxBody);
        qCDebug(lcService) << "GET" << address << "->" << run.status
                           << curl_easy_strerror(static_cast<CURLcode>(run.result));
        failed = run.result != CURLE_OK;
        if (failed) {
            qCWarning(lcService) << "GET" << address << "failed:"
                                 << curl_easy_strerror(static_cast<CURLcode>(run.result));
            body.clear();
        }
    }

    if (FileName.isEmpty()) {
        return replyText(body);
    }
    if (failed && QFileInfo::exists(FileName)) {
        return {};  // what was fetched before stays
    }
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size() || !file.commit()) {
        throw FileCreateError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(FileName, file.errorString()));
    }
    return {};
}

}  // namespace service
