// platform/QelConsole.h — the split command line and its switch tests. Every test is
// case-insensitive and looks at items 1 to the last; item 0 is the program path.
#pragma once
#include <QString>
#include <QStringList>

namespace plovane {

// Items are separated by blanks; a double-quoted run belongs to one item and loses its quotes.
QStringList SplitCommandLine(const QString& text);
// The inverse for hand-offs: items with blanks or quotes (or empty ones) are put in double quotes.
QString JoinCommandLine(const QStringList& items);

class CommandLine {
public:
    CommandLine() = default;
    explicit CommandLine(QStringList items) : Items(std::move(items)) {}
    static CommandLine FromText(const QString& text) { return CommandLine(SplitCommandLine(text)); }

    const QStringList& items() const { return Items; }
    // Some item equals prefix + name ("-n"); false with fewer than 2 items.
    bool HasSwitch(const QString& name, const QString& prefix = QStringLiteral("-")) const;
    // At least 2 items and item 1 does not begin with "-".
    bool HasFileParameter() const;
    QString FileParameter() const;
    // The item after the first item "-" + name; the last item is never taken as a switch name.
    QString SwitchValue(const QString& name, const QString& fallback) const;
    int SwitchIntValue(const QString& name, int fallback) const;

private:
    QStringList Items;
};

// The process's command line, split once at start-up.
const CommandLine& ProcessCommandLine();
void SetProcessCommandLine(const CommandLine& line);

bool HasSwitch(const QString& name);
bool HasFileParameter();
QString FileParameter();
QString SwitchValue(const QString& name, const QString& fallback);
int SwitchIntValue(const QString& name, int fallback);

}  // namespace plovane
