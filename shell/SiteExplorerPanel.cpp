#include "shell/SiteExplorerPanel.h"

#include <QDir>
#include <QHeaderView>
#include <QSplitter>
#include <QVBoxLayout>

namespace plovane {

TSiteExplorerPanel::TSiteExplorerPanel(QWidget* parent)
    : QWidget(parent),
      CBFolder(new QComboBox(this)),
      FolderTree(new QTreeView(this)),
      FileList(new QTreeView(this)),
      Folders(new QFileSystemModel(this)),
      Files(new QFileSystemModel(this)) {
    setObjectName(QStringLiteral("SiteExplorer"));
    CBFolder->setObjectName(QStringLiteral("CBFolder"));
    FolderTree->setObjectName(QStringLiteral("FolderTree"));
    FileList->setObjectName(QStringLiteral("FileList"));

    Folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    Folders->setRootPath(QDir::rootPath());
    FolderTree->setModel(Folders);
    for (int column = 1; column < Folders->columnCount(); ++column) FolderTree->hideColumn(column);
    FolderTree->setHeaderHidden(true);

    Files->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);
    Files->setNameFilters({QStringLiteral("*.htm"), QStringLiteral("*.html"), QStringLiteral("*.asp")});
    Files->setNameFilterDisables(false);
    FileList->setModel(Files);
    FileList->setRootIsDecorated(false);
    FileList->setSortingEnabled(true);
    FileList->sortByColumn(0, Qt::AscendingOrder);

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(FolderTree);
    split->addWidget(FileList);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(CBFolder);
    layout->addWidget(split, 1);

    connect(FolderTree, &QTreeView::clicked, this,
            [this](const QModelIndex& index) { SetFolder(Folders->filePath(index)); });
    connect(FileList, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        const QString path = Files->filePath(index);
        if (Files->isDir(index))
            SetFolder(path);
        else
            emit FileDoubleClicked(path);
    });
    connect(CBFolder, &QComboBox::activated, this,
            [this](int index) { SetFolder(CBFolder->itemData(index).toString()); });
    SetFolder(QDir::homePath());
}

void TSiteExplorerPanel::SetFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(folder);
    if (clean == Current || !QFileInfo(clean).isDir()) return;
    Current = clean;
    FolderTree->setCurrentIndex(Folders->index(clean));
    FolderTree->scrollTo(Folders->index(clean));
    FileList->setRootIndex(Files->setRootPath(clean));
    FillFolderCombo();
    emit FolderChanged(clean);
}

QStringList TSiteExplorerPanel::ListedNames() const {
    QDir dir(Current);
    dir.setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);
    QStringList names;
    for (const QFileInfo& info : dir.entryInfoList(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot,
                                                   QDir::Name | QDir::IgnoreCase)) {
        const QString suffix = info.suffix().toLower();
        if (info.isDir() || suffix == QLatin1String("htm") || suffix == QLatin1String("html") ||
            suffix == QLatin1String("asp"))
            names << info.fileName();
    }
    return names;
}

void TSiteExplorerPanel::FillFolderCombo() {
    // The combo box lists the way from the root down to the current folder.
    const QSignalBlocker block(CBFolder);
    CBFolder->clear();
    QStringList chain;
    for (QDir dir(Current);; dir.cdUp()) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot()) break;
    }
    for (int depth = 0; depth < chain.size(); ++depth) {
        const QString& path = chain.at(depth);
        const QString name = depth == 0 ? path : QFileInfo(path).fileName();
        CBFolder->addItem(QString(depth * 2, QLatin1Char(' ')) + name, path);
    }
    CBFolder->setCurrentIndex(CBFolder->count() - 1);
}

}  // namespace plovane
