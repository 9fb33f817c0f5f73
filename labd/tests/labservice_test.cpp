#include <curl/curl.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>

#include "labd/httpserver.h"
#include "labd/labservice.h"
#include "labd/tests/labfixture.h"
#include "labd/tests/uploadbody.h"

namespace {

struct Reply {
    CURLcode code = CURLE_OK;
    long status = 0;
    std::string body;
    std::string headers;
};

size_t collect(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

struct Call {
    Call(std::string address, std::string verb = "GET", std::string content = {},
         std::vector<std::string> extra = {})
        : url(std::move(address)),
          method(std::move(verb)),
          body(std::move(content)),
          headers(std::move(extra)) {}
    std::string url;
    std::string method;
    std::string body;
    std::vector<std::string> headers;
    std::string proxy;
    std::string proxyCredentials;
    std::string serverCredentials;
    long timeoutMs = 10000;
};

Reply fetch(const Call& call) {
    Reply reply;
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    CURL* h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, call.url.c_str());
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &reply.body);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, collect);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &reply.headers);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, call.timeoutMs);
    curl_easy_setopt(h, CURLOPT_PROXY, call.proxy.c_str());
    if (!call.proxyCredentials.empty()) {
        curl_easy_setopt(h, CURLOPT_PROXYUSERPWD, call.proxyCredentials.c_str());
    }
    if (!call.serverCredentials.empty()) {
        curl_easy_setopt(h, CURLOPT_USERPWD, call.serverCredentials.c_str());
    }
    curl_slist* headers = nullptr;
    for (const std::string& header : call.headers) {
        headers = curl_slist_append(headers, header.c_str());
    }
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers);
    if (call.method == "POST") {
        curl_easy_setopt(h, CURLOPT_POST, 1L);
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, call.body.data());
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE, static_cast<long>(call.body.size()));
    }
    reply.code = curl_easy_perform(h);
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &reply.status);
    curl_slist_free_all(headers);
    return reply;
}

using labd::testing::Lab;

const std::string kFormats = "/index.php?option=com_photoprint&step=format";
const std::string kSession = "/index.php?option=com_photoprint&step=session";
const std::string kUpload = "/index.php?option=com_photoprint&step=uploadprogs";
const std::string kShow = "/index.php?option=com_photoprint&step=showprog&key=";
const std::string kPicture = labd::testing::jpegPicture(16, 12);

Reply upload(Lab& lab, const std::string& key, const std::string& format, const std::string& count,
             const std::string& filename = "C:\\\xD4\xEE\xF2\xEE\\IMG_1.jpg",
             const std::string& fileNumber = "1") {
    return fetch(
        {lab.url(kUpload),
         "POST",
         labd::testing::clientUploadBody(kPicture, filename, count, format, "matov", key, "300",
                                         fileNumber, "AsIs"),
         {std::string("Content-Type: ") + labd::testing::kUploadContentType, "Accept: */*"}});
}

}  // namespace

TEST(Labd, PublishesTheShippedFormatCatalogue) {
    Lab lab;
    const Reply reply = fetch({lab.url(kFormats)});
    EXPECT_EQ(reply.status, 200);
    ASSERT_EQ(reply.body.rfind("\xEF\xBB\xBF", 0), 0u);
    const std::string records = reply.body.substr(3);
    EXPECT_EQ(records.substr(0, records.find(';')), "9x13:11.00:127:89:1500:1051:150");
    EXPECT_EQ(std::count(records.begin(), records.end(), ';'), 5);
    EXPECT_EQ(std::count(records.begin(), records.end(), ':'), 6 * 6);
}

TEST(Labd, HandsOutNewRecordedSessionKeys) {
    Lab lab;
    const std::string a = fetch({lab.url(kSession)}).body;
    const std::string b = fetch({lab.url(kSession)}).body;
    EXPECT_TRUE(std::regex_match(a, std::regex("[A-Za-z0-9]{32}"))) << a;
    EXPECT_NE(a, b);
    EXPECT_TRUE(lab.store().hasSession(a));
}

