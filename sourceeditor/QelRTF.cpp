#include "sourceeditor/QelRTF.h"

#include <QBuffer>
#include <QFont>
#include <QTextEdit>
#include <cmath>

#include "components/RtfReader.h"

namespace plovane {

namespace {

const char HexDigits[] = "0123456789abcdef";

void AppendConverted(QString& out, const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\t' || (u >= 128 && u <= 255)) {
            out += QLatin1String("\\'");
            out += QLatin1Char(HexDigits[u >> 4]);
            out += QLatin1Char(HexDigits[u & 15]);
        } else if (u > 255) {
            // Beyond one byte: a Unicode escape with "?" for readers that do not know it, rather
            // than losing the character.
            out += QStringLiteral("\\u%1?").arg(static_cast<int>(static_cast<int16_t>(u)));
        } else if (u == '\n') {
            out += QLatin1String("\\par \r\n");
        } else if (u < 32) {
            continue;
        } else if (u == '\\' || u == '{' || u == '}') {
            out += QLatin1Char('\\');
            out += c;
        } else {
            out += c;
        }
    }
}

}  // namespace

template <typename T>
void TRTFFont::Set(T& field, const T& value) {
    if (field == value) return;
    field = value;
    if (Changed) Changed();
}

void TRTFFont::SetName(const QString& name) { Set(FontName, name); }
void TRTFFont::SetCharset(int charset) { Set(FontCharset, charset); }
void TRTFFont::SetSize(int points) { Set(PointSize, points); }
void TRTFFont::SetColor(const QColor& color) { Set(FontColor, color); }
void TRTFFont::SetBold(bool on) { Set(IsBold, on); }
void TRTFFont::SetItalic(bool on) { Set(IsItalic, on); }
void TRTFFont::SetUnderline(bool on) { Set(IsUnderline, on); }
void TRTFFont::SetStrikeOut(bool on) { Set(IsStrikeOut, on); }

void TRTFFont::Assign(const QFont& font) {
    SetName(font.family());
    const int points = font.pointSizeF() > 0 ? static_cast<int>(std::lround(font.pointSizeF()))
                                             : static_cast<int>(std::lround(font.pixelSize() * 72.0 / 96.0));
    SetSize(points);
    SetBold(font.bold());
    SetItalic(font.italic());
    SetUnderline(font.underline());
    SetStrikeOut(font.strikeOut());
}

int AnsiCodePage() { return 1252; }

TJclRTFProducer::TJclRTFProducer(int capacity) {
    CurrentFont.Changed = [this] { FontChanged = true; };
    ResetProducer(capacity);
}

TJclRTFProducer::~TJclRTFProducer() = default;

void TJclRTFProducer::ResetProducer(int capacity) {
    CodePage = AnsiCodePage();
    FontChanged = true;
    Body.clear();
    Body.reserve(capacity);
    ColorTable.clear();
    FontNames.clear();
    FontCharsets.clear();
    Stream.reset();
}

int TJclRTFProducer::ColorIndex(const QColor& color) {
    const QRgb rgb = color.rgb();
    for (int i = 0; i < ColorTable.size(); ++i)
        if (ColorTable[i].rgb() == rgb) return i;
    ColorTable.append(color);
    return ColorTable.size() - 1;
}

int TJclRTFProducer::FontIndex(const QString& name, int charset) {
    for (int i = 0; i < FontNames.size(); ++i)
        if (FontNames[i] == name && FontCharsets[i] == charset) return i;
    FontNames.append(name);
    FontCharsets.append(charset);
    return FontNames.size() - 1;
}

void TJclRTFProducer::AddText(const QString& text) {
    if (FontChanged) {
        const int font = FontIndex(CurrentFont.Name(), CurrentFont.Charset());
        const int colour = ColorIndex(CurrentFont.Color());
        Body += QStringLiteral("\\plain\\f%1\\fs%2\\cf%3").arg(font).arg(CurrentFont.Size() * 2).arg(colour);
        if (CurrentFont.Bold()) Body += QLatin1String("\\b");
        if (CurrentFont.Italic()) Body += QLatin1String("\\i");
        if (CurrentFont.Underline()) Body += QLatin1String("\\ul");
        if (CurrentFont.StrikeOut()) Body += QLatin1String("\\strike");
        Body += QLatin1Char(' ');
        FontChanged = false;
    }
    AppendConverted(Body, text);
}

