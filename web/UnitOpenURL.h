// web/UnitOpenURL.h — the Open URL window: one address, normalised on OK.
#pragma once
#include <QDialog>
#include <QString>

#include "web/QelURI.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace plovane {

class TFormOpenURL : public QDialog {
    Q_OBJECT
public:
    explicit TFormOpenURL(QWidget* parent = nullptr);

    // The modal run; true on OK, and URL() then gives the normalised address.
    bool Execute();
    // The address as one URL text, with user name, password and bookmark.
    QString URL() const;
    const UrlFields& Fields() const { return Address; }

    QLabel* LabelAddress;
    QLineEdit* EditAddress;
    QPushButton* ButtonOK;
    QPushButton* ButtonCancel;

public slots:
    void ButtonOKClick();

private:
    void EditAddressChange();
    UrlFields Address;
};

}  // namespace plovane
