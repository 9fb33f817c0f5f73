// labd where others can reach it: what a hostile or unlucky client does is answered,
// bounded and never spun on. Some cases run the real labd program under resource
// limits (ulimit) in a child of its own.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "labd/httpserver.h"
#include "labd/store.h"
#include "labd/tests/labfixture.h"
#include "labd/tests/uploadbody.h"

namespace {

using labd::testing::Lab;
namespace fs = std::filesystem;

const std::string kSession = "/index.php?option=com_photoprint&step=session";
const std::string kFormats = "/index.php?option=com_photoprint&step=format";
const std::string kUpload = "/index.php?option=com_photoprint&step=uploadprogs";

// A connection to 127.0.0.1:port; -1 when none can be made.
int connectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    timeval wait{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    return fd;
}

// Sends raw bytes, half-closes (unless keepOpen), and reads the whole answer.
std::string talk(int port, const std::string& bytes, bool halfClose = true) {
    const int fd = connectTo(port);
    if (fd < 0) {
        return "<no connection>";
    }
    ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (halfClose) {
        ::shutdown(fd, SHUT_WR);
    }
    std::string answer;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::recv(fd, buffer, sizeof buffer, 0)) > 0) {
        answer.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return answer;
}

std::string get(int port, const std::string& target, const std::string& extra = {}) {
    return talk(port, "GET " + target + " HTTP/1.1\r\nHost: x\r\n" + extra + "\r\n");
}

std::string bodyOf(const std::string& answer) {
    const size_t at = answer.find("\r\n\r\n");
    return at == std::string::npos ? std::string() : answer.substr(at + 4);
}

std::string uploadRequest(const std::string& key, const std::string& count,
                          const std::string& picture, const std::string& fileNumber = "1") {
    const std::string body = labd::testing::clientUploadBody(
        picture, "a.jpg", count, "10x15", "matov", key, "300", fileNumber, "AsIs");
    return "POST " + kUpload +
           " HTTP/1.1\r\nHost: x\r\nContent-Type: " + labd::testing::kUploadContentType +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

int portOf(Lab& lab) {
    return std::stoi(lab.address().substr(lab.address().rfind(':') + 1));
}

// The real labd program, started in a shell with the given ulimit switches.
class LabdProcess {
public:
    explicit LabdProcess(const std::string& ulimits, const std::string& extra = {}) {
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.setReadChannel(QProcess::StandardError);
        const std::string command = "ulimit " + ulimits + " && exec " + LABD_BINARY +
                                    " --port 0 --data '" + dir_.path().toStdString() + "' " + extra;
        process_.start("/bin/sh", {"-c", QString::fromStdString(command)});
        QElapsedTimer timer;
        timer.start();
        std::string log;
        while (port_ == 0 && timer.elapsed() < 10000 && process_.state() != QProcess::NotRunning) {
            process_.waitForReadyRead(200);
            log += process_.readAllStandardError().toStdString();
            std::smatch found;
            if (std::regex_search(log, found,
                                  std::regex("listening on http://[0-9.]+:([0-9]+)/"))) {
                port_ = std::stoi(found[1]);
            }
        }
    }
    ~LabdProcess() {
        process_.kill();
        process_.waitForFinished();
    }
    int port() const { return port_; }
    qint64 pid() const { return process_.processId(); }
    std::string dataDir() const { return dir_.path().toStdString(); }
    // Milliseconds until it ends after SIGTERM; -1 when it has not within 5 s.
    qint64 terminate() {
        QElapsedTimer timer;
        timer.start();
        process_.terminate();
        return process_.waitForFinished(5000) ? timer.elapsed() : -1;
    }
    // CPU time the process has used, in clock ticks.
    long cpuTicks() const {
        std::ifstream stat("/proc/" + std::to_string(pid()) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), {});
        std::istringstream fields(text.substr(text.rfind(')') + 2));
        std::string field;
        long ticks = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i == 14 || i == 15) {
                ticks += std::stol(field);
            }
        }
        return ticks;
    }
    int threads() const {
        std::ifstream status("/proc/" + std::to_string(pid()) + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("Threads:", 0) == 0) {
                return std::stoi(line.substr(8));
            }
        }
        return -1;
    }

private:
    QTemporaryDir dir_;
    QProcess process_;
    int port_ = 0;
};

}  // namespace

