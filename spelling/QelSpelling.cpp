#include "spelling/QelSpelling.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>

#include "platform/FilePlaces.h"
#include "platform/FileTests.h"

namespace plovane {

namespace {

QString DecodeWordFile(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = QString::fromLatin1(bytes);
    return text;
}

bool IsAsciiLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

bool IsAsciiDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

bool IsWordStart(QChar c) { return IsAsciiLetter(c) || IsAsciiDigit(c); }

bool IsWordPart(QChar c) {
    return IsWordStart(c) || c == QLatin1Char('\'') || c == QLatin1Char('-') || c == QLatin1Char('_');
}

}  // namespace

WordList WordList::FromWords(const QStringList& words) {
    std::vector<Entry> entries;
    entries.reserve(words.size());
    for (const QString& word : words) entries.push_back({word.toCaseFolded(), word});
    WordList list;
    list.AssignSortedUnique(std::move(entries));
    return list;
}

// Sorting once and keeping the first of equal words gives the same list as inserting the words one
// by one, without the quadratic cost of sorted insertion on a long file.
void WordList::AssignSortedUnique(std::vector<Entry> entries) {
    const auto byKey = [](const Entry& a, const Entry& b) { return a.key < b.key; };
    if (!std::is_sorted(entries.begin(), entries.end(), byKey))
        std::stable_sort(entries.begin(), entries.end(), byKey);
    const auto end = std::unique(entries.begin(), entries.end(),
                                 [](const Entry& a, const Entry& b) { return a.key == b.key; });
    entries.erase(end, entries.end());
    Entries = std::move(entries);
}

std::vector<WordList::Entry>::const_iterator WordList::Find(const QString& key) const {
    return std::lower_bound(Entries.begin(), Entries.end(), key,
                            [](const Entry& entry, const QString& k) { return entry.key < k; });
}

bool WordList::Contains(const QString& word) const {
    const QString key = word.toCaseFolded();
    const auto at = Find(key);
    return at != Entries.end() && at->key == key;
}

bool WordList::Add(const QString& word) {
    QString key = word.toCaseFolded();
    const auto at = Find(key);
    if (at != Entries.end() && at->key == key) return false;
    Entries.insert(Entries.begin() + (at - Entries.begin()), Entry{std::move(key), word});
    return true;
}

void WordList::Clear() { Entries.clear(); }

QStringList WordList::Words() const {
    QStringList words;
    words.reserve(Count());
    for (const Entry& entry : Entries) words.append(entry.word);
    return words;
}

bool WordList::LoadFromFile(const QString& path) {
    Entries.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QString text = DecodeWordFile(file.readAll());
    std::vector<Entry> entries;
    entries.reserve(text.size() / 8);
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n')) ++end;
        QString word = text.mid(start, end - start);
        entries.push_back({word.toCaseFolded(), std::move(word)});
        if (end < n && text[end] == QLatin1Char('\r') && end + 1 < n && text[end + 1] == QLatin1Char('\n'))
            ++end;
        start = end + 1;
    }
    AssignSortedUnique(std::move(entries));
    return true;
}

bool WordList::SaveToFile(const QString& path) const {
    QString text;
    for (const Entry& entry : Entries) text += entry.word + QStringLiteral("\r\n");
    const bool latin1 = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 256; });
    return WriteFileAtomically(path, latin1 ? text.toLatin1() : text.toUtf8());
}

WordList& MainDictionary() {
    static WordList list;
    return list;
}

WordList& UserDictionary() {
    static WordList list;
    return list;
}

QString MainDictionaryFile() { return ProgramFolderFile(QStringLiteral("english.txt")); }

bool MainDictionaryPresent() { return QFileInfo(MainDictionaryFile()).isFile(); }

QString UserDictionaryFile() { return UserDataFile(QStringLiteral("userdict.txt")); }

void LoadDictionaries() {
    MainDictionary().LoadFromFile(MainDictionaryFile());
    UserDictionary().LoadFromFile(UserDictionaryFile());
}

bool SaveUserDictionary() { return UserDictionary().SaveToFile(UserDictionaryFile()); }

bool IsKnownIn(const QString& word, const WordList& list) {
    if (word.size() < 2 || IsAsciiDigit(word[0]) || list.Contains(word)) return true;
    QString stripped;
    stripped.reserve(word.size());
    for (const QChar c : word)
        if (IsAsciiLetter(c)) stripped.append(c);
    if (stripped.size() < 2 || list.Contains(stripped)) return true;
    if (stripped.size() > 3 && (stripped.back() == QLatin1Char('s') || stripped.back() == QLatin1Char('S')))
        return list.Contains(stripped.chopped(1));
    return false;
}

bool IsKnownWord(const QString& word) {
    return IsKnownIn(word, MainDictionary()) || IsKnownIn(word, UserDictionary());
}

bool InDictionary(const QString& candidate) {
    return MainDictionary().Contains(candidate) || UserDictionary().Contains(candidate);
}

QStringList SuggestWords(const QString& word) {
    WordList found;
    const auto offer = [&found](const QString& candidate) {
        if (InDictionary(candidate)) found.Add(candidate.toLower());
    };
    const qsizetype n = word.size();
    QString candidate;
    for (qsizetype i = 0; i < n; ++i) {
        candidate = word;
        for (char16_t letter = 'a'; letter <= 'z'; ++letter) {
            candidate[i] = QChar(letter);
            offer(candidate);
        }
        offer(QString(word).remove(i, 1));
    }
    for (qsizetype i = 0; i <= n; ++i) {
        candidate = QString(word).insert(i, QLatin1Char('a'));
        for (char16_t letter = 'a'; letter <= 'z'; ++letter) {
            candidate[i] = QChar(letter);
            offer(candidate);
        }
    }
    return found.Words();
}

std::vector<WordSpan> SplitWords(const QString& text) {
    static const QString entities[] = {QStringLiteral("&nbsp;"), QStringLiteral("&quot;"),
                                       QStringLiteral("&amp;"),  QStringLiteral("&reg;"),
                                       QStringLiteral("&gt;"),   QStringLiteral("&lt;")};
    std::vector<WordSpan> spans;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (IsWordStart(text[i])) {
            const qsizetype start = i;
            while (i < n && IsWordPart(text[i])) ++i;
            spans.push_back({static_cast<int>(start + 1), static_cast<int>(i - start)});
            continue;
        }
        if (text[i] == QLatin1Char('&')) {
            const QStringView rest = QStringView(text).mid(i);
            const auto entity = std::find_if(std::begin(entities), std::end(entities), [&](const QString& e) {
                return rest.startsWith(e, Qt::CaseInsensitive);
            });
            if (entity != std::end(entities)) {
                i += entity->size();  // each entity text ends with its ";"
                continue;
            }
        }
        ++i;
    }
    return spans;
}

}  // namespace plovane
