#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/testing/userfolders.h"
#include "platform/workfolder.h"

TEST(WorkFolder, PrivateFolderUnderTheCacheHomeWithTrailingSeparator) {
    testing_support::UserFolders folders;
    const QString folder = platform::GetTempFolder();
    EXPECT_EQ(folder, folders.workFolder());
    EXPECT_TRUE(folder.endsWith(QLatin1Char('/')));
    const QFileInfo info(folder);
    ASSERT_TRUE(info.isDir());
    const QFile::Permissions p = info.permissions();
    EXPECT_TRUE(p.testFlags(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    EXPECT_FALSE(p & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                      QFile::WriteOther | QFile::ExeOther));
}

TEST(WorkFolder, TightensAnExistingFolderThatOthersCouldRead) {
    testing_support::UserFolders folders;
    ASSERT_FALSE(platform::GetTempFolder().isEmpty());
    QFile::setPermissions(folders.workFolder(), QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ExeOwner | QFile::ReadOther |
                                                    QFile::ExeOther);
    platform::GetTempFolder();
    EXPECT_FALSE(QFileInfo(folders.workFolder()).permissions() & QFile::ReadOther);
}

// No fallback to the current directory: the error names the folder and the reason.
TEST(WorkFolder, RefusedWhenTheFolderCannotBeMadeOrMadePrivate) {
    testing_support::UserFolders folders;
    const auto refusal = []() -> QString {
        try {
            platform::GetTempFolder();
        } catch (const platform::WorkFolderError& e) {
            return e.text();
        }
        return {};
    };
    // A plain file where the folder should be.
    testing_support::writeFile(folders.cacheHome() + QStringLiteral("/Korvella"), "x");
    EXPECT_TRUE(refusal().contains(folders.cacheHome() + QStringLiteral("/Korvella")))
        << refusal().toStdString();
    QFile::remove(folders.cacheHome() + QStringLiteral("/Korvella"));
    ASSERT_EQ(refusal(), QString());
    // The cache home itself a file: nothing can be made under it.
    QDir(folders.cacheHome()).removeRecursively();
    testing_support::writeFile(folders.cacheHome(), "x");
    const QString text = refusal();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Рабочую папку ") + folders.cacheHome()))
        << text.toStdString();
}