// No open proxy: an absolute-form request for another host is refused without
// --proxy-auth, and nothing reaches that host.
TEST(LabdHardening, ForwardsOnlyAsAnAuthenticatedProxy) {
    Lab lab;
    QTcpServer upstream;
    ASSERT_TRUE(upstream.listen(QHostAddress::LocalHost));
    const std::string answer =
        get(portOf(lab), "http://127.0.0.1:" + std::to_string(upstream.serverPort()) + "/secret");
    EXPECT_EQ(answer.rfind("HTTP/1.1 403", 0), 0u) << answer;
    EXPECT_FALSE(upstream.waitForNewConnection(300));
}

// As a proxy, a silent upstream is given up after the read limit, and a stop during
// the forward does not wait for it.
TEST(LabdHardening, AForwardToASilentUpstreamIsBounded) {
    labd::ServiceOptions options;
    options.proxyCredentials = "ivan:secret";
    options.forwardReadSeconds = 1;
    const std::string auth =
        "Proxy-Authorization: Basic " + labd::base64Encode("ivan:secret") + "\r\n";
    int silent = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(silent, 8), 0);  // connections are taken by the kernel, never answered
    socklen_t length = sizeof addr;
    ::getsockname(silent, reinterpret_cast<sockaddr*>(&addr), &length);
    const std::string target = "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/";
    {
        Lab proxy(options);
        EXPECT_EQ(get(portOf(proxy), target, auth).rfind("HTTP/1.1 504", 0), 0u);
    }
    options.forwardReadSeconds = 60;
    Lab proxy(options);
    std::thread waiting([&] { get(portOf(proxy), target, auth); });
    QThread::msleep(300);
    QElapsedTimer timer;
    timer.start();
    proxy.stop();
    EXPECT_LT(timer.elapsed(), 2000);
    waiting.join();
    ::close(silent);
}

// Keys come from the system's random source: 32 letters and digits, never repeated.
TEST(LabdHardening, SessionKeysAreLongRandomAndDistinct) {
    labd::ServiceOptions unbounded;
    unbounded.sessionsPerMinute = 0;
    Lab lab(unbounded);
    std::set<std::string> keys;
    for (int i = 0; i < 300; ++i) {
        const std::string key = bodyOf(get(portOf(lab), kSession));
        ASSERT_TRUE(std::regex_match(key, std::regex("[A-Za-z0-9]{32}"))) << key;
        keys.insert(key);
    }
    EXPECT_EQ(keys.size(), 300u);
}

// An upload is taken only when it is whole, a JPEG, with a sane count, for an open
// session; every refusal is a short error text and stores nothing.
TEST(LabdHardening, UploadsAreCheckedBeforeOk) {
    Lab lab;
    const int port = portOf(lab);
    const std::string key = bodyOf(get(port, kSession));
    const std::string picture = labd::testing::jpegPicture(32, 24);
    struct Case {
        const char* what;
        std::string request;
        std::string answer;
    };
    const std::string whole = uploadRequest(key, "1", picture);
    const std::vector<Case> cases = {
        {"a negative count", uploadRequest(key, "-1000", picture),
         "Error: the count is not a positive whole number"},
        {"a count past 32 bits", uploadRequest(key, "99999999999", picture),
         "Error: the count is not a positive whole number"},
        {"no count", uploadRequest(key, "", picture),
         "Error: the count is not a positive whole number"},
        {"not a JPEG", uploadRequest(key, "1", "\xFF\xD8 just bytes"),
         "Error: the upload holds no JPEG picture"},
        {"cut to half its length", whole.substr(0, whole.size() / 2),
         "Error: the request was cut short"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(bodyOf(talk(port, c.request)), c.answer);
    }
    EXPECT_EQ(lab.store().uploadCount(), 0);
    EXPECT_TRUE(fs::is_empty(fs::path(lab.dataDir()) / "photos") ||
                fs::is_empty(fs::path(lab.dataDir()) / "photos" / key));

    // A large photo streams through a file and is stored whole.
    const std::string large = labd::testing::jpegPicture(700, 700);
    ASSERT_GT(large.size(), 256u * 1024);
    EXPECT_EQ(bodyOf(talk(port, uploadRequest(key, "2", large))), "Ok");
    const auto stored = lab.store().uploads(key);
    ASSERT_EQ(stored.size(), 1u);
    std::ifstream in(stored[0].storedPath, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), large);

    // Once the order is placed, the session takes no more uploads.
    talk(port, "POST /index.php?option=com_photoprint&step=placeorder&key=" + key +
                   " HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n");
    ASSERT_TRUE(lab.store().orderPlaced(key));
    EXPECT_EQ(bodyOf(talk(port, uploadRequest(key, "1", picture, "2"))),
              "Error: the order of this session has been placed");
    EXPECT_EQ(lab.store().uploads(key).size(), 1u);
}

