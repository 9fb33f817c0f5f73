#include <gtest/gtest.h>

#include <QBuffer>

#include "images/comstream.h"
#include "images/encoders.h"

using namespace images;

TEST(ExternStream, OverAnEmptyStream) {
    TExternStream stream(CreateStreamOnHGlobal());
    EXPECT_EQ(stream.size(), 0);
    EXPECT_TRUE(LoadFromStream(stream).isEmpty());
    char byte = 0;
    EXPECT_EQ(stream.read(&byte, 1), 0);  // reading at the end gives 0
}

TEST(ExternStream, ReadsWritesAndSeeksThroughItsSource) {
    const std::shared_ptr<MemoryComStream> com = CreateStreamOnHGlobal();
    {
        TExternStream stream(com);
        WriteBuffer(stream, "hello world", 11);
        EXPECT_EQ(stream.Seek(-5, 2), 6);
        char five[5];
        ReadBuffer(stream, five, 5);
        EXPECT_EQ(QByteArray(five, 5), "world");
        EXPECT_EQ(stream.Seek(-6, 1), 5);
        EXPECT_EQ(stream.Seek(0, 0), 0);
        stream.SetSize(5);
        EXPECT_EQ(LoadFromStream(stream), "hello");
        char more[10];
        EXPECT_THROW(ReadBuffer(stream, more, 10), StreamError);
    }
    // The source outlives the adapter while someone holds it.
    EXPECT_EQ(com->bytes(), "hello");
    EXPECT_EQ(com.use_count(), 1);
}

TEST(ExternStream, WriteBufferRaisesWhenTheStreamTakesFewerBytes) {
    QByteArray bytes;
    QBuffer readOnly(&bytes);
    readOnly.open(QIODevice::ReadOnly);
    try {
        WriteBuffer(readOnly, "x", 1);
        ADD_FAILURE() << "no error";
    } catch (const StreamError& e) {
        EXPECT_STREQ(e.what(), "Stream write error");
    }
}

TEST(Encoders, ExactMimeTypeOnly) {
    QUuid id;
    EXPECT_GE(FindEncoderClassId("image/jpeg", id), 0);
    EXPECT_FALSE(id.isNull());
    QUuid bmp;
    EXPECT_EQ(FindEncoderClassId("image/bmp", bmp), 0);
    EXPECT_NE(bmp, id);
    QUuid untouched = QUuid::fromString(QLatin1String("{00000000-0000-0000-0000-000000000001}"));
    EXPECT_EQ(FindEncoderClassId("image/JPEG", untouched), -1);
    EXPECT_EQ(untouched,
              QUuid::fromString(QLatin1String("{00000000-0000-0000-0000-000000000001}")));
    EXPECT_EQ(FindEncoderClassId("image/x-none", untouched), -1);
}
