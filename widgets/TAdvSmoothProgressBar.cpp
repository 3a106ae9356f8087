#include "widgets/TAdvSmoothProgressBar.h"

#include "framework/AccessibleFactory.h"
#include "widgets/StyledAccessibility.h"

#include <QAccessible>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTickMilliseconds = 10;
constexpr unsigned kVersionNumber = 0x01000201;
constexpr double kJumpThreshold = 0.001;
constexpr double kArrivalThreshold = 0.000001;
constexpr int kGlowPause = 1500;
constexpr int kGlowCounterStep = 10;
constexpr double kGlowStep = 3;
constexpr double kGlowRestart = -60;

} // namespace

TAdvSmoothProgressBar::TAdvSmoothProgressBar(QWidget* parent) : QWidget(parent), appearance_(new TGDIPProgress(this))
{
    EnsureAccessibleFactory(&StyledWidgetAccessible);
    resize(150, 17);
    appearance_->OnChange = [this](QObject*) { update(); };
    connect(&timer_, &QTimer::timeout, this, &TAdvSmoothProgressBar::Tick);
    timer_.start(kTickMilliseconds);
}

QString TAdvSmoothProgressBar::Version() const
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(kVersionNumber >> 24)
        .arg((kVersionNumber >> 16) & 0xFF)
        .arg((kVersionNumber >> 8) & 0xFF)
        .arg(kVersionNumber & 0xFF);
}

void TAdvSmoothProgressBar::SetPosition(double value)
{
    // A value that is no number counts as the empty bar.
    if (std::isnan(value))
        value = minimum_;
    value = std::min(std::max(value, minimum_), maximum_);
    const double previousTarget = target_;
    target_ = value;
    if (GlidingAllowed() && std::abs(shown_ - previousTarget) >= kJumpThreshold) {
        shown_ = reported_ = target_;
        update();
    }
    if (GlidingAllowed()) {
        gliding_ = true;
        return;
    }
    ShowValue(target_);
}

void TAdvSmoothProgressBar::ShowValue(double value)
{
    shown_ = reported_ = value;
    DispatchEvent(OnPositionChanged, this, value);
    AnnounceValue();
    update();
}

// Screen readers hear the value each time its text changes, not at every
// step of a glide.
void TAdvSmoothProgressBar::AnnounceValue()
{
    const QString text = ValueText();
    if (text == announced_)
        return;
    announced_ = text;
    QAccessibleValueChangeEvent event(this, reported_);
    QAccessible::updateAccessibility(&event);
}

void TAdvSmoothProgressBar::SetMinimum(double value)
{
    if (value == minimum_)
        return;
    minimum_ = value;
    if (minimum_ > reported_) {
        target_ = minimum_;
        if (!GlidingAllowed())
            shown_ = reported_ = minimum_;
    }
    update();
}

void TAdvSmoothProgressBar::SetMaximum(double value)
{
    if (value == maximum_)
        return;
    maximum_ = value;
    if (maximum_ < reported_) {
        target_ = maximum_;
        if (!GlidingAllowed())
            shown_ = reported_ = maximum_;
    }
    update();
}

void TAdvSmoothProgressBar::SetStep(double value)
{
    step_ = value;
    update();
}

void TAdvSmoothProgressBar::SetGlowAnimation(bool value)
{
    glowAnimation_ = value;
    update();
}

void TAdvSmoothProgressBar::SetProgressAnimation(bool value)
{
    progressAnimation_ = value;
    update();
    if (!value)
        SetPosition(target_);
}

void TAdvSmoothProgressBar::Tick()
{
    if ((GlidingAllowed() && gliding_) || shown_ != target_)
        StepGlide();
    if (reported_ > minimum_ && GlowAllowed())
        StepGlow();
}

void TAdvSmoothProgressBar::StepGlide()
{
    const double step = std::abs(target_ - shown_) / 15;
    if (std::abs(shown_ - target_) >= kArrivalThreshold) {
        const double move = std::max(step, kArrivalThreshold);
        shown_ += shown_ < target_ ? move : -move;
    } else {
        shown_ = target_;
        gliding_ = false;
    }
    reported_ = shown_;
    DispatchEvent(OnPositionChanged, this, shown_);
    AnnounceValue();
    update();
}

void TAdvSmoothProgressBar::StepGlow()
{
    if (glowCounter_ >= kGlowPause)
        glowPosition_ += kGlowStep;
    const double filledWidth = TProgressBarPainter::Geometry(*appearance_, lastPaintRect_, PaintState()).Filled.width();
    if (filledWidth >= glowPosition_) {
        glowCounter_ += kGlowCounterStep;
    } else {
        glowCounter_ = 0;
        glowPosition_ = kGlowRestart;
    }
    update();
}

QString TAdvSmoothProgressBar::ValueText() const
{
    return TProgressBarPainter(*appearance_, PaintState()).ValueText();
}

TProgressBarState TAdvSmoothProgressBar::PaintState() const
{
    TProgressBarState state;
    state.Value = shown_;
    state.Minimum = minimum_;
    state.Maximum = maximum_;
    state.GlowAllowed = GlowAllowed();
    state.GlowPosition = glowPosition_;
    return state;
}

TProgressBarGeometry TAdvSmoothProgressBar::Geometry() const
{
    return TProgressBarPainter::Geometry(*appearance_, rect(), PaintState());
}

void TAdvSmoothProgressBar::paintEvent(QPaintEvent*)
{
    // The bar is drawn off-screen first and shown in one copy; the parent's
    // background shows through wherever the bar leaves the image clear.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (offscreen_.size() != pixels) {
        offscreen_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        offscreen_.setDevicePixelRatio(ratio);
    }
    offscreen_.fill(Qt::transparent);
    lastPaintRect_ = rect();
    {
        QPainter image(&offscreen_);
        TProgressBarPainter(*appearance_, PaintState()).Paint(image, rect());
    }
    QPainter screen(this);
    screen.drawImage(0, 0, offscreen_);
}
