#pragma once

#include <QHash>
#include <QMutex>
#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>

#include "platform/dialogs.h"
#include "platform/error.h"

namespace service {

// An error of the operating system or the HTTP layer, raised to the caller with the
// message "System Error.  Code: %d.\r\n%s".
class SystemError : public platform::Error {
public:
    SystemError(int code, const QString& text);
    int code() const { return code_; }

private:
    int code_;
};

// A file that HttpGet cannot create: "Cannot create file "%s". %s".
class FileCreateError : public platform::Error {
public:
    using platform::Error::Error;
};

// libcurl's process-wide set-up, for the life of this object: made once in main()
// before any thread exists (the set-up is not thread-safe), ended after the last
// request.
class HttpGlobal {
public:
    HttpGlobal();
    ~HttpGlobal();
    HttpGlobal(const HttpGlobal&) = delete;
    HttpGlobal& operator=(const HttpGlobal&) = delete;
};

// The user agent of every request to the service.
inline constexpr char kUserAgent[] = "KORVELLADAVUZORO";

// User names and passwords the user gave for servers and proxies, kept for the rest
// of the run so that later requests do not ask again. Thread-safe.
class CredentialStore {
public:
    std::optional<platform::Dialogs::Credentials> find(const QString& site) const;
    void remember(const QString& site, const platform::Dialogs::Credentials& credentials);

private:
    mutable QMutex mutex_;
    QHash<QString, platform::Dialogs::Credentials> bySite_;
};

// Limits of a request: a dead, silent or endless server must not hang the program
// or fill its memory.
struct HttpLimits {
    std::chrono::seconds connectTimeout{30};
    // A transfer that receives nothing for this long is abandoned.
    std::chrono::seconds stallLimit{60};
    // A whole request, however steadily a server trickles its answer; a request that
    // carries a body has the time that body takes at slowLineRate on top.
    std::chrono::seconds deadline{300};
    // A slow line's upstream (128 kbit/s), bytes a second.
    qint64 slowLineRate = 16 * 1024;
    // HttpGet's largest body: the lab's answers (a format list, a session key, a
    // banner) are kilobytes; 16 MB is far beyond any of them.
    qsizetype maxBody = 16 * 1024 * 1024;
};

// The user names and passwords set on one libcurl handle: libcurl keeps pointers to
// them, so they live as long as the handle.
struct CurlCredentials {
    QByteArray user, password, proxyUser, proxyPassword;
};

// The one GET routine of the program, over libcurl. One call opens its own handle and
// closes it before returning; calls share only the remembered credentials. The
// system's proxy is what libcurl reads from the environment (http_proxy, no_proxy).
// Runs on the calling thread, the user-interface thread or the upload worker.
class HttpClient {
public:
    HttpClient(platform::Dialogs& dialogs, CredentialStore& credentials, HttpLimits limits = {});

    // GETs Url ("http://" optional) and returns the body as text (FileName empty) or
    // writes it unchanged to FileName and returns "". The status is never examined:
    // an error page is delivered like any body. A 401 or 407 asks the user for
    // credentials and sends the request again while the user gives them; a cancel
    // delivers the refusal page. A request that fails, at any point, delivers nothing:
    // a body cut short of its announced length, one past maxBody or one still coming
    // at the deadline is never taken for the answer. Text mode then gives ""; file
    // mode leaves an existing FileName as it was (creating an empty one when there is
    // none). A body is written to FileName by replacing the file whole.
    // Throws SystemError when no request can be made at all, FileCreateError when
    // FileName cannot be written.
    // cancelled, when given, ends the request soon after it turns true, as a failed
    // fetch; another thread may set it.
    QString HttpGet(const QString& Url, const QString& FileName,
                    const std::atomic<bool>* cancelled = nullptr);

    // Where a request goes: every "http://" removed, the host is the text before the
    // first "/", the path the rest with every occurrence of the host removed.
    static void splitAddress(const QString& url, QString* host, QString* path);

    // The credentials loop on a libcurl easy handle the caller has set up (its
    // address, method, body and time limits), for the upload as for HttpGet: sets the
    // credentials given before for host and for the system's proxy, runs the request,
    // and while the answer is 401 or 407 asks the user, remembers what was given and
    // runs it again; a cancel keeps the refusal. body and headers hold the last
    // answer's; beforeEachRun runs before every run (to rewind a body being sent).
    // A body longer than maxBody bytes (when not negative) ends the run: libcurl's
    // write error, and what came up to the limit.
    struct Run {
        int result = 0;   // libcurl's CURLcode
        long status = 0;  // the HTTP status; 0 when none came
    };
    Run runWithCredentials(void* curl, const QString& host, CurlCredentials& held, QByteArray* body,
                           QByteArray* headers, const std::function<void()>& beforeEachRun = {},
                           qsizetype maxBody = -1);
    // The time limits every request keeps, set on a libcurl easy handle: its deadline
    // allows for a body of bodyBytes; cancelled, when given, ends the transfer within
    // about a second of turning true (another thread may set it), with libcurl's
    // "aborted by callback".
    void applyLimits(void* curl, qint64 bodyBytes = 0,
                     const std::atomic<bool>* cancelled = nullptr) const;
    // The deadline of a request carrying bodyBytes.
    std::chrono::seconds deadlineFor(qint64 bodyBytes) const;

private:
    platform::Dialogs& dialogs_;
    CredentialStore& credentials_;
    HttpLimits limits_;
};

}  // namespace service
