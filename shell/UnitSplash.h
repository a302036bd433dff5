// shell/UnitSplash.h — the splash window: the program folder's "Setup.bmp", fading in over 80 ms
// steps while a bar runs from 0 to 10, then hiding itself.
#pragma once
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QTimer>
#include <QWidget>

namespace plovane {

class TFormSplash : public QWidget {
    Q_OBJECT
public:
    explicit TFormSplash(QWidget* parent = nullptr);

    // Shows the picture unless "NoSplash" (with "-" or "/") is on the command line. Any failure to
    // read the picture ends the splash silently. True when the window shows.
    bool ShowSplash(const QString& pictureFile);
    // One timer step: the bar moves by 1, the opacity follows; at 10 the window hides.
    void TimerTick();
    int Position() const { return ProgressBar->value(); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void HideSplash();
    QLabel* Picture;
    QLabel* LabelLoading;
    QProgressBar* ProgressBar;
    QTimer Timer;
};

}  // namespace plovane
