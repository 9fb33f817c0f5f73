// labd under load: format requests and 1 MB uploads from 1, 8, 32 and 128 connections
// at once, SECONDS each (default 10): requests a second, the 99th percentile of the
// latency, failures, and labd's peak resident memory. Then its peak under 64 readers
// of a 40 MB photo that read slowly, and under uploads of a hundred thousand form
// parts each. labd runs as its own process.
// Each client sends its photo again and again under one file number, so the lab keeps
// one photo a client and the disk does not fill.
//   build-bench/bench/labd_load_bench LABD [SECONDS]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string exchange(int port, const std::string& request) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        for (size_t sent = 0; sent < request.size();) {
            const ssize_t n =
                ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                break;
            }
            sent += static_cast<size_t>(n);
        }
        char buffer[16384];
        ssize_t got = 0;
        while ((got = ::recv(fd, buffer, sizeof buffer, 0)) > 0) {
            answer.append(buffer, static_cast<size_t>(got));
        }
    }
    ::close(fd);
    return answer;
}

std::string body(const std::string& answer) {
    const size_t at = answer.find("\r\n\r\n");
    return at == std::string::npos ? std::string() : answer.substr(at + 4);
}

// A baseline JPEG of about 1 MB: a valid header and scan start, then filler the
// service stores without decoding.
std::string megabytePicture() {
    std::string jpeg("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 20);
    // A quantisation table, a frame of 8 x 8 grey, a Huffman table pair and a scan.
    jpeg += std::string("\xFF\xDB\x00\x43\x00", 5) + std::string(64, '\x01');
    jpeg += std::string("\xFF\xC0\x00\x0B\x08\x00\x08\x00\x08\x01\x01\x11\x00", 13);
    jpeg +=
        std::string("\xFF\xC4\x00\x14\x00\x01", 6) + std::string(15, '\0') + std::string("\x00", 1);
    jpeg +=
        std::string("\xFF\xC4\x00\x14\x10\x01", 6) + std::string(15, '\0') + std::string("\x00", 1);
    jpeg += std::string("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00", 10);
    jpeg += std::string(1024 * 1024, '\x00');
    return jpeg + "\xFF\xD9";
}

std::string uploadRequest(const std::string& key, const std::string& picture, int number) {
    const std::string d = "----RIRIDO-REZ-AVAZ";
    std::string b = d + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"a.jpg\"" +
                    "\r\nContent-Type: image/jpeg\r\n\r\n" + picture + "\r\n";
    const std::pair<const char*, std::string> fields[] = {
        {"Count", "1"},         {"Format", "10x15"}, {"Paper", "matov"},
        {"key", key},           {"dpi", "300"},      {"FileNumber", std::to_string(number)},
        {"Param", "WithBorder"}};
    for (const auto& [name, value] : fields) {
        b += d + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value +
             "\r\n";
    }
    b += d + "--";
    return "POST /index.php?option=com_photoprint&step=uploadprogs HTTP/1.1\r\nHost: x\r\n"
           "Content-Type: multipart/form-data; boundary=--RIRIDO-REZ-AVAZ\r\nContent-Length: " +
           std::to_string(b.size()) + "\r\n\r\n" + b;
}

// Starts labd's peak resident memory afresh from what it holds now.
void resetPeak(pid_t pid) {
    std::ofstream("/proc/" + std::to_string(pid) + "/clear_refs") << "5";
}

// A connection that has sent its request and reads nothing yet.
int sentRequest(int port, const std::string& request) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) !=
            static_cast<ssize_t>(request.size())) {
        ::close(fd);
        return -1;
    }
    return fd;
}

long peakKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: labd_load_bench LABD [SECONDS]\n");
        return 2;
    }
    const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    const std::filesystem::path data =
        std::filesystem::temp_directory_path() / ("labd-load-" + std::to_string(::getpid()));
    std::filesystem::create_directories(data);
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return 1;
    }
    const pid_t labd = ::fork();
    if (labd == 0) {
        ::dup2(pipeFds[1], 2);
        // Every client takes a session: no bound on new sessions from one address.
        ::execl(argv[1], argv[1], "--port", "0", "--data", data.c_str(), "--sessions-per-minute",
                "0", nullptr);
        _exit(127);
    }
    ::close(pipeFds[1]);
    std::string log;
    int port = 0;
    char buffer[512];
    std::smatch found;
    while (port == 0) {
        const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
        if (got <= 0) {
            std::fprintf(stderr, "labd did not start\n");
            return 1;
        }
        log.append(buffer, static_cast<size_t>(got));
        if (std::regex_search(log, found, std::regex("listening on http://[0-9.]+:([0-9]+)/"))) {
            port = std::stoi(found[1]);
        }
    }
    // labd's log is read and dropped from here on, so that it never blocks on it.
    std::thread drain([fd = pipeFds[0]] {
        char sink[4096];
        while (::read(fd, sink, sizeof sink) > 0) {
        }
    });

    const std::string picture = megabytePicture();
    std::printf("%-8s %11s %9s %9s %9s\n", "kind", "connections", "req/s", "p99 ms", "failures");
    for (const bool uploads : {false, true}) {
        for (const int connections : {1, 8, 32, 128}) {
            std::mutex mutex;
            std::vector<double> latencies;
            std::atomic<long> failures{0};
            const auto end = Clock::now() + std::chrono::seconds(seconds);
            std::vector<std::thread> clients;
            for (int c = 0; c < connections; ++c) {
                clients.emplace_back([&, c] {
                    const std::string key =
                        body(exchange(port,
                                      "GET /index.php?option=com_photoprint&step=session "
                                      "HTTP/1.1\r\nHost: x\r\n\r\n"));
                    std::vector<double> mine;
                    while (Clock::now() < end) {
                        const auto start = Clock::now();
                        const std::string answer =
                            uploads ? exchange(port, uploadRequest(key, picture, c))
                                    : exchange(port,
                                               "GET /index.php?option=com_photoprint&step=format "
                                               "HTTP/1.1\r\nHost: x\r\n\r\n");
                        const bool good =
                            uploads ? body(answer) == "Ok" : answer.rfind("HTTP/1.1 200", 0) == 0;
                        if (!good) {
                            ++failures;
                        }
                        mine.push_back(
                            std::chrono::duration<double, std::milli>(Clock::now() - start)
                                .count());
                    }
                    std::lock_guard<std::mutex> lock(mutex);
                    latencies.insert(latencies.end(), mine.begin(), mine.end());
                });
            }
            for (std::thread& t : clients) {
                t.join();
            }
            std::sort(latencies.begin(), latencies.end());
            const double p99 =
                latencies.empty() ? 0 : latencies[static_cast<size_t>(latencies.size() * 0.99)];
            std::printf("%-8s %11d %9.0f %9.1f %9ld\n", uploads ? "upload" : "formats", connections,
                        static_cast<double>(latencies.size()) / seconds, p99, failures.load());
            std::fflush(stdout);
        }
    }
    std::printf("labd's peak resident memory: %ld MB\n", peakKilobytes(labd) / 1024);

    // 64 readers of one 40 MB photo, all in flight at once, each reading 64 KB a
    // tenth of a second.
    {
        const std::string key = body(exchange(
            port, "GET /index.php?option=com_photoprint&step=session HTTP/1.1\r\nHost: x\r\n\r\n"));
        std::string photo = megabytePicture();
        photo.insert(photo.size() - 2, std::string(39 * 1024 * 1024, '\x00'));
        exchange(port, uploadRequest(key, photo, 1));
        resetPeak(labd);
        std::vector<std::thread> readers;
        std::atomic<long> whole{0};
        for (int r = 0; r < 64; ++r) {
            readers.emplace_back([&] {
                const int fd = sentRequest(
                    port, "GET /photo?key=" + key + "&file=1 HTTP/1.1\r\nHost: x\r\n\r\n");
                std::vector<char> piece(64 * 1024);
                size_t read = 0;
                ssize_t got = 0;
                while (fd >= 0 && (got = ::recv(fd, piece.data(), piece.size(), 0)) > 0) {
                    read += static_cast<size_t>(got);
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                }
                if (fd >= 0) {
                    ::close(fd);
                }
                whole += read > photo.size() ? 1 : 0;
            });
        }
        for (std::thread& t : readers) {
            t.join();
        }
        std::printf("64 slow readers of a 40 MB photo: %ld whole, labd's peak %ld MB\n",
                    whole.load(), peakKilobytes(labd) / 1024);
    }
    // Uploads of a hundred thousand tiny form parts each, eight at once.
    {
        std::string parts;
        for (int i = 0; i < 100000; ++i) {
            parts += "--b\r\nContent-Disposition: form-data; name=\"f\"\r\n\r\nv\r\n";
        }
        parts += "--b--";
        const std::string request =
            "POST /index.php?option=com_photoprint&step=uploadprogs HTTP/1.1\r\nHost: x\r\n"
            "Content-Type: multipart/form-data; boundary=b\r\nContent-Length: " +
            std::to_string(parts.size()) + "\r\n\r\n" + parts;
        resetPeak(labd);
        std::vector<std::thread> senders;
        for (int s = 0; s < 8; ++s) {
            senders.emplace_back([&] { exchange(port, request); });
        }
        for (std::thread& t : senders) {
            t.join();
        }
        std::printf("8 uploads of 100 000 form parts at once: labd's peak %ld MB\n",
                    peakKilobytes(labd) / 1024);
    }
    ::kill(labd, SIGTERM);
    ::waitpid(labd, nullptr, 0);
    drain.join();
    std::filesystem::remove_all(data);
    return 0;
}
