// shell/SiteExplorerPanel.h — the site explorer panel of the main frame: a folder combo box, a
// folder tree and a file list of the local file system, showing folders and web pages only.
#pragma once
#include <QComboBox>
#include <QFileSystemModel>
#include <QTreeView>
#include <QWidget>

namespace plovane {

class TSiteExplorerPanel : public QWidget {
    Q_OBJECT
public:
    explicit TSiteExplorerPanel(QWidget* parent = nullptr);

    void SetFolder(const QString& folder);
    QString Folder() const { return Current; }
    // The names the file list shows for the current folder, sorted: folders and pages.
    QStringList ListedNames() const;

signals:
    void FileDoubleClicked(const QString& path);
    void FolderChanged(const QString& folder);

private:
    void FillFolderCombo();
    QComboBox* CBFolder;
    QTreeView* FolderTree;
    QTreeView* FileList;
    QFileSystemModel* Folders;
    QFileSystemModel* Files;
    QString Current;
};

}  // namespace plovane
