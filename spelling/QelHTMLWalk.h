// spelling/QelHTMLWalk.h — a one-pass reader of HTML text that splits it into text runs, comments
// and tags with their attributes and calls a hook for each piece. It builds no tree and never fails
// on bad markup.
#pragma once
#include <QString>
#include <vector>

#include "spelling/QelSpelling.h"

namespace plovane {

class THTMLWalk {
public:
    virtual ~THTMLWalk() = default;

    void Walk(const QString& text);
    // Reads one text run, comment or tag; false at the end of the text.
    bool Step();
    // 1-based position of the reading position in the text.
    int Position() const { return Cursor - TextBase + 1; }
    bool IsTag(const QString& name) const;

    const QString& PlainTextRead() const { return PlainText; }

protected:
    // Slot order; none of them does anything here.
    virtual void OnTag() {}
    virtual void OnTagBegin() {}
    virtual void OnTagEnd() {}
    virtual void OnTextBegin() {}
    virtual void OnText() {}
    virtual void OnAttrBegin() {}
    virtual void OnAttrName() {}
    virtual void OnAttrValue() {}
    virtual void OnAttrEnd() {}

    // Positions are 0-based offsets into Text.
    int TokenStart = 0;
    int Cursor = 0;
    int TextBase = 0;
    int TagPosition = 0;  // 1-based position of the "<" of the current tag or comment
    QString TagName;      // as written, with its leading "/", "!" or "?"
    QString AttrName;
    QString AttrValue;  // without quotes; empty when the attribute has none
    QString TextRun;
    QString PlainText;  // every text run so far, each followed by one space
    QString Text;

private:
    bool AtEnd() const { return Cursor >= Text.size(); }
    QChar Current() const { return Text[Cursor]; }
    bool AtSpace() const;
    bool AtTagStart() const;
    void SkipSpaces();
    // Reads up to the end or the first character for which stop is true.
    template <typename Stop>
    QString ReadUntil(Stop stop);
};

// Collects the words of the text runs that neither dictionary knows, leaving out script and style
// content, comments, tag names and attribute values.
class THTMLSpellCheck : public THTMLWalk {
public:
    const std::vector<WordSpan>& Found() const { return Misspellings; }

protected:
    void OnTag() override;
    void OnTextBegin() override;
    void OnText() override;

private:
    bool InScriptOrStyle = false;
    int RunStart = 0;
    std::vector<WordSpan> Misspellings;
};

// Spans of the unknown words, 1-based in the given text, in text order.
std::vector<WordSpan> FindMisspellings(const QString& text);

}  // namespace plovane
