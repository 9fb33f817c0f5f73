#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace labd {

// Header names compare without letter case.
struct CaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const;
};
using Headers = std::map<std::string, std::string, CaseInsensitiveLess>;

struct Request {
    std::string method;
    std::string target;  // as sent: origin form "/p?q" or absolute form "http://h/p?q"
    std::string version;
    Headers headers;
    // The whole body as announced by Content-Length (a request cut short never reaches
    // the handler). A large body lies in a file of its own that is mapped here, not in
    // memory; the view lives as long as the request.
    std::string_view body;
    std::shared_ptr<const void> bodyStorage;
    std::string peer;  // address of the client
    std::string head;  // the request line and headers as received, with their CR LF

    // The path and query of the target, whichever form it came in.
    std::string originTarget() const;
    // "host:port" of an absolute-form target; empty for origin form.
    std::string absoluteAuthority() const;
    std::string path() const;
    // Query parameters, percent- and plus-decoded.
    std::map<std::string, std::string> query() const;
};

struct Response {
    int status = 200;
    Headers headers;
    std::string body;
    // A file sent as the body instead, read from disk as it goes out (a photo): no
    // copy of it is held in memory. A file that cannot be read is a 404.
    std::string bodyFile;
    // Faults on purpose, for the client's tests: wait before answering, or close the
    // connection after this many bytes of the response.
    int stallSeconds = 0;
    int64_t dropAfterBytes = -1;
    // Relay a prepared raw response instead (a forwarded request's answer).
    std::string raw;
};

// Limits of what a client may make the server hold.
struct ServerLimits {
    // Connections served at once; more wait in the listen backlog.
    int maxConnections = 64;
    // The largest body: a print's JPEG is a few megabytes, 64 MB is far beyond.
    size_t maxBodyBytes = 64 * 1024 * 1024;
    // The request line and headers must arrive within this; each read of the body
    // must bring bytes within readTimeoutMs, and the whole body within bodySeconds plus
    // a second for every bodyBytesPerSecond.
    int headSeconds = 20;
    int readTimeoutMs = 30000;
    int bodySeconds = 60;
    size_t bodyBytesPerSecond = 16 * 1024;
    // Once the head is in, a body must keep up this average rate after a grace: a
    // client trickling a few bytes a second is cut off in seconds, not hours.
    int bodyGraceSeconds = 10;
    size_t minBodyBytesPerSecond = 1024;
    // Connections that may send a body at once; the rest of maxConnections stay for
    // requests without one (a page, a photo), so slow uploads never lock those out. A
    // body past it is answered 503 from its head.
    int maxBodyConnections = 48;
    // Bodies larger than this go to an unnamed file in spoolDir (the system's temporary
    // folder when empty) instead of memory.
    size_t inMemoryBodyBytes = 256 * 1024;
    std::string spoolDir;
};

// A small HTTP/1.x server for labd: one thread per connection, at most
// maxConnections at once, one request per connection (the answer closes it). It is written for
// byte-level control (stalls, dropped connections, proxy requests in absolute form, multipart
// bodies of any layout), which general-purpose server libraries hide.
class HttpServer {
public:
    using Handler = std::function<Response(const Request&)>;
    using Logger = std::function<void(const Request&, const Response&)>;

    HttpServer(Handler handler, Logger logger = nullptr, ServerLimits limits = {});
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds to the address and port (0: any free port) and starts serving on a thread
    // of its own; beforeServing is told the port first. False with errorString() when
    // the address cannot be bound.
    bool start(const std::string& address, int port,
               const std::function<void(int port)>& beforeServing = {});
    // Stops accepting, waits for the connections being served, and returns.
    void stop();
    int port() const { return port_; }
    const std::string& errorString() const { return error_; }

private:
    void acceptLoop();
    void serve(int fd, std::string peer);
    void closeConnection(int fd);

    enum class BodyRead { Whole, CutShort, NotStored };
    BodyRead readBody(int fd, std::string& buffer, size_t headEnd, Request& request);

    Handler handler_;
    Logger logger_;
    ServerLimits limits_;
    int listenFd_ = -1;
    int port_ = 0;
    std::string error_;
    std::atomic<bool> stopping_{false};
    std::thread acceptThread_;
    // Connections are served on detached threads; stop() waits until none is left.
    std::mutex connectionsMutex_;
    std::condition_variable connectionsDone_;
    std::vector<int> openFds_;
    std::atomic<int> bodyReaders_{0};
};

std::string reasonPhrase(int status);
// A request line for the log: control characters and bytes above 126 as \xNN, so a
// client cannot forge or break log lines.
std::string escapedForLog(std::string_view text);
std::string percentDecode(const std::string& text, bool plusIsSpace);

}  // namespace labd
