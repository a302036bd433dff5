#include "ftp/UnitFTPSite.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "platform/Errors.h"
#include "platform/Prompter.h"

namespace plovane {

namespace {

const QString SitesFileName = QStringLiteral("Sites.ini");
const QString SettingsFileName = QStringLiteral("Settings.ini");
// The one value of the dialog's stored state. The other fields (the password among them) are
// not kept there: they belong to the site database.
const QString StateSection = QStringLiteral("TFormFTPSite");
const QString SiteNameKey = QStringLiteral("CBSiteName.Text");

// The keys of a site, in the order they are written.
const char* const HostNameKey = "HostName";
const char* const UserNameKey = "UserName";
const char* const PasswordKey = "Password";
const char* const RemotePathKey = "RemotePath";
const char* const LocalPathKey = "LocalPath";

QLineEdit* NewEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QPushButton* NewButton(const char* name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

}  // namespace

TFormFTPSite::TFormFTPSite(QWidget* parent) : QDialog(parent), Sites(TIniFile::ProgramFile(SitesFileName)) {
    setObjectName(QStringLiteral("TFormFTPSite"));
    setWindowTitle(QStringLiteral("Connect to FTP Site"));

    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget(tabs);
    tabs->addTab(page, QStringLiteral("Settings"));

    auto* siteGroup = new QGroupBox(QStringLiteral(" FTP Site Name "), page);
    CBSiteName = new QComboBox(siteGroup);
    CBSiteName->setObjectName(QStringLiteral("CBSiteName"));
    CBSiteName->setEditable(true);
    CBSiteName->setInsertPolicy(QComboBox::NoInsert);
    ButtonSave = NewButton("ButtonSave", QStringLiteral("Save"), siteGroup);
    ButtonRemove = NewButton("ButtonRemove", QStringLiteral("Remove"), siteGroup);
    auto* siteRow = new QHBoxLayout(siteGroup);
    siteRow->addWidget(CBSiteName, 1);
    siteRow->addWidget(ButtonSave);
    siteRow->addWidget(ButtonRemove);

    auto* detailsGroup = new QGroupBox(QStringLiteral(" Site Details "), page);
    EditHostName = NewEdit("EditHostName", detailsGroup);
    EditUsername = new QComboBox(detailsGroup);
    EditUsername->setObjectName(QStringLiteral("EditUsername"));
    EditUsername->setEditable(true);
    EditUsername->setInsertPolicy(QComboBox::NoInsert);
    EditUsername->addItem(QStringLiteral("anonymous"));
    EditUsername->setEditText(QString());
    EditPassword = NewEdit("EditPassword", detailsGroup);  // shown in clear, as stored
    EditRemote = NewEdit("EditRemote", detailsGroup);
    EditLocal = NewEdit("EditLocal", detailsGroup);
    auto* form = new QFormLayout(detailsGroup);
    form->addRow(QStringLiteral("Hostname: (ftp.example.com)"), EditHostName);
    form->addRow(QStringLiteral("Username:"), EditUsername);
    form->addRow(QStringLiteral("Password:"), EditPassword);
    form->addRow(QStringLiteral("Default Remote Path:"), EditRemote);
    form->addRow(QStringLiteral("Default Local Path:"), EditLocal);

    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(siteGroup);
    pageLayout->addWidget(detailsGroup);

    ButtonConnect = NewButton("ButtonConnect", QStringLiteral("Connect"), this);
    ButtonConnect->setDefault(true);
    ButtonConnect->setEnabled(false);
    ButtonCancel = NewButton("ButtonCancel", QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ButtonConnect);
    buttons->addWidget(ButtonCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(CBSiteName, &QComboBox::editTextChanged, this,
            [this] { RunCommand([this] { CBSiteNameChange(); }); });
    connect(ButtonSave, &QPushButton::clicked, this, [this] { RunCommand([this] { ButtonSaveClick(); }); });
    connect(ButtonRemove, &QPushButton::clicked, this,
            [this] { RunCommand([this] { ButtonRemoveClick(); }); });
    connect(EditHostName, &QLineEdit::textChanged, this,
            [this] { RunCommand([this] { EditHostNameChange(); }); });
    connect(ButtonConnect, &QPushButton::clicked, this,
            [this] { RunCommand([this] { ButtonConnectClick(); }); });
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);

    const QString remembered = TIniFile::ProgramFile(SettingsFileName).ReadString(StateSection, SiteNameKey);
    {
        const QSignalBlocker quiet(CBSiteName);
        FillSiteNames();
        CBSiteName->setEditText(remembered);
    }
    CBSiteNameChange();
    EditHostNameChange();
}

TFormFTPSite::~TFormFTPSite() { SaveState(); }

bool TFormFTPSite::Execute() {
    if (const QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
    return exec() == QDialog::Accepted;
}

void TFormFTPSite::FillSiteNames() {
    const QString text = CBSiteName->currentText();
    const QSignalBlocker quiet(CBSiteName);
    CBSiteName->clear();
    CBSiteName->addItems(Sites.ReadSections());
    CBSiteName->setEditText(text);
}

void TFormFTPSite::CBSiteNameChange() {
    const QString site = CBSiteName->currentText();
    ButtonSave->setEnabled(!site.trimmed().isEmpty());
    ButtonRemove->setEnabled(ButtonSave->isEnabled() && Sites.SectionExists(site));
    if (!ButtonRemove->isEnabled()) return;
    EditHostName->setText(Sites.ReadString(site, QLatin1String(HostNameKey)));
    EditUsername->setEditText(Sites.ReadString(site, QLatin1String(UserNameKey)));
    EditPassword->setText(Sites.ReadString(site, QLatin1String(PasswordKey)));
    EditRemote->setText(Sites.ReadString(site, QLatin1String(RemotePathKey)));
    EditLocal->setText(Sites.ReadString(site, QLatin1String(LocalPathKey)));
}

void TFormFTPSite::ButtonSaveClick() {
    const QString site = CBSiteName->currentText();
    Sites.WriteString(site, QLatin1String(HostNameKey), EditHostName->text());
    Sites.WriteString(site, QLatin1String(UserNameKey), EditUsername->currentText());
    Sites.WriteString(site, QLatin1String(PasswordKey), EditPassword->text());
    Sites.WriteString(site, QLatin1String(RemotePathKey), EditRemote->text());
    Sites.WriteString(site, QLatin1String(LocalPathKey), EditLocal->text());
    FillSiteNames();
    CBSiteNameChange();
}

void TFormFTPSite::ButtonRemoveClick() {
    const QString site = CBSiteName->currentText();
    if (!ConfirmYesNo(QStringLiteral("Delete \"%1\" from your FTP site database?").arg(site))) return;
    Sites.EraseSection(site);
    {
        const QSignalBlocker quiet(CBSiteName);
        CBSiteName->setEditText(QString());
    }
    FillSiteNames();
    CBSiteNameChange();
}

void TFormFTPSite::EditHostNameChange() {
    ButtonConnect->setEnabled(!EditHostName->text().trimmed().isEmpty());
}

void TFormFTPSite::ButtonConnectClick() {
    if (!ButtonConnect->isEnabled()) return;
    FtpSiteDetails = {EditHostName->text(), EditUsername->currentText(), EditPassword->text(),
                      EditRemote->text(), EditLocal->text()};
    accept();
}

void TFormFTPSite::SaveState() const {
    TIniFile::ProgramFile(SettingsFileName).WriteString(StateSection, SiteNameKey, CBSiteName->currentText());
}

}  // namespace plovane
