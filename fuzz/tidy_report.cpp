// Report lines of a Tidy run: any text is taken apart as a report line, and a report line made from
// the input's numbers and text gives those numbers back.
#include <cstring>

#include "fuzz/FuzzSupport.h"
#include "tidy/TidyRun.h"

using namespace plovane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    ParseReportLine(QString::fromUtf8(bytes));

    if (size < 2 * sizeof(qint32)) return 0;
    qint32 numbers[2];
    std::memcpy(numbers, data, sizeof numbers);
    const int line = numbers[0] & 0x7fffffff;  // Tidy counts from 1; never negative
    const int column = numbers[1] & 0x7fffffff;
    const QString message = QString::fromUtf8(bytes.mid(sizeof numbers));
    const auto parsed = ParseReportLine(TidyReportLine(TidyWarning, line, column, message));
    fuzz::Check(parsed.has_value(), "a report line of Tidy's form is recognised");
    fuzz::Check(parsed->line == line && parsed->column == column, "a report line gives back its position");
    return 0;
}
