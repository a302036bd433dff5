#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "platform/Translation.h"

namespace plovane {
namespace {

TEST(EscapedFormTest, EscapesControlCharactersQuotesAndBackslashesAndReadsThemBack) {
    const QString text = QString("Line\r\nTab\t\"q\" back\\ bell\a x") + QChar(1) + QChar(31);
    EXPECT_EQ(EscapeText(text), "Line\\r\\nTab\\t\\\"q\\\" back\\\\ bell\\a x\\x01\\x1f");
    EXPECT_EQ(UnescapeText(EscapeText(text)), text);
    EXPECT_EQ(UnescapeText("\\101\\?\\'\\x41z"), "A?'Az");
}

// A section for the about box, then the string table.
const char* const kLanguageFile =
    "; comment line\n"
    "<!-- //TFormAboutBox- the about box -->\n"
    "E=About\n"
    "T=Acerca de\n"
    "E=OK\n"
    "T=*\n"
    "<a line with no section marker>\n"
    "E=Cancel\n"
    "T=Anular\n"
    "T=Cancelar\n"
    "   <//STRING_TABLE-messages>  \n"
    "E=Line one\\r\\nLine two\n"
    "T=Linea uno\\r\\nLinea dos\n"
    "E=\n"
    "T=nothing to translate\n";

TEST(LanguageTableTest, ReadsSectionsAndTheTranslationRules) {
    SetLanguage(LanguageTable::FromText(kLanguageFile));
    struct Case {
        const char* text;
        const char* section;
        QString expected;
    };
    const Case cases[] = {
        {"About", "TFormAboutBox", "Acerca de"},
        {"OK", "TFormAboutBox", "OK"},            // "*" keeps the English text
        {"Cancel", "TFormAboutBox", "Cancelar"},  // the later translation wins
        {"About", "STRING_TABLE", "About"},       // other section
        {"Line one\r\nLine two", "STRING_TABLE", "Linea uno\r\nLinea dos"},
        {"Unknown", "STRING_TABLE", "Unknown"},
    };
    for (const Case& c : cases) EXPECT_EQ(Translate(c.text, c.section), c.expected) << c.text;
    SetLanguage(LanguageTable());
}

class TFormAboutBox : public QDialog {
    Q_OBJECT
};

TEST(LanguageTableTest, TranslateComponentsUsesTheOwningWindowsClassAsSection) {
    SetLanguage(LanguageTable::FromText(
        "<//TFormAboutBox-x>\nE=About\nT=Acerca de\nE=OK\nT=Vale\nE=Close the box\nT=Cerrar\n"
        "E=Red\nT=Rojo\nE=File\nT=Archivo\nE=Open\nT=Abrir\n"));
    TFormAboutBox box;
    box.setWindowTitle("About");
    auto* ok = new QPushButton("OK", &box);
    ok->setToolTip("Close the box");
    auto* combo = new QComboBox(&box);
    combo->addItems({"Green", "Red"});
    combo->setCurrentIndex(1);
    auto* menu = new QMenu("File", &box);
    menu->addAction(new QAction("Open", menu));
    TranslateComponents(&box);
    EXPECT_EQ(box.windowTitle(), "Acerca de");
    EXPECT_EQ(ok->text(), "Vale");
    EXPECT_EQ(ok->toolTip(), "Cerrar");
    EXPECT_EQ(combo->itemText(1), "Rojo");
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(menu->title(), "Archivo");
    EXPECT_EQ(menu->actions().first()->text(), "Abrir");
    SetLanguage(LanguageTable());
}

}  // namespace
}  // namespace plovane

#include "TranslationTest.moc"
