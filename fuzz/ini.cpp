// Settings files in the shared INI format: any bytes give a document, and writing that document
// and reading it again gives the same document.
#include "fuzz/FuzzSupport.h"
#include "platform/IniFile.h"

using namespace plovane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const IniDocument document = ParseIni(fuzz::Bytes(data, size));
    const QByteArray written = WriteIni(document);
    fuzz::Check(ParseIni(written) == document, "a written document reads back the same");
    fuzz::Check(WriteIni(ParseIni(written)) == written, "a written document is written the same again");
    return 0;
}
