#include <gtest/gtest.h>

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QSignalSpy>
#include <QtTest/QTest>

#include "platform/error.h"
#include "platform/hotarea.h"
#include "platform/taskbar.h"
#include "platform/testing/recordingurlopener.h"
#include "upload/dwProgressBar.h"
#include "upload/progress.h"
#include "upload/progressgeometry.h"

namespace {

namespace place = geometry::progress;
using State = platform::TaskbarProgress::State;

class RecordingTaskbar final : public platform::Taskbar {
public:
    void setProgress(const platform::TaskbarProgress& progress) override {
        shown.push_back(progress);
    }
    std::vector<platform::TaskbarProgress> shown;
};

// Lets the posted taskbar updates run.
void settle() {
    QCoreApplication::processEvents();
}

}  // namespace

TEST(ProgressBar, DefaultsRangeRulesAndErrors) {
    TdwProgressBar bar;
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.Step(), 10);
    EXPECT_EQ(bar.Orientation(), Qt::Horizontal);
    EXPECT_FALSE(bar.Smooth());
    EXPECT_FALSE(bar.SmoothReverse());
    EXPECT_EQ(bar.BarColor(), TdwProgressBar::kDefaultColor);
    EXPECT_EQ(bar.BackgroundColor(), TdwProgressBar::kDefaultColor);
    EXPECT_EQ(bar.ProgressBarState(), TdwProgressBarState::pbstNormal);
    EXPECT_FALSE(bar.MarqueeEnabled());
    EXPECT_EQ(bar.MarqueeInterval(), 50);
    EXPECT_FALSE(bar.ShowInTaskbar());
    EXPECT_EQ(bar.TaskBarEntryHandle(), 0u);
    EXPECT_EQ(bar.width(), 150);

    bar.setPosition(140);  // beyond the range: a full bar
    EXPECT_EQ(bar.Position(), 100);
    EXPECT_EQ(bar.bar()->value(), 100);
    try {
        bar.setMax(-5);
        ADD_FAILURE() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.text(), QStringLiteral("TdwProgressBar property out of range"));
    }
    EXPECT_EQ(bar.Max(), 100);
    bar.SetRange(10, 20);
    EXPECT_EQ(bar.Position(), 20);
    bar.StepBy(-30);
    EXPECT_EQ(bar.Position(), 10);
}

// With the taskbar on, the bar's state and share reach it; off, the progress goes.
TEST(ProgressBar, TheTaskbarFollowsTheBar) {
    RecordingTaskbar taskbar;
    TdwProgressBar bar;
    bar.setTaskbar(&taskbar);
    bar.setPosition(30);
    settle();
    ASSERT_EQ(taskbar.shown.size(), 1u);
    EXPECT_EQ(taskbar.shown.back().state, State::None);  // ShowInTaskbar is off
    bar.setShowInTaskbar(true);
    bar.setPosition(40);  // both changes, one update
    settle();
    ASSERT_EQ(taskbar.shown.size(), 2u);
    EXPECT_EQ(taskbar.shown.back().state, State::Normal);
    EXPECT_DOUBLE_EQ(taskbar.shown.back().fraction, 0.4);
    bar.setProgressBarState(TdwProgressBarState::pbstError);
    settle();
    EXPECT_EQ(taskbar.shown.back().state, State::Error);
    bar.setProgressBarState(TdwProgressBarState::pbstMarquee);
    bar.setMarqueeEnabled(true);
    settle();
    EXPECT_EQ(taskbar.shown.back().state, State::Indeterminate);
    bar.setTaskBarEntryHandle(0xFFFFFFFF);  // no button to show it on
    const size_t before = taskbar.shown.size();
    bar.setShowInTaskbar(false);
    settle();
    EXPECT_EQ(taskbar.shown.size(), before);
}

// Hears the launcher protocol's signals on a bus.
class LauncherListener : public QObject {
    Q_OBJECT

public:
    QStringList uris;
    QList<QVariantMap> properties;

public Q_SLOTS:
    void heard(const QDBusMessage& message) {
        uris << message.arguments().value(0).toString();
        properties << qdbus_cast<QVariantMap>(message.arguments().value(1));
    }
};

