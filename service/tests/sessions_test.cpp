#include <gtest/gtest.h>

#include <QTimeZone>

#include <QTcpServer>
#include <thread>

#include "labd/tests/labfixture.h"
#include "platform/settingsstore.h"
#include "platform/testing/fixedclock.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/testing/userfolders.h"
#include "service/httpget.h"
#include "service/sessionmessages.h"
#include "service/sessions.h"

using testing_support::ScriptedDialogs;

namespace {

const QString kWeb = QStringLiteral("http://lab.test/");
const QString kSessionStep = QStringLiteral("/index.php?option=com_photoprint&step=session");
const QString kKey = QStringLiteral("0123456789abcdef0123456789ABCDEF");

// The sessions against a lab at host, with the real settings store in a temporary
// config folder.
class Sessions {
public:
    explicit Sessions(const QString& host, QLocale locale = QLocale(QLocale::Russian))
        : http_(dialogs, credentials_),
          services{[this](const QString& url) { return http_.HttpGet(url, QString()); },
                   store,
                   dialogs,
                   clock,
                   host,
                   kWeb,
                   std::move(locale)} {
        // One process may run several cases on one settings file (QSettings finds its
        // folder once): each starts without sessions.
        store.deleteKey(service::SessionsKey);
        store.flush();
    }

    QStringList stamps() { return store.subkeyNames(service::SessionsKey); }
    QString stored(const QString& stamp) {
        return store.value(service::SessionsKey + u'\\' + stamp, QStringLiteral("Session"))
            .value_or(QString());
    }

    testing_support::UserFolders folders;
    ScriptedDialogs dialogs;
    platform::QSettingsStore store;
    testing_support::FixedClock clock;

private:
    service::CredentialStore credentials_;
    service::HttpClient http_;

public:
    service::SessionServices services;
};

// A loopback port where nothing listens.
QString deadHost() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("127.0.0.1:%1").arg(port);
}

}  // namespace

TEST(NewSession, TheLabsKeyIsStoredUnderTheStamp) {
    labd::testing::Lab lab;
    ASSERT_TRUE(lab.ok());
    Sessions s(QString::fromStdString(lab.address()));
    const QString key = service::GetNewSession(s.services);
    EXPECT_EQ(key.size(), 32);
    EXPECT_TRUE(s.dialogs.shown().empty());
    const QString stamp = service::sessionStamp(s.clock.now(), QLocale(QLocale::Russian));
    EXPECT_EQ(s.stamps(), QStringList{stamp});
    EXPECT_EQ(s.stored(stamp), key);
}

// What the lab may answer, as the reply reaches the program through HttpGet (every line
// ending in CR LF): only exactly 32 characters once the CR LF pairs are gone is a key.
TEST(NewSession, RepliesThatAreAndAreNotAKey) {
    struct Case {
        const char* what;
        QString body;
        QString key;  // empty: S1, nothing stored
    };
    const std::vector<Case> cases = {
        {"a key and a line break", kKey + "\r\n", kKey},
        {"a line break inside the key", kKey.left(10) + "\r\n" + kKey.mid(10), kKey},
        {"a key and a blank", kKey + " ", QString()},
        {"an empty body", QString(), QString()},
        {"an error page", QStringLiteral("<h1>Error</h1>"), QString()},
    };
    for (const Case& c : cases) {
        labd::ServiceOptions options;
        options.fixedAnswers[kSessionStep.toStdString()] = {200, c.body.toStdString()};
        labd::testing::Lab lab(options);
        Sessions s(QString::fromStdString(lab.address()));
        EXPECT_EQ(service::GetNewSession(s.services), c.key) << c.what;
        if (c.key.isEmpty()) {
            EXPECT_EQ(s.dialogs.errors(), QStringList{service::messages::S1()}) << c.what;
            EXPECT_TRUE(s.stamps().isEmpty()) << c.what;
        } else {
            EXPECT_TRUE(s.dialogs.shown().empty()) << c.what;
            EXPECT_EQ(s.stored(s.stamps().value(0)), c.key) << c.what;
        }
    }
}

TEST(NewSession, NoConnectionGivesS1AndStoresNothing) {
    Sessions s(deadHost());
    EXPECT_TRUE(service::GetNewSession(s.services).isEmpty());
    EXPECT_EQ(s.dialogs.errors(), QStringList{service::messages::S1()});
    EXPECT_TRUE(s.stamps().isEmpty());
}

TEST(NewSession, TwoKeysInOneSecondShareOneStamp) {
    labd::testing::Lab lab;
    Sessions s(QString::fromStdString(lab.address()));
    service::GetNewSession(s.services);
    const QString later = service::GetNewSession(s.services);
    ASSERT_EQ(s.stamps().size(), 1);
    EXPECT_EQ(s.stored(s.stamps()[0]), later);
    s.clock.set(s.clock.now().addSecs(1));
    service::GetNewSession(s.services);
    EXPECT_EQ(s.stamps().size(), 2);
}

