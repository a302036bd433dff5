// tidy/UnitTidyProperties.h — the Tidy options window. Its controls are the one store of the
// options every run uses; they persist in "Settings.ini", section "FormTidyProperties".
#pragma once
#include <QDialog>
#include <QString>

#include "tidy/TidyRun.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace plovane {

class TFormTidyProperties : public QDialog {
    Q_OBJECT
public:
    // Created once at start: takes OptionsDefaults from the built-in values, then reads the stored
    // ones. The first window created becomes the one every run reads.
    explicit TFormTidyProperties(QWidget* parent = nullptr);
    // Writes every control back to the settings file.
    ~TFormTidyProperties() override;

    static TFormTidyProperties* Instance();

    TidyOptions Options() const;            // controls -> options
    void Fill(const TidyOptions& options);  // options -> controls

    void WriteStored() const;
    void ReadStored();

    // The steps of the window's buttons and controls, callable without a modal loop.
    void ButtonDefaultsClick();
    void ButtonOKClick();
    void ButtonCancelClick();
    void CBTabSizeExit();
    void udWrapWidthClick(int step);

    void accept() override;  // OK: stores the controls
    void reject() override;  // Cancel and close: the stored controls come back

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateEnabled();
    QCheckBox* AddCheckBox(QWidget* parent, const char* name, const QString& caption, const QString& hint);

    TidyOptions OptionsDefaults;

    QTabWidget* PageControl = nullptr;
    QCheckBox* cbUppercaseTags = nullptr;
    QCheckBox* cbUppercaseAttributes = nullptr;
    QCheckBox* CBBreakBeforeBR = nullptr;
    QCheckBox* CBIndent = nullptr;
    QCheckBox* CBDropEmptyParas = nullptr;
    QCheckBox* CBWord2000 = nullptr;
    QCheckBox* CBBare = nullptr;
    QCheckBox* CBFixBadComments = nullptr;
    QCheckBox* CBFixURI = nullptr;
    QCheckBox* CBClean = nullptr;
    QCheckBox* cbTidyMark = nullptr;
    QCheckBox* cbEnableTextWrapping = nullptr;
    QLineEdit* EditWrapWidth = nullptr;
    QWidget* udWrapWidth = nullptr;
    QCheckBox* cbWrapAttributes = nullptr;
    QCheckBox* CBWrapSections = nullptr;
    QCheckBox* cbWrapASP = nullptr;
    QCheckBox* cbWrapPHP = nullptr;
    QCheckBox* cbWrapLiterals = nullptr;
    QCheckBox* cbWrapJSTE = nullptr;
    QCheckBox* CBAltText = nullptr;
    QLineEdit* EditAltText = nullptr;
    QComboBox* CBTabSize = nullptr;
    QComboBox* CBInputEncoding = nullptr;
    QComboBox* CBOutputEncoding = nullptr;
    QPushButton* ButtonDefaults = nullptr;
    QPushButton* ButtonPreview = nullptr;
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonCancel = nullptr;
};

// Shows the options window modally; true when the user left with OK.
bool ShowTidyOptions();

// One run with the options window's current controls. Throws std::logic_error when the window
// was never created.
TidyResult RunTidy(const QString& text);

}  // namespace plovane
