#include "platform/QelConsole.h"

namespace plovane {

QStringList SplitCommandLine(const QString& text) {
    QStringList items;
    QString item;
    bool inQuotes = false;
    bool haveItem = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"')) {
            inQuotes = !inQuotes;
            haveItem = true;
        } else if (!inQuotes && (c == QLatin1Char(' ') || c == QLatin1Char('\t'))) {
            if (haveItem) items << item;
            item.clear();
            haveItem = false;
        } else {
            item += c;
            haveItem = true;
        }
    }
    if (haveItem) items << item;
    return items;
}

QString JoinCommandLine(const QStringList& items) {
    QStringList parts;
    for (const QString& item : items) {
        const bool quote =
            item.isEmpty() || item.contains(QLatin1Char(' ')) || item.contains(QLatin1Char('\t'));
        QString plain = item;
        plain.remove(QLatin1Char('"'));  // a quote cannot survive the splitting rule
        parts << (quote ? QLatin1Char('"') + plain + QLatin1Char('"') : plain);
    }
    return parts.join(QLatin1Char(' '));
}

bool CommandLine::HasSwitch(const QString& name, const QString& prefix) const {
    if (Items.size() < 2) return false;
    for (qsizetype i = 1; i < Items.size(); ++i)
        if (Items.at(i).compare(prefix + name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool CommandLine::HasFileParameter() const {
    return Items.size() >= 2 && !Items.at(1).startsWith(QLatin1Char('-'));
}

QString CommandLine::FileParameter() const { return Items.value(1); }

QString CommandLine::SwitchValue(const QString& name, const QString& fallback) const {
    for (qsizetype i = 1; i + 1 < Items.size(); ++i)
        if (Items.at(i).compare(QLatin1Char('-') + name, Qt::CaseInsensitive) == 0) return Items.at(i + 1);
    return fallback;
}

int CommandLine::SwitchIntValue(const QString& name, int fallback) const {
    bool ok = false;
    const int value = SwitchValue(name, QString()).trimmed().toInt(&ok);
    return ok ? value : fallback;
}

namespace {
CommandLine& Process() {
    static CommandLine line;
    return line;
}
}  // namespace

const CommandLine& ProcessCommandLine() { return Process(); }
void SetProcessCommandLine(const CommandLine& line) { Process() = line; }

bool HasSwitch(const QString& name) { return Process().HasSwitch(name); }
bool HasFileParameter() { return Process().HasFileParameter(); }
QString FileParameter() { return Process().FileParameter(); }
QString SwitchValue(const QString& name, const QString& fallback) {
    return Process().SwitchValue(name, fallback);
}
int SwitchIntValue(const QString& name, int fallback) { return Process().SwitchIntValue(name, fallback); }

}  // namespace plovane
