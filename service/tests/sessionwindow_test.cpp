#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QtTest/QTest>

#include "platform/hotarea.h"
#include "platform/settingsstore.h"
#include "platform/testing/fixedclock.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/testing/userfolders.h"
#include "service/Session.h"
#include "service/sessiongeometry.h"
#include "service/sessionmessages.h"
#include "service/sessions.h"

namespace {

namespace place = geometry::session;

class SessionWindow : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* stamp : {"07.12.2026 18:42:05", "08.12.2026 20:43:06", "10.12.2026"}) {
            store_.createSubkey(service::SessionsKey, QString::fromUtf8(stamp));
            store_.setValue(service::SessionsKey + u'\\' + QString::fromUtf8(stamp),
                            QStringLiteral("Session"), QStringLiteral("key-%1").arg(stamp));
        }
        window_.setCommands(&select_, &close_);
        QObject::connect(&select_, &QAction::triggered, [this] { ++selected_; });
        QObject::connect(&close_, &QAction::triggered, [this] { window_.reject(); });
        QObject::connect(&window_, &TformSession::listUpdated,
                         [this](bool rows) { hasRows_ = rows; });
    }
    QListWidget* list() { return window_.findChild<QListWidget*>(QStringLiteral("ListBox1")); }
    QStringList rows() {
        QStringList texts;
        for (int i = 0; i < list()->count(); ++i) {
            texts << list()->item(i)->text();
        }
        return texts;
    }
    QPoint rowCentre(int row) { return list()->visualItemRect(list()->item(row)).center(); }

    testing_support::UserFolders folders_;
    testing_support::ScriptedDialogs dialogs_;
    platform::QSettingsStore store_;
    testing_support::FixedClock clock_;
    TformSession window_{
        service::SessionServices{[](const QString&) { return QString(); }, store_, dialogs_, clock_,
                                 QStringLiteral("lab.test"), QStringLiteral("http://lab.test/")},
        QImage()};
    QAction select_;
    QAction close_;
    int selected_ = 0;
    std::optional<bool> hasRows_;
};

}  // namespace

TEST_F(SessionWindow, ShowsTheStoredStampsWithItsTextsAndControlsInPlace) {
    window_.show();
    EXPECT_EQ(window_.size(), place::kWindow);
    EXPECT_EQ(window_.windowTitle(), QStringLiteral("Старые загрузки"));
    EXPECT_EQ(rows(), (QStringList{"07.12.2026 18:42:05", "08.12.2026 20:43:06", "10.12.2026"}));
    EXPECT_EQ(hasRows_, true);
    EXPECT_EQ(list()->geometry(), place::ListBox1);
    EXPECT_EQ(list()->visualItemRect(list()->item(1)).height(), place::kListRowHeight);
    EXPECT_EQ(window_.focusWidget(), list());
    auto* label = window_.findChild<QLabel*>(QStringLiteral("Label1"));
    EXPECT_EQ(label->geometry(), place::Label1);
    EXPECT_EQ(label->text(),
              QStringLiteral("Здесь Вы можете посмотреть список Ваших старых сессий отправки "
                             "фотографий. Двойным кликом на строке сессии Вы перейдете на сайт."));
    for (const auto& [name, area, hint] :
         {std::tuple{"JvTransparentButton4", place::JvTransparentButton4, "Перейти на сайт"},
          std::tuple{"JvTransparentButton1", place::JvTransparentButton1,
                     "Закрыть окно старых закачек"}}) {
        auto* hot = window_.findChild<HotArea*>(QString::fromLatin1(name));
        ASSERT_NE(hot, nullptr) << name;
        EXPECT_EQ(hot->geometry(), area) << name;
        EXPECT_EQ(hot->toolTip(), QString::fromUtf8(hint)) << name;
        EXPECT_EQ(hot->cursor().shape(), Qt::PointingHandCursor) << name;
    }
}

TEST_F(SessionWindow, DoubleClickAndThePageButtonRunTheSelectCommandTheCrossCloses) {
    window_.show();
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(1));
    EXPECT_EQ(window_.selectedStamp(), QStringLiteral("08.12.2026 20:43:06"));
    EXPECT_EQ(window_.GetOldSession(window_.selectedStamp()),
              QStringLiteral("key-08.12.2026 20:43:06"));
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(1));
    EXPECT_EQ(selected_, 1);
    QTest::mouseClick(window_.findChild<HotArea*>(QStringLiteral("JvTransparentButton4")),
                      Qt::LeftButton);
    EXPECT_EQ(selected_, 2);
    QTest::mouseClick(window_.findChild<HotArea*>(QStringLiteral("JvTransparentButton1")),
                      Qt::LeftButton);
    EXPECT_FALSE(window_.isVisible());
}

TEST_F(SessionWindow, DeletingOneOrAllGoesToTheStoreAtOnce) {
    window_.show();
    window_.N1Click();  // no row selected: nothing
    EXPECT_EQ(rows().size(), 3);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(0));
    auto* menu = window_.findChild<QMenu*>(QStringLiteral("PopupMenu1"));
    ASSERT_NE(menu, nullptr);
    menu->findChild<QAction*>(QStringLiteral("N1"))->trigger();
    EXPECT_EQ(rows(), (QStringList{"08.12.2026 20:43:06", "10.12.2026"}));
    EXPECT_FALSE(store_.openKey(service::SessionsKey + QStringLiteral("\\07.12.2026 18:42:05")));
    menu->findChild<QAction*>(QStringLiteral("N2"))->trigger();
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(hasRows_, false);
    EXPECT_EQ(store_.subkeyCount(service::SessionsKey), 0);
    EXPECT_TRUE(dialogs_.shown().empty());
}

TEST_F(SessionWindow, EscCloses) {
    window_.show();
    QTest::keyClick(list(), Qt::Key_Escape);
    EXPECT_FALSE(window_.isVisible());
}

TEST(SessionWindowPlace, ItsOwnPlaceWhereThePlatformAllowsAndItFitsElseCentred) {
    const QRect opener(100, 100, 678, 600);
    const QPoint centred = opener.center() - QRect(QPoint(0, 0), place::kWindow).center();
    EXPECT_EQ(sessionWindowPlace(true, QRect(0, 0, 1920, 1050), opener), place::kPlace);
    EXPECT_EQ(sessionWindowPlace(false, QRect(0, 0, 1920, 1050), opener), centred);
    EXPECT_EQ(sessionWindowPlace(true, QRect(0, 0, 800, 600), opener), centred);
}
