#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "app/Unit1.h"
#include "app/application.h"
#include "app/tests/appfixture.h"
#include "order/testing/ordersamples.h"
#include "platform/testing/jpegbytes.h"
#include "platform/testing/noaccessoverride.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/testing/userfolders.h"

using testing_support::control;
using testing_support::readFile;
using testing_support::ScriptedDialogs;
using testing_support::UserFolders;
using testing_support::writeFile;

namespace {

class AddingPhotos : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::storeFormats();
        photos_ = folders_.root() + QStringLiteral("/photos/");
        ASSERT_TRUE(QDir().mkpath(photos_));
        program_ = std::make_unique<Program>(dialogs_);
    }

    QString photo(const QString& name) {
        const QString path = photos_ + name;
        writeFile(path, testing_support::jpegHeaderFile(1800, 1200));
        return path;
    }

    order::OrderTable& table() { return program_->state().Data; }
    QString dataFile() const { return folders_.workFolder() + QStringLiteral("Data.csv"); }

    QStringList files() { return order::testing::filesOf(table(), true); }

    // Drops the paths on the main window as a file manager would.
    bool drop(const QStringList& paths) {
        auto* mime = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : paths) {
            urls << QUrl::fromLocalFile(path);
        }
        mime->setUrls(urls);
        // A drag enters first; the window that takes it is the one the drop goes to.
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&program_->form1(), &enter);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&program_->form1(), &event);
        delete mime;
        return event.isAccepted();
    }

    UserFolders folders_;
    ScriptedDialogs dialogs_;
    QString photos_;
    std::unique_ptr<Program> program_;
};

}  // namespace

TEST_F(AddingPhotos, ChosenFilesAreAddedSortedAndSaved) {
    QAction* send = control<QAction>(program_->form1(), "actSend");
    ASSERT_FALSE(send->isEnabled());
    dialogs_.scriptOpenFiles(
        {photo("c.jpg"), photo("A.jpg"), photos_ + "gone.jpg", photo("b.jpeg")});
    control<QAction>(program_->form1(), "actAdd")->trigger();

    ASSERT_EQ(dialogs_.shown().size(), 1u);
    const QStringList offered = dialogs_.shown()[0].text.split(u'|');
    ASSERT_EQ(offered.size(), 5);
    EXPECT_EQ(offered.mid(0, 4).join(u'|'),
              QStringLiteral("jpeg|*.jpg;*.jpeg;*.JPG;*.JPEG|jpg|multiple"));
    EXPECT_TRUE(QFileInfo(offered[4]).isDir()) << offered[4].toStdString();
    EXPECT_EQ(files(), (QStringList{"A.jpg", "b.jpeg", "c.jpg"}));
    EXPECT_TRUE(send->isEnabled());
    EXPECT_FALSE(table().isChanged());  // closed and reopened: on disk already
    const QString saved = QString::fromUtf8(readFile(dataFile()));
    EXPECT_LT(saved.indexOf("A.jpg"), saved.indexOf("b.jpeg"));
    EXPECT_LT(saved.indexOf("b.jpeg"), saved.indexOf("c.jpg"));
    EXPECT_TRUE(saved.contains(QStringLiteral(";1;10x15;С полями;Матовая;%1;1800;1200\r\n")
                                   .arg(QFileInfo(photos_ + "c.jpg").size())));
}

// The dialog opens where photos were last chosen from, also after a restart.
TEST_F(AddingPhotos, TheDialogOpensInTheFolderLastUsed) {
    dialogs_.scriptOpenFiles({photo("a.jpg")});
    program_->form1().actAddExecute();
    program_->form1().actAddExecute();  // cancelled
    program_.reset();
    program_ = std::make_unique<Program>(dialogs_);
    program_->form1().actAddExecute();
    ASSERT_EQ(dialogs_.shown().size(), 3u);
    const QString folder = QFileInfo(photos_ + "a.jpg").absolutePath();
    EXPECT_TRUE(dialogs_.shown()[1].text.endsWith(u'|' + folder));
    EXPECT_TRUE(dialogs_.shown()[2].text.endsWith(u'|' + folder));
}

TEST_F(AddingPhotos, CancelledDialogChangesNothing) {
    program_->form1().actAddExecute();
    EXPECT_EQ(table().rowCount(), 0);
    EXPECT_FALSE(QFile::exists(dataFile()));
}

TEST_F(AddingPhotos, DroppedJpegsAreAddedOthersIgnored) {
    QDir(photos_).mkdir(QStringLiteral("folder.jpg"));
    writeFile(photos_ + "c.png", testing_support::jpegHeaderFile(800, 600));
    EXPECT_TRUE(drop({photo("A.JPG"), photo("b.JpEg"), photos_ + "c.png", photos_ + "folder.jpg"}));
    EXPECT_EQ(files(), (QStringList{"A.JPG", "b.JpEg"}));
    EXPECT_TRUE(readFile(dataFile()).contains("b.JpEg"));
    EXPECT_TRUE(dialogs_.shown().empty());
}

TEST_F(AddingPhotos, AfterFormDestroyDropsAreNotTaken) {
    program_->form1().FormDestroy();
    drop({photo("a.jpg")});
    EXPECT_EQ(table().rowCount(), 0);
}

TEST_F(AddingPhotos, UnreadableFileStopsTheBatchAndKeepsWhatWasAdded) {
    const QString a = photo("a.jpg");
    const QString locked = photo("b.jpg");
    const QString c = photo("c.jpg");
    QFile::setPermissions(locked, QFile::WriteOwner);
    testing_support::NoAccessOverride asUser;

    dialogs_.scriptOpenFiles({a, locked, c});
    program_->form1().actAddExecute();
    EXPECT_EQ(
        dialogs_.errors(),
        QStringList{QStringLiteral("Cannot open file \"%1\". Permission denied").arg(locked)});
    EXPECT_EQ(files(), QStringList{"a.jpg"});
    EXPECT_FALSE(QFile::exists(dataFile()));  // not saved yet: at the next close

    EXPECT_TRUE(drop({c, locked}));  // the drop is finished even so
    EXPECT_EQ(files(), (QStringList{"a.jpg", "c.jpg"}));
    EXPECT_EQ(dialogs_.errors().size(), 2);

    program_->shutdown();
    const QByteArray saved = readFile(dataFile());
    EXPECT_TRUE(saved.contains("a.jpg"));
    EXPECT_TRUE(saved.contains("c.jpg"));
}