QString TJclRTFProducer::GetRTF() const {
    QString rtf = QStringLiteral("{\\rtf1\\ansi\\ansicpg%1\\deff0\\deftab720{\\fonttbl").arg(CodePage);
    for (int i = 0; i < FontNames.size(); ++i) {
        rtf += QStringLiteral("{\\f%1\\fcharset%2 ").arg(i).arg(FontCharsets[i]);
        AppendConverted(rtf, FontNames[i]);
        rtf += QLatin1String(";}");
    }
    rtf += QLatin1String("}{\\colortbl");
    for (const QColor& colour : ColorTable)
        rtf += QStringLiteral("\\red%1\\green%2\\blue%3;")
                   .arg(colour.red())
                   .arg(colour.green())
                   .arg(colour.blue());
    rtf += QLatin1Char('}');
    rtf += Body;
    rtf += QLatin1String("\\par }");
    return rtf;
}

QIODevice* TJclRTFProducer::GetRTFStream() {
    Stream.reset();
    auto stream = std::make_unique<QBuffer>();
    stream->setData(GetRTF().toLatin1());  // every character above 127 has been escaped
    stream->open(QIODevice::ReadOnly);
    Stream = std::move(stream);
    return Stream.get();
}

namespace {

// Colours by syntax while walking the HTML; p is the reading position.
class HtmlColourer {
public:
    HtmlColourer(TJclRTFProducer& producer, const QString& html) : Producer(producer), Html(html) {}

    void Run() {
        while (!AtEnd()) {
            Emit(Qt::black, UpTo([](QChar c) { return c == QLatin1Char('<'); }));
            if (AtEnd()) return;
            Emit(Navy, Take(1));
            Producer.Font().SetBold(true);
            Emit(Purple, UpTo([](QChar c) { return c.unicode() < 33 || c == QLatin1Char('>'); }));
            Producer.Font().SetBold(false);
            while (!AtEnd() && Html[P] != QLatin1Char('>')) Attribute();
            if (!AtEnd()) Emit(Navy, Take(1));
        }
    }

private:
    void Attribute() {
        Emit(Red, UpTo([](QChar c) { return c == QLatin1Char('=') || c == QLatin1Char('>'); }));
        if (AtEnd() || Html[P] != QLatin1Char('=')) return;
        const qsizetype start = P++;
        while (!AtEnd() && Html[P].unicode() >= 1 && Html[P].unicode() <= 32) ++P;
        Emit(Green, Html.mid(start, P - start));
        if (!AtEnd() && Html[P] == QLatin1Char('"')) {
            const qsizetype open = P++;
            while (!AtEnd() && Html[P] != QLatin1Char('"') && Html[P] != QLatin1Char('>')) ++P;
            if (!AtEnd() && Html[P] == QLatin1Char('"')) ++P;
            Emit(Blue, Html.mid(open, P - open));
        } else {
            Emit(Blue, UpTo([](QChar c) { return c.unicode() <= 32 || c == QLatin1Char('>'); }));
        }
    }

    bool AtEnd() const { return P >= Html.size(); }

    template <typename Stop>
    QString UpTo(Stop stop) {
        const qsizetype start = P;
        while (!AtEnd() && !stop(Html[P])) ++P;
        return Html.mid(start, P - start);
    }

    QString Take(qsizetype n) {
        const QString taken = Html.mid(P, n);
        P += n;
        return taken;
    }

    void Emit(const QColor& colour, const QString& text) {
        Producer.Font().SetColor(colour);
        Producer.AddText(text);
    }

    const QColor Navy{0, 0, 128};
    const QColor Purple{128, 0, 128};
    const QColor Red{255, 0, 0};
    const QColor Green{0, 128, 0};
    const QColor Blue{0, 0, 255};

    TJclRTFProducer& Producer;
    const QString& Html;
    qsizetype P = 0;
};

}  // namespace

void ShowHTMLColoured(QTextEdit* box, const QString& html) {
    TJclRTFProducer producer(html.size() * 2);
    producer.Font().Assign(box->font());
    HtmlColourer(producer, html).Run();
    box->setReadOnly(true);
    ReadRTF(producer.GetRTFStream()->readAll(), *box->document());
}

}  // namespace plovane
