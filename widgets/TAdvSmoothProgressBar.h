#pragma once

#include "framework/DispatchEvent.h"
#include "widgets/TGDIPProgress.h"
#include "widgets/TProgressBarPainter.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

// An antialiased progress bar that glides to each new position, one
// fifteenth of the remaining distance per 10 ms tick, and sweeps a soft glow
// along its filled part.
class TAdvSmoothProgressBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
    Q_PROPERTY(TGDIPProgress* Appearance READ Appearance)

public:
    explicit TAdvSmoothProgressBar(QWidget* parent = nullptr);

    double Position() const { return reported_; }
    void SetPosition(double value);
    double Minimum() const { return minimum_; }
    void SetMinimum(double value);
    double Maximum() const { return maximum_; }
    void SetMaximum(double value);
    double Step() const { return step_; }
    void SetStep(double value);
    bool GlowAnimation() const { return glowAnimation_; }
    void SetGlowAnimation(bool value);
    bool ProgressAnimation() const { return progressAnimation_; }
    void SetProgressAnimation(bool value);
    TGDIPProgress* Appearance() { return appearance_; }
    const TGDIPProgress* Appearance() const { return appearance_; }
    void SetAppearance(const TGDIPProgress& value) { appearance_->Assign(value); }
    QString Version() const;
    void SetVersion(const QString&) {}
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& value) { setToolTip(value); }

    // While loading (a window being built) neither animation runs.
    void SetLoading(bool loading) { loading_ = loading; }

    // One tick of the 10 ms timer; public so that a caller can step the bar
    // without waiting for the clock.
    void Tick();

    // Whether the bar is still moving towards its target.
    bool Gliding() const { return gliding_; }
    // Pixels from the filled part's left edge to the glow's centre.
    double GlowPosition() const { return glowPosition_; }

    // The value as the bar writes it ("42%").
    QString ValueText() const;

    TProgressBarState PaintState() const;
    TProgressBarGeometry Geometry() const;

    TWidgetNotifyEvent OnChange;
    TPositionChangedEvent OnPositionChanged;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool GlidingAllowed() const { return progressAnimation_ && !loading_; }
    bool GlowAllowed() const { return glowAnimation_ && !loading_; }
    void ShowValue(double value);
    void AnnounceValue();
    void StepGlide();
    void StepGlow();

    double minimum_ = 0;
    double maximum_ = 100;
    double step_ = 10;
    bool glowAnimation_ = true;
    bool progressAnimation_ = true;
    bool loading_ = false;
    double target_ = 0;   // where the bar is going
    double shown_ = 0;    // where it is drawn
    double reported_ = 0; // what Position returns
    bool gliding_ = false;
    int glowCounter_ = 3000;
    double glowPosition_ = -40;
    QRect lastPaintRect_;
    TGDIPProgress* appearance_;
    QTimer timer_;
    QImage offscreen_;
    QString announced_;
};
