#include "platform/Translation.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStringDecoder>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <cstring>

#include "platform/FilePlaces.h"
#include "platform/TextTrim.h"

namespace plovane {

namespace {

const char kControlLetters[] = "abtnvfr";  // escapes of the characters 7 to 13

bool IsHexDigit(QChar c) {
    return c.isDigit() || (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'));
}
bool IsOctalDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('7'); }

QString AfterEquals(const QString& line) {
    return TrimControls(line.mid(line.indexOf(QLatin1Char('=')) + 1));
}

QString DecodeFile(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError()) text = QString::fromLatin1(bytes);
    return text;
}

LanguageTable& Installed() {
    static LanguageTable table;
    return table;
}

}  // namespace

QString EscapeText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u >= 7 && u <= 13) {
            out += QLatin1Char('\\');
            out += QLatin1Char(kControlLetters[u - 7]);
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\\')) {
            out += QLatin1Char('\\');
            out += c;
        } else if (u < 32) {
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out;
}

QString UnescapeText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\') || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        const QChar next = text.at(++i);
        const char* letter = next.unicode() < 128 ? strchr(kControlLetters, next.toLatin1()) : nullptr;
        if (letter && *letter) {
            out += QChar(ushort(7 + (letter - kControlLetters)));
        } else if (next == QLatin1Char('x') && i + 1 < text.size() && IsHexDigit(text.at(i + 1))) {
            int digits = 0;
            ushort value = 0;
            while (digits < 2 && i + 1 < text.size() && IsHexDigit(text.at(i + 1))) {
                value = ushort(value * 16 + QString(text.at(++i)).toUShort(nullptr, 16));
                ++digits;
            }
            out += QChar(value);
        } else if (IsOctalDigit(next)) {
            ushort value = ushort(next.unicode() - '0');
            for (int digits = 1; digits < 3 && i + 1 < text.size() && IsOctalDigit(text.at(i + 1)); ++digits)
                value = ushort(value * 8 + (text.at(++i).unicode() - '0'));
            out += QChar(value);
        } else {
            out += next;  // \" \\ \? \' and anything unknown stand for the character itself
        }
    }
    return out;
}

LanguageTable LanguageTable::FromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return LanguageTable();
    return FromText(DecodeFile(file.readAll()));
}

LanguageTable LanguageTable::FromText(const QString& text) {
    LanguageTable table;
    QString section;
    QString english;
    const auto lines = text.split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = TrimControls(raw);
        if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) continue;
        if (line.startsWith(QLatin1Char('<'))) {
            const qsizetype slashes = line.indexOf(QStringLiteral("//"));
            const qsizetype dash = slashes < 0 ? -1 : line.indexOf(QLatin1Char('-'), slashes + 2);
            if (dash >= 0) section = line.mid(slashes + 2, dash - slashes - 2).trimmed();
        } else if (line.startsWith(QStringLiteral("E="))) {
            english = AfterEquals(line);
        } else if (line.startsWith(QStringLiteral("T="))) {
            const QString translation = AfterEquals(line);
            if (!english.isEmpty() && !translation.isEmpty() && translation != QStringLiteral("*"))
                table.Sections[section][english] = translation;
        }
    }
    return table;
}

QString LanguageTable::Lookup(const QString& section, const QString& escapedEnglish) const {
    const auto found = Sections.constFind(section);
    if (found == Sections.constEnd()) return QString();
    return found->value(escapedEnglish);
}

const LanguageTable& CurrentLanguage() { return Installed(); }

void SetLanguage(LanguageTable table) { Installed() = std::move(table); }

void LoadLanguageFile() {
    SetLanguage(LanguageTable::FromFile(ProgramFolderFile(QStringLiteral("lang.txt"))));
}

QString Translate(const QString& text, const QString& section) {
    if (text.isEmpty()) return text;
    const QString found = CurrentLanguage().Lookup(section, EscapeText(text));
    return found.isEmpty() ? text : UnescapeText(found);
}

QString PlainClassName(const QObject* object) {
    const QString name = QString::fromLatin1(object->metaObject()->className());
    const qsizetype colons = name.lastIndexOf(QStringLiteral("::"));
    return colons < 0 ? name : name.mid(colons + 2);
}

namespace {

void TranslateAction(QAction* action, const QString& section) {
    action->setText(Translate(action->text(), section));
    action->setToolTip(Translate(action->toolTip(), section));
    action->setStatusTip(Translate(action->statusTip(), section));
}

void TranslateHeader(QHeaderView* header, QAbstractItemModel* model, Qt::Orientation orientation,
                     const QString& section) {
    if (!header || !model) return;
    const int count = orientation == Qt::Horizontal ? model->columnCount() : model->rowCount();
    for (int i = 0; i < count; ++i) {
        const QString text = model->headerData(i, orientation).toString();
        model->setHeaderData(i, orientation, Translate(text, section));
    }
}

void TranslateWidget(QWidget* widget, const QString& section) {
    widget->setToolTip(Translate(widget->toolTip(), section));
    widget->setStatusTip(Translate(widget->statusTip(), section));
    if (widget->isWindow()) widget->setWindowTitle(Translate(widget->windowTitle(), section));

    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        const int selected = combo->currentIndex();
        if (combo->isEditable()) combo->setEditText(Translate(combo->currentText(), section));
        for (int i = 0; i < combo->count(); ++i)
            combo->setItemText(i, Translate(combo->itemText(i), section));
        combo->setCurrentIndex(selected);
    } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        for (int i = 0; i < tabs->count(); ++i) tabs->setTabText(i, Translate(tabs->tabText(i), section));
    } else if (auto* bar = qobject_cast<QTabBar*>(widget)) {
        if (!qobject_cast<QTabWidget*>(bar->parentWidget()))
            for (int i = 0; i < bar->count(); ++i) bar->setTabText(i, Translate(bar->tabText(i), section));
    } else if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
        auto* header = tree->headerItem();
        for (int i = 0; header && i < header->columnCount(); ++i)
            header->setText(i, Translate(header->text(i), section));
    } else if (auto* table = qobject_cast<QTableWidget*>(widget)) {
        TranslateHeader(table->horizontalHeader(), table->model(), Qt::Horizontal, section);
    } else if (auto* menu = qobject_cast<QMenu*>(widget)) {
        menu->setTitle(Translate(menu->title(), section));
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(Translate(button->text(), section));
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(Translate(label->text(), section));
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(Translate(group->title(), section));
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (!edit->isReadOnly()) edit->setText(Translate(edit->text(), section));
    }
}

void TranslateTree(QObject* object, const QString& section) {
    for (QObject* child : object->children()) {
        QString childSection = section;
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && widget->isWindow() && !qobject_cast<QMenu*>(widget))
            childSection = PlainClassName(widget);
        if (widget) TranslateWidget(widget, childSection);
        if (auto* action = qobject_cast<QAction*>(child)) TranslateAction(action, childSection);
        TranslateTree(child, childSection);
    }
}

}  // namespace

void TranslateComponents(QWidget* window) {
    if (!window) return;
    const QString section = PlainClassName(window);
    TranslateWidget(window, section);
    TranslateTree(window, section);
}

void TranslateApplication() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        app->setApplicationDisplayName(
            Translate(app->applicationDisplayName(), QStringLiteral("Application")));
}

}  // namespace plovane
