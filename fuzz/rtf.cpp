// Rich Text Format: the bytes are read as RTF into a text document. Taken as UTF-8 text, they also
// go through the coloured HTML view (the RTF producer, then the reader), which must show the text
// the producer can carry unchanged.
#include <QTextDocument>
#include <QTextEdit>

#include "components/RtfReader.h"
#include "fuzz/FuzzSupport.h"
#include "sourceeditor/QelRTF.h"

using namespace plovane;

namespace {

// Characters a text document stores as structure rather than as text.
bool HasDocumentStructure(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\r' || u == QChar::ParagraphSeparator || u == QChar::LineSeparator || u == 0xfdd0 ||
            u == 0xfdd1 || u == QChar::ObjectReplacementCharacter)
            return true;
    }
    return false;
}

// The text as the producer carries it: control characters other than tab and line feed are left out.
QString CarriedText(const QString& text) {
    QString carried;
    for (const QChar c : text)
        if (c.unicode() >= 32 || c == QLatin1Char('\t') || c == QLatin1Char('\n')) carried += c;
    return carried;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::EnsureApplication();
    const QByteArray bytes = fuzz::Bytes(data, size);
    QTextDocument document;
    ReadRTF(bytes, document);

    const QString html = QString::fromUtf8(bytes);
    if (HasDocumentStructure(html)) return 0;
    QTextEdit box;
    ShowHTMLColoured(&box, html);
    QString shown = box.document()->toRawText();
    shown.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    fuzz::Check(shown == CarriedText(html), "the coloured view shows the text it was given");
    return 0;
}
