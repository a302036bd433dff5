// engine/PageEncoding.h — page text to the bytes of its declared charset.
#pragma once
#include <QByteArray>
#include <QString>

namespace plovane {

// Encodes in the charset (iso-8859-1 when none is declared or the name is unknown); characters
// the charset cannot hold become numeric character references, so nothing is lost.
QByteArray EncodePageText(const QString& text, const QString& charset);

}  // namespace plovane
