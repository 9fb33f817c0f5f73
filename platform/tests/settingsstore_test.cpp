#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <algorithm>
#include <thread>

#include "platform/settingsstore.h"
#include "platform/testing/noaccessoverride.h"
#include "platform/testing/userfolders.h"

using platform::QSettingsStore;

namespace {

const QString kFormats = QStringLiteral("\\Software\\Korvella\\Formats");

QString key(const QString& name) {
    return kFormats + u'\\' + name;
}

}  // namespace

TEST(SettingsStore, KeysAndValuesPersistAndCountWithoutTheirMarker) {
    testing_support::UserFolders folders;
    {
        QSettingsStore store;
        ASSERT_TRUE(store.createKey(key("10x15")));
        EXPECT_TRUE(store.setValue(key("10x15"), "Name", "10x15"));
        EXPECT_TRUE(store.setValue(key("10x15"), "Cost", "12.50"));
        ASSERT_TRUE(store.createKey(key("empty")));
    }
    QSettingsStore store;  // a new object reads what the last one wrote
    EXPECT_TRUE(store.openKey(kFormats));
    EXPECT_EQ(store.subkeyCount(kFormats), 2);
    EXPECT_EQ(store.valueCount(key("10x15")), 2);
    EXPECT_EQ(store.valueCount(key("empty")), 0);
    EXPECT_EQ(store.value(key("10x15"), "cost"), QStringLiteral("12.50"));
    EXPECT_EQ(store.value(key("10x15"), "Width_mm"), std::nullopt);
    EXPECT_EQ(store.subkeyCount(key("missing")), std::nullopt);
    EXPECT_TRUE(QFile::exists(folders.configHome() + "/Korvella.conf"));
}

TEST(SettingsStore, NamesIgnoreLetterCaseAndListInOrderWithoutCase) {
    testing_support::UserFolders folders;
    QSettingsStore store;
    for (const char* name : {"b", "A", "c", "Фото", "фото2", "10X15"}) {
        ASSERT_TRUE(store.createKey(key(QString::fromUtf8(name)))) << name;
    }
    EXPECT_TRUE(store.createKey(key("10x15")));  // the same key
    EXPECT_TRUE(store.createKey(key("ФОТО")));
    EXPECT_EQ(store.subkeyNames(kFormats), (QStringList{"10X15", "A", "b", "c", "Фото", "фото2"}));
    EXPECT_TRUE(store.setValue(key("a"), "NAME", "first"));
    EXPECT_TRUE(store.setValue(key("A"), "name", "second"));
    EXPECT_EQ(store.valueCount(key("a")), 1);
    EXPECT_EQ(store.value(key("A"), "Name"), QStringLiteral("second"));
}

TEST(SettingsStore, NamesThatCannotBeKeysAreRefused) {
    testing_support::UserFolders folders;
    QSettingsStore store;
    for (const QString& name : {QString(), QString(256, u'n')}) {
        EXPECT_FALSE(store.createKey(key(name))) << name.toStdString();
    }
    EXPECT_FALSE(store.createSubkey(kFormats, QStringLiteral("a\\b")));
    EXPECT_FALSE(store.createKey(QStringLiteral("\\Software\\Other\\Formats")));
    EXPECT_TRUE(store.createKey(key(QString(255, u'n'))));
    // Control characters, quotes, brackets and spaces are stored and listed back.
    const QString odd = QStringLiteral("a\tb\x01 [c] \"d\" =;e");
    EXPECT_TRUE(store.createKey(key(odd)));
    EXPECT_TRUE(store.setValue(key(odd), "Name", odd));
    QSettingsStore again;
    EXPECT_TRUE(again.subkeyNames(kFormats).contains(odd));
    EXPECT_EQ(again.value(key(odd), "Name"), odd);
}

TEST(SettingsStore, DeleteRemovesEverythingUnder) {
    testing_support::UserFolders folders;
    QSettingsStore store;
    ASSERT_TRUE(store.createKey(key("a\\deep\\er")));
    ASSERT_TRUE(store.setValue(key("a\\deep"), "v", "1"));
    ASSERT_TRUE(store.createKey(key("b")));
    EXPECT_TRUE(store.deleteKey(key("A")));
    EXPECT_EQ(store.subkeyNames(kFormats), QStringList{"b"});
    EXPECT_FALSE(store.openKey(key("a\\deep")));
    EXPECT_FALSE(store.deleteKey(key("a")));
}

