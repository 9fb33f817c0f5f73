#include <gtest/gtest.h>

#include <QSettings>

#include "formats/catalogue.h"
#include "formats/messages.h"
#include "platform/settingsstore.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/testing/userfolders.h"
#include "service/replytext.h"

using formats::FormatsKey;
using formats::TFormats;
namespace messages = formats::messages;

namespace {

const QString kWeb = QStringLiteral("http://lab.test/");
const QByteArray kTwo = "10x15:12.50:152:102:1795:1205:150;9x13:11.00:127:89:1500:1051:150";

class CatalogueTest : public ::testing::Test {
protected:
    // The lab answers with these bytes, read as HttpGet reads them.
    void replyWith(const QByteArray& body) { reply_ = body; }

    bool download() { return formats::DownloadFormats(catalogue_); }
    TFormats load(bool force) {
        TFormats formats;
        formats::LoadFormats(force, formats, catalogue_);
        return formats;
    }
    QStringList stored() { return store_.subkeyNames(FormatsKey); }
    QString storedValue(const QString& name, const QString& value) {
        return store_.value(FormatsKey + u'\\' + name, value).value_or("<none>");
    }
    void storeFormat(const QString& name, const QStringList& values,
                     const QStringList& names = {"Name", "Cost", "Width_mm", "Height_mm",
                                                 "Width_px", "Height_px", "DPI_Min"}) {
        const QString key = FormatsKey + u'\\' + name;
        ASSERT_TRUE(store_.createKey(key));
        for (qsizetype i = 0; i < values.size(); ++i) {
            ASSERT_TRUE(store_.setValue(key, names[i], values[i]));
        }
    }

    testing_support::UserFolders folders_;
    platform::QSettingsStore store_;
    testing_support::ScriptedDialogs dialogs_;
    QByteArray reply_;
    QStringList requested_;
    formats::CatalogueServices catalogue_{[this](const QString& url) {
                                              requested_ << url;
                                              return service::replyText(reply_);
                                          },
                                          store_, dialogs_, QStringLiteral("lab.test"), kWeb};
};

}  // namespace

struct ReplyCase {
    const char* name;
    QByteArray reply;
    bool result;
    QStringList stored;
    QStringList messages;
};

void PrintTo(const ReplyCase& c, std::ostream* os) {
    *os << c.name;
}

class Replies : public CatalogueTest, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(Replies, AreStoredAsTheRulesSay) {
    storeFormat("old", {"old", "1", "1", "1", "1", "1", "1"});
    replyWith(GetParam().reply);
    EXPECT_EQ(download(), GetParam().result);
    EXPECT_EQ(stored(), GetParam().stored);
    EXPECT_EQ(dialogs_.errors(), GetParam().messages);
    EXPECT_EQ(requested_,
              QStringList{"http://lab.test/index.php?option=com_photoprint&step=format"});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Replies,
    ::testing::Values(
        ReplyCase{"two records with a semicolon", kTwo, true, {"10x15", "9x13"}, {}},
        ReplyCase{"two records on two lines",
                  QByteArray(kTwo).replace(';', "\n"),
                  true,
                  {"10x15", "9x13"},
                  {}},
        ReplyCase{"a trailing semicolon stops at the empty record",
                  kTwo + ";",
                  true,
                  {"10x15", "9x13"},
                  {messages::F5()}},
        ReplyCase{"eight fields keep seven",
                  "10x15:12.50:152:102:1795:1205:150:extra",
                  true,
                  {"10x15"},
                  {}},
        ReplyCase{"six fields stop the loop",
                  "10x15:12.50:152:102:1795:1205:150;13x18:25:178:127:2102:1500;9x13:1:1:1:1:1:1",
                  true,
                  {"10x15"},
                  {messages::F5()}},
        ReplyCase{"the later of two records of one name wins",
                  "10x15:1:1:1:1:1:1;10X15:2:2:2:2:2:2",
                  true,
                  {"10X15"},
                  {}},
        ReplyCase{
            "one line break only leaves the store alone", "\r\n", false, {"old"}, {messages::F3()}},
        ReplyCase{"a single word empties the store", "hello", false, {}, {messages::F5()}},
        ReplyCase{"an empty reply", "", false, {"old"}, {messages::F1()}},
        ReplyCase{"more formats than any lab has leave the store alone",
                  [] {
                      QByteArray reply;
                      for (int i = 0; i <= formats::kMaxFormats; ++i) {
                          reply += "f" + QByteArray::number(i) + ":1:1:1:1:1:1;";
                      }
                      return reply;
                  }(),
                  false,
                  {"old"},
                  {messages::F3()}},
        ReplyCase{"names that cannot be keys are left out, one with a slash is kept",
                  "a/b:1:1:1:1:1:1;c\\d:1:1:1:1:1:1;:1:1:1:1:1:1;..:1:1:1:1:1:1;ok:1:1:1:1:1:1",
                  true,
                  {"a/b", "ok"},
                  {}}));

