// shell/MRUManager.h — the recent-files list of the File menu: capacity 8, oldest first, new names
// appended at the newest end, kept in the registry under the frame's "MRUManager" subkey.
#pragma once
#include <QAction>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QStringList>

namespace plovane {

class TMRUManager : public QObject {
    Q_OBJECT
public:
    static constexpr int Capacity = 8;

    // The items go into `menu` just before `before` (newest first).
    TMRUManager(QMenu* menu, QAction* before, QObject* parent = nullptr);

    const QStringList& Items() const { return Names; }  // oldest first
    // Appends the name at the newest end (moving it there when listed); the oldest goes past 8.
    void Add(const QString& name);
    void Remove(const QString& name);  // without regard to case

    // Registry subkey path, e.g. ProgramKey("TFormQuenlockPlovane2.MRUManager").
    void Load(const QString& key);
    void Save(const QString& key) const;

signals:
    void RecentFileChosen(const QString& name);

private:
    void Rebuild();
    QMenu* Menu;
    QAction* Before;
    QAction* Separator;
    QList<QAction*> Actions;
    QStringList Names;
};

}  // namespace plovane
