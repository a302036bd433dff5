#include "platform/FormState.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>
#include <QWidget>

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
    QSettings settings(settingsFile, QSettings::IniFormat);
    settings.beginGroup(SectionOf(dialog));
    for (const QWidget* control : dialog->findChildren<QWidget*>()) {
        if (control->objectName().isEmpty()) continue;
        if (const auto* edit = qobject_cast<const QLineEdit*>(control)) {
            if (!qobject_cast<const QComboBox*>(edit->parentWidget()))
                settings.setValue(Key(edit, ".Text"), edit->text());
        } else if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(control)) {
            settings.setValue(Key(spin, ".Text"), spin->text());
        } else if (const auto* check = qobject_cast<const QCheckBox*>(control)) {
            settings.setValue(Key(check, ".Checked"), check->isChecked());
        } else if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
            settings.setValue(Key(combo, ".ItemIndex"), combo->currentIndex());
            settings.setValue(Key(combo, ".Text"), combo->currentText());
        }
    }
    settings.endGroup();
    settings.sync();
}

void LoadFormState(QWidget* dialog, const QString& settingsFile) {
    QSettings settings(settingsFile, QSettings::IniFormat);
    settings.beginGroup(SectionOf(dialog));
    for (QWidget* control : dialog->findChildren<QWidget*>()) {
        if (control->objectName().isEmpty()) continue;
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            if (!qobject_cast<QComboBox*>(edit->parentWidget()))
                edit->setText(settings.value(Key(edit, ".Text"), edit->text()).toString());
        } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
            bool ok = false;
            const int value = settings.value(Key(spin, ".Text"), spin->text()).toString().toInt(&ok);
            if (ok) spin->setValue(value);
        } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
            check->setChecked(settings.value(Key(check, ".Checked"), check->isChecked()).toBool());
        } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            const QString text = settings.value(Key(combo, ".Text"), combo->currentText()).toString();
            if (combo->isEditable()) {
                combo->setEditText(text);
            } else {
                const int found = combo->findText(text);
                if (found >= 0) combo->setCurrentIndex(found);
            }
            bool ok = false;
            const int index = settings.value(Key(combo, ".ItemIndex"), combo->currentIndex()).toInt(&ok);
            // Only a changed position is set, so a typed text that is in no list position stays.
            if (ok && index != combo->currentIndex() && index >= -1 && index < combo->count())
                combo->setCurrentIndex(index);
        }
    }
    settings.endGroup();
}

}  // namespace plovane
