#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace service::testing {

// A loopback server that answers every connection with the same bytes, whatever was
// asked, then closes it: for answers labd does not give (redirects, broken replies).
class RawServer {
public:
    // With a pause, the answer is sent a byte at a time, pausing after each.
    explicit RawServer(std::string answer, std::chrono::milliseconds pause = {})
        : answer_(std::move(answer)), pause_(pause) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(fd_, 16);
        socklen_t length = sizeof addr;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &length);
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { run(); });
    }
    ~RawServer() {
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
    int connections() const { return connections_; }

private:
    void run() {
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) {
                continue;
            }
            const int client = ::accept(fd_, nullptr, nullptr);
            if (client < 0) {
                continue;
            }
            ++connections_;
            std::string request;
            char buffer[4096];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
                if (got <= 0) {
                    break;
                }
                request.append(buffer, static_cast<size_t>(got));
            }
            if (pause_.count() == 0) {
                ::send(client, answer_.data(), answer_.size(), MSG_NOSIGNAL);
            } else {
                for (size_t i = 0; i < answer_.size() && !stop_; ++i) {
                    if (::send(client, answer_.data() + i, 1, MSG_NOSIGNAL) != 1) {
                        break;
                    }
                    std::this_thread::sleep_for(pause_);
                }
            }
            ::close(client);
        }
    }

    std::string answer_;
    std::chrono::milliseconds pause_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::thread thread_;
};

}  // namespace service::testing
