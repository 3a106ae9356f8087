#pragma once

#include "framework/DispatchEvent.h"

#include <QObject>

// A non-visual component that tells its owner whenever the content of the
// desktop's clipboard changes. It reads nothing from the clipboard itself.
//
// It listens to Qt's clipboard change notice, which stands in for the
// desktop's viewer chain: joining the chain is connecting to the notice,
// leaving it is disconnecting.
class TJvClipboardMonitor : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)

public:
    explicit TJvClipboardMonitor(QObject* owner, const QString& name = QString());
    ~TJvClipboardMonitor() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Raised on the user-interface thread once for every change of the
    // clipboard's content while enabled.
    TWidgetNotifyEvent OnChange;

protected:
    // Raises OnChange; descendants may do more.
    virtual void Change();

private:
    void ChangeNotice();

    bool enabled_ = false;
    QMetaObject::Connection notice_;
};
