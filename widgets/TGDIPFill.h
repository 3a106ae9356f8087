#pragma once

#include "framework/DispatchEvent.h"
#include "widgets/StoreValue.h"
#include "widgets/TColor.h"

#include <QImage>
#include <QRectF>

#include <functional>

class QPainter;
class QPainterPath;

enum TGDIPGradient {
    gtSolid,
    gtRadial,
    gtVertical,
    gtHorizontal,
    gtForwardDiagonal,
    gtBackwardDiagonal,
    gtAngle,
    gtHatch,
    gtPath,
    gtTexture,
    gtNone
};
enum TFillRoundingType { rtNone, rtTop, rtBottom, rtBoth, rtLeft, rtRight };
enum TFillPictureMode { pmInsideFill, pmOutsideFill };

// Opacities that replace a fill's own for one drawing; KeepOwn keeps the fill's.
struct TFillOpacities {
    static constexpr int KeepOwn = 255;

    int Opacity = KeepOwn;
    int OpacityTo = KeepOwn;
    int OpacityMirror = KeepOwn;
    int OpacityMirrorTo = KeepOwn;
};

// One antialiased fill: a two-colour gradient, optionally split into a main
// and a mirror half, with rounded corners, a shadow and a border.
class TGDIPFill {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor value) { Store(color_, value); }
    TColor ColorTo() const { return colorTo_; }
    void SetColorTo(TColor value) { Store(colorTo_, value); }
    TColor ColorMirror() const { return colorMirror_; }
    void SetColorMirror(TColor value) { Store(colorMirror_, value); }
    TColor ColorMirrorTo() const { return colorMirrorTo_; }
    void SetColorMirrorTo(TColor value) { Store(colorMirrorTo_, value); }
    TGDIPGradient GradientType() const { return gradientType_; }
    void SetGradientType(TGDIPGradient value) { Store(gradientType_, value); }
    TGDIPGradient GradientMirrorType() const { return gradientMirrorType_; }
    void SetGradientMirrorType(TGDIPGradient value) { Store(gradientMirrorType_, value); }
    int Angle() const { return angle_; }
    void SetAngle(int value) { Store(angle_, value); }
    Qt::BrushStyle HatchStyle() const { return hatchStyle_; }
    void SetHatchStyle(Qt::BrushStyle value) { Store(hatchStyle_, value); }
    Qt::BrushStyle HatchStyleMirror() const { return hatchStyleMirror_; }
    void SetHatchStyleMirror(Qt::BrushStyle value) { Store(hatchStyleMirror_, value); }
    int Opacity() const { return opacity_; }
    void SetOpacity(int value) { Store(opacity_, value); }
    int OpacityTo() const { return opacityTo_; }
    void SetOpacityTo(int value) { Store(opacityTo_, value); }
    int OpacityMirror() const { return opacityMirror_; }
    void SetOpacityMirror(int value) { Store(opacityMirror_, value); }
    int OpacityMirrorTo() const { return opacityMirrorTo_; }
    void SetOpacityMirrorTo(int value) { Store(opacityMirrorTo_, value); }
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor value) { Store(borderColor_, value); }
    int BorderOpacity() const { return borderOpacity_; }
    void SetBorderOpacity(int value) { Store(borderOpacity_, value); }
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int value) { Store(borderWidth_, value); }
    int Rounding() const { return rounding_; }
    void SetRounding(int value) { Store(rounding_, value); }
    TFillRoundingType RoundingType() const { return roundingType_; }
    void SetRoundingType(TFillRoundingType value) { Store(roundingType_, value); }
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor value) { Store(shadowColor_, value); }
    int ShadowOffset() const { return shadowOffset_; }
    void SetShadowOffset(int value) { Store(shadowOffset_, value); }
    const QImage& BackGroundPicture() const { return backGroundPicture_; }
    void SetBackGroundPicture(const QImage& value);
    TFillPictureMode BackGroundPictureMode() const { return backGroundPictureMode_; }
    void SetBackGroundPictureMode(TFillPictureMode value) { Store(backGroundPictureMode_, value); }

    // Copies every appearance value of another fill and notifies once.
    void Assign(const TGDIPFill& source);

    // Draws the fill over area, in the painter's coordinates.
    void Fill(QPainter& painter, QRectF area, const TFillOpacities& opacities = {}) const;

    TWidgetNotifyEvent OnChange;

private:
    enum Half { hWhole, hTop, hBottom };

    template <typename T>
    void Store(T& field, const T& value)
    {
        if (StoreValue(field, value))
            Changed();
    }
    void Changed() { DispatchEvent(OnChange, nullptr); }

    void DrawLine(QPainter& painter, const QRectF& area) const;
    void DrawShadow(QPainter& painter, QRectF& area) const;
    void DrawGradients(QPainter& painter, const QRectF& area, const TFillOpacities& opacities) const;
    void DrawGradient(QPainter& painter, const QPainterPath& shape, const QRectF& area, TColor from, TColor to,
                      TGDIPGradient type, int opacityFrom, int opacityTo, Qt::BrushStyle hatch) const;
    void DrawBorder(QPainter& painter, const QRectF& area) const;
    QPainterPath Shape(const QRectF& area, Half half) const;

    TColor color_ = clSilver;
    TColor colorTo_ = clGray;
    TColor colorMirror_ = clNone;
    TColor colorMirrorTo_ = clNone;
    TGDIPGradient gradientType_ = gtVertical;
    TGDIPGradient gradientMirrorType_ = gtSolid;
    int angle_ = 0;
    Qt::BrushStyle hatchStyle_ = Qt::HorPattern;
    Qt::BrushStyle hatchStyleMirror_ = Qt::HorPattern;
    int opacity_ = 255;
    int opacityTo_ = 255;
    int opacityMirror_ = 255;
    int opacityMirrorTo_ = 255;
    TColor borderColor_ = clNone;
    int borderOpacity_ = 255;
    int borderWidth_ = 1;
    int rounding_ = 0;
    TFillRoundingType roundingType_ = rtBoth;
    TColor shadowColor_ = clGray;
    int shadowOffset_ = 0;
    QImage backGroundPicture_;
    TFillPictureMode backGroundPictureMode_ = pmOutsideFill;
};
