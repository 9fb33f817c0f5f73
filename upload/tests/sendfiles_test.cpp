#include <gtest/gtest.h>

#include <QDir>
#include <QTcpServer>
#include <QThreadPool>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "labd/tests/labfixture.h"
#include "platform/error.h"
#include "platform/testing/jpegbytes.h"
#include "platform/testing/scopedenv.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/testing/userfolders.h"
#include "service/httpget.h"
#include "upload/sendfiles.h"
#include "upload/uploadbody.h"
#include "upload/uploadmessages.h"

using testing_support::ScopedEnv;
using testing_support::ScriptedDialogs;
using upload::UploadOutcome;
using Answer = platform::Dialogs::Answer;

namespace {

const std::string kUploadStep = "/index.php?option=com_photoprint&step=uploadprogs";
const QString kWeb = QStringLiteral("http://lab.test/");

// A host with no order behind it: it records what the run shows.
class RecordingHost final : public upload::SendHost {
public:
    int rowCount() override { return 0; }
    void FirstRecord() override {}
    upload::SendRow currentRow() override { return {}; }
    upload::SendRow rowAt(int) override { return {}; }
    void UpdateProgress(const upload::SendProgress& p) override { shown.push_back(p); }
    void NextRecord() override {}
    void SendFinished(const QString&, const std::vector<upload::NotSent>&) override {}
    QString GetNewSession(const std::atomic<bool>&) override { return {}; }
    std::vector<upload::SendProgress> shown;
};

// One row's upload against a labd, with the real HTTP client and a short stall limit.
class OneRow : public ::testing::Test {
protected:
    void start(labd::ServiceOptions options = {}) {
        lab_ = std::make_unique<labd::testing::Lab>(options);
        ASSERT_TRUE(lab_->ok());
        host_ = QString::fromStdString(lab_->address());
        key_ = QStringLiteral("0123456789abcdef0123456789ABCDEF");
        ASSERT_TRUE(lab_->store().addSession(key_.toStdString()));
    }
    UploadOutcome send(const QByteArray& picture, const QString& hostOverride = {}) {
        upload::SendRun run(
            recorder_, {http_, dialogs_, {}, hostOverride.isEmpty() ? host_ : hostOverride, kWeb});
        const UploadOutcome outcome = run.UploadFile(picture, row_, key_, QStringLiteral("1"));
        stopped_ = run.stopRequested();
        return outcome;
    }
    std::vector<labd::Upload> uploads() { return lab_->store().uploads(key_.toStdString()); }

    testing_support::NoProxyEnv noProxy_;
    testing_support::UserFolders folders_;
    ScriptedDialogs dialogs_;
    service::CredentialStore credentials_;
    service::HttpClient http_{
        dialogs_, credentials_,
        service::HttpLimits{std::chrono::seconds(5), std::chrono::seconds(1)}};
    RecordingHost recorder_;
    std::unique_ptr<labd::testing::Lab> lab_;
    QString host_;
    QString key_;
    bool stopped_ = false;
    upload::SendRow row_{
        QStringLiteral("/photos/Фото 1.jpg"),
        2,
        QStringLiteral("10x15"),
        QStringLiteral("Без полей"),
        QStringLiteral("Глянцевая"),
        3000,
        2000,
        formats::TFormatsRecord{QStringLiteral("10x15"), 12.5f, 152, 102, 1795, 1205, 150}};
};

// A real JPEG picture of exactly this many bytes: a small one with a comment that
// fills it up (the lab takes only pictures whose header reads).
QByteArray picture(int size) {
    const QByteArray small = testing_support::encodedJpeg(8, 8);
    const int padding = size - static_cast<int>(small.size()) - 4;
    EXPECT_GE(padding, 0);
    QByteArray comment("\xFF\xFE", 2);
    comment.append(static_cast<char>((padding + 2) >> 8));
    comment.append(static_cast<char>((padding + 2) & 0xFF));
    comment.append(QByteArray(padding, 'c'));
    return small.left(2) + comment + small.mid(2);
}

}  // namespace

