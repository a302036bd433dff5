#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "platform/FilePlaces.h"
#include "platform/FileTests.h"
#include "platform/WindowOperations.h"
#include "support/ScopedState.h"
#include "support/TestPlaces.h"

namespace plovane {
namespace {

class FileTestsTest : public ::testing::Test {
protected:
    test::ScopedFilePlaces places;
    test::TempFolder site;
};

TEST_F(FileTestsTest, SaveInPlaceAndWriteFollowTheReadOnlyAndCacheRules) {
    const QString plain = site.Write("page.htm", "<p>");
    const QString locked = site.Write("locked.htm", "<p>");
    const QString inLockedFolder = site.Write("ro/page.htm", "<p>");
    const QString missing = site.Path("missing.htm");
    const QString missingFolder = site.Path("nowhere/page.htm");
    const QString cached = CacheFolder() + "page.htm";
    QFile(cached).open(QIODevice::WriteOnly);
    const test::ScopedReadOnly lockedFile(locked);
    const test::ScopedReadOnly lockedFolder(site.Path("ro"));

    struct Case {
        QString path;
        bool saveInPlace;
        bool write;
    };
    const Case cases[] = {{plain, true, true},
                          {locked, false, false},
                          {inLockedFolder, false, false},
                          {missing, false, true},
                          {missingFolder, false, false},
                          {cached, false, false},
                          {cached.toUpper(), false, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(CanSaveInPlace(c.path), c.saveInPlace) << c.path.toStdString();
        EXPECT_EQ(CanWriteFile(c.path), c.write) << c.path.toStdString();
    }
}

TEST_F(FileTestsTest, BackupCopyPutsATildeBeforeTheExtensionAndOverwrites) {
    const QString page = site.Write("page.htm", "new");
    site.Write("page.~htm", "old backup");
    ASSERT_TRUE(BackupCopy(page));
    EXPECT_EQ(site.Read("page.~htm"), "new");
    ASSERT_TRUE(BackupCopy(site.Write("notes", "n")));
    EXPECT_EQ(site.Read("notes.~"), "n");
}

TEST_F(FileTestsTest, DataFilesGoBelowTheDataFolderAndFallBackToTheProgramFolder) {
    EXPECT_EQ(UserDataFile("userdict.txt"), places.Places().dataFolder + "/Quenlock/userdict.txt");
    EXPECT_EQ(ProductDataFile("table.ini"), places.Places().dataFolder + "/Quenlock/Plovane/table.ini");
    EXPECT_TRUE(QFileInfo(places.Places().dataFolder + "/Quenlock/Plovane").isDir());

    FilePlaces noData = places.Places();
    noData.dataFolder.clear();
    SetFilePlaces(noData);
    EXPECT_EQ(UserDataFile("userdict.txt"), noData.programFolder + "/userdict.txt");
    EXPECT_EQ(ProductDataFile("table.ini"), noData.programFolder + "/table.ini");
    SetFilePlaces(places.Places());
}

TEST_F(FileTestsTest, AReadOnlyProgramFolderSendsWritesToTheDataFolderAndReadsFindThemThere) {
    const QString program = places.Places().programFolder;
    places.Folder().Write("program/Tips.ini", "[Tips]\n0=shipped\n");
    EXPECT_EQ(WritableProgramFile("Settings.ini"), program + "/Settings.ini");

    const test::ScopedReadOnly readOnly(program);
    const QString dataCopy = places.Places().dataFolder + "/Quenlock/Plovane/";
    EXPECT_EQ(ProgramFolderFile("Tips.ini"), program + "/Tips.ini");  // nothing written yet
    EXPECT_EQ(WritableProgramFile("Tips.ini"), dataCopy + "Tips.ini");
    EXPECT_EQ(places.Folder().Read("data/Quenlock/Plovane/Tips.ini"), "[Tips]\n0=shipped\n");  // seeded
    EXPECT_EQ(ProgramFolderFile("Tips.ini"), dataCopy + "Tips.ini");
    EXPECT_EQ(WritableProgramFile("Settings.ini"), dataCopy + "Settings.ini");
}

TEST(FormatKilobytesTest, RoundsUpAndGroupsThousands) {
    const std::pair<qint64, const char*> cases[] = {{0, "0KB"},
                                                    {1, "1KB"},
                                                    {1024, "1KB"},
                                                    {1025, "2KB"},
                                                    {1024 * 1000, "1,000KB"},
                                                    {5LL << 30, "5,242,880KB"}};
    for (const auto& [bytes, text] : cases) EXPECT_EQ(FormatKilobytes(bytes), text) << bytes;
}

// Pages, pictures, word lists and settings are all written this way.
TEST(WriteFileAtomicallyTest, AWriteThatFailsOnTheWayLeavesTheOldFile) {
    test::TempFolder folder;
    const QString path = folder.Write("page.htm", "old");
    QString error;
    {
        const test::ScopedFileSizeLimit limit(64);
        EXPECT_FALSE(WriteFileAtomically(path, QByteArray(100000, 'x'), &error));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(folder.Read("page.htm"), "old");
    EXPECT_FALSE(WriteFileAtomically(folder.Path("no/such/folder/page.htm"), "new"));
    EXPECT_TRUE(WriteFileAtomically(path, "new"));
    EXPECT_EQ(folder.Read("page.htm"), "new");
}

}  // namespace
}  // namespace plovane
