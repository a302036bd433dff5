// Addresses: taken apart by the URL cracker and the Open URL dialog's fields, normalised, and
// decoded as a page's path.
#include "dom/QelHTMLText.h"
#include "fuzz/FuzzSupport.h"
#include "platform/Errors.h"
#include "web/QelURI.h"

using namespace plovane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString url = QString::fromUtf8(fuzz::Bytes(data, size));
    UrlScheme(url);
    UrlHostName(url);
    UrlPath(url);
    UrlFileName(url);
    IsAvailableOffline(url);
    const UrlFields normal = NormalizeUrl(SplitUrl(url));
    fuzz::Check(!normal.host.isEmpty(), "a normalised address has a host");
    try {
        ComposeUrl(normal);
    } catch (const AbortCommand&) {
        // A text that is no URL keeps no protocol; the dialog says so when it is confirmed.
    }

    try {
        const QString decoded = UrlDecode(url);
        fuzz::Check(decoded.size() <= url.size(), "decoding never makes an address longer");
        if (!url.contains(QLatin1Char('%')) && !url.contains(QLatin1Char('+')))
            fuzz::Check(decoded == url, "an address without escapes decodes to itself");
    } catch (const AbortCommand&) {
        fuzz::Check(url.contains(QLatin1Char('%')), "only a malformed escape abandons decoding");
    }
    return 0;
}
