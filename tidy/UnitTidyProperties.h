// tidy/UnitTidyProperties.h — the Tidy options window: a view over a TidyOptionsStore that shows
// the store's options and hands them back to it on OK.
#pragma once
#include <QDialog>
#include <QString>

#include "tidy/TidyOptionsStore.h"
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
    // Shows the store's current options.
    explicit TFormTidyProperties(TidyOptionsStore& store, QWidget* parent = nullptr);

    void Fill(const TidyOptions& options);  // options -> controls
    TidyOptions Apply() const;              // controls -> options

    // The steps of the window's buttons and controls, callable without a modal loop.
    void ButtonDefaultsClick();
    void ButtonOKClick();
    void ButtonCancelClick();
    void CBTabSizeExit();
    void udWrapWidthClick(int step);

    void accept() override;  // OK: the controls become the store's options and are saved
    void reject() override;  // Cancel and close: the controls show the store's options again

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateEnabled();
    QCheckBox* AddCheckBox(QWidget* parent, const char* name, const QString& caption, const QString& hint);

    TidyOptionsStore& Store;

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

// Shows the options window over the program's store modally; true when the user left with OK.
bool ShowTidyOptions(QWidget* parent = nullptr);

}  // namespace plovane
