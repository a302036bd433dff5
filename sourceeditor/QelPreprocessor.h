// sourceeditor/QelPreprocessor.h — the line-based preprocessor of the quick preview: variables
// such as $FileName$ and $Date$, and the directives #define, #undef and #include.
#pragma once
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace plovane {

// The most characters one run may produce, counting every line once its variables are replaced
// (directives and included lines too). Variables that grow beyond it, each #define doubling the one
// before, say, stop the run with an AbortCommand before the text can exhaust memory.
constexpr qsizetype MaxPreprocessedLength = qsizetype(1) << 24;

// Ordered (name, value) pairs; names compare without regard to letter case.
class VariableTable {
public:
    // Replaces the value in place when the name is there, else appends the pair.
    void Set(const QString& name, const QString& value);
    void Remove(const QString& name);
    int IndexOf(const QString& name) const;
    int Count() const { return static_cast<int>(Pairs.size()); }
    const QString& Name(int i) const { return Pairs[i].first; }
    const QString& Value(int i) const { return Pairs[i].second; }
    // Every name replaced by its value, letter case ignored, in table order. A line that would
    // grow beyond MaxPreprocessedLength characters abandons with an AbortCommand.
    QString Substitute(QString line) const;
    // As Substitute, but nothing when the line would grow beyond maxLength characters; the
    // replacements are measured before any of them is made.
    std::optional<QString> SubstituteWithin(QString line, qsizetype maxLength) const;

    // A table holding $Time$, $DateTime$ and $Date$ for now, in the current locale.
    static VariableTable WithDateAndTime();

private:
    std::vector<std::pair<QString, QString>> Pairs;
    QStringList FoldedNames;  // beside Pairs, for a quick look before a replace
};

// Runs the preprocessor over a text that belongs to fileName and gives the lines joined with CR LF
// after each. A file that cannot be included, or includes nested more than 16 deep, stop the run
// with an AbortCommand naming the file.
QString Preprocess(const QString& text, const QString& fileName);
// Processes the lines in place; includes are processed with the same table.
void PreprocessLines(QStringList& lines, VariableTable& table, const QString& fileName);

}  // namespace plovane
