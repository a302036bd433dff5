#include <gtest/gtest.h>

#include <QFile>

#include "platform/FilePlaces.h"
#include "platform/RegistryStore.h"
#include "support/TestPlaces.h"

namespace plovane {
namespace {

TEST(RegistryStoreTest, ValuesSurviveANewStoreAndKeysAreFoundWithoutRegardToCase) {
    test::ScopedFilePlaces places;
    {
        RegistryStore reg;
        ASSERT_TRUE(reg.OpenKey(ProgramKey("TFormQuenlockPlovane2"), true));
        reg.WriteInteger("ShowBorders", -1);
        reg.WriteString("NormPos", "10,20,810,620");
        reg.WriteString("Odd", "back\\slash\nnew line = equals");
        ASSERT_TRUE(reg.OpenKey("MRUManager", true));  // relative to the open key
        reg.WriteString("Item_0", "/home/u/a.htm");
    }
    RegistryStore reg;
    EXPECT_TRUE(reg.KeyExists("software\\quenlock\\plovane\\tformquenlockplovane2\\mrumanager"));
    ASSERT_TRUE(reg.OpenKey("Software\\Quenlock\\Plovane\\TFormQuenlockPlovane2", false));
    EXPECT_EQ(reg.ReadInteger("showborders", 0), -1);
    EXPECT_EQ(reg.ReadString("NormPos"), "10,20,810,620");
    EXPECT_EQ(reg.ReadString("Odd"), "back\\slash\nnew line = equals");
    EXPECT_EQ(reg.ReadInteger("NormPos", 7), 7);  // not a whole number
    EXPECT_EQ(reg.ReadInteger("Missing", 3), 3);
    EXPECT_EQ(reg.GetKeyNames(), QStringList{"MRUManager"});
    EXPECT_EQ(reg.GetValueNames(), (QStringList{"ShowBorders", "NormPos", "Odd"}));
}

TEST(RegistryStoreTest, OpenWithoutCreateFailsAndDeleteRemovesSubkeysAndValues) {
    test::ScopedFilePlaces places;
    RegistryStore reg;
    EXPECT_FALSE(reg.OpenKey(ProgramKey("TFormChild"), false));
    ASSERT_TRUE(reg.OpenKey(ProgramKey("TFormChild\\Inner"), true));
    reg.WriteString("User_0", "5");
    EXPECT_TRUE(reg.DeleteValue("user_0"));
    EXPECT_FALSE(reg.ValueExists("User_0"));
    EXPECT_TRUE(reg.KeyExists(ProgramKey("TFormChild")));  // made on the way down
    EXPECT_TRUE(reg.DeleteKey(ProgramKey("TFormChild")));
    EXPECT_FALSE(reg.KeyExists(ProgramKey("TFormChild\\Inner")));
    EXPECT_FALSE(RegistryStore().KeyExists(ProgramKey("TFormChild")));
}

TEST(RegistryStoreTest, ReadsTheFileEarlierVersionsWroteAndKeepsEdgeBlanks) {
    test::ScopedFilePlaces places;
    const QString file = places.Folder().Write(
        "config/Quenlock/registry.ini",
        "[Software]\n\n[Software\\\\Quenlock]\n\n[Software\\\\Quenlock\\\\TFormChild]\n"
        "Odd=back\\\\slash\\nline \\\"q\\\"\nName\\x3dWith=1\n\n[Hand\\\\Made\\\\Deep]\nk=v\n");
    RegistryStore reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Quenlock\\TFormChild", false));
    EXPECT_EQ(reg.ReadString("Odd"), "back\\slash\nline \"q\"");
    EXPECT_EQ(reg.ReadInteger("name=with"), 1);
    ASSERT_TRUE(reg.OpenKey("\\Hand", false));  // a parent the file never named
    EXPECT_EQ(reg.GetKeyNames(), QStringList{"Made"});

    ASSERT_TRUE(reg.OpenKey("\\Software", false));
    reg.WriteString("Padded", "  two blanks  ");
    reg.WriteString("Plain", "C:/a b");
    EXPECT_TRUE(places.Folder()
                    .Read("config/Quenlock/registry.ini")
                    .contains("[Software]\nPadded=\"  two blanks  \"\nPlain=C:/a b\n"));
    ASSERT_TRUE(QFile::copy(file, file + ".copy"));  // read by a store that shares nothing in memory
    RegistryStore fresh(file + ".copy");
    ASSERT_TRUE(fresh.OpenKey("Software", false));
    EXPECT_EQ(fresh.ReadString("Padded"), "  two blanks  ");
    ASSERT_TRUE(fresh.OpenKey("\\Software\\Quenlock\\TFormChild", false));
    EXPECT_EQ(fresh.ReadString("Odd"), "back\\slash\nline \"q\"");
}

TEST(RegistryStoreTest, AGarbledFileReadsAsDefaults) {
    test::ScopedFilePlaces places;
    places.Folder().Write("config/Quenlock/registry.ini", QByteArray("\0\xff[[=\n=x\n[k]\nno equals\n", 24));
    RegistryStore reg;
    EXPECT_TRUE(reg.OpenKey("k", false));
    EXPECT_EQ(reg.ReadInteger("ShowDetails", -1), -1);
}

}  // namespace
}  // namespace plovane