// Past the size limit a request is refused from its head, its body never read.
TEST(LabdHardening, ABodyPastTheLimitIsRefusedFromItsHead) {
    Lab lab;
    const std::string answer = talk(portOf(lab),
                                    "POST " + kUpload + " HTTP/1.1\r\nHost: x\r\nContent-Length: " +
                                        std::to_string(64 * 1024 * 1024 + 1) + "\r\n\r\n",
                                    false);
    EXPECT_EQ(answer.rfind("HTTP/1.1 413", 0), 0u) << answer;
    EXPECT_EQ(bodyOf(answer), "Error: the request is larger than 64 MB");
}

// The totals are exact in kopecks, whatever the count.
TEST(LabdHardening, TotalsAreExactInKopecks) {
    {
        Lab lab;
        const int port = portOf(lab);
        const std::string key = bodyOf(get(port, kSession));
        const std::string picture = labd::testing::jpegPicture(16, 16);
        ASSERT_EQ(bodyOf(talk(port, uploadRequest(key, "2147483647", picture))), "Ok");
        const std::string page =
            bodyOf(get(port, "/index.php?option=com_photoprint&step=showprog&key=" + key));
        // 10x15 costs 12.50: 2147483647 x 1250 kopecks.
        EXPECT_NE(page.find("Итого: 26843545587.50 руб."), std::string::npos);
    }
    // A total past 2^53 is stored to the kopeck, and one past 2^63 is refused.
    for (const bool overflow : {false, true}) {
        Lab lab(labd::ServiceOptions(), labd::ServerLimits(), 0,
                std::string(overflow ? "10x15:999999999999.99:152:102:1795:1205:150\n"
                                     : "10x15:1000000.01:152:102:1795:1205:150\n"));
        const int port = portOf(lab);
        const std::string key = bodyOf(get(port, kSession));
        const std::string picture = labd::testing::jpegPicture(16, 16);
        ASSERT_EQ(bodyOf(talk(port, uploadRequest(key, "100000001", picture))), "Ok");
        talk(port, "POST /index.php?option=com_photoprint&step=placeorder&key=" + key +
                       " HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n");
        const std::string page =
            bodyOf(get(port, "/index.php?option=com_photoprint&step=showprog&key=" + key));
        if (overflow) {
            EXPECT_FALSE(lab.store().orderPlaced(key));
            EXPECT_NE(page.find("Итого: сумма слишком велика"), std::string::npos);
            EXPECT_EQ(page.find("Отправить заказ"), std::string::npos);
        } else {
            EXPECT_EQ(lab.store().orderTotal(key), int64_t{10000000200000001});
            EXPECT_NE(page.find("Итого: 100000002000000.01 руб."), std::string::npos) << page;
        }
    }
}

// An upload racing the placing of its session's order is either in the order (its
// "Ok" came first, and the total counts it) or refused: a placed order never changes.
TEST(LabdHardening, AnUploadRacingThePlacedOrderIsInItOrRefused) {
    Lab lab;
    const int port = portOf(lab);
    const std::string picture = labd::testing::jpegPicture(16, 16);
    int counted = 0;
    int refused = 0;
    for (int race = 0; race < 35; ++race) {
        const std::string key = bodyOf(get(port, kSession));
        ASSERT_EQ(bodyOf(talk(port, uploadRequest(key, "1", picture, "1"))), "Ok");
        std::string answer;
        std::thread upload(
            [&] { answer = bodyOf(talk(port, uploadRequest(key, "1", picture, "2"))); });
        talk(port, "POST /index.php?option=com_photoprint&step=placeorder&key=" + key +
                       " HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n");
        upload.join();
        const size_t uploads = lab.store().uploads(key).size();
        const std::optional<int64_t> total = lab.store().orderTotal(key);
        ASSERT_TRUE(total);
        // 10x15 costs 12.50 a print.
        EXPECT_EQ(*total, int64_t(uploads) * 1250) << "race " << race;
        if (answer == "Ok") {
            EXPECT_EQ(uploads, 2u) << "race " << race;
            ++counted;
        } else {
            EXPECT_EQ(answer, "Error: the order of this session has been placed");
            EXPECT_EQ(uploads, 1u) << "race " << race;
            ++refused;
        }
    }
    EXPECT_EQ(counted + refused, 35);
}