TEST(Labd, StoresUploadsAndShowsThemPricedOnTheSessionPage) {
    Lab lab;
    const std::string key = fetch({lab.url(kSession)}).body;
    EXPECT_EQ(upload(lab, key, "10x15", "2").body, "Ok");
    EXPECT_EQ(upload(lab, key, "30x45", "1", "/home/u/b.jpg", "2").body, "Ok");

    const auto uploads = lab.store().uploads(key);
    ASSERT_EQ(uploads.size(), 2u);
    EXPECT_EQ(uploads[0].filename, "C:\\Фото\\IMG_1.jpg");
    EXPECT_EQ(uploads[0].count, 2);
    EXPECT_EQ(uploads[0].paper, "matov");
    EXPECT_EQ(uploads[0].param, "AsIs");
    std::ifstream stored(uploads[0].storedPath, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(stored), {}), kPicture);

    const Reply page = fetch({lab.url(kShow + key)});
    EXPECT_NE(page.body.find("C:\\Фото\\IMG_1.jpg"), std::string::npos);
    EXPECT_NE(page.body.find("/home/u/b.jpg"), std::string::npos);
    EXPECT_NE(page.body.find("Итого: 225.00 руб."), std::string::npos);  // 2 x 12.50 + 200.00
    EXPECT_NE(page.body.find("Отправить заказ"), std::string::npos);
    EXPECT_NE(page.body.find("Подготовленный"), std::string::npos);

    // Photos only under their session's key.
    EXPECT_NE(page.body.find("/photo?key=" + key + "&amp;file=2"), std::string::npos);
    EXPECT_EQ(fetch({lab.url("/photo?key=" + key + "&file=2")}).body, kPicture);
    EXPECT_EQ(fetch({lab.url("/photo?id=" + std::to_string(uploads[1].id))}).status, 404);
    const std::string other = fetch({lab.url(kSession)}).body;
    EXPECT_EQ(fetch({lab.url("/photo?key=" + other + "&file=2")}).status, 404);
    EXPECT_EQ(fetch({lab.url("/photo?file=2")}).status, 404);
}

TEST(Labd, PlacingTheOrderIsShownAndRecorded) {
    Lab lab;
    const std::string key = fetch({lab.url(kSession)}).body;
    ASSERT_EQ(upload(lab, key, "9x13", "3").body, "Ok");
    const Reply placed =
        fetch({lab.url("/index.php?option=com_photoprint&step=placeorder&key=" + key), "POST"});
    EXPECT_EQ(placed.status, 303);
    EXPECT_TRUE(lab.store().orderPlaced(key));
    const Reply page = fetch({lab.url(kShow + key)});
    EXPECT_NE(page.body.find("Заказ отправлен в печать"), std::string::npos);
    EXPECT_EQ(page.body.find("Отправить заказ"), std::string::npos);
}

TEST(Labd, RefusesUploadsItCannotTake) {
    Lab lab;
    EXPECT_EQ(upload(lab, "unknownunknownunknownunknown0000", "10x15", "1").body,
              "Error: unknown session key");
    const Reply notMultipart =
        fetch({lab.url(kUpload), "POST", "Count=1", {"Content-Type: text/plain"}});
    EXPECT_EQ(notMultipart.body, "Error: the upload is not a multipart form");
    EXPECT_EQ(lab.store().uploadCount(), 0);
}

TEST(Labd, ServesAnAnimatedBannerAndTheFrontPage) {
    Lab lab;
    const Reply banner = fetch({lab.url("/banner.gif")});
    QByteArray bytes = QByteArray::fromStdString(banner.body);
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "gif");
    EXPECT_TRUE(reader.supportsAnimation());
    EXPECT_EQ(reader.size(), QSize(640, 200));
    int frames = 0;
    while (!reader.read().isNull()) {
        ++frames;
    }
    EXPECT_EQ(frames, 12) << reader.errorString().toStdString();
    EXPECT_EQ(fetch({lab.url("/")}).status, 200);
}

