#pragma once

#include "framework/DispatchEvent.h"
#include "widgets/StoreValue.h"
#include "widgets/TGDIPFill.h"

#include <QFont>
#include <QObject>
#include <QString>

enum TProgressValueType { vtPercentage, vtAbsolute };
enum TProgressValuePosition { vpProgressCenter, vpProgressRight, vpCenter, vpLeft, vpRight, vpCustom };

// The look of the smooth progress bar: its two fills, its two fonts and how
// the value is written. Any change notifies the bar, which repaints.
class TGDIPProgress : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString ValueFormat READ ValueFormat WRITE SetValueFormat)

public:
    explicit TGDIPProgress(QObject* parent = nullptr);

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value) { Store(transparent_, value); }
    TGDIPFill& BackGroundFill() { return backGroundFill_; }
    const TGDIPFill& BackGroundFill() const { return backGroundFill_; }
    TGDIPFill& ProgressFill() { return progressFill_; }
    const TGDIPFill& ProgressFill() const { return progressFill_; }

    // Each font comes with the colour it is drawn in.
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& value) { Store(font_, value); }
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor value) { Store(fontColor_, value); }
    const QFont& ProgressFont() const { return progressFont_; }
    void SetProgressFont(const QFont& value) { Store(progressFont_, value); }
    TColor ProgressFontColor() const { return progressFontColor_; }
    void SetProgressFontColor(TColor value) { Store(progressFontColor_, value); }

    QString ValueFormat() const { return valueFormat_; }
    void SetValueFormat(const QString& value) { Store(valueFormat_, value); }
    TProgressValueType ValueType() const { return valueType_; }
    void SetValueType(TProgressValueType value) { Store(valueType_, value); }
    TProgressValuePosition ValuePosition() const { return valuePosition_; }
    void SetValuePosition(TProgressValuePosition value) { Store(valuePosition_, value); }
    int ValuePositionLeft() const { return valuePositionLeft_; }
    void SetValuePositionLeft(int value) { Store(valuePositionLeft_, value); }
    int ValuePositionTop() const { return valuePositionTop_; }
    void SetValuePositionTop(int value) { Store(valuePositionTop_, value); }
    bool ValueVisible() const { return valueVisible_; }
    void SetValueVisible(bool value) { Store(valueVisible_, value); }

    // Copies every appearance value of another one and notifies once.
    void Assign(const TGDIPProgress& source);

    TWidgetNotifyEvent OnChange;

private:
    template <typename T>
    void Store(T& field, const T& value)
    {
        if (StoreValue(field, value))
            Changed();
    }
    void Changed() { DispatchEvent(OnChange, this); }

    bool transparent_ = false;
    TGDIPFill backGroundFill_;
    TGDIPFill progressFill_;
    QFont font_;
    TColor fontColor_ = clWindowText;
    QFont progressFont_;
    TColor progressFontColor_ = clWindowText;
    QString valueFormat_ = QStringLiteral("%.0f%%");
    TProgressValueType valueType_ = vtAbsolute;
    TProgressValuePosition valuePosition_ = vpCenter;
    int valuePositionLeft_ = 0;
    int valuePositionTop_ = 0;
    bool valueVisible_ = false;
};
