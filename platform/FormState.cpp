#include "platform/FormState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QWidget>
#include <optional>

#include "platform/IniFile.h"
#include "platform/Translation.h"

namespace plovane {

namespace {

QString SectionOf(const QWidget* dialog) {
    return dialog->objectName().isEmpty() ? PlainClassName(dialog) : dialog->objectName();
}

QString Key(const QWidget* control, const char* suffix) {
    return control->objectName() + QLatin1String(suffix);
}

}  // namespace

void SaveFormState(const QWidget* dialog, const QString& settingsFile) {
    TIniFile(settingsFile).Update([dialog](IniDocument& document) {
        IniSection& section = document.Make(SectionOf(dialog));
        for (const QWidget* control : dialog->findChildren<QWidget*>()) {
            if (control->objectName().isEmpty()) continue;
            if (const auto* edit = qobject_cast<const QLineEdit*>(control)) {
                if (!qobject_cast<const QComboBox*>(edit->parentWidget()))
                    section.Set(Key(edit, ".Text"), edit->text());
            } else if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(control)) {
                section.Set(Key(spin, ".Text"), spin->text());
            } else if (const auto* check = qobject_cast<const QCheckBox*>(control)) {
                section.Set(Key(check, ".Checked"), IniBoolText(check->isChecked()));
            } else if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
                section.Set(Key(combo, ".ItemIndex"), QString::number(combo->currentIndex()));
                section.Set(Key(combo, ".Text"), combo->currentText());
            }
        }
        return true;
    });
}

void LoadFormState(QWidget* dialog, const QString& settingsFile) {
    const IniDocument document = TIniFile(settingsFile).ReadAll();
    const IniSection* section = document.Find(SectionOf(dialog));
    if (!section) return;
    const auto stored = [section](const QWidget* control, const char* suffix) -> std::optional<QString> {
        if (const IniEntry* entry = section->Find(Key(control, suffix))) return entry->Value;
        return std::nullopt;
    };
    for (QWidget* control : dialog->findChildren<QWidget*>()) {
        if (control->objectName().isEmpty()) continue;
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            if (qobject_cast<QComboBox*>(edit->parentWidget())) continue;
            if (const auto text = stored(edit, ".Text")) edit->setText(*text);
        } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
            bool ok = false;
            const int value = stored(spin, ".Text").value_or(QString()).trimmed().toInt(&ok);
            if (ok) spin->setValue(value);
        } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
            if (const auto text = stored(check, ".Checked"))
                check->setChecked(IniBool(*text, check->isChecked()));
        } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            if (const auto text = stored(combo, ".Text")) {
                if (combo->isEditable()) {
                    combo->setEditText(*text);
                } else {
                    const int found = combo->findText(*text);
                    if (found >= 0) combo->setCurrentIndex(found);
                }
            }
            bool ok = false;
            const int index = stored(combo, ".ItemIndex").value_or(QString()).trimmed().toInt(&ok);
            // Only a changed position is set, so a typed text that is in no list position stays.
            if (ok && index != combo->currentIndex() && index >= -1 && index < combo->count())
                combo->setCurrentIndex(index);
        }
    }
}

}  // namespace plovane
