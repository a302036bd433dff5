#include "tidy/UnitTidyProperties.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "platform/Errors.h"

namespace plovane {

namespace {

QWidget* NamedPage(const char* name) {
    auto* page = new QWidget;
    page->setObjectName(QLatin1String(name));
    return page;
}

QGroupBox* NamedGroup(QWidget* parent, const char* name, const QString& caption) {
    auto* group = new QGroupBox(caption, parent);
    group->setObjectName(QLatin1String(name));
    return group;
}

QPushButton* TestButton(QWidget* parent, const char* name) {
    auto* button = new QPushButton(QStringLiteral("Test"), parent);
    button->setObjectName(QLatin1String(name));
    button->setEnabled(false);  // the preview these would feed is never shown
    return button;
}

QLabel* NamedLabel(QWidget* parent, const char* name, const QString& caption, QWidget* buddy) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setBuddy(buddy);
    label->setToolTip(buddy->toolTip());
    return label;
}

int NumberOr(const QString& text, int fallback) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : fallback;
}

}  // namespace

TFormTidyProperties::TFormTidyProperties(TidyOptionsStore& store, QWidget* parent)
    : QDialog(parent), Store(store) {
    setObjectName(QStringLiteral("FormTidyProperties"));
    setWindowTitle(QStringLiteral("Tidy Options"));

    auto* layout = new QVBoxLayout(this);
    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    layout->addWidget(PageControl);

    // HTML Options
    QWidget* htmlPage = NamedPage("TabSheetHTMLOptions");
    auto* htmlLayout = new QVBoxLayout(htmlPage);
    QGroupBox* formatting = NamedGroup(htmlPage, "GroupBoxHTMLFormatting", QStringLiteral("HTML Formatting"));
    new QVBoxLayout(formatting);  // owned by the group; AddCheckBox fills it
    cbUppercaseTags = AddCheckBox(formatting, "cbUppercaseTags", QStringLiteral("Uppercase Tags"),
                                  QStringLiteral("Writes element names in upper case (<P> instead of <p>)."));
    cbUppercaseAttributes = AddCheckBox(
        formatting, "cbUppercaseAttributes", QStringLiteral("Uppercase Attributes"),
        QStringLiteral("Writes attribute names in upper case (ALIGN=\"left\" instead of align=\"left\")."));
    CBBreakBeforeBR =
        AddCheckBox(formatting, "CBBreakBeforeBR", QStringLiteral("Break before <BR>"),
                    QStringLiteral("Starts a new line in the source before every <BR> element."));
    CBIndent =
        AddCheckBox(formatting, "CBIndent", QStringLiteral("Indent Tags"),
                    QStringLiteral("Indents the content of block elements to show the structure of the "
                                   "page in the source."));
    CBDropEmptyParas = AddCheckBox(formatting, "CBDropEmptyParas", QStringLiteral("Remove empty paragraphs"),
                                   QStringLiteral("Removes paragraphs that hold nothing, instead of keeping "
                                                  "them as blank space."));
    CBWord2000 =
        AddCheckBox(formatting, "CBWord2000", QStringLiteral("Strip MS Word 2000 tags"),
                    QStringLiteral("Removes the extra markup Microsoft Word 2000 writes when it saves "
                                   "a document as a web page."));
    CBBare = AddCheckBox(formatting, "CBBare", QStringLiteral("Strip Microsoft specific HTML"),
                         QStringLiteral("Replaces Microsoft-specific characters such as smart quotes with "
                                        "plain ones and removes Microsoft-only markup."));
    CBFixBadComments = AddCheckBox(formatting, "CBFixBadComments", QStringLiteral("Fix Bad Comments"),
                                   QStringLiteral("Replaces unexpected hyphens inside comments, which some "
                                                  "browsers read as the end of the comment."));
    CBFixURI = AddCheckBox(formatting, "CBFixURI", QStringLiteral("Fix URLs"),
                           QStringLiteral("Escapes characters that are not allowed in links and other "
                                          "addresses, such as spaces."));
    CBClean = AddCheckBox(formatting, "CBClean", QStringLiteral("Replace fonts with styles"),
                          QStringLiteral("Replaces presentational markup such as <FONT> and <CENTER> with "
                                         "style rules."));
    cbTidyMark = AddCheckBox(formatting, "cbTidyMark", QStringLiteral("Hidden Option - Include Tidy mark"),
                             QStringLiteral("Adds a META element naming HTML Tidy as the page's generator."));
    cbTidyMark->setVisible(false);
    htmlLayout->addWidget(formatting);
    htmlLayout->addStretch();
    htmlLayout->addWidget(TestButton(htmlPage, "ButtonTestHTML"), 0, Qt::AlignRight);
    PageControl->addTab(htmlPage, QStringLiteral("HTML Options"));

    // Text Wrap
    QWidget* wrapPage = NamedPage("TabSheetTextWrap");
    auto* wrapLayout = new QVBoxLayout(wrapPage);
    QGroupBox* wrapping = NamedGroup(wrapPage, "GroupBoxTextWrapping", QStringLiteral("Text Wrapping"));
    auto* wrappingLayout = new QVBoxLayout(wrapping);
    cbEnableTextWrapping =
        AddCheckBox(wrapping, "cbEnableTextWrapping", QStringLiteral("Enable Text Wrapping"),
                    QStringLiteral("Breaks source lines that are longer than the wrap "
                                   "width. When clear, lines are never broken."));
    auto* widthRow = new QHBoxLayout;
    EditWrapWidth = new QLineEdit(wrapping);
    EditWrapWidth->setObjectName(QStringLiteral("EditWrapWidth"));
    EditWrapWidth->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), EditWrapWidth));
    EditWrapWidth->setToolTip(
        QStringLiteral("The longest source line, in characters, before Tidy breaks it."));
    udWrapWidth = new QWidget(wrapping);
    udWrapWidth->setObjectName(QStringLiteral("udWrapWidth"));
    auto* spinLayout = new QVBoxLayout(udWrapWidth);
    spinLayout->setContentsMargins(0, 0, 0, 0);
    spinLayout->setSpacing(0);
    for (const int step : {1, -1}) {
        auto* arrow = new QToolButton(udWrapWidth);
        arrow->setArrowType(step > 0 ? Qt::UpArrow : Qt::DownArrow);
        arrow->setAutoRepeat(true);
        connect(arrow, &QToolButton::clicked, this,
                [this, step] { RunCommand([&] { udWrapWidthClick(step); }); });
        spinLayout->addWidget(arrow);
    }
    widthRow->addWidget(NamedLabel(wrapping, "LabelWrapWidth", QStringLiteral("Wrap Width"), EditWrapWidth));
    widthRow->addWidget(EditWrapWidth);
    widthRow->addWidget(udWrapWidth);
    widthRow->addStretch();
    wrappingLayout->addLayout(widthRow);
    wrapLayout->addWidget(wrapping);

    QGroupBox* wrapOptions =
        NamedGroup(wrapPage, "GroupBoxTextWrapOptions", QStringLiteral("Text Wrap Options"));
    new QVBoxLayout(wrapOptions);
    cbWrapAttributes = AddCheckBox(wrapOptions, "cbWrapAttributes", QStringLiteral("Wrap HTML Attributes"),
                                   QStringLiteral("Lets long attribute values be broken across lines."));
    CBWrapSections = AddCheckBox(wrapOptions, "CBWrapSections", QStringLiteral("Wrap HTML Sections"),
                                 QStringLiteral("Lets the text inside <![ ... ]> sections be broken across "
                                                "lines."));
    cbWrapASP =
        AddCheckBox(wrapOptions, "cbWrapASP", QStringLiteral("Wrap ASP Scripts"),
                    QStringLiteral("Lets the text inside ASP blocks (<% ... %>) be broken across lines."));
    cbWrapPHP = AddCheckBox(wrapOptions, "cbWrapPHP", QStringLiteral("Wrap PHP Scripts"),
                            QStringLiteral("Lets the text inside PHP blocks (<?php ... ?>) be broken across "
                                           "lines."));
    cbWrapLiterals = AddCheckBox(wrapOptions, "cbWrapLiterals", QStringLiteral("Wrap SCRIPT string literals"),
                                 QStringLiteral("Lets long string literals inside scripts be broken across "
                                                "lines, with a backslash at each break."));
    cbWrapJSTE = AddCheckBox(wrapOptions, "cbWrapJSTE", QStringLiteral("Wrap JSTE Scripts"),
                             QStringLiteral("Lets the text inside JSTE blocks (<# ... #>) be broken across "
                                            "lines."));
    wrapLayout->addWidget(wrapOptions);
    wrapLayout->addStretch();
    wrapLayout->addWidget(TestButton(wrapPage, "ButtonTestWrap"), 0, Qt::AlignRight);
    PageControl->addTab(wrapPage, QStringLiteral("Text Wrap"));

    // Accessibility Options
    QWidget* accessPage = NamedPage("TabSheetAccessibility");
    auto* accessLayout = new QVBoxLayout(accessPage);
    QGroupBox* altGroup = NamedGroup(accessPage, "GroupBoxImageAltText", QStringLiteral("Image ALT Text"));
    auto* altLayout = new QVBoxLayout(altGroup);
    CBAltText = AddCheckBox(altGroup, "CBAltText", QStringLiteral("Automatically provide image ALT text"),
                            QStringLiteral("Gives every image without an ALT attribute the text below, for "
                                           "readers who cannot see the picture."));
    EditAltText = new QLineEdit(altGroup);
    EditAltText->setObjectName(QStringLiteral("EditAltText"));
    altLayout->addWidget(EditAltText);
    accessLayout->addWidget(altGroup);
    accessLayout->addStretch();
    accessLayout->addWidget(TestButton(accessPage, "ButtonTestAccessibility"), 0, Qt::AlignRight);
    PageControl->addTab(accessPage, QStringLiteral("Accessibility Options"));

    // File Options
    const QString encodingHint = QStringLiteral(
        "The character encoding: ascii, latin1 (ISO-8859-1), raw (bytes passed through unchanged), utf8, "
        "iso2022, mac (Mac Roman) or win1252 (Windows Western).");
    QWidget* filePage = NamedPage("TabSheetFileOptions");
    auto* fileLayout = new QVBoxLayout(filePage);
    QGroupBox* inputGroup =
        NamedGroup(filePage, "GroupBoxInputFileOptions", QStringLiteral("Input File Options"));
    auto* inputLayout = new QFormLayout(inputGroup);
    CBInputEncoding = new QComboBox(inputGroup);
    CBInputEncoding->setObjectName(QStringLiteral("CBInputEncoding"));
    CBInputEncoding->addItems(TidyEncodingNames());
    CBInputEncoding->setToolTip(QStringLiteral("How the characters of the source are read. ") + encodingHint);
    inputLayout->addRow(
        NamedLabel(inputGroup, "LabelInputEncoding", QStringLiteral("Char Encoding:"), CBInputEncoding),
        CBInputEncoding);
    CBTabSize = new QComboBox(inputGroup);
    CBTabSize->setObjectName(QStringLiteral("CBTabSize"));
    CBTabSize->setEditable(true);
    CBTabSize->setInsertPolicy(QComboBox::NoInsert);
    CBTabSize->addItems({"1", "2", "3", "4", "5", "6", "7", "8"});
    CBTabSize->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), CBTabSize));
    CBTabSize->setToolTip(
        QStringLiteral("The number of columns between tab stops, used to turn tab "
                       "characters of the source into spaces."));
    CBTabSize->installEventFilter(this);
    CBTabSize->lineEdit()->installEventFilter(this);
    inputLayout->addRow(NamedLabel(inputGroup, "LabelTabSize", QStringLiteral("Tab Size:"), CBTabSize),
                        CBTabSize);
    fileLayout->addWidget(inputGroup);
    QGroupBox* outputGroup =
        NamedGroup(filePage, "GroupBoxOutputFileOptions", QStringLiteral("Output File Options"));
    auto* outputLayout = new QFormLayout(outputGroup);
    CBOutputEncoding = new QComboBox(outputGroup);
    CBOutputEncoding->setObjectName(QStringLiteral("CBOutputEncoding"));
    CBOutputEncoding->addItems(TidyEncodingNames());
    CBOutputEncoding->setToolTip(QStringLiteral("How the characters of the cleaned source are written. ") +
                                 encodingHint);
    outputLayout->addRow(
        NamedLabel(outputGroup, "LabelOutputEncoding", QStringLiteral("Char Encoding:"), CBOutputEncoding),
        CBOutputEncoding);
    fileLayout->addWidget(outputGroup);
    fileLayout->addStretch();
    fileLayout->addWidget(TestButton(filePage, "ButtonTestFile"), 0, Qt::AlignRight);
    PageControl->addTab(filePage, QStringLiteral("File Options"));

    // The before-and-after preview pages exist but are never offered.
    PageControl->setTabVisible(PageControl->addTab(NamedPage("TabSheetBefore"), QStringLiteral("Before")),
                               false);
    PageControl->setTabVisible(PageControl->addTab(NamedPage("TabSheetAfter"), QStringLiteral("After")),
                               false);

    auto* buttons = new QHBoxLayout;
    ButtonDefaults = new QPushButton(QStringLiteral("Defaults"), this);
    ButtonDefaults->setObjectName(QStringLiteral("ButtonDefaults"));
    ButtonPreview = new QPushButton(QStringLiteral("Preview"), this);
    ButtonPreview->setObjectName(QStringLiteral("ButtonPreview"));
    ButtonPreview->setEnabled(false);
    ButtonOK = new QPushButton(QStringLiteral("OK"), this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setDefault(true);
    ButtonCancel = new QPushButton(QStringLiteral("Cancel"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    buttons->addWidget(ButtonDefaults);
    buttons->addWidget(ButtonPreview);
    buttons->addStretch();
    buttons->addWidget(ButtonOK);
    buttons->addWidget(ButtonCancel);
    layout->addLayout(buttons);

    connect(ButtonDefaults, &QPushButton::clicked, this,
            [this] { RunCommand([&] { ButtonDefaultsClick(); }); });
    connect(ButtonOK, &QPushButton::clicked, this, [this] { RunCommand([&] { ButtonOKClick(); }); });
    connect(ButtonCancel, &QPushButton::clicked, this, [this] { RunCommand([&] { ButtonCancelClick(); }); });
    connect(cbEnableTextWrapping, &QCheckBox::toggled, this,
            [this] { RunCommand([&] { UpdateEnabled(); }); });
    connect(CBAltText, &QCheckBox::toggled, this, [this] { RunCommand([&] { UpdateEnabled(); }); });

    for (QWidget* control : findChildren<QWidget*>())
        if (!control->toolTip().isEmpty()) control->installEventFilter(this);

    Fill(Store.Options());
    PageControl->setCurrentIndex(0);
}

QCheckBox* TFormTidyProperties::AddCheckBox(QWidget* parent, const char* name, const QString& caption,
                                            const QString& hint) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(hint);
    parent->layout()->addWidget(box);
    return box;
}

TidyOptions TFormTidyProperties::Apply() const {
    TidyOptions options;
    options.breakBeforeBR = CBBreakBeforeBR->isChecked();
    options.makeBare = CBBare->isChecked();
    options.makeClean = CBClean->isChecked();
    options.word2000 = CBWord2000->isChecked();
    options.indent = CBIndent->isChecked();
    options.upperCaseTags = cbUppercaseTags->isChecked();
    options.upperCaseAttributes = cbUppercaseAttributes->isChecked();
    options.dropEmptyParas = CBDropEmptyParas->isChecked();
    options.fixComments = CBFixBadComments->isChecked();
    options.fixUri = CBFixURI->isChecked();
    options.tidyMark = cbTidyMark->isChecked();
    options.wrapEnabled = cbEnableTextWrapping->isChecked();
    options.wrapWidth = EditWrapWidth->text();
    options.wrapAttributes = cbWrapAttributes->isChecked();
    options.wrapAsp = cbWrapASP->isChecked();
    options.wrapPhp = cbWrapPHP->isChecked();
    options.wrapJste = cbWrapJSTE->isChecked();
    options.wrapScriptLiterals = cbWrapLiterals->isChecked();
    options.wrapSections = CBWrapSections->isChecked();
    options.altTextEnabled = CBAltText->isChecked();
    options.altText = EditAltText->text();
    // A typed size the clamp allowed (1 to 12) wins over the list, which only reaches 8.
    const int typed = NumberOr(CBTabSize->currentText(), 0);
    if (typed >= 1 && typed <= 12)
        options.tabSize = typed;
    else if (CBTabSize->currentIndex() >= 0)
        options.tabSize = NumberOr(CBTabSize->itemText(CBTabSize->currentIndex()), 1);
    else
        options.tabSize.reset();
    options.inputEncoding = CBInputEncoding->currentIndex() >= 0 ? CBInputEncoding->currentText() : QString();
    options.outputEncoding =
        CBOutputEncoding->currentIndex() >= 0 ? CBOutputEncoding->currentText() : QString();
    return options;
}

void TFormTidyProperties::Fill(const TidyOptions& options) {
    CBBreakBeforeBR->setChecked(options.breakBeforeBR);
    CBBare->setChecked(options.makeBare);
    CBClean->setChecked(options.makeClean);
    CBWord2000->setChecked(options.word2000);
    CBIndent->setChecked(options.indent);
    cbUppercaseTags->setChecked(options.upperCaseTags);
    cbUppercaseAttributes->setChecked(options.upperCaseAttributes);
    CBDropEmptyParas->setChecked(options.dropEmptyParas);
    CBFixBadComments->setChecked(options.fixComments);
    CBFixURI->setChecked(options.fixUri);
    cbTidyMark->setChecked(options.tidyMark);
    cbEnableTextWrapping->setChecked(options.wrapEnabled);
    EditWrapWidth->setText(options.wrapWidth);
    cbWrapAttributes->setChecked(options.wrapAttributes);
    cbWrapASP->setChecked(options.wrapAsp);
    cbWrapPHP->setChecked(options.wrapPhp);
    cbWrapJSTE->setChecked(options.wrapJste);
    cbWrapLiterals->setChecked(options.wrapScriptLiterals);
    CBWrapSections->setChecked(options.wrapSections);
    CBAltText->setChecked(options.altTextEnabled);
    EditAltText->setText(options.altText);
    const QString size = options.tabSize ? QString::number(*options.tabSize) : QString();
    CBTabSize->setCurrentIndex(CBTabSize->findText(size));
    CBTabSize->setEditText(size);
    CBInputEncoding->setCurrentIndex(CBInputEncoding->findText(options.inputEncoding));
    CBOutputEncoding->setCurrentIndex(CBOutputEncoding->findText(options.outputEncoding));
    UpdateEnabled();
}

void TFormTidyProperties::ButtonDefaultsClick() { Fill(TidyOptions{}); }

void TFormTidyProperties::ButtonOKClick() { accept(); }

void TFormTidyProperties::ButtonCancelClick() { reject(); }

void TFormTidyProperties::accept() {
    Store.SetOptions(Apply());
    // The options hold for this session even when Settings.ini cannot be written.
    Store.Save();
    QDialog::accept();
}

void TFormTidyProperties::reject() {
    Fill(Store.Options());
    QDialog::reject();
}

void TFormTidyProperties::CBTabSizeExit() {
    const int size = std::clamp(NumberOr(CBTabSize->currentText(), 0), 1, 12);
    const QString text = QString::number(size);
    const int entry = CBTabSize->findText(text);
    if (entry >= 0) CBTabSize->setCurrentIndex(entry);
    CBTabSize->setEditText(text);
}

void TFormTidyProperties::udWrapWidthClick(int step) {
    EditWrapWidth->setText(QString::number(std::clamp(NumberOr(EditWrapWidth->text(), 0) + step, 0, 100)));
}

void TFormTidyProperties::UpdateEnabled() {
    const bool wrap = cbEnableTextWrapping->isChecked();
    for (QWidget* control : {static_cast<QWidget*>(EditWrapWidth), udWrapWidth,
                             static_cast<QWidget*>(cbWrapAttributes), static_cast<QWidget*>(CBWrapSections),
                             static_cast<QWidget*>(cbWrapASP), static_cast<QWidget*>(cbWrapPHP),
                             static_cast<QWidget*>(cbWrapLiterals), static_cast<QWidget*>(cbWrapJSTE)})
        control->setEnabled(wrap);
    EditAltText->setEnabled(CBAltText->isChecked());
}

void TFormTidyProperties::showEvent(QShowEvent* event) {
    PageControl->setCurrentIndex(0);
    if (CBTabSize->currentIndex() < 0) CBTabSize->setCurrentIndex(0);
    QDialog::showEvent(event);
}

bool TFormTidyProperties::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && (watched == CBTabSize || watched == CBTabSize->lineEdit())) {
        RunCommand([&] { CBTabSizeExit(); });
    } else if (event->type() == QEvent::ToolTip) {
        // The hints are long: keep each up until the mouse leaves its control.
        auto* control = qobject_cast<QWidget*>(watched);
        if (control && !control->toolTip().isEmpty()) {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), control->toolTip(), control,
                               control->rect(), std::numeric_limits<int>::max());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool ShowTidyOptions(QWidget* parent) {
    TFormTidyProperties form(TidyOptionsStore::Program(), parent);
    return form.exec() == QDialog::Accepted;
}

}  // namespace plovane