TEST(UploadValues, PaperParamDpiFilenameAndProgress) {
    EXPECT_EQ(upload::paperValue("Матовая"), "matov");
    EXPECT_EQ(upload::paperValue("Глянцевая"), "glyanc");
    EXPECT_EQ(upload::paperValue("матовая"), "glyanc");  // exact comparison
    EXPECT_EQ(upload::paramValue("Подготовленный"), "AsIs");
    EXPECT_EQ(upload::paramValue("Без полей"), "WithoutBorder");
    EXPECT_EQ(upload::paramValue("С полями"), "WithBorder");
    EXPECT_EQ(upload::paramValue("что-то"), "WithBorder");
    upload::SendRow row;
    row.width = 3000;
    row.height = 2000;
    row.record = formats::TFormatsRecord{"10x15", 0, 152, 102, 1795, 1205, 150};
    EXPECT_EQ(upload::dpiValue(row), "501");  // 3000 / 152 × 25.4 = 501.3
    row.record->Width_mm = 0;
    EXPECT_EQ(upload::dpiValue(row), "0");
    row.record.reset();
    EXPECT_EQ(upload::dpiValue(row), "0");
    // A name cannot end the parameter and forge form fields.
    EXPECT_EQ(upload::escapedFilename("/p/a\"\r\nb.jpg"), "/p/a%22%0D%0Ab.jpg");
    // The boundary's text in a name cannot close the part.
    EXPECT_EQ(upload::escapedFilename("/p/a----RIRIDO-REZ-AVAZ.jpg"),
              "/p/a----%52IRIDO-REZ-AVAZ.jpg");
    EXPECT_EQ(upload::uploadHead("/p/a----RIRIDO-REZ-AVAZ.jpg").count("RIRIDO-REZ-AVAZ"), 1);
    EXPECT_EQ(upload::escapedFilename("/p/RIRIDO.jpg"), "/p/RIRIDO.jpg");
    EXPECT_EQ(upload::chunkProgress(30, 512, 1024), 65);
    EXPECT_EQ(upload::chunkProgress(5, 512, 1024), 52);  // 52.5 to even
    EXPECT_EQ(upload::chunkProgress(30, 1024, 1024), 100);
}

// A 1024-byte picture goes in two chunks of 512 and an empty one, with the progress
// after each that changes it (the empty chunk changes nothing); the lab's "Ok" ends the
// row.
TEST_F(OneRow, APictureOf1024BytesIsSentInChunksWithItsProgress) {
    start();
    EXPECT_EQ(send(picture(1024)), UploadOutcome::Sent);
    std::vector<int> progress;
    for (const upload::SendProgress& p : recorder_.shown) {
        progress.push_back(p.Progress1);
    }
    EXPECT_EQ(progress, (std::vector<int>{5, 52, 100}));
    EXPECT_EQ(recorder_.shown.front().Caption, upload::messages::sending(row_.file));
    const std::vector<labd::Upload> got = uploads();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].bytes, 1024);
    EXPECT_EQ(got[0].count, 2);
    EXPECT_EQ(got[0].paper, "glyanc");
    EXPECT_EQ(got[0].param, "WithoutBorder");
    EXPECT_EQ(got[0].dpi, "501");
    EXPECT_EQ(got[0].filename, "/photos/Фото 1.jpg");  // sent in Windows-1251
    EXPECT_TRUE(dialogs_.shown().empty());
}

TEST_F(OneRow, AnEmptyPictureMakesNoRequest) {
    start();
    EXPECT_EQ(send(QByteArray()), UploadOutcome::Sent);
    EXPECT_TRUE(recorder_.shown.empty());
    EXPECT_EQ(lab_->requests("uploadprogs"), 0);
}

