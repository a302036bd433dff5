// spelling/QelSpelling.h — the word lists, word tests, suggestions and the cutting of text into words.
#pragma once
#include <QString>
#include <QStringList>
#include <vector>

namespace plovane {

// A sorted list of words in which order and equality ignore letter case; a word that is already
// there in any letter case is not added again.
class WordList {
public:
    static WordList FromWords(const QStringList& words);

    bool Contains(const QString& word) const;
    // False when the list already held the word.
    bool Add(const QString& word);
    void Clear();
    int Count() const { return static_cast<int>(Entries.size()); }
    QStringList Words() const;  // in sorted order

    // Replaces the list with the lines of a file (CR, LF or CR LF end a line; a blank line is an
    // empty entry). Text that is not valid UTF-8 is read as Latin-1. False, with the list empty,
    // when the file cannot be read.
    bool LoadFromFile(const QString& path);
    // One word per line, CR LF after each, Latin-1 unless a word needs more. The old file is kept
    // whole when the write fails.
    bool SaveToFile(const QString& path) const;

private:
    struct Entry {
        QString key;   // case-folded: the sort and search key
        QString word;  // as first added
    };
    void AssignSortedUnique(std::vector<Entry> entries);
    std::vector<Entry>::const_iterator Find(const QString& key) const;

    std::vector<Entry> Entries;
};

// The 1-based position of a word's first character in a text, and its length in characters.
struct WordSpan {
    int position = 0;
    int length = 0;
    bool operator==(const WordSpan& other) const {
        return position == other.position && length == other.length;
    }
};

// The two lists of the running program; both exist from start to end.
WordList& MainDictionary();
WordList& UserDictionary();

// The main word list's file: "english.txt" in the program's folder.
QString MainDictionaryFile();
// Whether the main word list's file is there; the start-up asks about installing it when not.
bool MainDictionaryPresent();
QString UserDictionaryFile();
// Empties both lists and fills them from their files; a file that cannot be read leaves its list empty.
void LoadDictionaries();
// Writes UserDictionary to its file; false when that failed (callers at exit ignore it).
bool SaveUserDictionary();

bool IsKnownIn(const QString& word, const WordList& list);
// Known to MainDictionary by IsKnownIn, or else to UserDictionary.
bool IsKnownWord(const QString& word);
// Held as it stands by MainDictionary or UserDictionary.
bool InDictionary(const QString& candidate);
// The known words one letter edit away (substitution, deletion, insertion of a-z), in lower case,
// sorted, each once.
QStringList SuggestWords(const QString& word);
std::vector<WordSpan> SplitWords(const QString& text);

}  // namespace plovane