// The desktop's launcher protocol on a private session bus: the dock hears the
// program's progress under its desktop file's name.
TEST(Taskbar, LauncherEntrySignalsOnAPrivateBus) {
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"),
                  QStringLiteral("--print-address=1")});
    ASSERT_TRUE(daemon.waitForStarted()) << "dbus-daemon is not installed";
    ASSERT_TRUE(daemon.waitForReadyRead(5000));
    const QByteArray address = daemon.readLine().trimmed();
    // The program's own connection is the session bus it finds in the environment.
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);

    QDBusConnection bus =
        QDBusConnection::connectToBus(QString::fromUtf8(address), QStringLiteral("listener"));
    ASSERT_TRUE(bus.isConnected());
    LauncherListener listener;
    ASSERT_TRUE(bus.connect(QString(), QString(),
                            QStringLiteral("com.canonical.Unity.LauncherEntry"),
                            QStringLiteral("Update"), &listener, SLOT(heard(QDBusMessage))));

    platform::LauncherEntryTaskbar taskbar(QStringLiteral("ru.korvella.Korvella"));
    taskbar.setProgress({State::Normal, 0.25});
    taskbar.setProgress({State::Error, 0.5});
    taskbar.setProgress({State::None, 0});
    for (int i = 0; i < 200 && listener.uris.size() < 3; ++i) {
        QTest::qWait(10);
    }
    ASSERT_EQ(listener.uris.size(), 3);
    EXPECT_EQ(listener.uris[0], QStringLiteral("application://ru.korvella.Korvella.desktop"));
    EXPECT_EQ(listener.properties[0].value("progress").toDouble(), 0.25);
    EXPECT_TRUE(listener.properties[0].value("progress-visible").toBool());
    EXPECT_FALSE(listener.properties[0].value("urgent").toBool());
    EXPECT_TRUE(listener.properties[1].value("urgent").toBool());
    EXPECT_FALSE(listener.properties[2].value("progress-visible").toBool());
    QDBusConnection::disconnectFromBus(QStringLiteral("listener"));
    daemon.kill();
    daemon.waitForFinished();
}

TEST(ProgressWindow, ControlsInPlaceEscAsksToCancelAndTheLinkOpensAndCopies) {
    testing_support::RecordingUrlOpener urls;
    TForm3 window(urls, nullptr, QImage());
    EXPECT_EQ(window.size(), place::kWindow);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Идет отправка файлов..."));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    auto* cancel = window.findChild<HotArea*>(QStringLiteral("JvTransparentButton4"));
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->geometry(), place::JvTransparentButton4);
    EXPECT_EQ(cancel->toolTip(), QStringLiteral("Отмена"));
    for (const auto& [name, area] :
         {std::pair{"Label1", place::Label1}, std::pair{"Edit1", place::Edit1},
          std::pair{"ProgressBar1", place::ProgressBar1},
          std::pair{"ProgressBar2", place::ProgressBar2}}) {
        auto* control = window.findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->geometry(), area) << name;
    }

    QSignalSpy cancels(&window, &TForm3::cancelRequested);
    QSignalSpy activations(&window, &TForm3::FormActivate);
    window.show();
    settle();
    EXPECT_EQ(activations.count(), 1);
    QTest::keyClick(&window, Qt::Key_Escape);
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_EQ(cancels.count(), 2);
    EXPECT_TRUE(window.isVisible());  // the main window decides

    upload::SendProgress progress;
    progress.Progress1 = 35;
    progress.Progress2 = 50;
    progress.Caption = QStringLiteral("Отправляется файл: \r\n/a.jpg");
    progress.Hint = progress.Caption;
    progress.FormCaption = QStringLiteral("Отправляется файл 1 из 2");
    window.UpdateProgress(progress);
    EXPECT_EQ(window.windowTitle(), progress.FormCaption);
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("Label1"))->toolTip(), progress.Hint);
    EXPECT_EQ(window.findChild<TdwProgressBar*>(QStringLiteral("ProgressBar1"))->Position(), 35);

    const QString link =
        QStringLiteral("http://lab.test/index.php?option=com_photoprint&step=showprog&key=K");
    window.showFinished(link);
    auto* edit = window.findChild<QLineEdit*>(QStringLiteral("Edit1"));
    EXPECT_TRUE(edit->isVisible());
    EXPECT_FALSE(window.findChild<QWidget*>(QStringLiteral("ProgressBar1"))->isVisible());
    QTest::mouseClick(edit, Qt::LeftButton);
    EXPECT_EQ(urls.opened, QStringList{link});
    window.findChild<QMenu*>(QStringLiteral("PopupMenu1"))
        ->findChild<QAction*>(QStringLiteral("N1"))
        ->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), link);
    EXPECT_FALSE(edit->hasSelectedText());

    window.closeWindow();
    EXPECT_FALSE(window.isVisible());
}

#include "progresswindow_test.moc"
