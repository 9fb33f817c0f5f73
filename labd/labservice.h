#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "labd/httpserver.h"
#include "labd/store.h"

namespace labd {

struct PrintFormat {
    std::string name;
    std::string cost;  // texts as published; the price is cost x count
    std::string widthMm, heightMm, widthPx, heightPx, dpiMin;
};

// Reads a formats file: one format a line, the seven fields separated by ":",
// "#" starting a comment. Nothing on a line that does not have seven fields.
std::vector<PrintFormat> parseFormats(const std::string& text);
// The catalogue shipped with the service.
const std::string& defaultFormatsText();

struct ServiceOptions {
    std::string dataDir;
    // Faults and demands for testing clients; all off by default.
    std::string proxyCredentials;   // "user:password": answer 407 until they come
    std::string serverCredentials;  // "user:password": answer 401 until they come
    std::map<std::string, std::pair<int, std::string>> fixedAnswers;  // path -> status, body
    int stallSeconds = 0;
    int64_t dropAfterBytes = -1;
    int failEveryNthUpload = 0;
    // The stall and the cut apply only to uploads that carry a body (not to the
    // client's empty request before each upload, nor to other requests).
    bool faultsOnUploadsOnly = false;
    // A folder where every upload with a body is written as received (request line,
    // headers, body), one file a request: upload-1.http, upload-2.http, ...
    std::string recordDir;
    // Limits of a forwarded request (only with proxyCredentials): the connection, each
    // read, the whole exchange, and the answer's size.
    int forwardConnectSeconds = 10;
    int forwardReadSeconds = 30;
    int forwardTotalSeconds = 120;
    size_t forwardMaxBytes = 16 * 1024 * 1024;
    // New sessions one client address may have in a minute (0: no bound); beyond, 429.
    int sessionsPerMinute = 120;
    // A session that never got an upload is forgotten after this long.
    int64_t emptySessionSeconds = 24 * 3600;
};

// The --answer switch's PATH=STATUS:BODY: split at the "=" that a status and ":"
// follow, so that a path may hold "=" (a query) and a body anything. Nothing when no
// such "=" is there.
struct FixedAnswer {
    std::string path;
    int status = 0;
    std::string body;
};
std::optional<FixedAnswer> parseFixedAnswer(const std::string& text);

// The reference lab service: print formats, session keys, multipart uploads, the
// banner, the site's front page and the session pages with their order button.
class LabService {
public:
    explicit LabService(ServiceOptions options);

    // Opens the store and the formats file in the data folder (writing the shipped
    // catalogue there when the folder has none).
    bool open(std::string* error);
    Response handle(const Request& request);
    // Ends what may wait on others (a forwarded request) at once: called before the
    // server stops, so that the stop never waits on an upstream.
    void stop() { stopping_ = true; }
    // The port this service itself listens on: absolute-form requests for it are
    // served here, others are forwarded.
    void setOwnPort(int port) { ownPort_ = port; }

    Store& store() { return store_; }
    // How many requests this service has had for a step of index.php ("banner.gif" for
    // the banner), fixed answers included.
    int requests(const std::string& step);

private:
    Response route(const Request& request);
    Response formats();
    Response newSession(const std::string& peer);
    // Whether peer may have another new session this minute (and counts it if so).
    bool sessionAllowed(const std::string& peer);
    Response upload(const Request& request);
    Response sessionPage(const std::string& key);
    Response placeOrder(const std::string& key);
    Response photo(const std::string& key, const std::string& fileNumber);
    Response frontPage();
    Response forward(const Request& request);
    // The uploads' price in kopecks (cost times count, exact in 64 bits); nothing when
    // it would not fit in them.
    std::optional<int64_t> total(const std::vector<Upload>& uploads) const;

    ServiceOptions options_;
    Store store_;
    std::vector<PrintFormat> formats_;
    std::atomic<int64_t> uploadsSeen_{0};
    std::mutex sessionsMutex_;
    std::map<std::string, std::deque<std::chrono::steady_clock::time_point>> newSessionsByPeer_;
    std::chrono::steady_clock::time_point lastExpiry_{};
    std::atomic<int> recorded_{0};
    std::mutex countsMutex_;
    std::map<std::string, int> requestsByStep_;
    std::atomic<int> ownPort_{0};
    std::atomic<bool> stopping_{false};
};

std::string base64Encode(const std::string& bytes);
std::string windows1251ToUtf8(const std::string& bytes);

}  // namespace labd