// Only "Ok", line breaks aside, is a sent row; a reply past its bound is none.
TEST_F(OneRow, RepliesThatAreAndAreNotOk) {
    const std::vector<std::pair<std::string, bool>> replies = {
        {"Ok\r\n", true},
        {"Ok\n", true},
        {"O\r\nk", true},
        {"\xEF\xBB\xBFOk", true},
        {"ok", false},
        {" Ok", false},
        {"", false},
        {"Error: no", false},
        // Past the reply's bound the transfer ends: not a sent row, whatever follows.
        {"Ok" + std::string(100000, '\n'), false}};
    for (const auto& [reply, sent] : replies) {
        labd::ServiceOptions options;
        options.fixedAnswers[kUploadStep] = {200, reply};
        start(options);
        dialogs_.scriptAnswer(Answer::Ignore);
        EXPECT_EQ(send(picture(700)), sent ? UploadOutcome::Sent : UploadOutcome::Ignored)
            << reply.substr(0, 20);
        EXPECT_EQ(dialogs_.count(ScriptedDialogs::Shown::AbortRetryIgnore), sent ? 0 : 1)
            << reply.substr(0, 20);
        dialogs_.clear();
    }
}

// Nothing listening, or a status other than 200 on the empty request: the connection
// message, and the run stops; no retry is offered.
TEST_F(OneRow, NoConnectionStopsTheRunWithTheConnectionMessage) {
    start();
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const QString dead = QStringLiteral("127.0.0.1:%1").arg(probe.serverPort());
    probe.close();
    EXPECT_EQ(send(picture(700), dead), UploadOutcome::Stop);
    EXPECT_TRUE(stopped_);
    EXPECT_EQ(dialogs_.errors(), QStringList{upload::messages::noConnection(kWeb)});
}

// The lab asks for its credentials on the empty request: they are asked for, given,
// and kept for the upload itself.
TEST_F(OneRow, TheLabsCredentialsAreAskedOnceAndKept) {
    labd::ServiceOptions options;
    options.serverCredentials = "ivan:secret";
    start(options);
    dialogs_.scriptCredentials(platform::Dialogs::Credentials{"ivan", "secret"});
    EXPECT_EQ(send(picture(700)), UploadOutcome::Sent);
    EXPECT_EQ(dialogs_.count(ScriptedDialogs::Shown::AskCredentials), 1);
    EXPECT_EQ(uploads().size(), 1u);
}

// A proxy that wants credentials: given right, the row goes through it; given wrong and
// then cancelled, the proxy message, the run stops, and no upload is sent.
TEST_F(OneRow, AProxysCredentialsRightOrWrong) {
    start();
    labd::ServiceOptions proxyOptions;
    proxyOptions.proxyCredentials = "ivan:secret";
    labd::testing::Lab proxy(proxyOptions);
    const ScopedEnv useProxy("http_proxy", ("http://" + proxy.address()).c_str());

    dialogs_.scriptCredentials(platform::Dialogs::Credentials{"ivan", "secret"});
    EXPECT_EQ(send(picture(700)), UploadOutcome::Sent);
    EXPECT_EQ(uploads().size(), 1u);

    credentials_.remember(QStringLiteral("proxy http://") + QString::fromStdString(proxy.address()),
                          {QStringLiteral("ivan"), QStringLiteral("wrong")});
    dialogs_.scriptCredentials(std::nullopt);
    EXPECT_EQ(send(picture(700)), UploadOutcome::Stop);
    EXPECT_EQ(dialogs_.errors(), QStringList{upload::messages::proxyRefused(kWeb)});
    EXPECT_EQ(uploads().size(), 1u);
}

// A lab that goes quiet, or cuts its answer, while the row is sent: the transfer
// message, never a hang, and Abort (the scripted answer) stops the run.
TEST_F(OneRow, AStalledOrCutAnswerGivesTheTransferMessage) {
    for (const bool stall : {true, false}) {
        labd::ServiceOptions options;
        options.faultsOnUploadsOnly = true;
        if (stall) {
            options.stallSeconds = 30;  // far beyond the one-second stall limit
        } else {
            options.dropAfterBytes = 5;
        }
        start(options);
        EXPECT_EQ(send(picture(700)), UploadOutcome::Stop) << stall;
        EXPECT_EQ(dialogs_.count(ScriptedDialogs::Shown::AbortRetryIgnore), 1) << stall;
        EXPECT_EQ(dialogs_.shown().back().text, upload::messages::transferFailed(row_.file));
        dialogs_.clear();
    }
}