TEST(Labd, DemandsProxyCredentialsThenForwards) {
    labd::ServiceOptions options;
    options.proxyCredentials = "ivan:secret";
    Lab proxy(options);
    Lab origin;
    Call direct{origin.url(kFormats)};
    direct.proxy = "http://" + proxy.address();
    const Reply refused = fetch(direct);
    EXPECT_EQ(refused.status, 407);
    EXPECT_NE(refused.headers.find("Proxy-Authenticate: Basic"), std::string::npos);

    direct.proxyCredentials = "ivan:secret";
    const Reply forwarded = fetch(direct);
    EXPECT_EQ(forwarded.status, 200);
    EXPECT_EQ(forwarded.body.substr(3, 4), "9x13");

    Call own{proxy.url(kSession)};
    own.proxy = "http://" + proxy.address();
    own.proxyCredentials = "ivan:secret";
    EXPECT_EQ(fetch(own).body.size(), 32u);
}

TEST(Labd, DemandsServerCredentials) {
    labd::ServiceOptions options;
    options.serverCredentials = "anna:pw";
    Lab lab(options);
    const Reply refused = fetch({lab.url(kFormats)});
    EXPECT_EQ(refused.status, 401);
    EXPECT_NE(refused.headers.find("WWW-Authenticate: Basic"), std::string::npos);
    Call call{lab.url(kFormats)};
    call.serverCredentials = "anna:pw";
    EXPECT_EQ(fetch(call).status, 200);
}

TEST(Labd, FaultSwitches) {
    labd::ServiceOptions fixed;
    fixed.fixedAnswers["/banner.gif"] = {500, "broken"};
    Lab answering(fixed);
    const Reply answer = fetch({answering.url("/banner.gif")});
    EXPECT_EQ(answer.status, 500);
    EXPECT_EQ(answer.body, "broken");

    labd::ServiceOptions dropping;
    dropping.dropAfterBytes = 120;
    Lab dropper(dropping);
    const Reply cut = fetch({dropper.url(kFormats)});
    EXPECT_NE(cut.code, CURLE_OK);
    EXPECT_LE(cut.body.size() + cut.headers.size(), 120u);

    labd::ServiceOptions stalling;
    stalling.stallSeconds = 2;
    Lab staller(stalling);
    Call impatient{staller.url(kFormats)};
    impatient.timeoutMs = 300;
    EXPECT_EQ(fetch(impatient).code, CURLE_OPERATION_TIMEDOUT);

    labd::ServiceOptions failing;
    failing.failEveryNthUpload = 2;
    Lab failer(failing);
    const std::string key = fetch({failer.url(kSession)}).body;
    EXPECT_EQ(upload(failer, key, "10x15", "1").body, "Ok");
    EXPECT_EQ(upload(failer, key, "10x15", "1").body, "Error: this upload was refused for testing");
    EXPECT_EQ(upload(failer, key, "10x15", "1").body, "Ok");
}

// A client that retries after a lost reply sends the same key and file number again:
// the lab keeps the later upload only, so nothing is printed twice.
TEST(Labd, AnUploadSentAgainReplacesTheEarlierOne) {
    Lab lab;
    const std::string key = fetch({lab.url(kSession)}).body.substr(0, 32);
    EXPECT_EQ(upload(lab, key, "10x15", "1").body, "Ok");
    const std::string first = lab.store().uploads(key).at(0).storedPath;
    EXPECT_EQ(upload(lab, key, "10x15", "3").body, "Ok");
    const auto uploads = lab.store().uploads(key);
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_EQ(uploads[0].count, 3);
    EXPECT_FALSE(std::filesystem::exists(first));
    const Reply page =
        fetch({lab.url("/index.php?option=com_photoprint&step=showprog&key=" + key)});
    EXPECT_EQ(page.status, 200);
}
