#include "web/UnitOpenURL.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/Errors.h"

namespace plovane {

TFormOpenURL::TFormOpenURL(QWidget* parent)
    : QDialog(parent),
      LabelAddress(new QLabel(QStringLiteral("Address:"), this)),
      EditAddress(new QLineEdit(this)),
      ButtonOK(new QPushButton(QStringLiteral("OK"), this)),
      ButtonCancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("FormOpenURL"));
    setWindowTitle(QStringLiteral("Open URL"));
    LabelAddress->setObjectName(QStringLiteral("LabelAddress"));
    LabelAddress->setBuddy(EditAddress);
    EditAddress->setObjectName(QStringLiteral("EditAddress"));
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setDefault(true);
    ButtonOK->setEnabled(false);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));

    connect(EditAddress, &QLineEdit::textChanged, this,
            [this] { RunCommand([this] { EditAddressChange(); }); });
    connect(ButtonOK, &QPushButton::clicked, this, [this] { RunCommand([this] { ButtonOKClick(); }); });
    connect(ButtonCancel, &QPushButton::clicked, this, [this] { RunCommand([this] { reject(); }); });

    auto* const buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonOK);
    buttons->addWidget(ButtonCancel);
    auto* const layout = new QVBoxLayout(this);
    layout->addWidget(LabelAddress);
    layout->addWidget(EditAddress);
    layout->addLayout(buttons);
    setMinimumWidth(420);
}

void TFormOpenURL::EditAddressChange() { ButtonOK->setEnabled(!EditAddress->text().trimmed().isEmpty()); }

void TFormOpenURL::ButtonOKClick() {
    Address = NormalizeUrl(SplitUrl(EditAddress->text().trimmed()));
    accept();
}

bool TFormOpenURL::Execute() { return exec() == QDialog::Accepted; }

QString TFormOpenURL::URL() const { return ComposeUrl(Address); }

}  // namespace plovane