namespace {

// What the prints of a whole run see, shared with prints that may outlive the run.
struct PrintGate {
    std::mutex lock;
    std::condition_variable changed;
    bool secondRowShown = false;
    bool shownBeforeSecondPrint = false;
    bool thirdReleased = false;
    bool thirdDone = false;

    template <typename Ready>
    bool waitFor(Ready ready) {
        std::unique_lock<std::mutex> held(lock);
        return changed.wait_for(held, std::chrono::seconds(20), ready);
    }
    void set(bool& flag) {
        {
            const std::lock_guard<std::mutex> held(lock);
            flag = true;
        }
        changed.notify_all();
    }
};

// Three rows whose photos exist; it stops the run as the second row's turn is shown.
class StoppingHost final : public upload::SendHost {
public:
    StoppingHost(QStringList files, PrintGate& gate) : files_(std::move(files)), gate_(gate) {}
    upload::SendRun* run = nullptr;

    int rowCount() override { return static_cast<int>(files_.size()); }
    void FirstRecord() override { at_ = 0; }
    upload::SendRow currentRow() override { return rowAt(at_); }
    upload::SendRow rowAt(int i) override {
        upload::SendRow row;
        row.file = files_.value(i);
        row.count = 1;
        row.record = formats::TFormatsRecord{QStringLiteral("10x15"), 1, 152, 102, 1795, 1205, 150};
        return row;
    }
    void UpdateProgress(const upload::SendProgress& p) override {
        if (p.Caption == upload::messages::preparing(files_.value(1)) && !gate_.secondRowShown) {
            run->requestStop();
            gate_.set(gate_.secondRowShown);
        }
    }
    void NextRecord() override { ++at_; }
    void SendFinished(const QString&, const std::vector<upload::NotSent>&) override {}
    QString GetNewSession(const std::atomic<bool>&) override { return QString(32, u'k'); }

private:
    QStringList files_;
    PrintGate& gate_;
    int at_ = 0;
};

}  // namespace

// Each row's text shows as its turn starts, before its print (made ahead) is ready; and
// a stop does not wait for prints still being made ahead.
TEST(Run, ARowsTextComesFirstAndAStopLeavesPrintsAheadBehind) {
    testing_support::UserFolders folders;
    QStringList files;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
        files << folders.root() + u'/' + QString::fromLatin1(name);
        testing_support::writeFile(files.back(), "a photo");
    }
    QThreadPool::globalInstance()->setMaxThreadCount(
        std::max(4, QThreadPool::globalInstance()->maxThreadCount()));
    auto gate = std::make_shared<PrintGate>();
    const QString second = files[1];
    const QString third = files[2];
    // The prints: the second waits to see its row's text shown; the third until released.
    const upload::PreparePrint prepare =
        [gate, second, third](const QString& path, const formats::TFormatsRecord&, const QString&) {
            if (path == second) {
                const bool shown = gate->waitFor([&] { return gate->secondRowShown; });
                {
                    const std::lock_guard<std::mutex> held(gate->lock);
                    gate->shownBeforeSecondPrint = shown;
                }
            } else if (path == third) {
                gate->waitFor([&] { return gate->thirdReleased; });
                gate->set(gate->thirdDone);
            }
            return QByteArray();  // an empty print: counted as done, nothing sent
        };
    StoppingHost host(files, *gate);
    ScriptedDialogs dialogs;
    service::CredentialStore credentials;
    service::HttpClient http(dialogs, credentials);
    upload::SendRun run(host, {http, dialogs, prepare, QStringLiteral("127.0.0.1:1"), kWeb});
    host.run = &run;
    run.StartSend();
    bool thirdDoneAtTheEnd = false;
    {
        const std::lock_guard<std::mutex> held(gate->lock);
        thirdDoneAtTheEnd = gate->thirdDone;
        EXPECT_TRUE(gate->shownBeforeSecondPrint) << "the row's text waited for its print";
    }
    EXPECT_FALSE(thirdDoneAtTheEnd) << "the stop waited for a print made ahead";
    EXPECT_TRUE(run.stopRequested());
    gate->set(gate->thirdReleased);
    EXPECT_TRUE(gate->waitFor([&] { return gate->thirdDone; }));
}