TEST(SettingsStore, AStoreThatCannotBeWrittenReportsFailure) {
    testing_support::UserFolders folders;
    {
        QSettingsStore store;
        ASSERT_TRUE(store.createKey(key("10x15")));
    }
    const QString file = folders.configHome() + "/Korvella.conf";
    QFile::setPermissions(file, QFile::ReadOwner);
    QFile::setPermissions(folders.configHome(), QFile::ReadOwner | QFile::ExeOwner);
    testing_support::NoAccessOverride asUser;
    QSettingsStore store;
    EXPECT_TRUE(store.openKey(key("10x15")));
    EXPECT_FALSE(store.setValue(key("10x15"), "Name", "10x15"));
    EXPECT_FALSE(store.createKey(key("13x18")));
    QFile::setPermissions(folders.configHome(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A name may hold "/", as registry key names may: it is one key, listed, opened and
// deleted under its own name, and "%" sequences in names survive the escaping.
TEST(SettingsStore, NamesWithSlashesAreKeysOfTheirOwn) {
    testing_support::UserFolders folders;
    const QStringList names = {QStringLiteral("12/10/26 11:15:00 AM"), QStringLiteral("x/../y"),
                               QStringLiteral("50%"), QStringLiteral("a%2Fb"),
                               QStringLiteral("%25")};
    {
        QSettingsStore store;
        for (const QString& name : names) {
            ASSERT_TRUE(store.createSubkey(kFormats, name)) << name.toStdString();
            ASSERT_TRUE(store.setValue(key(name), "Name", name));
        }
    }
    QSettingsStore store;
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    EXPECT_EQ(store.subkeyNames(kFormats), sorted);
    for (const QString& name : names) {
        EXPECT_EQ(store.value(key(name), "Name"), name) << name.toStdString();
    }
    // One group each in the file, none nested.
    QSettings raw(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvella"));
    raw.beginGroup(QStringLiteral("Formats"));
    EXPECT_EQ(raw.childGroups().size(), names.size());
    raw.beginGroup(raw.childGroups().constFirst());
    EXPECT_TRUE(raw.childGroups().isEmpty());
    raw.endGroup();
    raw.endGroup();

    EXPECT_TRUE(store.deleteKey(key(names[0])));
    EXPECT_FALSE(store.openKey(key(names[0])));
    EXPECT_EQ(store.subkeyCount(kFormats), names.size() - 1);
}

// A file written before names could hold "/" reads as it did: its names as they stand.
TEST(SettingsStore, FilesWrittenBeforeSlashNamesReadAsTheyDid) {
    testing_support::UserFolders folders;
    {
        QSettings raw(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvella"));
        for (const char* name : {"10x15", "50%", "10.12.2026 11:15:00"}) {
            raw.setValue(QStringLiteral("Formats/%1/$key").arg(QString::fromUtf8(name)), true);
            raw.setValue(QStringLiteral("Formats/%1/Name").arg(QString::fromUtf8(name)),
                         QString::fromUtf8(name));
        }
    }
    QSettingsStore store;
    EXPECT_EQ(store.subkeyNames(kFormats), (QStringList{"10.12.2026 11:15:00", "10x15", "50%"}));
    EXPECT_EQ(store.value(key("50%"), "Name"), QStringLiteral("50%"));
    EXPECT_EQ(store.valueCount(key("10x15")), 1);
}

// One store serves every thread: what a worker stores is listed at once elsewhere.
TEST(SettingsStore, WritesFromAnotherThreadAreSeenAtOnce) {
    testing_support::UserFolders folders;
    QSettingsStore store;
    ASSERT_TRUE(store.createKey(kFormats));
    EXPECT_TRUE(store.subkeyNames(kFormats).isEmpty());
    std::thread worker([&store] {
        for (int i = 0; i < 50; ++i) {
            store.createSubkey(kFormats, QStringLiteral("k%1").arg(i));
            store.setValue(key(QStringLiteral("k%1").arg(i)), "Session", "x");
        }
        store.flush();
    });
    // Meanwhile this thread reads, as the window would.
    for (int i = 0; i < 50; ++i) {
        store.subkeyNames(kFormats);
    }
    worker.join();
    EXPECT_EQ(store.subkeyCount(kFormats), 50);
    EXPECT_EQ(store.value(key("k49"), "Session"), QStringLiteral("x"));
}
