#pragma once

#include <QColor>

#include "upload/dwTaskbarComponents.h"

class QProgressBar;

enum class TdwProgressBarState { pbstMarquee = 0, pbstNormal = 1, pbstError = 2, pbstPaused = 3 };

// A progress bar (a QProgressBar inside) with the properties of the upload window's
// bars, which can mirror its value and state on the taskbar button: every change that
// should reach the taskbar posts an update, made when the event loop gets to it.
// Errors are raised as platform::Error. User-interface thread only.
class TdwProgressBar : public TdwTaskbarWinControl {
    Q_OBJECT

public:
    // The colour value that means "the style's own".
    static constexpr QRgb kDefaultColor = 0x20000000;

    explicit TdwProgressBar(QWidget* parent = nullptr);

    int Position() const;
    void setPosition(int value);
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    void setMin(int value);
    void setMax(int value);
    void SetRange(int min, int max);
    int Step() const { return FStep; }
    void setStep(int value);
    void StepIt();
    void StepBy(int Delta);
    Qt::Orientation Orientation() const { return FOrientation; }
    void setOrientation(Qt::Orientation value);
    bool Smooth() const { return FSmooth; }
    void setSmooth(bool value);
    bool SmoothReverse() const { return FSmoothReverse; }
    void setSmoothReverse(bool value);
    QRgb BarColor() const { return FBarColor; }
    void setBarColor(QRgb value);
    QRgb BackgroundColor() const { return FBackgroundColor; }
    void setBackgroundColor(QRgb value);
    TdwProgressBarState ProgressBarState() const { return FProgressBarState; }
    void setProgressBarState(TdwProgressBarState value);
    bool MarqueeEnabled() const { return FMarqueeEnabled; }
    void setMarqueeEnabled(bool value);
    int MarqueeInterval() const { return FMarqueeInterval; }
    void setMarqueeInterval(int value);
    bool ShowInTaskbar() const { return FShowInTaskbar; }
    void setShowInTaskbar(bool value);

    // The bar itself, for tests and the window's look.
    QProgressBar* bar() const { return bar_; }

private:
    // Posts the taskbar update; the event loop runs UpdateTaskbar.
    void notify();
    void UpdateTaskbar();
    // The look and range of the inner bar from the fields.
    void apply();

    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FStep = 10;
    Qt::Orientation FOrientation = Qt::Horizontal;
    bool FSmooth = false;
    bool FSmoothReverse = false;
    QRgb FBarColor = kDefaultColor;
    QRgb FBackgroundColor = kDefaultColor;
    TdwProgressBarState FProgressBarState = TdwProgressBarState::pbstNormal;
    bool FMarqueeEnabled = false;
    int FMarqueeInterval = 50;
    bool FShowInTaskbar = false;
    bool updatePosted_ = false;
    QProgressBar* bar_ = nullptr;
};
