// dom/QelHTMLText.h — markup text built by hand (attributes, start tags, PARAM tags), URL decoding,
// letter case of selected HTML, and the small plain-text helpers used across the program.
// Nothing here touches the engine.
#pragma once
#include <QString>

namespace plovane {

// Unchanged when made only of ASCII letters, digits, '-', '.' and '_' (the empty text too);
// otherwise between double quotes, inner quotes left as they are.
QString QuoteAttrValue(const QString& value);
// " name=value" with both quoted as needed; " name" for an empty value; "" for an empty name.
QString AttrText(const QString& name, const QString& value);
// "<tag attributes>"; "" for an empty tag. Attribute texts from AttrText bring their own blank.
QString StartTagText(const QString& tag, const QString& attributes);
// "<PARAM name=" + name + " value=" + QuoteAttrValue(value) + ">"; the name is never quoted.
QString ParamTagText(const QString& name, const QString& value);

// "%%" gives "%", "%hh" the byte hh, "+" a blank. The bytes are read as UTF-8 where they form it
// (file names on this system are UTF-8), otherwise as Latin-1. A "%" among the last two characters
// stays as it is; a "%" followed by two characters that are not hex digits abandons the command.
QString UrlDecode(const QString& text);

// The letter case commands' text step: ASCII letters only, markup included; "&nbsp;" stays lower case.
QString UpperCaseHtml(const QString& html);
QString LowerCaseHtml(const QString& html);

// Length 0 (blanks are text).
bool IsEmptyText(const QString& text);
QString ReplaceAllNoCase(const QString& text, const QString& from, const QString& to);
// The first of "{1}", "{2}", ... that does not occur in the text.
QString FreePlaceholder(const QString& text);

struct SplitText {
    int position = 0;  // of the first occurrence, from 1; 0 when absent
    QString before;    // the whole text when absent
    QString after;     // the whole text when absent
};
SplitText SplitAtChar(const QString& text, QChar separator);

// Creates or overwrites the file with the text (UTF-8), nothing added; abandons when it cannot.
void SaveTextToFile(const QString& text, const QString& path);

// "" unless the text begins with the quote; else what follows up to the next lone quote (or the
// end), a doubled quote standing for one.
QString ExtractQuotedText(const QString& text, QChar quote);

}  // namespace plovane
