#include "shell/UnitSplash.h"

#include <QApplication>
#include <QImageReader>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/Application.h"
#include "platform/QelConsole.h"

namespace plovane {

TFormSplash::TFormSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      Picture(new QLabel(this)),
      LabelLoading(new QLabel(this)),
      ProgressBar(new QProgressBar(this)) {
    setObjectName(QStringLiteral("FormSplash"));
    Picture->setObjectName(QStringLiteral("Image"));
    LabelLoading->setObjectName(QStringLiteral("LabelLoading"));
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 10);
    ProgressBar->setTextVisible(false);
    ProgressBar->setMaximumHeight(8);
    LabelLoading->setAlignment(Qt::AlignCenter);
    LabelLoading->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
    // The picture fills the window; the text and the bar lie over its lower part.
    auto* overlay = new QVBoxLayout(Picture);
    overlay->addStretch();
    overlay->addWidget(LabelLoading);
    overlay->addWidget(ProgressBar);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Picture);
    Timer.setInterval(80);
    connect(&Timer, &QTimer::timeout, this, &TFormSplash::TimerTick);
}

bool TFormSplash::ShowSplash(const QString& pictureFile) {
    const CommandLine& line = ProcessCommandLine();
    if (line.HasSwitch(QStringLiteral("NoSplash")) ||
        line.HasSwitch(QStringLiteral("NoSplash"), QStringLiteral("/")))
        return false;
    if (QCoreApplication::closingDown()) return false;
    QImageReader reader(pictureFile);
    reader.setAllocationLimit(64);  // megabytes: a splash picture is small
    const QImage image = reader.read();
    if (image.isNull()) return false;
    Picture->setPixmap(QPixmap::fromImage(image));
    LabelLoading->setText(QStringLiteral("Loading %1 - Please wait.").arg(ApplicationTitle()));
    setFixedSize(image.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    ProgressBar->setValue(0);
    setWindowOpacity(0.0);
    show();
    Timer.start();
    return true;
}

void TFormSplash::TimerTick() {
    ProgressBar->setValue(ProgressBar->value() + 1);
    setWindowOpacity(qMin(ProgressBar->value() * 600 / 10, 255) / 255.0);
    if (ProgressBar->value() >= 10) HideSplash();
}

void TFormSplash::mousePressEvent(QMouseEvent* event) {
    if (ProgressBar->value() >= 5) HideSplash();
    QWidget::mousePressEvent(event);
}

bool TFormSplash::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate && isVisible()) HideSplash();
    return QWidget::event(event);
}

void TFormSplash::HideSplash() {
    Timer.stop();
    hide();
    Picture->setPixmap(QPixmap());
}

}  // namespace plovane
