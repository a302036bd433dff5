// platform/FormState.h — dialog values kept in a settings file, one section per dialog (its object
// name), one key per named control: edit boxes ".Text", check boxes ".Checked", combo boxes
// ".ItemIndex" and ".Text".
#pragma once
#include <QString>

class QWidget;

namespace plovane {

void SaveFormState(const QWidget* dialog, const QString& settingsFile);
// A missing key keeps the control's current value; a combo box gets its text, then its position.
void LoadFormState(QWidget* dialog, const QString& settingsFile);

}  // namespace plovane
