// Directory listings from an FTP server, read both as an MLSD reply and as a LIST reply (UNIX and
// DOS lines), and each line also as a "257" reply carrying a quoted path.
#include <QDateTime>

#include "ftp/FtpListing.h"
#include "fuzz/FuzzSupport.h"

using namespace plovane;

namespace {

void CheckEntries(const QVector<FtpEntry>& entries) {
    for (const FtpEntry& entry : entries) {
        fuzz::Check(entry.Name != QLatin1String(".") && entry.Name != QLatin1String(".."),
                    "a listing never gives the folder itself or its parent");
        fuzz::Check(!entry.Name.contains(QLatin1Char('\n')), "a name never spans lines");
        fuzz::Check(!entry.IsDirectory || entry.Size == 0, "a folder has no size");
        fuzz::Check(!entry.Modified.isValid() || entry.Modified.timeSpec() == Qt::UTC,
                    "a modification time is in UTC");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray listing = fuzz::Bytes(data, size);
    const QDateTime now(QDate(2024, 3, 1), QTime(12, 0), Qt::UTC);
    CheckEntries(ParseListing(listing, true, now));
    CheckEntries(ParseListing(listing, false, now));
    for (const QByteArray& line : listing.split('\n')) {
        const QString text = QString::fromUtf8(line);
        const QString path = QuotedPathOf(text);
        fuzz::Check(path.isEmpty() || path.size() < text.size(), "a quoted path is shorter than its reply");
        if (IsPlainFileName(text))
            fuzz::Check(!text.contains(QLatin1Char('/')) && text != QLatin1String(".."),
                        "a plain file name leads nowhere else");
    }
    return 0;
}
