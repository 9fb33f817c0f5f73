#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "order/jpegprobe.h"
#include "order/readjpeginfo.h"
#include "order/tests/referencewalk.h"
#include "platform/jpeg/jpegcoder.h"
#include "platform/testing/jpegbytes.h"
#include "platform/testing/testfiles.h"
#include "platform/testing/userfolders.h"

using namespace order;
using testing_support::frame;
using testing_support::jpegHeaderFile;
using testing_support::segment;

namespace {

const QByteArray kSoi("\xFF\xD8", 2);
const QByteArray kApp0 =
    segment(0xE0, QByteArray("JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 14));
const QByteArray kApp1 = segment(0xE1, QByteArray("Exif\x00\x00", 6) + QByteArray(300, 'x'));
const QByteArray kTail = QByteArray(16, '\x11') + QByteArray("\xFF\xD9", 2);

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(QByteArray bytes) : bytes_(std::move(bytes)) {}
    int64_t readAt(int64_t offset, uint8_t* buffer, int64_t count) override {
        ++reads;
        if (offset < 0 || offset >= bytes_.size()) {
            return 0;
        }
        const int64_t n = std::min<int64_t>(count, bytes_.size() - offset);
        std::memcpy(buffer, bytes_.constData() + offset, static_cast<size_t>(n));
        return n;
    }
    int reads = 0;

private:
    QByteArray bytes_;
};

}  // namespace

struct ProbeCase {
    const char* name;
    QByteArray bytes;
    bool accepted;
    int width;
    int height;
};

void PrintTo(const ProbeCase& c, std::ostream* os) {
    *os << c.name;
}

class JpegWalk : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(JpegWalk, FindsTheFrameHeader) {
    const ProbeCase& c = GetParam();
    MemorySource source(c.bytes);
    JpegHeader header;
    EXPECT_EQ(walkJpegHeader(source, c.bytes.size(), header), c.accepted);
    if (c.accepted) {
        EXPECT_EQ(header.width, c.width);
        EXPECT_EQ(header.height, c.height);
    }
}

// SOF0 with three components has length 17: the frame must be followed by at least
// 17 + 4 bytes counted from the end of its length field.
const QByteArray kSof0 = frame(0xC0, 480, 640);
const int kAfterSofLength = 17 - 2;  // payload bytes of kSof0

INSTANTIATE_TEST_SUITE_P(
    Cases, JpegWalk,
    ::testing::Values(
        ProbeCase{"APP0 and APP1 before SOF0", kSoi + kApp0 + kApp1 + kSof0 + kTail, true, 640,
                  480},
        ProbeCase{"extended SOF1 accepted", kSoi + frame(0xC1, 100, 200) + kTail, true, 200, 100},
        ProbeCase{"progressive SOF2 accepted", kSoi + kApp0 + frame(0xC2, 3000, 4000) + kTail, true,
                  4000, 3000},
        ProbeCase{"lossless SOF3 refused", kSoi + frame(0xC3, 100, 200) + kTail, false, 0, 0},
        ProbeCase{"hierarchical SOF5 refused", kSoi + frame(0xC5, 100, 200) + kTail, false, 0, 0},
        ProbeCase{"arithmetic SOF9 refused", kSoi + frame(0xC9, 100, 200) + kTail, false, 0, 0},
        ProbeCase{"first SOF counts", kSoi + frame(0xC0, 10, 20) + frame(0xC0, 30, 40) + kTail,
                  true, 20, 10},
        ProbeCase{"width 1 refused", kSoi + frame(0xC0, 100, 1) + kTail, false, 0, 0},
        ProbeCase{"height 1 refused", kSoi + frame(0xC0, 1, 100) + kTail, false, 0, 0},
        ProbeCase{"height 0 accepted", kSoi + frame(0xC0, 0, 100) + kTail, true, 100, 0},
        ProbeCase{"largest sizes", kSoi + frame(0xC0, 65535, 65534) + kTail, true, 65534, 65535},
        ProbeCase{"fill bytes before markers",
                  kSoi + QByteArray(5, '\xFF') + kApp0 + QByteArray(3, '\xFF') + kSof0 + kTail,
                  true, 640, 480},
        ProbeCase{"garbage between segments", kSoi + kApp0 + "garbage\x00\xFF\x00" + kSof0 + kTail,
                  true, 640, 480},
        ProbeCase{"first pair not FF D8", "XY" + kApp0 + kSof0 + kTail, true, 640, 480},
        ProbeCase{"exactly length + 4 bytes after SOF0",
                  kSoi + kSof0 + QByteArray(17 + 4 - kAfterSofLength, '\0'), true, 640, 480},
        ProbeCase{"one byte fewer after SOF0",
                  kSoi + kSof0 + QByteArray(17 + 4 - kAfterSofLength - 1, '\0'), false, 0, 0},
        ProbeCase{"segment length 0", kSoi + QByteArray("\xFF\xE0\x00\x00", 4) + kSof0 + kTail,
                  true, 640, 480},
        ProbeCase{"segment length 1", kSoi + QByteArray("\xFF\xE0\x00\x01", 4) + kSof0 + kTail,
                  true, 640, 480},
        ProbeCase{"length past the end", kSoi + QByteArray("\xFF\xE0\xFF\xF0", 4) + kSof0 + kTail,
                  false, 0, 0},
        ProbeCase{"only 0xFF bytes", QByteArray(4096, '\xFF'), false, 0, 0},
        ProbeCase{"only zero bytes", QByteArray(10000, '\0'), false, 0, 0},
        ProbeCase{"marker in the last two bytes", kSoi + QByteArray(10, '\0') + "\xFF\xC0", false,
                  0, 0},
        ProbeCase{"4 bytes", kSoi + QByteArray("\xFF\xC0", 2), false, 0, 0},
        ProbeCase{"empty", QByteArray(), false, 0, 0}));

TEST(JpegWalk, NothingFoundLeavesOneByOne) {
    MemorySource source(QByteArray("\xFF\xD8\xFF\xC0", 4));
    JpegHeader header{7, 7};
    EXPECT_FALSE(walkJpegHeader(source, 4, header));
    EXPECT_EQ(header.width, 1);
    EXPECT_EQ(header.height, 1);
}

TEST(JpegWalk, LargeSegmentsAreSkippedNotRead) {
    // A 1 MB APP1 segment before the frame costs two window reads, not a megabyte.
    const QByteArray bytes = kSoi + segment(0xE1, QByteArray(60000, 'e')) +
                             segment(0xE2, QByteArray(60000, 'i')) + kSof0 + kTail;
    MemorySource source(bytes);
    JpegHeader header;
    EXPECT_TRUE(walkJpegHeader(source, bytes.size(), header));
    EXPECT_LE(source.reads, 3);
}

namespace {

// The frame size as libjpeg reads it: an independent judge for the corpus.
bool libjpegSize(const QByteArray& bytes, int& width, int& height) {
    jpeg::Decompressor d;
    if (setjmp(d.errors.back) != 0) {
        return false;
    }
    jpeg_mem_src(&d.info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d.info, TRUE);
    width = static_cast<int>(d.info.image_width);
    height = static_cast<int>(d.info.image_height);
    return true;
}

}  // namespace

struct CorpusCase {
    const char* file;
    bool accepted;
    bool libjpegReads = true;  // this build of libjpeg reads 8-bit samples only
};

void PrintTo(const CorpusCase& c, std::ostream* os) {
    *os << c.file;
}

class CorpusProbe : public ::testing::TestWithParam<CorpusCase> {};

TEST_P(CorpusProbe, AcceptsWhatTheRuleAcceptsWithLibjpegsSize) {
    KORVELLA_NEED_CORPUS();
    const QString path = testing_support::corpusFile(GetParam().file);
    ASSERT_TRUE(QFile::exists(path)) << path.toStdString();
    quint16 width = 0;
    quint16 height = 0;
    qint32 size = 0;
    const bool accepted = ReadJpegInfo(path, width, height, size);
    EXPECT_EQ(accepted, GetParam().accepted);
    if (accepted) {
        EXPECT_EQ(size, QFileInfo(path).size());
        EXPECT_GT(width, 1);
        EXPECT_NE(height, 1);
        if (!GetParam().libjpegReads) {
            return;
        }
        int w = 0;
        int h = 0;
        ASSERT_TRUE(libjpegSize(testing_support::readFile(path), w, h));
        EXPECT_EQ(width, w);
        EXPECT_EQ(height, h);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, CorpusProbe,
    ::testing::Values(
        CorpusCase{"et-ExifTool.jpg", true}, CorpusCase{"gen-bomb-65500x65500.jpg", true},
        CorpusCase{"gen-testorig-arith-progressive.jpg", false},
        CorpusCase{"gen-testorig-cut-before-sof.jpg", false},
        CorpusCase{"gen-testorig-fill-ff.jpg", true},
        CorpusCase{"hand-hierarchical-dhp-sof1-sof5.jpg", true, false},
        CorpusCase{"jd-empty.jpg", false},
        CorpusCase{"jd-invalid-dimensions.jpg", true, false},  // height 0
        CorpusCase{"jd-jpeg_lossless_sel1.jpg", false}, CorpusCase{"jd-jpg-cmyk-1.jpg", true},
        CorpusCase{"jd-jpg-progressive.jpg", true},
        CorpusCase{"jd-missing-frame-image-1410.jpg", false},
        CorpusCase{"jd-missing-sos.jpg", false},  // ends before its length + 4
        CorpusCase{"ljt-monkey12.jpg", true, false}, CorpusCase{"ljt-testimgari.jpg", false},
        CorpusCase{"ljt-testorig.jpg", true}, CorpusCase{"ljt-testorig.png.jpg", false},
        CorpusCase{"pil-decompression_bomb.gif.jpg", false},
        CorpusCase{"pil-hopper_gray.jpg", true},
        CorpusCase{"pil-orientation_rectangle.jpg", false},  // height 1
        CorpusCase{"pil-sugarshack.mpo.jpg", true}, CorpusCase{"pil-truncated_jpeg.jpg", true},
        CorpusCase{"rec-Landscape_6.jpg", true}, CorpusCase{"Фото;1.JPEG", true}));

class ProbeFiles : public ::testing::Test {
protected:
    QString make(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        testing_support::writeFile(path, bytes);
        return path;
    }
    QTemporaryDir dir_;
};

TEST_F(ProbeFiles, SizeIsTheFileLengthAndShortFilesAreRefused) {
    const QByteArray bytes = jpegHeaderFile(640, 480);
    quint16 width = 0;
    quint16 height = 0;
    qint32 size = 0;
    EXPECT_TRUE(ReadJpegInfo(make("a.jpg", bytes), width, height, size));
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(size, bytes.size());

    EXPECT_FALSE(ReadJpegInfo(make("b.jpg", bytes.first(4)), width, height, size));
    EXPECT_EQ(width, 1);
    EXPECT_EQ(height, 1);
    EXPECT_EQ(size, 0);
}

TEST_F(ProbeFiles, SpecialFilesAreRefusedWithoutWaiting) {
    const QString fifo = dir_.filePath("pipe.jpg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    quint16 width = 0;
    quint16 height = 0;
    qint32 size = 0;
    EXPECT_FALSE(ReadJpegInfo(fifo, width, height, size));  // no writer: must not block
    EXPECT_FALSE(ReadJpegInfo(QStringLiteral("/dev/zero"), width, height, size));
    EXPECT_FALSE(ReadJpegInfo(dir_.path(), width, height, size));
}

TEST_F(ProbeFiles, SparseFileOfTwoGigabytesEnds) {
    const QString path = dir_.filePath("sparse.jpg");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(qint64(2) * 1024 * 1024 * 1024));
    file.close();
    quint16 width = 0;
    quint16 height = 0;
    qint32 size = 0;
    EXPECT_FALSE(ReadJpegInfo(path, width, height, size));
}

TEST_F(ProbeFiles, UnopenableFilesRaiseTheSystemsReason) {
    const QString loop = dir_.filePath("loop.jpg");
    ASSERT_EQ(::symlink(QFile::encodeName(loop).constData(), QFile::encodeName(loop).constData()),
              0);
    quint16 width = 0;
    quint16 height = 0;
    qint32 size = 0;
    try {
        ReadJpegInfo(loop, width, height, size);
        ADD_FAILURE() << "no error raised";
    } catch (const FileOpenError& e) {
        EXPECT_EQ(
            e.text(),
            QStringLiteral("Cannot open file \"%1\". Too many levels of symbolic links").arg(loop));
    }
    EXPECT_THROW(ReadJpegInfo(dir_.filePath("missing.jpg"), width, height, size), FileOpenError);
}

TEST(JpegWalk, AgreesWithTheByteByByteWalk) {
    // Files made mostly of the bytes that steer the walk, so that markers, fill bytes,
    // short lengths and frame headers turn up often.
    const char alphabet[] = {'\xFF', '\xFF', '\xFF', '\x00', '\x01', '\x02', '\x05', '\x11',
                             '\xC0', '\xC1', '\xC2', '\xC3', '\xD8', '\xE0', '\x7F', '\x30'};
    QRandomGenerator random(1234);
    for (int n = 0; n < 20000; ++n) {
        QByteArray bytes(static_cast<qsizetype>(random.bounded(3, 80)), '\0');
        for (char& b : bytes) {
            b = alphabet[random.bounded(static_cast<int>(sizeof alphabet))];
        }
        int w = 0;
        int h = 0;
        const bool expected = order::reference::referenceWalk(
            reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size(), w, h);
        MemorySource source(bytes);
        JpegHeader header;
        ASSERT_EQ(walkJpegHeader(source, bytes.size(), header), expected)
            << bytes.toHex().constData();
        if (expected) {
            ASSERT_EQ(header.width, w) << bytes.toHex().constData();
            ASSERT_EQ(header.height, h) << bytes.toHex().constData();
        }
    }
}
