#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>

#include "app/Unit1.h"
#include "app/application.h"
#include "app/tests/appfixture.h"
#include "labd/tests/labfixture.h"
#include "platform/hotarea.h"
#include "platform/settingsstore.h"
#include "platform/testing/fixedclock.h"
#include "platform/testing/recordingurlopener.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/testing/userfolders.h"
#include "service/Session.h"
#include "service/sessionmessages.h"
#include "service/sessions.h"

using testing_support::control;

namespace {

const QString kPage = QStringLiteral("/index.php?option=com_photoprint&step=showprog&key=");

// The program over a real labd, its clock and browser in the test's hands.
class OldSessions : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(lab_.ok());
        testing_support::storeFormats();
    }
    void start() {
        ProgramOptions options;
        options.serviceHost = host();
        options.urls = &urls_;
        options.clock = &clock_;
        program_ = std::make_unique<Program>(dialogs_, options);
    }
    QString host() const { return QString::fromStdString(lab_.address()); }
    TForm1& form() { return program_->form1(); }
    TformSession& sessions() { return program_->formSession(); }
    QListWidget* list() { return control<QListWidget>(sessions(), "ListBox1"); }
    // Runs what while the session window is shown modally by the hot area, then closes it
    // with Esc unless what did.
    void whileShown(const char* hotArea, const std::function<void()>& what) {
        bool ran = false;
        QTimer::singleShot(0, &sessions(), [&] {
            ran = true;
            what();
            if (sessions().isVisible()) {
                QTest::keyClick(list(), Qt::Key_Escape);
            }
        });
        control<HotArea>(form(), hotArea)->click();
        EXPECT_TRUE(ran);
    }
    // Stores a session as an earlier run would have left it.
    void storeSession(const char* stamp, const char* valueName = "Session") {
        platform::QSettingsStore store;
        store.createSubkey(service::SessionsKey, QString::fromUtf8(stamp));
        store.setValue(service::SessionsKey + u'\\' + QString::fromUtf8(stamp),
                       QString::fromUtf8(valueName), QStringLiteral("K-%1").arg(stamp));
    }

    labd::testing::Lab lab_;
    testing_support::UserFolders folders_;
    testing_support::ScriptedDialogs dialogs_;
    testing_support::RecordingUrlOpener urls_;
    testing_support::FixedClock clock_;
    std::unique_ptr<Program> program_;
};

}  // namespace

// The keys the upload asks for are listed in the window; a double click opens a
// session's page, as the page button does, and the window stays open.
TEST_F(OldSessions, NewKeysAreListedAndTheirPagesOpen) {
    start();
    form().show();
    EXPECT_FALSE(control<QAction>(form(), "actSessOld")->isEnabled());  // nothing stored
    const QString first = form().GetNewSession();
    clock_.set(clock_.now().addDays(1));
    const QString second = form().GetNewSession();
    ASSERT_EQ(first.size(), 32);
    ASSERT_EQ(second.size(), 32);

    whileShown("JvTransparentButton10", [&] {
        ASSERT_EQ(list()->count(), 2);
        const QRect row = list()->visualItemRect(list()->item(1));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, row.center());
        EXPECT_TRUE(sessions().isVisible());
        QTest::mouseClick(control<HotArea>(sessions(), "JvTransparentButton4"), Qt::LeftButton);
    });
    const QString page = QStringLiteral("http://") + host() + kPage;
    EXPECT_EQ(urls_.opened, (QStringList{page + second, page + second}));
    EXPECT_TRUE(control<QAction>(form(), "actSessOld")->isEnabled());
    EXPECT_TRUE(dialogs_.shown().empty());
}

// Stored problems show when the main window is first shown, not before; the page
// button opens the selected session's page, and the close button ends the window.
TEST_F(OldSessions, StoreProblemsShowAtStartAndThePageButtonOpensTheSelectedPage) {
    storeSession("01.12.2026 10:00:00");
    storeSession("02.12.2026 10:00:00", "Other");
    start();
    EXPECT_TRUE(dialogs_.shown().empty());
    form().show();
    const QString web = QString::fromUtf8(korvella::ServiceWebAddress);
    EXPECT_EQ(dialogs_.errors(),
              QStringList{service::messages::T3(QStringLiteral("02.12.2026 10:00:00"), web)});
    EXPECT_TRUE(control<QAction>(form(), "actSessOld")->isEnabled());

    whileShown("JvTransparentButton5", [&] {
        ASSERT_EQ(list()->count(), 1);
        list()->item(0)->setSelected(true);
        QTest::mouseClick(control<HotArea>(sessions(), "JvTransparentButton4"), Qt::LeftButton);
        QTest::mouseClick(control<HotArea>(sessions(), "JvTransparentButton1"), Qt::LeftButton);
        EXPECT_FALSE(sessions().isVisible());
    });
    EXPECT_EQ(urls_.opened, QStringList{QStringLiteral("http://") + host() + kPage +
                                        QStringLiteral("K-01.12.2026 10:00:00")});
}

// Without a stored session the list is empty, and the page commands do nothing.
TEST_F(OldSessions, WithNoSessionTheCommandsDoNothing) {
    start();
    form().show();
    whileShown("JvTransparentButton10", [&] {
        EXPECT_EQ(list()->count(), 0);
        control<QAction>(form(), "actSessSelect")->trigger();
        QTest::mouseClick(control<HotArea>(sessions(), "JvTransparentButton4"), Qt::LeftButton);
    });
    EXPECT_TRUE(urls_.opened.isEmpty());
    control<QAction>(form(), "actSessSelect")->trigger();  // the window is not shown
    EXPECT_TRUE(urls_.opened.isEmpty());
    EXPECT_TRUE(dialogs_.shown().empty());
}