namespace {

// A one-off lab on a loopback port that answers each request with the next of its
// replies, byte for byte, then closes the connection. A reply with a pause is trickled,
// a byte at a time.
class RawLab {
public:
    struct Reply {
        Reply(const char* text) : bytes(text) {}  // NOLINT: a list of plain replies
        Reply(std::string text, std::chrono::milliseconds perByte)
            : bytes(std::move(text)), pause(perByte) {}
        std::string bytes;
        std::chrono::milliseconds pause{0};
    };

    explicit RawLab(std::vector<Reply> replies) : replies_(std::move(replies)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener_, 4) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            ADD_FAILURE() << "no loopback port";
            return;
        }
        port_ = ntohs(address.sin_port);
        serving_ = std::thread([this] { serve(); });
    }
    ~RawLab() {
        ending_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
        if (serving_.joinable()) {
            serving_.join();
        }
    }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }

private:
    void serve() {
        for (const Reply& reply : replies_) {
            const int connection = ::accept(listener_, nullptr, nullptr);
            if (connection < 0) {
                return;
            }
            // The whole request: its head, then the body its length announces.
            std::string request;
            char buffer[4096];
            size_t wanted = std::string::npos;
            while (wanted == std::string::npos || request.size() < wanted) {
                const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
                if (got <= 0) {
                    break;
                }
                request.append(buffer, static_cast<size_t>(got));
                const size_t headEnd = request.find("\r\n\r\n");
                if (wanted == std::string::npos && headEnd != std::string::npos) {
                    const size_t at = request.find("Content-Length: ");
                    wanted = headEnd + 4 +
                             (at == std::string::npos ? 0 : std::stoul(request.substr(at + 16)));
                }
            }
            if (reply.pause.count() == 0) {
                ::send(connection, reply.bytes.data(), reply.bytes.size(), MSG_NOSIGNAL);
            } else {
                for (size_t i = 0; i < reply.bytes.size() && !ending_; ++i) {
                    if (::send(connection, reply.bytes.data() + i, 1, MSG_NOSIGNAL) != 1) {
                        break;
                    }
                    std::this_thread::sleep_for(reply.pause);
                }
            }
            ::close(connection);
        }
    }

    std::vector<Reply> replies_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> ending_{false};
    std::thread serving_;
};

}  // namespace

// "Ok" followed by a close before the announced length: the reply was cut short, so it
// is not the lab's answer and the row is not sent: the question comes.
TEST_F(OneRow, AnOkCutShortOfItsLengthIsNotSent) {
    RawLab lab({"HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nOk",
                "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nOk"});
    dialogs_.scriptAnswer(Answer::Ignore);
    EXPECT_EQ(send(picture(700), lab.host()), UploadOutcome::Ignored);
    EXPECT_EQ(dialogs_.count(ScriptedDialogs::Shown::AbortRetryIgnore), 1);
}

