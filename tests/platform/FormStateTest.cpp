#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QSettings>
#include <QVBoxLayout>

#include "platform/FormState.h"
#include "support/TestPlaces.h"

namespace plovane {
namespace {

// A small options dialog; `extended` adds a check box a later version brought.
struct OptionsDialog : QDialog {
    explicit OptionsDialog(bool extended) {
        setObjectName("FormOptions");
        auto* layout = new QVBoxLayout(this);
        Name = new QLineEdit("default name", this);
        Name->setObjectName("EditName");
        Wrap = new QCheckBox("Wrap", this);
        Wrap->setObjectName("CheckBoxWrap");
        Encoding = new QComboBox(this);
        Encoding->setObjectName("CBEncoding");
        Encoding->addItems({"raw", "ascii", "utf8"});
        Typed = new QComboBox(this);
        Typed->setObjectName("CBTyped");
        Typed->setEditable(true);
        Typed->addItems({"one", "two"});
        for (QWidget* w : {static_cast<QWidget*>(Name), static_cast<QWidget*>(Wrap),
                           static_cast<QWidget*>(Encoding), static_cast<QWidget*>(Typed)})
            layout->addWidget(w);
        if (extended) {
            Added = new QCheckBox("New option", this);
            Added->setObjectName("CheckBoxAdded");
            Added->setChecked(true);
            layout->addWidget(Added);
        }
    }
    QLineEdit* Name;
    QCheckBox* Wrap;
    QComboBox* Encoding;
    QComboBox* Typed;
    QCheckBox* Added = nullptr;
};

TEST(FormStateTest, RoundTripsEveryKindAndKeepsANewControlAsDesigned) {
    test::TempFolder folder;
    const QString ini = folder.Path("Settings.ini");
    {
        OptionsDialog saved(false);
        saved.Name->setText("site, with comma");
        saved.Wrap->setChecked(true);
        saved.Encoding->setCurrentIndex(2);
        saved.Typed->setEditText("typed by hand");
        SaveFormState(&saved, ini);
    }
    QSettings settings(ini, QSettings::IniFormat);
    EXPECT_EQ(settings.value("FormOptions/EditName.Text").toString(), "site, with comma");
    EXPECT_EQ(settings.value("FormOptions/CheckBoxWrap.Checked").toString(), "true");
    EXPECT_EQ(settings.value("FormOptions/CBEncoding.ItemIndex").toInt(), 2);
    EXPECT_EQ(settings.value("FormOptions/CBEncoding.Text").toString(), "utf8");

    OptionsDialog loaded(true);
    LoadFormState(&loaded, ini);
    EXPECT_EQ(loaded.Name->text(), "site, with comma");
    EXPECT_TRUE(loaded.Wrap->isChecked());
    EXPECT_EQ(loaded.Encoding->currentIndex(), 2);
    EXPECT_EQ(loaded.Typed->currentText(), "typed by hand");
    EXPECT_TRUE(loaded.Added->isChecked());  // no stored key: stays as designed
}

TEST(FormStateTest, AMissingFileKeepsEveryValue) {
    test::TempFolder folder;
    OptionsDialog dialog(false);
    LoadFormState(&dialog, folder.Path("none.ini"));
    EXPECT_EQ(dialog.Name->text(), "default name");
    EXPECT_EQ(dialog.Encoding->currentIndex(), 0);
}

}  // namespace
}  // namespace plovane
