// platform/Translation.h — interface-text translation from "lang.txt": a table of sections, each
// mapping an English text (in escaped form) to its translation.
#pragma once
#include <QHash>
#include <QString>

class QObject;
class QWidget;

namespace plovane {

// C-style escaped form: \a \b \t \n \v \f \r for 7..13, \" and \\, \xHH for other characters below 32.
QString EscapeText(const QString& text);
// The reverse; also accepts octal digits, \? and \' after a backslash.
QString UnescapeText(const QString& text);

class LanguageTable {
public:
    // Reads a language file; a missing or unreadable file leaves the table empty.
    static LanguageTable FromFile(const QString& path);
    static LanguageTable FromText(const QString& text);

    // The translation (escaped form) of an escaped English text, or an empty text when there is none.
    QString Lookup(const QString& section, const QString& escapedEnglish) const;
    bool IsEmpty() const { return Sections.isEmpty(); }

private:
    QHash<QString, QHash<QString, QString>> Sections;
};

// The process-wide table, filled once at start from the program folder's "lang.txt".
const LanguageTable& CurrentLanguage();
void SetLanguage(LanguageTable table);
void LoadLanguageFile();

// The translation of a text in a section ("STRING_TABLE" for messages), or the text itself.
QString Translate(const QString& text, const QString& section);

// Translates a window and every component it owns, recursively; the section is the class name of
// the window that owns the component.
void TranslateComponents(QWidget* window);
// The application object's texts (its title), section "Application".
void TranslateApplication();

// A class name without its namespace ("TFormAboutBox" for plovane::TFormAboutBox).
QString PlainClassName(const QObject* object);

}  // namespace plovane
