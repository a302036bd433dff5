#include <gtest/gtest.h>

#include "platform/RegistryStore.h"
#include "shell/MRUManager.h"
#include "support/TestPlaces.h"

namespace plovane {
namespace {

TEST(MRUManagerTest, KeepsEightNewestAndMovesAReopenedNameToTheNewestEnd) {
    test::ScopedFilePlaces places;
    QMenu file;
    QAction* exit = file.addAction("E&xit");
    TMRUManager mru(&file, exit);
    for (int i = 1; i <= 9; ++i) mru.Add(QStringLiteral("/site/p%1.htm").arg(i));
    EXPECT_EQ(mru.Items().size(), 8);
    EXPECT_EQ(mru.Items().first(), "/site/p2.htm");
    mru.Add("/SITE/P3.HTM");  // listed already: moved, not doubled
    EXPECT_EQ(mru.Items().size(), 8);
    EXPECT_EQ(mru.Items().last(), "/SITE/P3.HTM");
    EXPECT_EQ(file.actions().first()->text(), "&1 /SITE/P3.HTM");  // newest first, before Exit
    EXPECT_EQ(file.actions().last(), exit);

    QString chosen;
    QObject::connect(&mru, &TMRUManager::RecentFileChosen, [&](const QString& n) { chosen = n; });
    file.actions().at(1)->trigger();
    EXPECT_EQ(chosen, "/site/p9.htm");
}

TEST(MRUManagerTest, SurvivesTheRegistryOldestFirst) {
    test::ScopedFilePlaces places;
    const QString key = ProgramKey("TFormQuenlockPlovane2.MRUManager");
    QMenu file;
    QAction* exit = file.addAction("Exit");
    {
        TMRUManager mru(&file, exit);
        mru.Add("/a.htm");
        mru.Add("/b.htm");
        mru.Save(key);
        mru.Remove("/A.HTM");
        mru.Save(key);  // the subkey is emptied first: no stale Item_1
    }
    RegistryStore reg;
    ASSERT_TRUE(reg.OpenKey(key, false));
    EXPECT_EQ(reg.GetValueNames(), QStringList{"Item_0"});
    TMRUManager loaded(&file, exit);
    loaded.Load(key);
    EXPECT_EQ(loaded.Items(), QStringList{"/b.htm"});
}

}  // namespace
}  // namespace plovane