TEST_F(CatalogueTest, DuplicateNameKeepsTheLaterRecordsValues) {
    replyWith("10x15:1:1:1:1:1:1;10X15:2:2:2:2:2:2");
    ASSERT_TRUE(download());
    EXPECT_EQ(storedValue("10x15", "Name"), "10X15");
    EXPECT_EQ(storedValue("10x15", "Cost"), "2");
}

TEST_F(CatalogueTest, LoadsInTheStoresOrderWithConversions) {
    storeFormat("b", {"b", "12.50", "70000", "-1", "1795", "1205", "-0"});
    storeFormat("A", {"A", "11", "127", "89", "1500", "1051", "150"});
    const TFormats formats = load(false);
    EXPECT_TRUE(requested_.isEmpty());  // stored formats: no request
    ASSERT_EQ(formats.size(), 2u);
    EXPECT_EQ(formats[0].Name, "A");
    EXPECT_EQ(formats[1].Name, "b");
    EXPECT_FLOAT_EQ(formats[1].Cost, 12.5f);
    EXPECT_EQ(formats[1].Width_mm, 4464);
    EXPECT_EQ(formats[1].Height_mm, 65535);
    EXPECT_EQ(formats[1].Width_px, 1795);
    EXPECT_EQ(formats[1].Height_px, 1205);
    EXPECT_EQ(formats[1].DPI_Min, 0);
    EXPECT_TRUE(dialogs_.errors().isEmpty());
}

// A format whose print would be larger than any real one, or too small to lay a photo
// out in, is left out, said in one message, and so never reaches print preparation;
// the others load in their order.
TEST_F(CatalogueTest, AFormatTooLargeOrTooSmallToPrintIsLeftOut) {
    storeFormat("a", {"a", "1", "1", "1", "1795", "1205", "150"});
    storeFormat("b", {"b", "1", "1", "1", "65500", "65500", "150"});
    storeFormat("c", {"c", "1", "1", "1", "10000", "10000", "150"});  // 100 MP: the limit
    storeFormat("d", {"d", "1", "1", "1", "1", "1", "150"});
    storeFormat("e", {"e", "1", "1", "1", "16", "16", "150"});  // the least kept
    storeFormat("f", {"f", "1", "1", "1", "1795", "15", "150"});
    const TFormats formats = load(false);
    ASSERT_EQ(formats.size(), 3u);
    EXPECT_EQ(formats[0].Name, "a");
    EXPECT_EQ(formats[1].Name, "c");
    EXPECT_EQ(formats[2].Name, "e");
    ASSERT_EQ(dialogs_.errors().size(), 1);
    const QString& text = dialogs_.errors()[0];
    EXPECT_TRUE(
        text.contains("Формат печати b (65500 x 65500 пикселей) слишком "
                      "велик для печати и не загружен.\r\nФорматы печати, слишком "
                      "маленькие для печати, не загружены (2): d (1 x 1 пикселей), "
                      "f (1795 x 15 пикселей)."))
        << text.toStdString();
}

