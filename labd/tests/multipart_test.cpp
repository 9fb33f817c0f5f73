#include <gtest/gtest.h>

#include "labd/multipart.h"
#include "labd/tests/uploadbody.h"

using labd::FormPart;
using labd::parseMultipart;

namespace {

const std::string kPicture = std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\r\n--x\r\n\xFF\xD9", 20);

}  // namespace

TEST(Multipart, ReadsTheClientsLayoutByteForByte) {
    const std::string body = labd::testing::clientUploadBody(
        kPicture, "C:\\\xD4\xEE\xF2\xEE\\a.jpg", "2", "10x15", "glyanc",
        "0123456789abcdef0123456789ABCDEF", "501", "7", "WithBorder");
    EXPECT_EQ(labd::multipartBoundary(labd::testing::kUploadContentType), "--RIRIDO-REZ-AVAZ");
    const auto parts = parseMultipart(body, "--RIRIDO-REZ-AVAZ");
    ASSERT_TRUE(parts);
    ASSERT_EQ(parts->size(), 8u);
    EXPECT_EQ((*parts)[0].name, "file");
    EXPECT_EQ((*parts)[0].filename, "C:\\\xD4\xEE\xF2\xEE\\a.jpg");
    EXPECT_EQ((*parts)[0].contentType, "image/jpeg");
    EXPECT_EQ((*parts)[0].data, kPicture);
    const std::pair<const char*, const char*> fields[] = {
        {"Count", "2"},         {"Format", "10x15"},
        {"Paper", "glyanc"},    {"key", "0123456789abcdef0123456789ABCDEF"},
        {"dpi", "501"},         {"FileNumber", "7"},
        {"Param", "WithBorder"}};
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ((*parts)[i + 1].name, fields[i].first);
        EXPECT_EQ((*parts)[i + 1].data, fields[i].second);
        EXPECT_FALSE((*parts)[i + 1].filename);
    }
}

TEST(Multipart, ReadsTheUsualBrowserLayoutAndDecodesFilenameEscapes) {
    const std::string body =
        "--b\r\nContent-Disposition: form-data; name=\"file\"; filename=\"a%22b%0D%0Ac.jpg\"\r\n"
        "Content-Type: image/jpeg\r\n\r\n" +
        kPicture +
        "\r\n"
        "--b\r\nContent-Disposition: form-data; name=\"Count\"\r\n\r\n3\r\n--b--\r\n";
    const auto parts = parseMultipart(body, "b");
    ASSERT_TRUE(parts);
    ASSERT_EQ(parts->size(), 2u);
    EXPECT_EQ((*parts)[0].filename, "a\"b\r\nc.jpg");
    EXPECT_EQ((*parts)[0].data, kPicture);
    EXPECT_EQ((*parts)[1].data, "3");
}

TEST(Multipart, MalformedBodies) {
    EXPECT_FALSE(parseMultipart("no delimiter here", "b"));
    EXPECT_FALSE(parseMultipart("--b\r\n", ""));
    const auto headless = parseMultipart("--b\r\nContent-Disposition: form-data; name=\"x\"", "b");
    ASSERT_TRUE(headless);
    EXPECT_TRUE(headless->empty());
    EXPECT_EQ(labd::multipartBoundary("text/plain; boundary=x"), "");
}

// The boundary's text inside a file name is the name's (it does not stand at a line's
// start): the name is read whole, and no text after it can forge a part.
TEST(Multipart, ABoundaryInsideAFileNameNeitherCutsNorForges) {
    const std::string holding = "a----RIRIDO-REZ-AVAZ.jpg";
    const std::string forging =
        "x----RIRIDO-REZ-AVAZ Content-Disposition: form-data; name=file; filename=FORGED.jpg";
    for (const std::string& name : {holding, forging}) {
        const std::string body = labd::testing::clientUploadBody(
            kPicture, name, "2", "10x15", "glyanc", "0123456789abcdef0123456789ABCDEF", "501", "7",
            "WithBorder");
        const auto parts = parseMultipart(body, "--RIRIDO-REZ-AVAZ");
        ASSERT_TRUE(parts) << name;
        ASSERT_EQ(parts->size(), 8u) << name;
        EXPECT_EQ((*parts)[0].filename, name);
        EXPECT_EQ((*parts)[0].data, kPicture);
        EXPECT_EQ((*parts)[7].data, "WithBorder");
    }
}

// Parts are bounded: a body of a million tiny parts is refused, not listed.
TEST(Multipart, MorePartsThanTheBoundAreRefused) {
    std::string body;
    for (int i = 0; i < 65; ++i) {
        body += "--b\r\nContent-Disposition: form-data; name=\"f\"\r\n\r\nv\r\n";
    }
    EXPECT_EQ(parseMultipart(body + "--b--", "b", 65)->size(), 65u);
    EXPECT_FALSE(parseMultipart(body + "--b--", "b", 64));
}
