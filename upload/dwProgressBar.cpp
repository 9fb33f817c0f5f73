#include "upload/dwProgressBar.h"

#include <QApplication>
#include <QProgressBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/error.h"
#include "platform/taskbar.h"

namespace {

platform::Error outOfRange() {
    return platform::Error(QStringLiteral("%1 property out of range").arg("TdwProgressBar"));
}

platform::Error notIn16Bits() {
    return platform::Error(QStringLiteral("Value must be between %1 and %2").arg(0).arg(65535));
}

}  // namespace

TdwProgressBar::TdwProgressBar(QWidget* parent) : TdwTaskbarWinControl(parent) {
    bar_ = new QProgressBar(this);
    bar_->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar_);
    resize(150, style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    apply();
}

void TdwProgressBar::apply() {
    bar_->setOrientation(FOrientation);
    bar_->setInvertedAppearance(FSmoothReverse);
    if (FProgressBarState == TdwProgressBarState::pbstMarquee && FMarqueeEnabled) {
        bar_->setRange(0, 0);  // Qt's busy bar
    } else {
        bar_->setRange(FMin, FMax);
        bar_->setValue(std::clamp(FPosition, FMin, FMax));
    }
    QPalette colours = palette();
    if (FBarColor != kDefaultColor) {
        colours.setColor(QPalette::Highlight, QColor::fromRgb(FBarColor));
    }
    if (FBackgroundColor != kDefaultColor) {
        colours.setColor(QPalette::Base, QColor::fromRgb(FBackgroundColor));
    }
    bar_->setPalette(colours);
}

int TdwProgressBar::Position() const {
    return FPosition;
}

void TdwProgressBar::setPosition(int value) {
    if (!FIn32BitMode && (value < 0 || value > 65535)) {
        throw notIn16Bits();
    }
    // As the system's bar does: a position beyond the range stands at its end.
    FPosition = std::clamp(value, FMin, FMax);
    apply();
    notify();
}

void TdwProgressBar::setMin(int value) {
    if (value != FMin) {
        SetRange(value, FMax);
    }
}

void TdwProgressBar::setMax(int value) {
    if (value != FMax) {
        SetRange(FMin, value);
    }
}

void TdwProgressBar::SetRange(int min, int max) {
    if (min > max) {
        throw outOfRange();
    }
    if (!FIn32BitMode && (min < 0 || max > 65535)) {
        throw notIn16Bits();
    }
    if (min == FMin && max == FMax) {
        return;
    }
    FMin = min;
    FMax = max;
    FPosition = std::clamp(FPosition, FMin, FMax);
    apply();
    notify();
}

void TdwProgressBar::setStep(int value) {
    if (value != FStep) {
        FStep = value;
        notify();
    }
}

void TdwProgressBar::StepIt() {
    // The system's bar wraps round to the start when a step passes the end.
    const long long next = static_cast<long long>(FPosition) + FStep;
    FPosition = next > FMax ? FMin + static_cast<int>((next - FMin) % (FMax - FMin + 1))
                            : static_cast<int>(next);
    apply();
    notify();
}

void TdwProgressBar::StepBy(int Delta) {
    FPosition = static_cast<int>(
        std::clamp<long long>(static_cast<long long>(FPosition) + Delta, FMin, FMax));
    apply();
    notify();
}

void TdwProgressBar::setOrientation(Qt::Orientation value) {
    if (value != FOrientation) {
        FOrientation = value;
        apply();
    }
}

void TdwProgressBar::setSmooth(bool value) {
    if (value != FSmooth) {
        FSmooth = value;
        apply();
    }
}

void TdwProgressBar::setSmoothReverse(bool value) {
    if (value != FSmoothReverse) {
        FSmoothReverse = value;
        apply();
    }
}

void TdwProgressBar::setBarColor(QRgb value) {
    if (value != FBarColor) {
        FBarColor = value;
        apply();
    }
}

void TdwProgressBar::setBackgroundColor(QRgb value) {
    if (value != FBackgroundColor) {
        FBackgroundColor = value;
        apply();
    }
}

void TdwProgressBar::setProgressBarState(TdwProgressBarState value) {
    FProgressBarState = value;
    apply();
    notify();
}

void TdwProgressBar::setMarqueeEnabled(bool value) {
    if (value != FMarqueeEnabled) {
        FMarqueeEnabled = value;
        if (FProgressBarState == TdwProgressBarState::pbstMarquee) {
            apply();
            notify();
        }
    }
}

void TdwProgressBar::setMarqueeInterval(int value) {
    FMarqueeInterval = value;  // Qt's busy bar keeps its own pace
}

void TdwProgressBar::setShowInTaskbar(bool value) {
    if (value != FShowInTaskbar) {
        FShowInTaskbar = value;
        notify();
    }
}

void TdwProgressBar::notify() {
    if (FTaskbarList3 == nullptr || updatePosted_) {
        return;
    }
    updatePosted_ = true;
    QMetaObject::invokeMethod(this, &TdwProgressBar::UpdateTaskbar, Qt::QueuedConnection);
}

void TdwProgressBar::UpdateTaskbar() {
    updatePosted_ = false;
    if (FTaskbarList3 == nullptr || FTaskBarEntryHandle == 0xFFFFFFFF) {
        return;
    }
    using State = platform::TaskbarProgress::State;
    platform::TaskbarProgress progress;
    if (!FShowInTaskbar) {
        progress.state = State::None;
    } else {
        switch (FProgressBarState) {
            case TdwProgressBarState::pbstMarquee:
                progress.state = FMarqueeEnabled ? State::Indeterminate : State::None;
                break;
            case TdwProgressBarState::pbstNormal:
                progress.state = State::Normal;
                break;
            case TdwProgressBarState::pbstError:
                progress.state = State::Error;
                break;
            case TdwProgressBarState::pbstPaused:
                progress.state = State::Paused;
                break;
        }
        if (FProgressBarState != TdwProgressBarState::pbstMarquee && FMax > FMin) {
            progress.fraction = static_cast<double>(FPosition - FMin) / (FMax - FMin);
        }
    }
    FTaskbarList3->setProgress(progress);
}
