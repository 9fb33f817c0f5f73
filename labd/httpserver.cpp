#include "labd/httpserver.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

namespace labd {

namespace {

constexpr size_t kMaxHeaderBytes = 64 * 1024;

using Clock = std::chrono::steady_clock;

bool sendAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

// Receives up to size bytes; 0 on close, error, a peer quiet for timeoutMs or the
// deadline passed.
size_t receive(int fd, char* into, size_t size, int timeoutMs, Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
        return 0;
    }
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(std::min<int64_t>(timeoutMs, left.count()))) <= 0) {
        return 0;
    }
    const ssize_t got = ::recv(fd, into, size, 0);
    return got > 0 ? static_cast<size_t>(got) : 0;
}

// A body's file, unnamed and mapped; unmapped and closed with the last request using it.
struct SpooledBody {
    int fd = -1;
    void* map = MAP_FAILED;
    size_t size = 0;
    ~SpooledBody() {
        if (map != MAP_FAILED) {
            ::munmap(map, size);
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

int unnamedFile(const std::string& folder) {
    const std::string dir =
        folder.empty() ? std::filesystem::temp_directory_path().string() : folder;
    int fd = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) {
        // File systems without unnamed files: a named one, removed at once.
        std::string name = dir + "/labd-body-XXXXXX";
        fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd >= 0) {
            ::unlink(name.c_str());
        }
    }
    return fd;
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string trim(const std::string& s) {
    const auto begin = s.find_first_not_of(" \t");
    if (begin == std::string::npos) {
        return {};
    }
    return s.substr(begin, s.find_last_not_of(" \t") - begin + 1);
}

bool parseHead(const std::string& head, Request& request) {
    // Lines end in CR LF and nowhere else: a bare CR or LF (or a NUL) inside one would
    // reach whatever reads the value next (a forwarded request's head, say).
    for (size_t at = head.find_first_of(std::string("\r\n\0", 3)); at != std::string::npos;
         at = head.find_first_of(std::string("\r\n\0", 3), at + 1)) {
        if (head[at] != '\r' || at + 1 >= head.size() || head[at + 1] != '\n') {
            return false;
        }
        ++at;  // past the LF of this CR LF
    }
    size_t lineEnd = head.find("\r\n");
    const std::string requestLine = head.substr(0, lineEnd);
    const size_t sp1 = requestLine.find(' ');
    const size_t sp2 = requestLine.rfind(' ');
    if (sp1 == std::string::npos || sp2 == sp1) {
        return false;
    }
    request.method = requestLine.substr(0, sp1);
    request.target = requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
    request.version = requestLine.substr(sp2 + 1);
    while (lineEnd != std::string::npos && lineEnd + 2 < head.size()) {
        const size_t start = lineEnd + 2;
        lineEnd = head.find("\r\n", start);
        const std::string line = head.substr(start, lineEnd - start);
        const size_t colon = line.find(':');
        if (colon != std::string::npos) {
            request.headers[trim(line.substr(0, colon))] = trim(line.substr(colon + 1));
        }
    }
    return true;
}

std::string serialize(const Response& response) {
    std::string out = "HTTP/1.1 " + std::to_string(response.status) + " " +
                      reasonPhrase(response.status) + "\r\n";
    Headers headers = response.headers;
    headers["Content-Length"] = std::to_string(response.body.size());
    headers["Connection"] = "close";
    if (headers.find("Content-Type") == headers.end()) {
        headers["Content-Type"] = "text/plain; charset=utf-8";
    }
    for (const auto& [name, value] : headers) {
        out += name + ": " + value + "\r\n";
    }
    return out + "\r\n" + response.body;
}

// The head, then the file in pieces read as they go out: memory stays at one piece
// however large the file and however many read it at once.
void sendFile(int fd, Response& response) {
    const int file = ::open(response.bodyFile.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (file < 0 || ::fstat(file, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (file >= 0) {
            ::close(file);
        }
        Response missing;
        missing.status = 404;
        missing.body = "no such file";
        const std::string bytes = serialize(missing);
        sendAll(fd, bytes.data(), bytes.size());
        return;
    }
    std::string head = serialize(response);  // its body is empty: the length is the file's
    head.replace(head.find("Content-Length: 0\r\n"), 19,
                 "Content-Length: " + std::to_string(info.st_size) + "\r\n");
    bool ok = sendAll(fd, head.data(), head.size());
    std::vector<char> piece(64 * 1024);
    for (off_t at = 0; ok && at < info.st_size;) {
        const ssize_t got = ::pread(file, piece.data(), piece.size(), at);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;  // the file shrank: the client sees a body cut short
        }
        ok = sendAll(fd, piece.data(), static_cast<size_t>(got));
        at += got;
    }
    ::close(file);
}

}  // namespace

bool CaseInsensitiveLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

std::string Request::absoluteAuthority() const {
    if (target.rfind("http://", 0) != 0) {
        return {};
    }
    const size_t slash = target.find('/', 7);
    return target.substr(7, slash == std::string::npos ? std::string::npos : slash - 7);
}

std::string Request::originTarget() const {
    if (target.rfind("http://", 0) != 0) {
        return target;
    }
    const size_t slash = target.find('/', 7);
    return slash == std::string::npos ? "/" : target.substr(slash);
}

std::string Request::path() const {
    const std::string origin = originTarget();
    return percentDecode(origin.substr(0, origin.find('?')), false);
}

std::map<std::string, std::string> Request::query() const {
    std::map<std::string, std::string> params;
    const std::string origin = originTarget();
    const size_t q = origin.find('?');
    if (q == std::string::npos) {
        return params;
    }
    std::string rest = origin.substr(q + 1);
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find('&', start);
        if (end == std::string::npos) {
            end = rest.size();
        }
        const std::string pair = rest.substr(start, end - start);
        const size_t eq = pair.find('=');
        if (!pair.empty()) {
            params[percentDecode(pair.substr(0, eq), true)] =
                eq == std::string::npos ? "" : percentDecode(pair.substr(eq + 1), true);
        }
        start = end + 1;
    }
    return params;
}

std::string percentDecode(const std::string& text, bool plusIsSpace) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() + 0 &&
            std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else if (plusIsSpace && text[i] == '+') {
            out += ' ';
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string reasonPhrase(int status) {
    switch (status) {
        case 100:
            return "Continue";
        case 200:
            return "OK";
        case 302:
            return "Found";
        case 303:
            return "See Other";
        case 400:
            return "Bad Request";
        case 401:
            return "Unauthorized";
        case 404:
            return "Not Found";
        case 403:
            return "Forbidden";
        case 405:
            return "Method Not Allowed";
        case 408:
            return "Request Timeout";
        case 503:
            return "Service Unavailable";
        case 504:
            return "Gateway Timeout";
        case 407:
            return "Proxy Authentication Required";
        case 413:
            return "Payload Too Large";
        case 429:
            return "Too Many Requests";
        case 500:
            return "Internal Server Error";
        case 502:
            return "Bad Gateway";
        default:
            return "Status";
    }
}

std::string escapedForLog(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E || c == '\\') {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", byte);
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

HttpServer::HttpServer(Handler handler, Logger logger, ServerLimits limits)
    : handler_(std::move(handler)), logger_(std::move(logger)), limits_(std::move(limits)) {}

HttpServer::~HttpServer() {
    stop();
}

bool HttpServer::start(const std::string& address, int port,
                       const std::function<void(int port)>& beforeServing) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) {
        error_ = std::strerror(errno);
        return false;
    }
    const int yes = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (::inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1) {
        error_ = "not an IPv4 address: " + address;
        return false;
    }
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listenFd_, 256) != 0) {
        error_ = std::strerror(errno);
        ::close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    socklen_t length = sizeof addr;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &length);
    port_ = ntohs(addr.sin_port);
    if (beforeServing) {
        beforeServing(port_);
    }
    acceptThread_ = std::thread([this] { acceptLoop(); });
    return true;
}

