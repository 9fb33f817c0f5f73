#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTemporaryDir>
#include <chrono>
#include <vector>

#include "labd/banner.h"
#include "labd/tests/labfixture.h"
#include "platform/testing/scopedenv.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/testing/userfolders.h"
#include "service/httpget.h"
#include "service/tests/rawserver.h"

using labd::testing::Lab;
using service::HttpClient;
using testing_support::ScriptedDialogs;

namespace {

const std::string kFormats = "/index.php?option=com_photoprint&step=format";

using testing_support::ScopedEnv;

class HttpGetTest : public ::testing::Test {
protected:
    QString get(const std::string& url, const QString& file = {}) {
        return client_.HttpGet(QString::fromStdString(url), file);
    }

    ScopedEnv noProxy_{"http_proxy", nullptr};
    ScopedEnv noProxyUpper_{"HTTP_PROXY", nullptr};
    ScopedEnv noAllProxy_{"all_proxy", nullptr};
    ScopedEnv noBypass_{"no_proxy", nullptr};
    ScopedEnv noBypassUpper_{"NO_PROXY", nullptr};
    ScriptedDialogs dialogs_;
    service::CredentialStore credentials_;
    HttpClient client_{dialogs_, credentials_, {std::chrono::seconds(5), std::chrono::seconds(2)}};
};

}  // namespace

TEST(HttpAddress, SchemeRemovedHostSplitOffPathKept) {
    QString host;
    QString path;
    HttpClient::splitAddress("http://lab.example/index.php?step=session", &host, &path);
    EXPECT_EQ(host, "lab.example");
    EXPECT_EQ(path, "/index.php?step=session");
    HttpClient::splitAddress("lab.example/index.php?step=session", &host, &path);
    EXPECT_EQ(host, "lab.example");
    EXPECT_EQ(path, "/index.php?step=session");
    // Every occurrence of the host leaves the path, as the lab's addresses never repeat it.
    HttpClient::splitAddress("http://h:1/a/h:1/b", &host, &path);
    EXPECT_EQ(path, "/a//b");
}

TEST_F(HttpGetTest, SameAnswerWithAndWithoutTheScheme) {
    Lab lab;
    ASSERT_TRUE(lab.ok());
    const QString with = get(lab.url(kFormats));
    const QString without = get(lab.address() + kFormats);
    EXPECT_TRUE(with.startsWith("9x13:11.00:127:89:1500:1051:150;10x15")) << with.toStdString();
    EXPECT_TRUE(with.endsWith("\r\n"));
    EXPECT_EQ(with, without);
    EXPECT_TRUE(dialogs_.shown().empty());
}

TEST_F(HttpGetTest, ErrorPagesAreDeliveredAsAnswers) {
    labd::ServiceOptions options;
    options.fixedAnswers["/missing"] = {404, "not here"};
    options.fixedAnswers["/broken"] = {500, "\xEF\xBB\xBF\xD0\xBE\xD0\xB9"};
    Lab lab(options);
    EXPECT_EQ(get(lab.url("/missing")), "not here\r\n");
    EXPECT_EQ(get(lab.url("/broken")), QStringLiteral("ой\r\n"));
}

TEST_F(HttpGetTest, NothingListeningGivesAnEmptyReplyAndAnEmptyFile) {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const std::string address = "127.0.0.1:" + std::to_string(probe.serverPort());
    probe.close();
    EXPECT_EQ(get(address + "/banner.gif"), "");
    QTemporaryDir dir;
    const QString file = dir.filePath("banner.gif");
    EXPECT_EQ(get("http://" + address + "/banner.gif", file), "");
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(QFileInfo(file).size(), 0);
    // A banner fetched before is kept.
    testing_support::writeFile(file, "old banner");
    EXPECT_EQ(get("http://" + address + "/banner.gif", file), "");
    EXPECT_EQ(testing_support::readFile(file), "old banner");
}

TEST_F(HttpGetTest, FileModeWritesTheBytesUnchanged) {
    Lab lab;
    QTemporaryDir dir;
    const QString file = dir.filePath("banner.gif");
    EXPECT_EQ(get(lab.url("/banner.gif"), file), "");
    EXPECT_EQ(testing_support::readFile(file).toStdString(), labd::bannerGif());
    try {
        get(lab.url("/banner.gif"), dir.filePath("no/such/folder/banner.gif"));
        ADD_FAILURE() << "no error raised";
    } catch (const service::FileCreateError& e) {
        EXPECT_EQ(QString::fromStdString(e.what()),
                  QStringLiteral("Cannot create file \"%1\". No such file or directory")
                      .arg(dir.filePath("no/such/folder/banner.gif")));
    }
}

TEST_F(HttpGetTest, ProxyCredentialsAskedResentAndRemembered) {
    labd::ServiceOptions options;
    options.proxyCredentials = "ivan:secret";
    Lab proxy(options);
    Lab origin;
    // The dialog names the proxy by its host and port (a setting may carry a user name
    // and password, which it never shows).
    const ScopedEnv useProxy("http_proxy", ("http://" + proxy.address() + "/").c_str());

    dialogs_.scriptCredentials(platform::Dialogs::Credentials{"ivan", "wrong"});
    dialogs_.scriptCredentials(platform::Dialogs::Credentials{"ivan", "secret"});
    const QString formats = get(origin.url(kFormats));
    EXPECT_TRUE(formats.startsWith("9x13:")) << formats.toStdString();
    ASSERT_EQ(dialogs_.count(ScriptedDialogs::Shown::AskCredentials), 2);
    EXPECT_EQ(dialogs_.shown()[0].text,
              QString::fromStdString("proxy|" + proxy.address() + "|labd proxy"));

    // Kept for the rest of the run: the next request does not ask.
    EXPECT_EQ(get(origin.url("/index.php?option=com_photoprint&step=session")).size(), 34);
    EXPECT_EQ(dialogs_.count(ScriptedDialogs::Shown::AskCredentials), 2);
}

