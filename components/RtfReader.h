// components/RtfReader.h — a small Rich Text Format reader for the text the RTF producer writes:
// font and colour tables, \plain \f \fs \cf \b \i \ul \strike (each with an optional 0 to turn it
// off), \par, \'hh, \uN and the escaped \\ \{ \}. Other control words and {\* ...} groups are passed
// over, so a richer file still shows its text.
#pragma once
#include <QByteArray>

class QTextDocument;

namespace plovane {

// Replaces the document's contents with the text and character formats of the RTF text. Malformed
// input never fails; whatever can be read is shown.
void ReadRTF(const QByteArray& rtf, QTextDocument& document);

}  // namespace plovane