// Log lines cannot be forged: control characters are shown as codes.
TEST(LabdHardening, LogTextIsEscaped) {
    EXPECT_EQ(labd::escapedForLog("/a\nGET /forged\r\x01\\"), "/a\\x0AGET /forged\\x0D\\x01\\x5C");
}

// Customers' photos and orders are the lab's alone.
TEST(LabdHardening, DataIsPrivate) {
    Lab lab;
    const int port = portOf(lab);
    const std::string key = bodyOf(get(port, kSession));
    ASSERT_EQ(bodyOf(talk(port, uploadRequest(key, "1", labd::testing::jpegPicture(8, 8)))), "Ok");
    const auto mode = [](const fs::path& p) {
        return fs::status(p).permissions() & fs::perms::all;
    };
    const fs::path data(lab.dataDir());
    EXPECT_EQ(mode(data), fs::perms::owner_all);
    EXPECT_EQ(mode(data / "photos"), fs::perms::owner_all);
    EXPECT_EQ(mode(data / "photos" / key), fs::perms::owner_all);
    EXPECT_EQ(mode(lab.store().uploads(key).at(0).storedPath),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(mode(data / "labd.sqlite"), fs::perms::owner_read | fs::perms::owner_write);
}

// A full disk (here a file-size limit): the upload is answered with an error, the
// partial photo removed, and labd serves on and stops at once on SIGTERM.
TEST(LabdHardening, AFullDiskIsAnsweredAndServedThrough) {
    LabdProcess labd("-f 200");  // 200 KB
    ASSERT_NE(labd.port(), 0);
    const std::string key = bodyOf(get(labd.port(), kSession));
    ASSERT_EQ(key.size(), 32u);
    const std::string large = labd::testing::jpegPicture(900, 900);
    ASSERT_GT(large.size(), 300u * 1024);
    const std::string answer = bodyOf(talk(labd.port(), uploadRequest(key, "1", large)));
    EXPECT_EQ(answer.rfind("Error: ", 0), 0u) << answer;
    const fs::path photos = fs::path(labd.dataDir()) / "photos" / key;
    EXPECT_TRUE(!fs::exists(photos) || fs::is_empty(photos));
    EXPECT_EQ(bodyOf(get(labd.port(), kFormats)).substr(3, 4), "9x13");
    const qint64 stopped = labd.terminate();
    EXPECT_GE(stopped, 0);
    EXPECT_LT(stopped, 1500);
}

// Out of descriptors, labd backs off instead of spinning, and serves again once they
// are released; idle connections past the cap wait in the backlog, not in threads.
TEST(LabdHardening, ResourceExhaustionIsWaitedOutNotSpunOn) {
    LabdProcess labd("-n 40");
    ASSERT_NE(labd.port(), 0);
    std::vector<int> idle;
    for (int i = 0; i < 60; ++i) {
        idle.push_back(connectTo(labd.port()));
    }
    QThread::msleep(300);
    const long before = labd.cpuTicks();
    QThread::msleep(1000);
    const long used = labd.cpuTicks() - before;
    EXPECT_LT(used, sysconf(_SC_CLK_TCK) / 4) << "ticks in a second of exhaustion";
    for (const int fd : idle) {
        ::close(fd);
    }
    EXPECT_EQ(bodyOf(get(labd.port(), kFormats)).substr(3, 4), "9x13");

    LabdProcess capped("-n 1024");
    ASSERT_NE(capped.port(), 0);
    std::vector<int> many;
    for (int i = 0; i < 150; ++i) {
        many.push_back(connectTo(capped.port()));
    }
    QThread::msleep(500);
    EXPECT_LE(capped.threads(), 64 + 4);
    for (const int fd : many) {
        ::close(fd);
    }
    const qint64 stopped = capped.terminate();
    EXPECT_GE(stopped, 0);
    EXPECT_LT(stopped, 1500);
}

// A client that trickles its request is cut off at the head's deadline instead of
// holding a connection for ever.
TEST(LabdHardening, ATricklingRequestIsCutOff) {
    labd::ServerLimits limits;
    limits.headSeconds = 1;
    Lab lab({}, limits);
    const int fd = connectTo(portOf(lab));
    ASSERT_GE(fd, 0);
    QElapsedTimer timer;
    timer.start();
    std::string answer;
    for (const char c : std::string("GET / HTTP/1.1\r\nHost: x\r\n")) {
        if (::send(fd, &c, 1, MSG_NOSIGNAL) != 1) {
            break;
        }
        QThread::msleep(100);  // 10 bytes a second: the head would take 2.6 s
        char buffer[512];
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got > 0) {
            answer.append(buffer, static_cast<size_t>(got));
        }
        if (got == 0) {
            break;
        }
    }
    ::close(fd);
    EXPECT_LT(timer.elapsed(), 2400);
    EXPECT_EQ(answer.rfind("HTTP/1.1 400", 0), 0u) << answer;
}