void HttpServer::stop() {
    if (stopping_.exchange(true)) {
        return;
    }
    if (listenFd_ >= 0) {
        ::shutdown(listenFd_, SHUT_RDWR);
    }
    if (acceptThread_.joinable()) {
        acceptThread_.join();
    }
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        listenFd_ = -1;
    }
    std::unique_lock<std::mutex> lock(connectionsMutex_);
    for (const int fd : openFds_) {
        ::shutdown(fd, SHUT_RDWR);
    }
    connectionsDone_.wait(lock, [this] { return openFds_.empty(); });
}

void HttpServer::acceptLoop() {
    while (!stopping_) {
        {
            // At the cap, the next clients wait in the listen backlog.
            std::unique_lock<std::mutex> lock(connectionsMutex_);
            connectionsDone_.wait_for(lock, std::chrono::milliseconds(200), [this] {
                return stopping_ || openFds_.size() < static_cast<size_t>(limits_.maxConnections);
            });
            if (stopping_ || openFds_.size() >= static_cast<size_t>(limits_.maxConnections)) {
                continue;
            }
        }
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 200) <= 0) {
            continue;
        }
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        const int fd =
            ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                // Out of descriptors or memory: the client stays queued; try again once
                // some are released instead of spinning on the ready socket.
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            continue;
        }
        char text[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text);
        std::lock_guard<std::mutex> lock(connectionsMutex_);
        if (stopping_) {
            ::close(fd);
            break;
        }
        openFds_.push_back(fd);
        try {
            std::thread([this, fd, peerText = std::string(text)] { serve(fd, peerText); }).detach();
        } catch (const std::system_error&) {
            // No thread to be had: the client is turned away, the server goes on.
            openFds_.pop_back();
            ::close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
}

