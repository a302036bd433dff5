#include "spelling/QelHTMLWalk.h"

namespace plovane {

namespace {

bool IsSpace(QChar c) { return c.unicode() >= 1 && c.unicode() <= 32; }

bool IsAsciiLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

}  // namespace

void THTMLWalk::Walk(const QString& text) {
    Text = text;
    PlainText.clear();
    TextBase = 0;
    Cursor = 0;
    while (Step()) {
    }
}

bool THTMLWalk::IsTag(const QString& name) const { return TagName.compare(name, Qt::CaseInsensitive) == 0; }

bool THTMLWalk::AtSpace() const { return !AtEnd() && IsSpace(Current()); }

bool THTMLWalk::AtTagStart() const {
    if (AtEnd() || Current() != QLatin1Char('<') || Cursor + 1 >= Text.size()) return false;
    const QChar next = Text[Cursor + 1];
    return next == QLatin1Char('!') || next == QLatin1Char('/') || next == QLatin1Char('?') ||
           IsAsciiLetter(next);
}

void THTMLWalk::SkipSpaces() {
    while (AtSpace()) ++Cursor;
}

template <typename Stop>
QString THTMLWalk::ReadUntil(Stop stop) {
    const int start = Cursor;
    while (!AtEnd() && !stop(Current())) ++Cursor;
    return Text.mid(start, Cursor - start);
}

bool THTMLWalk::Step() {
    if (AtEnd()) return false;

    if (!AtTagStart()) {
        OnTextBegin();
        TokenStart = Cursor;
        ++Cursor;  // the first character is not a tag start, so it belongs to the run
        while (!AtEnd() && !AtTagStart()) ++Cursor;
        TextRun = Text.mid(TokenStart, Cursor - TokenStart);
        PlainText += TextRun + QLatin1Char(' ');
        OnText();
        return true;
    }

    TagPosition = Position();
    if (QStringView(Text).mid(Cursor).startsWith(QLatin1String("<!--"))) {
        TokenStart = Cursor;
        const int close = Text.indexOf(QLatin1String("-->"), Cursor);
        Cursor = close < 0 ? Text.size() : close + 3;
        return true;
    }

    OnTagBegin();
    ++Cursor;
    TagName = ReadUntil([](QChar c) { return IsSpace(c) || c == QLatin1Char('>'); });
    OnTag();
    SkipSpaces();

    while (!AtEnd() && Current() != QLatin1Char('>')) {
        OnAttrBegin();
        AttrName =
            ReadUntil([](QChar c) { return IsSpace(c) || c == QLatin1Char('>') || c == QLatin1Char('='); });
        AttrValue.clear();
        OnAttrName();
        SkipSpaces();
        if (!AtEnd() && Current() == QLatin1Char('=')) {
            ++Cursor;
            SkipSpaces();
            if (!AtEnd() && (Current() == QLatin1Char('"') || Current() == QLatin1Char('\''))) {
                const QChar quote = Current();
                ++Cursor;
                AttrValue = ReadUntil([quote](QChar c) { return c == quote; });
                OnAttrValue();
                if (!AtEnd()) ++Cursor;
            } else {
                AttrValue = ReadUntil([](QChar c) { return IsSpace(c) || c == QLatin1Char('>'); });
                OnAttrValue();
            }
            SkipSpaces();
        }
        OnAttrEnd();
    }

    if (!AtEnd()) ++Cursor;
    OnTagEnd();
    return true;
}

void THTMLSpellCheck::OnTag() {
    if (IsTag(QStringLiteral("script")) || IsTag(QStringLiteral("style")))
        InScriptOrStyle = true;
    else if (IsTag(QStringLiteral("/script")) || IsTag(QStringLiteral("/style")))
        InScriptOrStyle = false;
}

void THTMLSpellCheck::OnTextBegin() { RunStart = Position(); }

void THTMLSpellCheck::OnText() {
    if (InScriptOrStyle) return;
    for (const WordSpan& span : SplitWords(TextRun)) {
        const int position = span.position + RunStart - 1;
        if (!IsKnownWord(Text.mid(position - 1, span.length)))
            Misspellings.push_back({position, span.length});
    }
}

std::vector<WordSpan> FindMisspellings(const QString& text) {
    THTMLSpellCheck check;
    check.Walk(text);
    return check.Found();
}

}  // namespace plovane