// A store written before totals were whole kopecks (REAL) is opened with its orders,
// their totals made exact integers.
TEST(LabdHardening, OrdersOfAnOlderStoreKeepTheirTotals) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("labd.sqlite").toStdString();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE sessions (key TEXT PRIMARY KEY, created TEXT);"
                           "CREATE TABLE orders (key TEXT PRIMARY KEY, total REAL,"
                           " placed TEXT NOT NULL DEFAULT CURRENT_TIMESTAMP);"
                           "INSERT INTO sessions(key) VALUES('k');"
                           "INSERT INTO orders(key, total) VALUES('k', 2500);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    labd::Store store;
    std::string error;
    ASSERT_TRUE(store.open(path, &error)) << error;
    EXPECT_EQ(store.orderTotal("k"), int64_t{2500});
    EXPECT_TRUE(store.orderPlaced("k"));
}

// A head whose lines break anywhere but at CR LF is refused (400): a bare LF inside a
// value could otherwise be forwarded as a header of its own.
TEST(LabdHardening, AHeadWithABareLineBreakIsRefused) {
    Lab lab;
    const int port = portOf(lab);
    const char withNul[] = "GET / HTTP/1.1\r\nHost: x\r\nX-A: a\0b\r\n\r\n";
    for (const std::string& head :
         {std::string("GET / HTTP/1.1\r\nHost: x\r\nX-A: a\nInjected: yes\r\n\r\n"),
          std::string("GET / HTTP/1.1\r\nHost: x\r\nX-A: a\rInjected: yes\r\n\r\n"),
          std::string(withNul, sizeof withNul - 1)}) {
        EXPECT_EQ(talk(port, head).rfind("HTTP/1.1 400", 0), 0u);
    }
    EXPECT_EQ(talk(port, "GET / HTTP/1.1\r\nHost: x\r\n\r\n").rfind("HTTP/1.1 200", 0), 0u);
}

// --answer PATH=STATUS:BODY splits where a status and ":" follow the "=", so a path's
// query and a body may hold "=" and ":".
TEST(LabdHardening, TheAnswerSwitchSplitsAtTheStatus) {
    const auto answer =
        labd::parseFixedAnswer("/index.php?option=com_photoprint&step=format=500:a=b:c");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->path, "/index.php?option=com_photoprint&step=format");
    EXPECT_EQ(answer->status, 500);
    EXPECT_EQ(answer->body, "a=b:c");
    EXPECT_FALSE(labd::parseFixedAnswer("/banner.gif"));
    EXPECT_FALSE(labd::parseFixedAnswer("/banner.gif=2000:x"));
}

// Uploads that trickle their bodies are cut off once they fall below the least rate,
// and however many there are, a page is still served: they may take only a share of
// the connections.
TEST(LabdHardening, SlowBodiesAreCutAndNeverLockOutAPage) {
    labd::ServerLimits limits;
    limits.maxConnections = 8;
    limits.maxBodyConnections = 6;
    limits.bodyGraceSeconds = 1;
    limits.minBodyBytesPerSecond = 1024;
    Lab lab({}, limits);
    const int port = portOf(lab);
    std::vector<int> slow;
    for (int i = 0; i < 8; ++i) {
        const int fd = connectTo(port);
        ASSERT_GE(fd, 0);
        const std::string head =
            "POST " + kUpload + " HTTP/1.1\r\nHost: x\r\nContent-Length: 100000\r\n\r\nx";
        ::send(fd, head.data(), head.size(), MSG_NOSIGNAL);
        slow.push_back(fd);
    }
    QThread::msleep(300);
    EXPECT_EQ(get(port, "/").rfind("HTTP/1.1 200", 0), 0u) << "the slow uploads locked out a page";
    int cut = 0;
    int turnedAway = 0;
    for (const int fd : slow) {
        char buffer[512];
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);  // 10 s at most
        const std::string answer(buffer, got > 0 ? static_cast<size_t>(got) : 0);
        cut += answer.rfind("HTTP/1.1 400", 0) == 0 ? 1 : 0;
        turnedAway += answer.rfind("HTTP/1.1 503", 0) == 0 ? 1 : 0;
        ::close(fd);
    }
    EXPECT_EQ(cut, 6);
    EXPECT_EQ(turnedAway, 2);
}