// A lab that trickles its "Ok" a byte every 200 ms (a minute for the whole reply) never
// holds a row past the request's deadline: the row is not sent and the question comes.
// A stop ends the trickle within about a second, with no question.
TEST_F(OneRow, ATrickledReplyEndsAtItsDeadlineOrAtAStop) {
    const std::string trickled =
        "HTTP/1.0 200 OK\r\nX-Slow: " + std::string(280, 'x') + "\r\nContent-Length: 2\r\n\r\nOk";
    const char* emptyAnswer = "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n";
    using std::chrono::milliseconds;
    using std::chrono::steady_clock;
    {
        RawLab lab({emptyAnswer, RawLab::Reply(trickled, milliseconds(200))});
        service::HttpLimits limits{std::chrono::seconds(5), std::chrono::seconds(5)};
        limits.deadline = std::chrono::seconds(2);
        service::HttpClient http(dialogs_, credentials_, limits);
        upload::SendRun run(recorder_, {http, dialogs_, {}, lab.host(), kWeb});
        dialogs_.scriptAnswer(Answer::Ignore);
        const auto began = steady_clock::now();
        EXPECT_EQ(run.UploadFile(picture(700), row_, key_, QStringLiteral("1")),
                  UploadOutcome::Ignored);
        EXPECT_LT(steady_clock::now() - began, std::chrono::seconds(30)) << "past the deadline";
        EXPECT_EQ(dialogs_.shown().back().text, upload::messages::transferFailed(row_.file));
    }
    dialogs_.clear();
    {
        RawLab lab({emptyAnswer, RawLab::Reply(trickled, milliseconds(200))});
        upload::SendRun run(recorder_, {http_, dialogs_, {}, lab.host(), kWeb});
        std::atomic<bool> stoppedAt{false};
        steady_clock::time_point stopped;
        std::thread stopper([&] {
            std::this_thread::sleep_for(milliseconds(1500));
            stopped = steady_clock::now();
            stoppedAt = true;
            run.requestStop();
        });
        const UploadOutcome outcome = run.UploadFile(picture(700), row_, key_, QStringLiteral("1"));
        const auto ended = steady_clock::now();
        stopper.join();
        EXPECT_EQ(outcome, UploadOutcome::Stop);
        ASSERT_TRUE(stoppedAt) << "the reply ended before the stop";
        EXPECT_LT(ended - stopped, std::chrono::seconds(10)) << "the stop waited for the reply";
        EXPECT_TRUE(dialogs_.shown().empty());
    }
}

namespace {

// An order whose session request fails with an error nobody on the way catches.
class FailingHost final : public upload::SendHost {
public:
    int rowCount() override { return 1; }
    void FirstRecord() override {}
    upload::SendRow currentRow() override { return {}; }
    upload::SendRow rowAt(int) override { return {}; }
    void UpdateProgress(const upload::SendProgress&) override {}
    void NextRecord() override {}
    void SendFinished(const QString&, const std::vector<upload::NotSent>&) override {
        finished = true;
    }
    QString GetNewSession(const std::atomic<bool>&) override {
        throw platform::Error(QStringLiteral("Системная ошибка при обращении к сети"));
    }
    bool finished = false;
};

}  // namespace

// An error that escapes a step never ends the program: the customer is told, and the
// run ends as stopped, the order kept.
TEST(Run, AnErrorThatEscapesAStepEndsTheRunAsStopped) {
    FailingHost host;
    ScriptedDialogs dialogs;
    service::CredentialStore credentials;
    service::HttpClient http(dialogs, credentials);
    upload::SendRun run(host, {http, dialogs, {}, QStringLiteral("127.0.0.1:1"), kWeb});
    EXPECT_NO_THROW(run.StartSend());
    EXPECT_TRUE(run.stopRequested());
    EXPECT_FALSE(host.finished);
    EXPECT_EQ(dialogs.errors(),
              QStringList{QStringLiteral("Системная ошибка при обращении к сети")});
}

// A photo whose name holds the form's boundary reaches the lab whole, under its name.
TEST_F(OneRow, ANameHoldingTheBoundaryIsSentWhole) {
    start();
    row_.file = QStringLiteral("/photos/a----RIRIDO-REZ-AVAZ.jpg");
    EXPECT_EQ(send(picture(700)), UploadOutcome::Sent);
    const std::vector<labd::Upload> got = uploads();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].filename, "/photos/a----%52IRIDO-REZ-AVAZ.jpg");
}
