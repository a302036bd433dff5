#include "components/RtfReader.h"

#include <QColor>
#include <QHash>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QVector>
#include <algorithm>
#include <vector>

namespace plovane {

namespace {

enum class Destination { Body, FontTable, ColorTable, Skip };

struct CharacterFormat {
    int font = 0;
    int halfPoints = 24;
    int colour = -1;  // -1: the document's own text colour
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;

    bool operator==(const CharacterFormat& o) const {
        return font == o.font && halfPoints == o.halfPoints && colour == o.colour && bold == o.bold &&
               italic == o.italic && underline == o.underline && strike == o.strike;
    }
    bool operator!=(const CharacterFormat& o) const { return !(*this == o); }
};

struct GroupState {
    CharacterFormat format;
    Destination destination = Destination::Body;
    int unicodeSkip = 1;
};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class Reader {
public:
    Reader(const QByteArray& rtf, QTextDocument& document) : Rtf(rtf), Cursor(&document) {}

    void Run() {
        Stack.push_back(GroupState{});
        while (At < Rtf.size()) {
            const char c = Rtf[At++];
            switch (c) {
                case '{':
                    Stack.push_back(Stack.back());
                    GroupOpened = true;
                    continue;
                case '}':
                    CloseGroup();
                    break;
                case '\\':
                    ReadControl();
                    break;
                case '\r':
                case '\n':
                    break;
                default:
                    Character(QChar(static_cast<uchar>(c)));
                    break;
            }
            GroupOpened = false;
        }
        // The producer ends the last paragraph with \par, which opens no new paragraph of its own.
        PendingParagraphs = std::max(0, PendingParagraphs - 1);
        FlushParagraphs();
        Flush();
    }

private:
    GroupState& State() { return Stack.back(); }

    void CloseGroup() {
        if (State().destination == Destination::FontTable && !FontName.isEmpty()) CommitFont();
        if (Stack.size() > 1) Stack.pop_back();
    }

    void ReadControl() {
        if (At >= Rtf.size()) return;
        const char c = Rtf[At];
        if (!IsLetter(c)) {
            ++At;
            ControlSymbol(c);
            return;
        }
        const int start = At;
        while (At < Rtf.size() && IsLetter(Rtf[At])) ++At;
        const QByteArray word = Rtf.mid(start, At - start);
        bool hasParameter = false;
        bool negative = false;
        long long parameter = 0;
        if (At < Rtf.size() && Rtf[At] == '-' && At + 1 < Rtf.size() && IsDigit(Rtf[At + 1])) {
            negative = true;
            ++At;
        }
        while (At < Rtf.size() && IsDigit(Rtf[At])) {
            hasParameter = true;
            if (parameter < 100000000) parameter = parameter * 10 + (Rtf[At] - '0');
            ++At;
        }
        if (At < Rtf.size() && Rtf[At] == ' ') ++At;
        ControlWord(word, hasParameter, static_cast<int>(negative ? -parameter : parameter));
    }

    void ControlSymbol(char c) {
        switch (c) {
            case '\'': {
                const int high = At < Rtf.size() ? HexValue(Rtf[At]) : -1;
                const int low = At + 1 < Rtf.size() ? HexValue(Rtf[At + 1]) : -1;
                if (high < 0 || low < 0) return;
                At += 2;
                Character(QChar(high * 16 + low));
                return;
            }
            case '\\':
            case '{':
            case '}':
                Character(QLatin1Char(c));
                return;
            case '~':
                Character(QChar(0xa0));
                return;
            case '*':
                if (GroupOpened) State().destination = Destination::Skip;
                return;
            case '\r':
            case '\n':
                Paragraph();
                return;
            default:
                return;
        }
    }

    void ControlWord(const QByteArray& word, bool hasParameter, int parameter) {
        GroupState& state = State();
        const bool on = !hasParameter || parameter != 0;
        if (state.destination == Destination::Skip) return;
        if (word == "fonttbl") {
            state.destination = Destination::FontTable;
        } else if (word == "colortbl") {
            state.destination = Destination::ColorTable;
            Red = Green = Blue = 0;
        } else if (word == "stylesheet" || word == "info" || word == "pict" || word == "header" ||
                   word == "footer" || word == "object") {
            state.destination = Destination::Skip;
        } else if (state.destination == Destination::FontTable) {
            if (word == "f") {
                if (!FontName.isEmpty()) CommitFont();
                FontNumber = parameter;
            }
        } else if (state.destination == Destination::ColorTable) {
            const int part = std::clamp(parameter, 0, 255);
            if (word == "red") Red = part;
            if (word == "green") Green = part;
            if (word == "blue") Blue = part;
        } else if (word == "plain") {
            state.format = CharacterFormat{};
        } else if (word == "f") {
            state.format.font = parameter;
        } else if (word == "fs") {
            if (parameter > 0) state.format.halfPoints = std::min(parameter, 3276);
        } else if (word == "cf") {
            state.format.colour = parameter;
        } else if (word == "b") {
            state.format.bold = on;
        } else if (word == "i") {
            state.format.italic = on;
        } else if (word == "ul") {
            state.format.underline = on;
        } else if (word == "ulnone") {
            state.format.underline = false;
        } else if (word == "strike") {
            state.format.strike = on;
        } else if (word == "par") {
            Paragraph();
        } else if (word == "line") {
            Character(QChar::LineSeparator);
        } else if (word == "tab") {
            Character(QLatin1Char('\t'));
        } else if (word == "uc") {
            state.unicodeSkip = std::clamp(parameter, 0, 8);
        } else if (word == "u" && hasParameter) {
            Character(QChar(static_cast<char16_t>(parameter < 0 ? parameter + 65536 : parameter)));
            SkipFallback = state.unicodeSkip;
        }
    }

    void Character(QChar c) {
        if (SkipFallback > 0) {
            --SkipFallback;
            return;
        }
        switch (State().destination) {
            case Destination::Skip:
                return;
            case Destination::FontTable:
                if (c == QLatin1Char(';'))
                    CommitFont();
                else
                    FontName += c;
                return;
            case Destination::ColorTable:
                if (c == QLatin1Char(';')) {
                    Colours.append(QColor(Red, Green, Blue));
                    Red = Green = Blue = 0;
                }
                return;
            case Destination::Body:
                break;
        }
        FlushParagraphs();
        if (!Pending.isEmpty() && RunFormat != State().format) Flush();
        RunFormat = State().format;
        Pending += c;
    }

    void Paragraph() {
        if (State().destination == Destination::Body) ++PendingParagraphs;
    }

    void FlushParagraphs() {
        if (PendingParagraphs == 0) return;
        Pending += QString(PendingParagraphs, QLatin1Char('\n'));
        PendingParagraphs = 0;
    }

    void CommitFont() {
        Fonts.insert(FontNumber, FontName.trimmed());
        FontName.clear();
    }

    void Flush() {
        if (Pending.isEmpty()) return;
        Cursor.insertText(Pending, TextFormat(RunFormat));
        Pending.clear();
    }

    // A page coloured by syntax uses a handful of formats many times over; each is built once.
    const QTextCharFormat& TextFormat(const CharacterFormat& wanted) {
        for (const auto& [known, format] : Formats)
            if (known == wanted) return format;
        QTextCharFormat format;
        if (const auto font = Fonts.constFind(wanted.font); font != Fonts.constEnd() && !font->isEmpty())
            format.setFontFamilies({*font});
        format.setFontPointSize(wanted.halfPoints / 2.0);
        if (wanted.colour >= 0 && wanted.colour < Colours.size())
            format.setForeground(Colours[wanted.colour]);
        format.setFontWeight(wanted.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(wanted.italic);
        format.setFontUnderline(wanted.underline);
        format.setFontStrikeOut(wanted.strike);
        Formats.emplace_back(wanted, format);
        return Formats.back().second;
    }

    const QByteArray& Rtf;
    qsizetype At = 0;
    QTextCursor Cursor;
    std::vector<GroupState> Stack;
    bool GroupOpened = false;
    int SkipFallback = 0;

    QHash<int, QString> Fonts;
    int FontNumber = 0;
    QString FontName;
    QVector<QColor> Colours;
    int Red = 0, Green = 0, Blue = 0;

    QString Pending;  // text in RunFormat not yet inserted
    std::vector<std::pair<CharacterFormat, QTextCharFormat>> Formats;
    CharacterFormat RunFormat;
    int PendingParagraphs = 0;
};

}  // namespace

void ReadRTF(const QByteArray& rtf, QTextDocument& document) {
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    Reader(rtf, document).Run();
    document.setUndoRedoEnabled(undo);
}

}  // namespace plovane