namespace {

// The most the process has had resident, in MB.
double peakMegabytes(qint64 pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024;
        }
    }
    return -1;
}

}  // namespace

// Under the loads that took it to gigabytes: 24 clients reading one 40 MB photo at once
// (slowly, so all are in flight together), and uploads of a hundred thousand tiny form
// parts. Files go out from disk a piece at a time, and a form is read in at most 64
// parts: the peak stays under 200 MB, where copies of the photo would take gigabytes.
TEST(LabdHardening, PeakMemoryStaysBoundedUnderPhotoReadersAndManyParts) {
    LabdProcess labd("-c 0");
    ASSERT_GT(labd.port(), 0);
    const int port = labd.port();
    const std::string key = bodyOf(get(port, kSession));
    std::string photo = labd::testing::jpegPicture(16, 16);
    photo += std::string(40 * 1024 * 1024, '\0');  // after its end: still a JPEG that reads
    ASSERT_EQ(bodyOf(talk(port, uploadRequest(key, "1", photo))), "Ok");
    photo.clear();
    photo.shrink_to_fit();
    const double afterUpload = peakMegabytes(labd.pid());

    std::vector<int> readers;
    for (int i = 0; i < 24; ++i) {
        const int fd = connectTo(port);
        ASSERT_GE(fd, 0);
        const std::string request = "GET /photo?key=" + key + "&file=1 HTTP/1.1\r\nHost: x\r\n\r\n";
        ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
        readers.push_back(fd);
    }
    QThread::msleep(1500);  // every answer under way, none read yet
    size_t whole = 0;
    for (const int fd : readers) {
        std::vector<char> buffer(1 << 20);
        size_t read = 0;
        ssize_t got = 0;
        while ((got = ::recv(fd, buffer.data(), buffer.size(), 0)) > 0) {
            read += static_cast<size_t>(got);
        }
        whole += read > 40u * 1024 * 1024 ? 1 : 0;
        ::close(fd);
    }
    EXPECT_EQ(whole, 24u);

    std::string parts;
    while (parts.size() < 8 * 1024 * 1024) {
        parts += "--b\r\nContent-Disposition: form-data; name=\"f\"\r\n\r\nv\r\n";
    }
    parts += "--b--";
    for (int i = 0; i < 4; ++i) {
        const std::string answer =
            talk(port, "POST " + kUpload +
                           " HTTP/1.1\r\nHost: x\r\nContent-Type: multipart/form-data; "
                           "boundary=b\r\nContent-Length: " +
                           std::to_string(parts.size()) + "\r\n\r\n" + parts);
        EXPECT_NE(bodyOf(answer).find("Error"), std::string::npos);
    }
    const double peak = peakMegabytes(labd.pid());
    std::cout << "labd's peak: " << afterUpload << " MB after the upload, " << peak
              << " MB after the readers and the many-parts uploads\n";
    EXPECT_LT(peak, 200.0);
}

// One address gets a bounded number of new sessions a minute (429 beyond), and a
// session nobody uploaded to is forgotten after a while; one with an upload stays.
TEST(LabdHardening, NewSessionsAreBoundedAndEmptyOnesExpire) {
    labd::ServiceOptions options;
    options.sessionsPerMinute = 5;
    options.emptySessionSeconds = 1;
    Lab lab(options);
    const int port = portOf(lab);
    const std::string empty = bodyOf(get(port, kSession));
    const std::string used = bodyOf(get(port, kSession));
    ASSERT_EQ(used.size(), 32u);
    ASSERT_EQ(bodyOf(talk(port, uploadRequest(used, "1", labd::testing::jpegPicture(8, 8)))), "Ok");
    QThread::msleep(2200);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(bodyOf(get(port, kSession)).size(), 32u);
    }
    const std::string refused = get(port, kSession);
    EXPECT_EQ(refused.rfind("HTTP/1.1 429", 0), 0u) << refused;
    EXPECT_FALSE(lab.store().hasSession(empty));
    EXPECT_TRUE(lab.store().hasSession(used));
}
