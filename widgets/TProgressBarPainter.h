#pragma once

#include <QRectF>
#include <QString>

class QPainter;
class TGDIPProgress;

// Where the parts of the smooth progress bar go inside its client rectangle.
struct TProgressBarGeometry {
    QRectF Inner;  // inside the background border
    QRectF Filled; // the part that shows the value
};

// What one paint of the bar needs besides its appearance.
struct TProgressBarState {
    double Value = 0; // the shown value
    double Minimum = 0;
    double Maximum = 100;
    bool GlowAllowed = false;
    double GlowPosition = -40; // pixels from the filled part's left
};

// Draws the bar in its fixed order: background, filled part with its end
// shading, the inner end shading, the value text, the gloss, the glow.
class TProgressBarPainter {
public:
    TProgressBarPainter(const TGDIPProgress& appearance, const TProgressBarState& state);

    static TProgressBarGeometry Geometry(const TGDIPProgress& appearance, const QRect& client,
                                         const TProgressBarState& state);

    // The value written as text, by the appearance's format and value type.
    QString ValueText() const;

    void Paint(QPainter& painter, const QRect& client) const;

private:
    void PaintValueText(QPainter& painter, const QRect& client, const TProgressBarGeometry& geometry) const;
    void PaintGloss(QPainter& painter, const QRectF& inner) const;
    void PaintGlow(QPainter& painter, const QRectF& filled) const;

    const TGDIPProgress& appearance_;
    TProgressBarState state_;
};
