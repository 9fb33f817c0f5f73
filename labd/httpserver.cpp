#include "labd/httpserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

namespace labd {

namespace {

constexpr size_t kMaxHeaderBytes = 64 * 1024;
constexpr size_t kMaxBodyBytes = 512 * 1024 * 1024;
constexpr int kReadTimeoutMs = 30000;

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

// Reads more bytes into buffer; false on close, error or a quiet peer.
bool readMore(int fd, std::string& buffer) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, kReadTimeoutMs) <= 0) {
        return false;
    }
    char chunk[65536];
    const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
    if (got <= 0) {
        return false;
    }
    buffer.append(chunk, static_cast<size_t>(got));
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
        case 405:
            return "Method Not Allowed";
        case 407:
            return "Proxy Authentication Required";
        case 413:
            return "Payload Too Large";
        case 500:
            return "Internal Server Error";
        case 502:
            return "Bad Gateway";
        default:
            return "Status";
    }
}

HttpServer::HttpServer(Handler handler, Logger logger)
    : handler_(std::move(handler)), logger_(std::move(logger)) {}

HttpServer::~HttpServer() {
    stop();
}

bool HttpServer::start(const std::string& address, int port) {
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
        ::listen(listenFd_, 64) != 0) {
        error_ = std::strerror(errno);
        ::close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    socklen_t length = sizeof addr;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &length);
    port_ = ntohs(addr.sin_port);
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
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 200) <= 0) {
            continue;
        }
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        const int fd =
            ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC);
        if (fd < 0) {
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
        std::thread([this, fd, peerText = std::string(text)] { serve(fd, peerText); }).detach();
    }
}

void HttpServer::serve(int fd, std::string peer) {
    std::string buffer;
    size_t headEnd = std::string::npos;
    while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
        if (buffer.size() > kMaxHeaderBytes || !readMore(fd, buffer)) {
            headEnd = std::string::npos;
            break;
        }
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
        const size_t length = lengthHeader == request.headers.end()
                                  ? 0
                                  : std::strtoull(lengthHeader->second.c_str(), nullptr, 10);
        if (length > kMaxBodyBytes) {
            response.status = 413;
            response.body = "request body too large";
        } else {
            const auto expect = request.headers.find("Expect");
            if (expect != request.headers.end() && expect->second == "100-continue") {
                const std::string proceed = "HTTP/1.1 100 Continue\r\n\r\n";
                sendAll(fd, proceed.data(), proceed.size());
            }
            request.body = buffer.substr(headEnd + 4);
            while (request.body.size() < length && readMore(fd, request.body)) {
            }
            request.body.resize(std::min(request.body.size(), length));
            response = handler_(request);
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
