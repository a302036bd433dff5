#include <gtest/gtest.h>

#include <QFile>

#include "platform/FilePlaces.h"
#include "spelling/QelSpelling.h"
#include "support/TestPlaces.h"

namespace plovane {
namespace {

// Keeps the program's two lists as they were around a test that replaces them.
class DictionariesTest : public ::testing::Test {
protected:
    void SetUp() override {
        SavedMain = MainDictionary();
        SavedUser = UserDictionary();
    }
    void TearDown() override {
        MainDictionary() = SavedMain;
        UserDictionary() = SavedUser;
    }
    WordList SavedMain;
    WordList SavedUser;
};

struct KnownCase {
    const char* word;
    bool known;
};
class IsKnownInTest : public ::testing::TestWithParam<KnownCase> {};

TEST_P(IsKnownInTest, FollowsTheStrippingAndPluralRules) {
    const WordList list = WordList::FromWords({"dont", "colour", "bu", "hello"});
    EXPECT_EQ(IsKnownIn(QString::fromUtf8(GetParam().word), list), GetParam().known) << GetParam().word;
}
INSTANTIATE_TEST_SUITE_P(Words, IsKnownInTest,
                         ::testing::Values(KnownCase{"I", true}, KnownCase{"a", true}, KnownCase{"3rd", true},
                                           KnownCase{"don't", true}, KnownCase{"Colours", true},
                                           KnownCase{"colours", true}, KnownCase{"bus", false},
                                           KnownCase{"HELLO", true}, KnownCase{"hellos", true},
                                           KnownCase{"helloes", false}, KnownCase{"hel-lo", true},
                                           KnownCase{"x_y", false}, KnownCase{"éa", true},
                                           KnownCase{"ééé", true}, KnownCase{"héllo", false},
                                           KnownCase{"", true}));

TEST(WordListTest, KeepsOneSortedCopyOfEachWordIgnoringCase) {
    WordList list = WordList::FromWords({"pear", "Apple", "apple", "banana", "APPLE", "Cherry"});
    EXPECT_EQ(list.Words(), QStringList({"Apple", "banana", "Cherry", "pear"}));
    EXPECT_FALSE(list.Add("BANANA"));
    EXPECT_TRUE(list.Add("avocado"));
    EXPECT_EQ(list.Words(), QStringList({"Apple", "avocado", "banana", "Cherry", "pear"}));
    EXPECT_TRUE(list.Contains("cherry"));
    EXPECT_FALSE(list.Contains("cherr"));
}

TEST(WordListTest, LoadsAnyLineBreaksAndSavesSortedWithCrLf) {
    const test::TempFolder folder;
    const QString path = folder.Write("words.txt", "zebra\r\nApple\nmango\rapple\r\n\r\nKiwi\r\n");
    WordList list;
    ASSERT_TRUE(list.LoadFromFile(path));
    EXPECT_EQ(list.Words(), QStringList({"", "Apple", "Kiwi", "mango", "zebra"}));

    ASSERT_TRUE(list.SaveToFile(folder.Path("out.txt")));
    EXPECT_EQ(folder.Read("out.txt"), QByteArray("\r\nApple\r\nKiwi\r\nmango\r\nzebra\r\n"));
}

TEST(WordListTest, ReadsLatin1AndUtf8WordFiles) {
    const test::TempFolder folder;
    WordList list;
    ASSERT_TRUE(list.LoadFromFile(folder.Write("latin1.txt", "caf\xe9\r\n")));
    EXPECT_TRUE(list.Contains(QString::fromUtf8("CAFÉ")));
    ASSERT_TRUE(list.LoadFromFile(folder.Write("utf8.txt", "caf\xc3\xa9\r\n")));
    EXPECT_EQ(list.Words(), QStringList({QString::fromUtf8("café")}));
}

TEST(WordListTest, AFailedSaveOrLoadIsReportedAndLoadEmptiesTheList) {
    const test::TempFolder folder;
    folder.Write("afile", "x");
    EXPECT_FALSE(WordList::FromWords({"new"}).SaveToFile(folder.Path("afile/userdict.txt")));

    WordList list = WordList::FromWords({"stale"});
    EXPECT_FALSE(list.LoadFromFile(folder.Path("missing.txt")));
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(DictionariesTest, LoadAndSaveUseTheProgramAndUserDataFolders) {
    const test::ScopedFilePlaces places;
    EXPECT_FALSE(MainDictionaryPresent());
    LoadDictionaries();
    EXPECT_EQ(MainDictionary().Count(), 0);

    places.Folder().Write("program/english.txt", "hello\r\nworld\r\n");
    places.Folder().Write("data/Quenlock/userdict.txt", "plovane\r\n");
    EXPECT_TRUE(MainDictionaryPresent());
    LoadDictionaries();
    EXPECT_TRUE(IsKnownWord("Hello"));
    EXPECT_TRUE(IsKnownWord("Plovane"));
    EXPECT_FALSE(IsKnownWord("quenlock"));

    UserDictionary().Add("Quenlock");
    ASSERT_TRUE(SaveUserDictionary());
    EXPECT_EQ(places.Folder().Read("data/Quenlock/userdict.txt"), QByteArray("plovane\r\nQuenlock\r\n"));
}

TEST_F(DictionariesTest, SuggestionsAreSingleEditsKnownToEitherListInLowerCase) {
    MainDictionary() = WordList::FromWords({"hello", "help", "Held", "halo", "helot", "heel", "hole"});
    UserDictionary() = WordList::FromWords({"helos", "elo"});
    EXPECT_EQ(SuggestWords("helo"), QStringList({"elo", "halo", "held", "hello", "helos", "helot", "help"}));
    EXPECT_EQ(SuggestWords("HELO"), SuggestWords("helo"));
    EXPECT_TRUE(SuggestWords("zzzzzz").isEmpty());
    EXPECT_TRUE(SuggestWords("").isEmpty());
    EXPECT_TRUE(InDictionary("HELOS"));
    EXPECT_FALSE(InDictionary("helps"));  // no plural rule here
}

TEST(SplitWordsTest, CutsWordsAndSkipsTheKnownEntities) {
    struct Case {
        const char* text;
        std::vector<WordSpan> spans;
    };
    const Case cases[] = {
        {"Tom&amp;Jerry&nbsp;rock", {{1, 3}, {9, 5}, {20, 4}}},
        {"e-mail it's x_y", {{1, 6}, {8, 4}, {13, 3}}},
        {"--'quoted'", {{4, 7}}},
        {"caf&eacute;", {{1, 3}, {5, 6}}},
        {"&copy; &#233;", {{2, 4}, {10, 3}}},
        {"a&NBSP;b &LT;c", {{1, 1}, {8, 1}, {14, 1}}},
        {"&amp", {{2, 3}}},
        {"na\xc3\xafve\tx", {{1, 2}, {4, 2}, {7, 1}}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitWords(QString::fromUtf8(c.text)), c.spans) << c.text;
}

TEST(GeneratedWordListTest, EnglishTxtIsBuiltBesideTheProgram) {
    const QString path = test::BuiltProgramFolder() + "/english.txt";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray head = file.read(200);
    EXPECT_TRUE(head.contains("\r\n"));
    WordList list;
    ASSERT_TRUE(list.LoadFromFile(path));
    EXPECT_GT(list.Count(), 90000);
    for (const char* word : {"hello", "spelling", "Boston", "colors", "don't"})
        EXPECT_TRUE(IsKnownIn(word, list)) << word;
    EXPECT_FALSE(IsKnownIn("wrld", list));
}

}  // namespace
}  // namespace plovane
