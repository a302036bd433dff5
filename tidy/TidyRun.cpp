#include "tidy/TidyRun.h"

#include <tidy/tidybuffio.h>

#include <QStringList>
#include <tuple>

#include "platform/Errors.h"
#include "platform/Translation.h"

namespace plovane {

namespace {

const QString kStringTable = QStringLiteral("STRING_TABLE");

// Debian's libtidy keeps its assertions: an enum option (indent, uppercase-attributes,
// fix-bad-comments) must be set as a number and a plain flag as a flag, or the library aborts.
bool SetYesNo(TidyDoc document, TidyOptionId id, bool on) {
    const TidyOption option = tidyGetOption(document, id);
    if (!option) return false;
    if (tidyOptGetType(option) == TidyBoolean) return tidyOptSetBool(document, id, on ? yes : no);
    if (tidyOptGetType(option) == TidyInteger) return tidyOptSetInt(document, id, on ? 1 : 0);
    return false;
}

bool SetNumber(TidyDoc document, TidyOptionId id, ulong value) {
    const TidyOption option = tidyGetOption(document, id);
    return option && tidyOptGetType(option) == TidyInteger && tidyOptSetInt(document, id, value);
}

bool SetText(TidyDoc document, TidyOptionId id, const QString& value) {
    return tidyOptSetValue(document, id, value.toUtf8().constData());
}

ulong WrapWidth(const QString& text) {
    bool ok = false;
    const uint width = text.toUInt(&ok);
    if (!ok) RaiseMessage(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return width;
}

// The chain after drop-proprietary-attributes: each step answers whether Tidy took the value.
bool ApplyChain(TidyDoc document, const TidyOptions& options) {
    const std::pair<TidyOptionId, bool> flags[] = {
        {TidyBreakBeforeBR, options.breakBeforeBR},
        {TidyMakeBare, options.makeBare},
        {TidyMakeClean, options.makeClean},
        {TidyWord2000, options.word2000},
        {TidyIndentContent, options.indent},
        {TidyUpperCaseTags, options.upperCaseTags},
        {TidyUpperCaseAttrs, options.upperCaseAttributes},
        {TidyDropEmptyParas, options.dropEmptyParas},
        {TidyFixComments, options.fixComments},
        {TidyFixUri, options.fixUri},
        {TidyMark, options.tidyMark},
    };
    for (const auto& [id, on] : flags)
        if (!SetYesNo(document, id, on)) return false;

    if (options.wrapEnabled) {
        if (!SetNumber(document, TidyWrapLen, WrapWidth(options.wrapWidth))) return false;
        const std::pair<TidyOptionId, bool> wraps[] = {
            {TidyWrapAttVals, options.wrapAttributes},
            {TidyWrapAsp, options.wrapAsp},
            {TidyWrapPhp, options.wrapPhp},
            {TidyWrapJste, options.wrapJste},
            {TidyWrapScriptlets, options.wrapScriptLiterals},
            {TidyWrapSection, options.wrapSections},
        };
        for (const auto& [id, on] : wraps)
            if (!SetYesNo(document, id, on)) return false;
    } else if (!SetNumber(document, TidyWrapLen, 0)) {
        return false;
    }

    if (options.altTextEnabled && !SetText(document, TidyAltText, options.altText)) return false;
    if (options.tabSize && !SetNumber(document, TidyTabSize, ulong(*options.tabSize))) return false;

    if (options.inputEncoding.isEmpty()) RaiseMessage(Translate("Invalid Input encoding", kStringTable));
    if (!SetText(document, TidyInCharEncoding, options.inputEncoding)) return false;
    if (options.outputEncoding.isEmpty()) RaiseMessage(Translate("Invalid Output encoding", kStringTable));
    if (!SetText(document, TidyOutCharEncoding, options.outputEncoding)) return false;

    return SetYesNo(document, TidyForceOutput, true);
}

// A translation may bring any text, so only %d and %s are filled, in order; a missing value is
// empty and everything else stays as written.
QString FillFormat(const QString& format, const QStringList& values) {
    QString out;
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('%') && i + 1 < format.size()) {
            const QChar kind = format.at(i + 1);
            if (kind == QLatin1Char('d') || kind == QLatin1Char('s')) {
                if (next < values.size()) out += values.at(next);
                ++next;
                ++i;
                continue;
            }
            if (kind == QLatin1Char('%')) {
                out += c;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString LevelWord(TidyReportLevel level) {
    switch (level) {
        case TidyInfo:
            return QStringLiteral("Info");
        case TidyWarning:
            return QStringLiteral("Warninig");
        case TidyConfig:
            return QStringLiteral("Config");
        case TidyAccess:
            return QStringLiteral("Access");
        case TidyError:
            return QStringLiteral("Error");
        case TidyBadDocument:
            return QStringLiteral("Bad Document");
        case TidyFatal:
            return QStringLiteral("Fatal Error");
        default:
            return QString();
    }
}

struct RunContext {
    QStringList* report = nullptr;
};

// The message callback rather than the older report filter: in this libtidy release the filter's
// text already starts with "line 1 column 1 - Warning: ", and the report line wants the text alone.
Bool TIDY_CALL ReportMessage(TidyMessage message) {
    try {
        const auto* context = static_cast<const RunContext*>(tidyGetAppData(tidyGetMessageDoc(message)));
        if (context && context->report) {
            context->report->append(TidyReportLine(tidyGetMessageLevel(message), tidyGetMessageLine(message),
                                                   tidyGetMessageColumn(message),
                                                   QString::fromUtf8(tidyGetMessage(message))));
        }
    } catch (...) {
        // Nothing may unwind through the C library; the message is only left out of the report.
    }
    return yes;
}

void TIDY_CALL DiscardByte(void*, byte) {}

// Owns the document, the output buffer and the callback for exactly one run.
class TidyRunState {
public:
    TidyRunState() : Document(tidyCreate()) {
        tidyBufInit(&Output);
        // Tidy's own copy of each message would otherwise go to the terminal. The sink needs some
        // context pointer or tidyInitSink leaves it unset.
        TidyOutputSink sink;
        if (tidyInitSink(&sink, this, DiscardByte)) tidySetErrorSink(Document, &sink);
    }
    ~TidyRunState() {
        tidySetMessageCallback(Document, nullptr);
        tidySetAppData(Document, nullptr);
        tidyBufFree(&Output);
        tidyRelease(Document);
    }
    TidyRunState(const TidyRunState&) = delete;
    TidyRunState& operator=(const TidyRunState&) = delete;

    const TidyDoc Document;
    TidyBuffer Output;
};

}  // namespace

bool operator==(const TidyOptions& a, const TidyOptions& b) {
    const auto fields = [](const TidyOptions& o) {
        return std::tie(o.breakBeforeBR, o.makeBare, o.makeClean, o.word2000, o.indent, o.upperCaseTags,
                        o.upperCaseAttributes, o.dropEmptyParas, o.fixComments, o.fixUri, o.tidyMark,
                        o.wrapEnabled, o.wrapWidth, o.wrapAttributes, o.wrapAsp, o.wrapPhp, o.wrapJste,
                        o.wrapScriptLiterals, o.wrapSections, o.altTextEnabled, o.altText, o.tabSize,
                        o.inputEncoding, o.outputEncoding);
    };
    return fields(a) == fields(b);
}

QStringList TidyEncodingNames() { return {"ascii", "latin1", "raw", "utf8", "iso2022", "mac", "win1252"}; }

void ApplyTidyOptions(TidyDoc document, const TidyOptions& options) {
    SetYesNo(document, TidyDropPropAttrs, false);
    ApplyChain(document, options);
}

QString TidyReportLine(TidyReportLevel level, int line, int column, const QString& message) {
    const QString format = Translate(QStringLiteral("Line %d, Column %d - %s: %s"), kStringTable);
    const QString word = LevelWord(level);
    return FillFormat(format, {QString::number(line), QString::number(column),
                               word.isEmpty() ? word : Translate(word, kStringTable), message});
}

TidyResult RunTidy(const QString& text, const TidyOptions& options) {
    TidyRunState run;
    ApplyTidyOptions(run.Document, options);

    QStringList report;
    RunContext context{&report};
    tidySetAppData(run.Document, &context);
    tidySetMessageCallback(run.Document, ReportMessage);

    // The text is characters already, so it travels to the library and back as UTF-8 whatever the
    // stored encodings name: the library's raw writer puts a character from an entity out as one
    // byte, bare turns the byte 0xA0 inside a multi-byte sequence into a blank, and its ascii,
    // latin1, mac and win1252 writers drop or mangle characters their tables lack (in scripts and
    // comments too). The stored output encoding still decides what Tidy writes into the page's
    // content-type meta element, since cleaning runs before the writer is switched.
    tidyOptSetValue(run.Document, TidyInCharEncoding, "utf8");
    const QByteArray bytes = text.toUtf8();
    TidyBuffer input;
    tidyBufInit(&input);
    // A buffer rather than a C string, so a NUL character does not end the page early.
    tidyBufAttach(&input, reinterpret_cast<byte*>(const_cast<char*>(bytes.constData())), uint(bytes.size()));

    // Clean-and-repair is what applies clean, word-2000, bare and the document type; without it the
    // cleaning options would be set but have no effect on the written text.
    const int parsed = tidyParseBuffer(run.Document, &input);
    tidyBufDetach(&input);
    const int repaired = parsed >= 0 ? tidyCleanAndRepair(run.Document) : parsed;
    tidyOptSetValue(run.Document, TidyOutCharEncoding, "utf8");
    const int saved = repaired >= 0 ? tidySaveBuffer(run.Document, &run.Output) : repaired;

    TidyResult result;
    if (run.Output.bp && run.Output.size > 0)
        result.cleanedText =
            QString::fromUtf8(reinterpret_cast<const char*>(run.Output.bp), qsizetype(run.Output.size));
    // Status 2 means errors in the page; without force-output Tidy then writes nothing, and an
    // empty text must not stand in for the page.
    const bool severe = saved < 0 || saved >= 2;
    result.success = !(severe && result.cleanedText.isEmpty());
    for (const QString& line : report) result.report += line + QStringLiteral("\r\n");
    return result;
}

std::optional<ReportPosition> ParseReportLine(const QString& line) {
    QString broken = line;
    broken.replace(QLatin1Char(','), QLatin1Char('\n')).replace(QLatin1Char('-'), QLatin1Char('\n'));
    const QStringList pieces = broken.split(QLatin1Char('\n'));
    if (pieces.size() < 3) return std::nullopt;

    const auto numberAfterSpace = [](const QString& piece) -> std::optional<int> {
        const QString trimmed = piece.trimmed();
        const qsizetype space = trimmed.indexOf(QLatin1Char(' '));
        if (space < 0) return std::nullopt;
        bool ok = false;
        const int value = trimmed.mid(space + 1).toInt(&ok);
        if (!ok) return std::nullopt;
        return value;
    };
    const auto lineNumber = numberAfterSpace(pieces.at(0));
    const auto column = numberAfterSpace(pieces.at(1));
    if (!lineNumber || !column) return std::nullopt;
    return ReportPosition{*lineNumber, *column, pieces.at(2).trimmed()};
}

}  // namespace plovane
