// sourceeditor/QelRTF.h — builds Rich Text Format from pieces of plain text, each in the producer's
// current font, and shows HTML coloured by syntax in a read-only rich text box.
#pragma once
#include <QColor>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>

class QBuffer;
class QFont;
class QIODevice;
class QTextEdit;

namespace plovane {

// The producer's font: what an RTF font group needs. Every real change is reported to the owner.
class TRTFFont {
public:
    QString Name() const { return FontName; }
    int Charset() const { return FontCharset; }
    int Size() const { return PointSize; }  // whole points
    QColor Color() const { return FontColor; }
    bool Bold() const { return IsBold; }
    bool Italic() const { return IsItalic; }
    bool Underline() const { return IsUnderline; }
    bool StrikeOut() const { return IsStrikeOut; }

    void SetName(const QString& name);
    void SetCharset(int charset);
    void SetSize(int points);
    void SetColor(const QColor& color);
    void SetBold(bool on);
    void SetItalic(bool on);
    void SetUnderline(bool on);
    void SetStrikeOut(bool on);
    // Name, size and style of a Qt font; the colour and character set stay.
    void Assign(const QFont& font);

private:
    friend class TJclRTFProducer;
    template <typename T>
    void Set(T& field, const T& value);

    QString FontName = QStringLiteral("MS Sans Serif");
    int FontCharset = 1;  // the default character set
    int PointSize = 8;
    QColor FontColor = Qt::black;
    bool IsBold = false;
    bool IsItalic = false;
    bool IsUnderline = false;
    bool IsStrikeOut = false;
    std::function<void()> Changed;
};

class TJclRTFProducer {
public:
    explicit TJclRTFProducer(int capacity = 0);
    TJclRTFProducer(const TJclRTFProducer&) = delete;
    TJclRTFProducer& operator=(const TJclRTFProducer&) = delete;
    ~TJclRTFProducer();

    // Empties the body and both tables and drops the stream; the capacity is only a hint.
    void ResetProducer(int capacity = 0);
    TRTFFont& Font() { return CurrentFont; }
    void AddText(const QString& text);
    QString GetRTF() const;
    // A stream over GetRTF(), kept by the producer until the next call or its end.
    QIODevice* GetRTFStream();
    int ColorIndex(const QColor& color);
    int FontIndex(const QString& name, int charset);

private:
    int CodePage = 0;
    QVector<QColor> ColorTable;
    TRTFFont CurrentFont;
    bool FontChanged = true;
    QStringList FontNames;
    QVector<int> FontCharsets;
    std::unique_ptr<QBuffer> Stream;
    QString Body;
};

// The code page the producer declares: Windows Latin 1, whose upper half holds the characters 128 to
// 255 that the producer writes as \'hh.
int AnsiCodePage();

// Shows the HTML in the box coloured by syntax: text black, "<" and ">" navy, tag names purple and
// bold, attribute names red, "=" green, values blue. The box becomes read-only.
void ShowHTMLColoured(QTextEdit* box, const QString& html);

}  // namespace plovane
