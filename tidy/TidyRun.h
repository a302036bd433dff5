// tidy/TidyRun.h — one HTML Tidy run over a whole text, the options it takes, and the report lines
// it writes ("Line %d, Column %d - %s: %s") with their parsing.
#pragma once
#include <tidy/tidy.h>

#include <QString>
#include <QStringList>
#include <optional>

namespace plovane {

// The options of a run. Default values are the options dialog's built-in values.
struct TidyOptions {
    bool breakBeforeBR = false;
    bool makeBare = true;
    bool makeClean = true;
    bool word2000 = true;
    bool indent = false;
    bool upperCaseTags = true;
    bool upperCaseAttributes = true;
    bool dropEmptyParas = true;
    bool fixComments = false;
    bool fixUri = false;
    bool tidyMark = false;

    bool wrapEnabled = false;
    QString wrapWidth = QStringLiteral("80");  // as typed; read as a number only when wrapping
    bool wrapAttributes = false;
    bool wrapAsp = false;
    bool wrapPhp = false;
    bool wrapJste = false;
    bool wrapScriptLiterals = false;
    bool wrapSections = false;

    bool altTextEnabled = false;
    QString altText;

    std::optional<int> tabSize = 1;  // none: Tidy keeps its own
    // Names from TidyEncodingNames(); empty: no entry chosen. A run's text is characters already,
    // so these decide only what Tidy is told (the output encoding: what it writes into the page's
    // content-type meta element); the characters themselves always reach Tidy and come back whole.
    QString inputEncoding = QStringLiteral("raw");
    QString outputEncoding = QStringLiteral("raw");
};

bool operator==(const TidyOptions& a, const TidyOptions& b);
inline bool operator!=(const TidyOptions& a, const TidyOptions& b) { return !(a == b); }

// The encoding names the options offer, in list order.
QStringList TidyEncodingNames();

// Sets the options on a Tidy document in their fixed order and stops at the first one Tidy
// refuses; the document keeps what was set. Throws AbortCommand for an unchosen encoding or a wrap
// width that is not a number.
void ApplyTidyOptions(TidyDoc document, const TidyOptions& options);

// "Line 12, Column 5 - Warninig: text", format and level word through the translation table.
QString TidyReportLine(TidyReportLevel level, int line, int column, const QString& message);

struct TidyResult {
    bool success = false;
    QString cleanedText;
    QString report;  // report lines, each ended by CR LF; empty when Tidy said nothing
};

// Parses, cleans and writes the text again; every character Tidy does not mean to change comes back
// as it went in, whatever the encoding options. A run fails only when Tidy reports errors or a severe
// status and writes nothing (possible when the option chain stopped before force-output); the
// caller then shows the report and keeps its text.
TidyResult RunTidy(const QString& text, const TidyOptions& options);

struct ReportPosition {
    int line = 0;
    int column = 0;
    QString message;  // up to the first "," or "-" of the message
};

// Takes a report line apart at every "," and "-"; nothing when it is not of the report form.
std::optional<ReportPosition> ParseReportLine(const QString& line);

}  // namespace plovane
