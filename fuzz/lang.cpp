// The interface-language file "lang.txt", read from a file as the program reads it at start. Every
// line's text also makes the escape round trip the file's texts rely on.
#include "fuzz/FuzzSupport.h"
#include "platform/Translation.h"

using namespace plovane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QString path = fuzz::ScratchFolder() + QStringLiteral("/lang.txt");
    if (!fuzz::WriteScratchFile(path, bytes)) return 0;
    const LanguageTable table = LanguageTable::FromFile(path);

    for (const QString& line : QString::fromUtf8(bytes).split(QLatin1Char('\n'))) {
        fuzz::Check(UnescapeText(EscapeText(line)) == line, "unescaping undoes escaping");
        table.Lookup(QStringLiteral("STRING_TABLE"), line);
    }
    return 0;
}