// The proxy comes from the variables libcurl reads: HTTP_PROXY in capitals is not one.
TEST_F(HttpGetTest, TheProxyIsTakenFromLibcurlsVariablesOnly) {
    labd::ServiceOptions options;
    options.proxyCredentials = "ivan:secret";
    Lab proxy(options);
    Lab origin;
    const ScopedEnv capitals("HTTP_PROXY", ("http://" + proxy.address()).c_str());
    EXPECT_TRUE(get(origin.url(kFormats)).startsWith("9x13:"));
    EXPECT_EQ(dialogs_.count(ScriptedDialogs::Shown::AskCredentials), 0);
    const ScopedEnv all("ALL_PROXY", ("http://" + proxy.address()).c_str());
    get(origin.url(kFormats));
    ASSERT_EQ(dialogs_.count(ScriptedDialogs::Shown::AskCredentials), 1);
    EXPECT_EQ(dialogs_.shown()[0].text,
              QString::fromStdString("proxy|" + proxy.address() + "|labd proxy"));
}

TEST_F(HttpGetTest, CancelledProxyDialogDeliversTheRefusalPage) {
    labd::ServiceOptions options;
    options.proxyCredentials = "ivan:secret";
    Lab proxy(options);
    const ScopedEnv useProxy("http_proxy", ("http://" + proxy.address()).c_str());
    const QString page = get(proxy.url(kFormats));
    EXPECT_TRUE(page.contains("Proxy Authentication Required")) << page.toStdString();
    EXPECT_EQ(dialogs_.count(ScriptedDialogs::Shown::AskCredentials), 1);
}

TEST_F(HttpGetTest, ServerCredentialsLikewise) {
    labd::ServiceOptions options;
    options.serverCredentials = "anna:pw";
    Lab lab(options);
    EXPECT_TRUE(get(lab.url(kFormats)).contains("Unauthorized"));
    dialogs_.scriptCredentials(platform::Dialogs::Credentials{"anna", "pw"});
    EXPECT_TRUE(get(lab.url(kFormats)).startsWith("9x13:"));
    EXPECT_EQ(dialogs_.shown().back().text,
              QString::fromStdString("server|" + lab.address() + "|labd"));
    EXPECT_TRUE(get(lab.url(kFormats)).startsWith("9x13:"));
    EXPECT_EQ(dialogs_.count(ScriptedDialogs::Shown::AskCredentials), 2);
}

TEST_F(HttpGetTest, ASilentServerIsLeftAfterTheStallLimit) {
    labd::ServiceOptions options;
    options.stallSeconds = 30;
    Lab lab(options);
    EXPECT_EQ(get(lab.url(kFormats)), "");  // the stall limit here is 2 s
}

// A request that fails on the way delivers nothing, never a part taken for the whole:
// a list cut short would be stored as if it were the lab's.
TEST_F(HttpGetTest, AConnectionClosedMidBodyDeliversNothing) {
    labd::ServiceOptions options;
    options.fixedAnswers["/long"] = {200, std::string(5000, 'x')};
    options.dropAfterBytes = 3000;
    Lab lab(options);
    EXPECT_EQ(get(lab.url("/long")), "");
}

TEST_F(HttpGetTest, ARedirectLoopEndsInAnEmptyReply) {
    service::testing::RawServer loop(
        "HTTP/1.1 302 Found\r\nLocation: /again\r\nContent-Length: 5\r\n\r\nmoved");
    EXPECT_EQ(get(loop.address() + "/start"), "");
    EXPECT_LE(loop.connections(), 12);  // a bounded number of hops
}

TEST_F(HttpGetTest, FailedFetchesDeliverNothing) {
    struct Case {
        const char* what;
        std::string answer;
        std::chrono::milliseconds pause;
    };
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: ";
    const std::vector<Case> cases = {
        {"shorter than announced", head + "100\r\n\r\nonly this", {}},
        {"past the body limit", head + "70000\r\n\r\n" + std::string(70000, 'x'), {}},
        {"past the deadline", head + "40\r\n\r\n" + std::string(40, 'x'),
         std::chrono::milliseconds(100)},
    };
    service::HttpLimits limits{std::chrono::seconds(5), std::chrono::seconds(2)};
    limits.deadline = std::chrono::seconds(2);
    limits.maxBody = 64 * 1024;
    HttpClient client(dialogs_, credentials_, limits);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        service::testing::RawServer server(c.answer, c.pause);
        EXPECT_EQ(client.HttpGet(QString::fromStdString(server.address() + "/"), {}), "");
    }
    // The same answers whole are taken.
    service::testing::RawServer whole(head + "9\r\n\r\nonly this");
    EXPECT_EQ(client.HttpGet(QString::fromStdString(whole.address() + "/"), {}), "only this\r\n");
}

// In file mode a failed fetch leaves what was fetched before; a good one replaces it.
TEST_F(HttpGetTest, AFailedFetchKeepsTheFileFetchedBefore) {
    QTemporaryDir dir;
    const QString file = dir.filePath("banner.gif");
    testing_support::writeFile(file, "GIF89a-old");
    service::testing::RawServer cut("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nGIF89a");
    EXPECT_EQ(get(cut.address() + "/banner.gif", file), "");
    EXPECT_EQ(testing_support::readFile(file), "GIF89a-old");
    service::testing::RawServer good("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nGIF89a-new");
    get(good.address() + "/banner.gif", file);
    EXPECT_EQ(testing_support::readFile(file), "GIF89a-new");
}
