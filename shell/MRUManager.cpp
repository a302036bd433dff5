#include "shell/MRUManager.h"

#include "platform/RegistryStore.h"

namespace plovane {

TMRUManager::TMRUManager(QMenu* menu, QAction* before, QObject* parent)
    : QObject(parent), Menu(menu), Before(before), Separator(new QAction(this)) {
    Separator->setSeparator(true);
    Menu->insertAction(Before, Separator);
    Rebuild();
}

void TMRUManager::Add(const QString& name) {
    if (name.isEmpty()) return;
    Names.removeIf([&](const QString& n) { return n.compare(name, Qt::CaseInsensitive) == 0; });
    Names << name;
    while (Names.size() > Capacity) Names.removeFirst();
    Rebuild();
}

void TMRUManager::Remove(const QString& name) {
    Names.removeIf([&](const QString& n) { return n.compare(name, Qt::CaseInsensitive) == 0; });
    Rebuild();
}

void TMRUManager::Load(const QString& key) {
    Names.clear();
    RegistryStore reg;
    if (reg.OpenKey(key, false)) {
        for (int i = 0; Names.size() < Capacity; ++i) {
            const QString item = QStringLiteral("Item_%1").arg(i);
            if (!reg.ValueExists(item)) break;
            const QString name = reg.ReadString(item);
            if (!name.isEmpty()) Names << name;
        }
    }
    Rebuild();
}

void TMRUManager::Save(const QString& key) const {
    RegistryStore reg;
    reg.DeleteKey(key);  // the subkey is emptied before writing
    if (!reg.OpenKey(key, true)) return;
    for (int i = 0; i < Names.size(); ++i) reg.WriteString(QStringLiteral("Item_%1").arg(i), Names.at(i));
}

void TMRUManager::Rebuild() {
    for (QAction* action : Actions) {
        Menu->removeAction(action);
        action->deleteLater();
    }
    Actions.clear();
    int number = 1;
    for (auto it = Names.crbegin(); it != Names.crend(); ++it, ++number) {
        const QString name = *it;
        QString shown = name;
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(number).arg(shown), this);
        action->setObjectName(QStringLiteral("MRUItem%1").arg(number));
        action->setStatusTip(name);
        connect(action, &QAction::triggered, this, [this, name] { emit RecentFileChosen(name); });
        Menu->insertAction(Separator, action);
        Actions << action;
    }
    Separator->setVisible(!Names.isEmpty());
}

}  // namespace plovane
