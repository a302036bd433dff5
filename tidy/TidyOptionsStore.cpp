#include "tidy/TidyOptionsStore.h"

#include <QStringList>
#include <utility>

namespace plovane {

namespace {

const QString kSection = QStringLiteral("FormTidyProperties");
const QString kSettingsFile = QStringLiteral("Settings.ini");

// The tab size list of the window, "1" to "8"; a typed size may go up to 12.
constexpr int kListedTabSizes = 8;
constexpr int kLargestTabSize = 12;

struct FlagKey {
    const char* control;
    bool TidyOptions::*member;
};

const FlagKey kFlags[] = {
    {"cbUppercaseTags", &TidyOptions::upperCaseTags},
    {"cbUppercaseAttributes", &TidyOptions::upperCaseAttributes},
    {"CBBreakBeforeBR", &TidyOptions::breakBeforeBR},
    {"CBIndent", &TidyOptions::indent},
    {"CBDropEmptyParas", &TidyOptions::dropEmptyParas},
    {"CBWord2000", &TidyOptions::word2000},
    {"CBBare", &TidyOptions::makeBare},
    {"CBFixBadComments", &TidyOptions::fixComments},
    {"CBFixURI", &TidyOptions::fixUri},
    {"CBClean", &TidyOptions::makeClean},
    {"cbTidyMark", &TidyOptions::tidyMark},
    {"cbEnableTextWrapping", &TidyOptions::wrapEnabled},
    {"cbWrapAttributes", &TidyOptions::wrapAttributes},
    {"CBWrapSections", &TidyOptions::wrapSections},
    {"cbWrapASP", &TidyOptions::wrapAsp},
    {"cbWrapPHP", &TidyOptions::wrapPhp},
    {"cbWrapLiterals", &TidyOptions::wrapScriptLiterals},
    {"cbWrapJSTE", &TidyOptions::wrapJste},
    {"CBAltText", &TidyOptions::altTextEnabled},
};

struct TextKey {
    const char* control;
    QString TidyOptions::*member;
};

const TextKey kTexts[] = {
    {"EditWrapWidth", &TidyOptions::wrapWidth},
    {"EditAltText", &TidyOptions::altText},
};

const TextKey kEncodings[] = {
    {"CBInputEncoding", &TidyOptions::inputEncoding},
    {"CBOutputEncoding", &TidyOptions::outputEncoding},
};

QString Key(const char* control, const char* suffix) {
    return QLatin1String(control) + QLatin1String(suffix);
}

std::optional<QString> Read(const IniDocument& file, const QString& key) { return file.Value(kSection, key); }

std::optional<int> ReadNumber(const IniDocument& file, const QString& key) {
    bool ok = false;
    const int value = Read(file, key).value_or(QString()).trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
    return value;
}

// The list position a combo box ends at: its stored text when listed, then its stored position
// when that is one the list has (-1: no entry).
int ReadPosition(const IniDocument& file, const char* control, const QStringList& items, int position) {
    const int listed = items.indexOf(Read(file, Key(control, ".Text")).value_or(QString()));
    if (listed >= 0) position = listed;
    const std::optional<int> stored = ReadNumber(file, Key(control, ".ItemIndex"));
    if (stored && *stored >= -1 && *stored < items.size()) position = *stored;
    return position;
}

QStringList TabSizeItems() {
    QStringList items;
    for (int size = 1; size <= kListedTabSizes; ++size) items << QString::number(size);
    return items;
}

QString TabSizeText(const std::optional<int>& size) { return size ? QString::number(*size) : QString(); }

}  // namespace

TidyOptions ReadTidyOptions(const TIniFile& ini) {
    const IniDocument file = ini.ReadAll();
    TidyOptions options;
    for (const FlagKey& flag : kFlags)
        options.*flag.member =
            IniBool(Read(file, Key(flag.control, ".Checked")).value_or(QString()), options.*flag.member);
    for (const TextKey& text : kTexts)
        options.*text.member = Read(file, Key(text.control, ".Text")).value_or(options.*text.member);

    const QStringList encodings = TidyEncodingNames();
    for (const TextKey& encoding : kEncodings) {
        const int position =
            ReadPosition(file, encoding.control, encodings, int(encodings.indexOf(options.*encoding.member)));
        options.*encoding.member = position >= 0 ? encodings.at(position) : QString();
    }

    const QStringList sizes = TabSizeItems();
    const QString typed = Read(file, QStringLiteral("CBTabSize.Text")).value_or(TabSizeText(options.tabSize));
    const int position =
        ReadPosition(file, "CBTabSize", sizes, int(sizes.indexOf(TabSizeText(options.tabSize))));
    bool ok = false;
    const int size = typed.trimmed().toInt(&ok);
    if (ok && size >= 1 && size <= kLargestTabSize)
        options.tabSize = size;
    else if (position >= 0)
        options.tabSize = position + 1;
    else
        options.tabSize.reset();
    return options;
}

bool WriteTidyOptions(TIniFile& ini, const TidyOptions& options) {
    return ini.Update([&](IniDocument& file) {
        const auto write = [&](const QString& key, const QString& value) {
            file.SetValue(kSection, key, value);
        };
        for (const FlagKey& flag : kFlags)
            write(Key(flag.control, ".Checked"), IniBoolText(options.*flag.member));
        for (const TextKey& text : kTexts) write(Key(text.control, ".Text"), options.*text.member);
        const QStringList encodings = TidyEncodingNames();
        for (const TextKey& encoding : kEncodings) {
            const int position = int(encodings.indexOf(options.*encoding.member));
            write(Key(encoding.control, ".ItemIndex"), QString::number(position));
            write(Key(encoding.control, ".Text"), position >= 0 ? encodings.at(position) : QString());
        }
        const QString size = TabSizeText(options.tabSize);
        write(QStringLiteral("CBTabSize.ItemIndex"), QString::number(TabSizeItems().indexOf(size)));
        write(QStringLiteral("CBTabSize.Text"), size);
        return true;
    });
}

TidyOptionsStore::TidyOptionsStore(TIniFile file) : File(std::move(file)) {}

void TidyOptionsStore::Load() { Current = ReadTidyOptions(File); }

bool TidyOptionsStore::Save() { return WriteTidyOptions(File, Current); }

TidyOptionsStore& TidyOptionsStore::Program() {
    static TidyOptionsStore store = [] {
        TidyOptionsStore loaded(TIniFile::ProgramFile(kSettingsFile));
        loaded.Load();
        return loaded;
    }();
    return store;
}

TidyResult RunTidy(const QString& text) { return RunTidy(text, TidyOptionsStore::Program().Options()); }

}  // namespace plovane