HttpServer::BodyRead HttpServer::readBody(int fd, std::string& buffer, size_t headEnd,
                                          Request& request) {
    const auto lengthHeader = request.headers.find("Content-Length");
    const size_t length = lengthHeader == request.headers.end()
                              ? 0
                              : std::strtoull(lengthHeader->second.c_str(), nullptr, 10);
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::seconds(limits_.bodySeconds) +
                          std::chrono::seconds(length / limits_.bodyBytesPerSecond);
    // When the byte after `done` must have come to keep the least rate.
    const auto due = [&](size_t done) {
        const auto atRate = start + std::chrono::seconds(limits_.bodyGraceSeconds) +
                            std::chrono::milliseconds(
                                done * 1000 / std::max<size_t>(1, limits_.minBodyBytesPerSecond));
        return std::min(deadline, atRate);
    };
    const std::string_view early = std::string_view(buffer).substr(headEnd + 4);
    const size_t already = std::min(early.size(), length);
    if (length <= limits_.inMemoryBodyBytes) {
        auto bytes = std::make_shared<std::string>(early.substr(0, already));
        bytes->resize(length);
        for (size_t done = already; done < length;) {
            const size_t got =
                receive(fd, bytes->data() + done, length - done, limits_.readTimeoutMs, due(done));
            if (got == 0 || stopping_) {
                return BodyRead::CutShort;
            }
            done += got;
        }
        request.body = *bytes;
        request.bodyStorage = bytes;
        return BodyRead::Whole;
    }
    auto spool = std::make_shared<SpooledBody>();
    spool->fd = unnamedFile(limits_.spoolDir);
    spool->size = length;
    if (spool->fd < 0 || !writeAll(spool->fd, early.data(), already)) {
        return BodyRead::NotStored;
    }
    std::vector<char> chunk(64 * 1024);
    for (size_t done = already; done < length;) {
        const size_t got = receive(fd, chunk.data(), std::min(chunk.size(), length - done),
                                   limits_.readTimeoutMs, due(done));
        if (got == 0 || stopping_) {
            return BodyRead::CutShort;
        }
        if (!writeAll(spool->fd, chunk.data(), got)) {
            return BodyRead::NotStored;
        }
        done += got;
    }
    spool->map = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, spool->fd, 0);
    if (spool->map == MAP_FAILED) {
        return BodyRead::NotStored;
    }
    request.body = std::string_view(static_cast<const char*>(spool->map), length);
    request.bodyStorage = spool;
    return BodyRead::Whole;
}