// A lab that sends thousands of formats too large to print: one message says how many
// and names the first five, at each load.
TEST_F(CatalogueTest, ManyFormatsTooLargeAreToldInOneMessage) {
    storeFormat("ok", {"ok", "1", "1", "1", "1795", "1205", "150"});
    for (int i = 0; i < 300; ++i) {
        const QString name = QStringLiteral("big%1").arg(i, 3, 10, QLatin1Char('0'));
        storeFormat(name, {name, "1", "1", "1", "65500", "65500", "150"});
    }
    const TFormats formats = load(false);
    ASSERT_EQ(formats.size(), 1u);
    ASSERT_EQ(dialogs_.errors().size(), 1);
    const QString& text = dialogs_.errors()[0];
    EXPECT_TRUE(text.contains("не загружены (300): big000 (65500 x 65500 пикселей), "))
        << text.toStdString();
    EXPECT_TRUE(text.contains("big004 (65500 x 65500 пикселей) и другие."));
    EXPECT_FALSE(text.contains("big005"));
}

TEST_F(CatalogueTest, ForceAlwaysDownloads) {
    storeFormat("old", {"old", "1", "1", "1", "1", "1", "1"});
    replyWith(kTwo);
    const TFormats formats = load(true);
    EXPECT_EQ(requested_.size(), 1);
    ASSERT_EQ(formats.size(), 2u);
    EXPECT_EQ(formats[0].Name, "10x15");
    EXPECT_EQ(formats[0].Width_px, 1795);
}

TEST_F(CatalogueTest, EmptyStoreAndNoConnection) {
    replyWith("");
    EXPECT_TRUE(load(false).empty());
    EXPECT_EQ(dialogs_.errors(), (QStringList{messages::F1(), messages::L2()}));
}

namespace {

formats::TFormatsRecord named(const char* name) {
    formats::TFormatsRecord record;
    record.Name = QString::fromLatin1(name);
    return record;
}

}  // namespace

// A missing value skips the rest of its record: a record left without pixel sizes
// cannot print and is left out too, told after the missing value.
TEST_F(CatalogueTest, AMissingValueSkipsTheRestOfItsRecord) {
    storeFormat("a", {"a", "1", "1", "1", "100", "100", "1"});
    storeFormat("b", {"b", "5", "2", "3", "400", "500", "6"},
                {"Name", "Cost", "Width_mm", "Height_mm", "Width_px", "Height_px", "Dpi"});
    storeFormat("c", {"c", "5", "2", "3", "400", "500", "6"},
                {"Name", "Price", "Width_mm", "Height_mm", "Width_px", "Height_px", "DPI_Min"});
    storeFormat("d", {"d", "3", "3", "3", "300", "300", "3"});
    const TFormats formats = load(false);
    ASSERT_EQ(formats.size(), 3u);
    EXPECT_EQ(formats[1].Name, "b");
    EXPECT_EQ(formats[1].Width_px, 400);
    EXPECT_EQ(formats[1].DPI_Min, 0);
    EXPECT_EQ(formats[2].Name, "d");
    EXPECT_EQ(dialogs_.errors(),
              (QStringList{messages::L6("DPI_Min", "b", kWeb), messages::L6("Cost", "c", kWeb),
                           messages::L7({}, {named("c")}, kWeb)}));
}

