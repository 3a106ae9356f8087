#include "widgets/TGDIPProgress.h"

TGDIPProgress::TGDIPProgress(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("Appearance"));
    backGroundFill_.OnChange = [this](QObject*) { Changed(); };
    progressFill_.OnChange = [this](QObject*) { Changed(); };
}

void TGDIPProgress::Assign(const TGDIPProgress& source)
{
    const TWidgetNotifyEvent handler = OnChange;
    OnChange = nullptr;
    transparent_ = source.transparent_;
    backGroundFill_.Assign(source.backGroundFill_);
    progressFill_.Assign(source.progressFill_);
    font_ = source.font_;
    fontColor_ = source.fontColor_;
    progressFont_ = source.progressFont_;
    progressFontColor_ = source.progressFontColor_;
    valueFormat_ = source.valueFormat_;
    valueType_ = source.valueType_;
    valuePosition_ = source.valuePosition_;
    valuePositionLeft_ = source.valuePositionLeft_;
    valuePositionTop_ = source.valuePositionTop_;
    valueVisible_ = source.valueVisible_;
    OnChange = handler;
    Changed();
}
