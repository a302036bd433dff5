// ftp/UnitFTPSite.h — the FTP site database ("Sites.ini" in the program's folder) and the dialog
// that picks, edits, saves and removes sites and hands the details shown to the FTP session.
#pragma once
#include <QDialog>
#include <QString>

#include "platform/IniFile.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace plovane {

struct FtpSiteDetails {
    QString HostName;
    QString UserName;
    QString Password;
    QString RemotePath;
    QString LocalPath;
};

class TFormFTPSite : public QDialog {
    Q_OBJECT
public:
    explicit TFormFTPSite(QWidget* parent = nullptr);
    ~TFormFTPSite() override;

    // Shows the dialog modally. True when the user pressed Connect; FtpSiteDetails then holds the
    // fields as shown (unsaved edits included). Cancel leaves FtpSiteDetails as it was.
    bool Execute();

    plovane::FtpSiteDetails FtpSiteDetails;

    void CBSiteNameChange();
    void ButtonSaveClick();
    void ButtonRemoveClick();
    void EditHostNameChange();
    void ButtonConnectClick();
    // Keeps the site name box's text for the next run.
    void SaveState() const;

    QComboBox* CBSiteName;
    QPushButton* ButtonSave;
    QPushButton* ButtonRemove;
    QLineEdit* EditHostName;
    QComboBox* EditUsername;
    QLineEdit* EditPassword;
    QLineEdit* EditRemote;
    QLineEdit* EditLocal;
    QPushButton* ButtonConnect;
    QPushButton* ButtonCancel;

private:
    void FillSiteNames();

    TIniFile Sites;
};

}  // namespace plovane