TEST_F(CatalogueTest, AMissingWidthPxStopsLoading) {
    storeFormat("a", {"a", "1", "1", "1", "100", "100", "1"});
    storeFormat("b", {"b", "5", "2", "3", "4", "5", "6"},
                {"Name", "Cost", "Width_mm", "Height_mm", "Pixels", "Height_px", "DPI_Min"});
    storeFormat("c", {"c", "3", "3", "3", "300", "300", "3"});
    const TFormats formats = load(false);
    // b, and c's place (kept empty), have no pixel sizes: left out as unprintable.
    ASSERT_EQ(formats.size(), 1u);
    EXPECT_EQ(formats[0].Name, "a");
    EXPECT_EQ(dialogs_.errors(), (QStringList{messages::L6("Width_px", "b", kWeb),
                                              messages::L7({}, {named("b"), named("")}, kWeb)}));
}

TEST_F(CatalogueTest, TooFewValuesShowL5) {
    storeFormat("a", {"a", "1", "1"});
    EXPECT_EQ(load(false).size(), 0u);  // and with no pixel sizes, left out
    ASSERT_EQ(dialogs_.errors().size(), 2);
    EXPECT_EQ(dialogs_.errors()[0], messages::L5("a", kWeb));
    EXPECT_TRUE(dialogs_.errors()[1].contains(QStringLiteral("слишком мал для печати")));
}

TEST_F(CatalogueTest, NumbersThatDoNotReadRaiseTheConversionError) {
    struct Case {
        const char* cost;
        const char* width;
        const char* error;
    };
    for (const Case& c : {Case{"12,50", "1", "'12,50' is not a valid floating point value"},
                          Case{"1", "1e3", "''1e3'' is not a valid integer value"},
                          Case{"1", "99999999999", "''99999999999'' is not a valid integer value"},
                          Case{"1", "", "'''' is not a valid integer value"}}) {
        store_.deleteKey(FormatsKey + "\\x");
        storeFormat("a", {"a", "1", "1", "1", "100", "100", "1"});
        storeFormat("x", {"x", c.cost, c.width, "1", "100", "100", "1"});
        TFormats formats;
        try {
            formats::LoadFormats(false, formats, catalogue_);
            ADD_FAILURE() << "no error for " << c.cost << " " << c.width;
        } catch (const formats::ConversionError& e) {
            EXPECT_STREQ(e.what(), c.error);
        }
        // What was read before stays, but never a format that cannot print (x, read
        // up to its error, has no pixel sizes).
        ASSERT_EQ(formats.size(), 1u);
        EXPECT_EQ(formats[0].Name, "a");
    }
}

TEST_F(CatalogueTest, HostileRepliesEndInMessagesAndStayInsideTheFormatsKey) {
    // 10 MB in one name; many small records cost time in proportion (bench/).
    const QByteArray huge = QByteArray(10 * 1024 * 1024, 'h') + ":1:2:3:4:5:6";
    QByteArray many;
    for (int i = 0; i < 2000; ++i) {
        many += "f" + QByteArray::number(i % 50) + ":1:2:3:4:5:6;";
    }
    QByteArray manyFields = "x";
    for (int i = 0; i < 10000; ++i) {
        manyFields += ":" + QByteArray::number(i);
    }
    const QByteArray odd = QByteArray("bell\x07:1:1:1:1:1:1;") + QByteArray(1000, 'n') +
                           ":1:1:1:1:1:1;..\\..\\Other:1:1:1:1:1:1;9:99999999999:1e3:-0:x:y:z";
    for (const QByteArray& reply : {huge, many, manyFields, odd}) {
        replyWith(reply);
        const TFormats formats = [&] {
            try {
                return load(true);
            } catch (const formats::ConversionError&) {
                return TFormats{};
            }
        }();
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Korvella");
        EXPECT_EQ(settings.childGroups(), QStringList{"Formats"});
        settings.beginGroup("Formats");
        for (const QString& group : settings.childGroups()) {
            settings.beginGroup(group);
            EXPECT_TRUE(settings.childGroups().isEmpty()) << group.toStdString();
            settings.endGroup();
        }
    }
    EXPECT_EQ(stored(), (QStringList{"9", "bell\x07"}));
}