void HttpServer::serve(int fd, std::string peer) {
    // A client that stops reading cannot hold the thread for ever.
    timeval sendLimit{limits_.readTimeoutMs / 1000, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendLimit, sizeof sendLimit);
    std::string buffer;
    size_t headEnd = std::string::npos;
    const auto headDeadline = Clock::now() + std::chrono::seconds(limits_.headSeconds);
    char chunk[16 * 1024];
    while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
        const size_t got =
            buffer.size() > kMaxHeaderBytes || stopping_
                ? 0
                : receive(fd, chunk, sizeof chunk, limits_.readTimeoutMs, headDeadline);
        if (got == 0) {
            headEnd = std::string::npos;
            break;
        }
        buffer.append(chunk, got);
    }
    if (buffer.empty()) {
        closeConnection(fd);  // it only checked the port: nothing to answer
        return;
    }
    Request request;
    request.peer = std::move(peer);
    if (headEnd != std::string::npos) {
        request.head = buffer.substr(0, headEnd + 4);
    }
    bool ok = headEnd != std::string::npos && parseHead(buffer.substr(0, headEnd + 2), request);
    Response response;
    if (ok) {
        const auto lengthHeader = request.headers.find("Content-Length");
        const std::string lengthText =
            lengthHeader == request.headers.end() ? "0" : lengthHeader->second;
        const bool lengthReads = !lengthText.empty() && lengthText.size() <= 18 &&
                                 std::all_of(lengthText.begin(), lengthText.end(), [](char c) {
                                     return std::isdigit(static_cast<unsigned char>(c));
                                 });
        const unsigned long long length =
            lengthReads ? std::strtoull(lengthText.c_str(), nullptr, 10) : 0;
        if (!lengthReads) {
            response.status = 400;
            response.body = "Error: the request's length does not read";
        } else if (length > limits_.maxBodyBytes) {
            response.status = 413;
            response.body = "Error: the request is larger than " +
                            std::to_string(limits_.maxBodyBytes / (1024 * 1024)) + " MB";
        } else if (length > 0 && bodyReaders_.fetch_add(1) >= limits_.maxBodyConnections) {
            --bodyReaders_;
            response.status = 503;
            response.headers["Retry-After"] = "10";
            response.body = "Error: too many uploads at once; try again shortly";
        } else {
            const bool withBody = length > 0;
            const auto expect = request.headers.find("Expect");
            if (expect != request.headers.end() && expect->second == "100-continue") {
                const std::string proceed = "HTTP/1.1 100 Continue\r\n\r\n";
                sendAll(fd, proceed.data(), proceed.size());
            }
            const BodyRead read = readBody(fd, buffer, headEnd, request);
            if (withBody) {
                --bodyReaders_;  // its share is for reading; the answer is quick
            }
            switch (read) {
                case BodyRead::Whole:
                    response = handler_(request);
                    break;
                case BodyRead::CutShort:
                    response.status = 400;
                    response.body = "Error: the request was cut short";
                    break;
                case BodyRead::NotStored:
                    response.status = 500;
                    response.body = "Error: the request could not be stored";
                    break;
            }
        }
    } else {
        response.status = 400;
        response.body = "malformed request";
    }
    if (logger_) {
        logger_(request, response);
    }
    for (int waited = 0; waited < response.stallSeconds * 10 && !stopping_; ++waited) {
        ::usleep(100 * 1000);
    }
    if (!response.bodyFile.empty()) {
        sendFile(fd, response);
        ::shutdown(fd, SHUT_WR);
        closeConnection(fd);
        return;
    }
    std::string bytes = response.raw.empty() ? serialize(response) : response.raw;
    if (response.dropAfterBytes >= 0 &&
        static_cast<size_t>(response.dropAfterBytes) < bytes.size()) {
        bytes.resize(static_cast<size_t>(response.dropAfterBytes));
    }
    sendAll(fd, bytes.data(), bytes.size());
    ::shutdown(fd, SHUT_WR);
    closeConnection(fd);
}

void HttpServer::closeConnection(int fd) {
    // Off the list and closed in one step under the lock: stop() shuts down only what
    // is listed, and a number closed while still listed could be handed to another
    // descriptor of the process (a client's socket, a database file) meanwhile.
    std::lock_guard<std::mutex> lock(connectionsMutex_);
    openFds_.erase(std::find(openFds_.begin(), openFds_.end(), fd));
    ::close(fd);
    connectionsDone_.notify_all();
}

}  // namespace labd
