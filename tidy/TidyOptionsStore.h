// tidy/TidyOptionsStore.h — the Tidy options every run uses, held in memory and kept in
// "Settings.ini", section "FormTidyProperties", under the options window's control names:
// "<CheckBox>.Checked" ("true"/"false"), "<Edit>.Text", and "<ComboBox>.ItemIndex" with
// "<ComboBox>.Text".
#pragma once
#include <QString>

#include "platform/IniFile.h"
#include "tidy/TidyRun.h"

namespace plovane {

// Reads the options from the file with one read; a missing or unreadable value keeps the built-in
// one ("1"/"0" read as booleans too). A combo box's stored position wins over its text, as when
// the window read them back; a typed tab size from 1 to 12 wins over the position.
TidyOptions ReadTidyOptions(const TIniFile& file);
// Writes every value with one write, leaving the file's other sections as they are; false when
// the file could not be written.
bool WriteTidyOptions(TIniFile& file, const TidyOptions& options);

class TidyOptionsStore {
public:
    // The built-in options until Load.
    explicit TidyOptionsStore(TIniFile file);

    const TidyOptions& Options() const { return Current; }
    void SetOptions(const TidyOptions& options) { Current = options; }

    void Load();
    // Writes the current options; false when the file could not be written (they stay current).
    bool Save();

    // The program's store over its Settings.ini, loaded on first use.
    static TidyOptionsStore& Program();

private:
    TIniFile File;
    TidyOptions Current;
};

// One run with the program store's current options.
TidyResult RunTidy(const QString& text);

}  // namespace plovane