// The stamp: the short date, then the long time unless it is midnight exactly. In a
// locale whose short date holds "/", the stamp is still one key of its own.
TEST(Stamp, DateAndTimeInTheUsersFormatsAndStorableInAnyLocale) {
    const QLocale russian(QLocale::Russian);
    const QDateTime midnight(QDate(2026, 12, 10), QTime(0, 0, 0));
    EXPECT_EQ(service::sessionStamp(midnight, russian), QStringLiteral("10.12.2026"));
    const QDateTime late(QDate(2026, 12, 10), QTime(0, 0, 1));
    EXPECT_EQ(service::sessionStamp(late, russian), QStringLiteral("10.12.2026 00:00:01"));
    // The long time format without the zone Qt's own carries ("… UTC").
    const QDateTime noon(QDate(2026, 12, 10), QTime(12, 30, 5), QTimeZone::utc());
    EXPECT_EQ(service::sessionStamp(noon, QLocale(QLocale::German, QLocale::Germany)),
              QStringLiteral("10.12.26 12:30:05"));
    EXPECT_EQ(service::sessionStamp(noon, QLocale(QLocale::English, QLocale::UnitedStates)),
              QStringLiteral("12/10/26 12:30:05 PM"));

    labd::testing::Lab lab;
    const QLocale american(QLocale::English, QLocale::UnitedStates);
    Sessions s(QString::fromStdString(lab.address()), american);
    const QString key = service::GetNewSession(s.services);
    ASSERT_EQ(s.stamps().size(), 1);
    const QString stamp = s.stamps()[0];
    EXPECT_TRUE(stamp.startsWith(QStringLiteral("12/10/26 "))) << stamp.toStdString();
    EXPECT_EQ(service::listSessions(s.services), QStringList{stamp});
    EXPECT_EQ(service::GetOldSession(stamp, s.services), key);
    EXPECT_TRUE(service::deleteSession(stamp, s.services));
    EXPECT_TRUE(service::listSessions(s.services).isEmpty());
    EXPECT_TRUE(s.dialogs.shown().empty());
}

// The upload asks for its key on the worker thread; the window lists it right after.
TEST(NewSession, AKeyStoredByTheWorkerIsListedAtOnce) {
    labd::testing::Lab lab;
    Sessions s(QString::fromStdString(lab.address()));
    EXPECT_TRUE(service::listSessions(s.services).isEmpty());
    QString key;
    std::thread worker([&] { key = service::GetNewSession(s.services); });
    worker.join();
    ASSERT_EQ(key.size(), 32);
    const QStringList listed = service::listSessions(s.services);
    ASSERT_EQ(listed.size(), 1);
    EXPECT_EQ(service::GetOldSession(listed[0], s.services), key);
}

TEST(OldSession, AVanishedStampGivesNothingAndOneWithoutAKeyS2) {
    Sessions s(deadHost());
    EXPECT_TRUE(service::GetOldSession(QStringLiteral("gone"), s.services).isEmpty());
    EXPECT_TRUE(s.dialogs.shown().empty());
    const QString stamp = QStringLiteral("10.12.2026 11:15:30");
    s.store.createSubkey(service::SessionsKey, stamp);
    s.store.setValue(service::SessionsKey + u'\\' + stamp, QStringLiteral("Other"), "x");
    EXPECT_TRUE(service::GetOldSession(stamp, s.services).isEmpty());
    EXPECT_EQ(s.dialogs.errors(), QStringList{service::messages::S2(stamp, kWeb)});
    EXPECT_EQ(service::sessionPageAddress(QStringLiteral("lab.test"), QString()),
              QStringLiteral("http://lab.test/index.php?option=com_photoprint&step=showprog&key="));
}

// The listing in the store's order: a session without any value ends it (T2; the rows
// before it stay), one without "Session" is left out (T3) and the listing goes on.
TEST(ListSessions, MessagesEndOrSkipAsTheyShould) {
    struct Entry {
        const char* stamp;
        const char* value;  // nullptr: no value at all
    };
    const auto store = [](Sessions& s, std::initializer_list<Entry> entries) {
        for (const Entry& e : entries) {
            const QString stamp = QString::fromUtf8(e.stamp);
            s.store.createSubkey(service::SessionsKey, stamp);
            if (e.value != nullptr) {
                s.store.setValue(service::SessionsKey + u'\\' + stamp, QString::fromUtf8(e.value),
                                 kKey);
            }
        }
    };
    {
        Sessions s(deadHost());
        store(s, {{"a", "Session"}, {"b", "Other"}, {"c", "Session"}});
        EXPECT_EQ(service::listSessions(s.services), (QStringList{"a", "c"}));
        EXPECT_EQ(s.dialogs.errors(), QStringList{service::messages::T3("b", kWeb)});
    }
    {
        Sessions s(deadHost());
        store(s, {{"a", "Session"}, {"b", nullptr}, {"c", "Session"}});
        EXPECT_EQ(service::listSessions(s.services), QStringList{"a"});
        EXPECT_EQ(s.dialogs.errors(), QStringList{service::messages::T2("b", kWeb)});
    }
    {
        Sessions s(deadHost());
        EXPECT_TRUE(service::listSessions(s.services).isEmpty());
        EXPECT_TRUE(s.store.openKey(service::SessionsKey));  // made by the listing
        store(s, {{"a", "Session"}, {"b", "Session"}});
        EXPECT_TRUE(service::deleteAllSessions(s.services));
        EXPECT_TRUE(service::listSessions(s.services).isEmpty());
        EXPECT_EQ(s.store.subkeyCount(service::SessionsKey), 0);
        EXPECT_TRUE(s.dialogs.shown().empty());
    }
}
