#include "framework/DesignLook.h"

#include "framework/DesignPalette.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <vector>

namespace {

// A control's palette as it was: its own, or none (it inherits).
struct TKeptPalette {
    QPointer<QWidget> Control;
    bool Own = false;
    QPalette Palette;
};

class TDesignLookKeeper : public QObject {
public:
    explicit TDesignLookKeeper(QObject* parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ThemeChange && watched->isWidgetType())
            Keep(static_cast<QWidget*>(watched)->window());
        return false;
    }

private:
    static bool DrawnInTheDesign(const QWidget* window)
    {
        return window->testAttribute(Qt::WA_SetPalette) && window->palette() == DesignPalette();
    }

    // The first notice of the change to any control of a window comes
    // before the theme touched any of them.
    void Keep(QWidget* window)
    {
        if (!DrawnInTheDesign(window) || IsKept(window))
            return;
        kept_.push_back({window, true, window->palette()});
        for (QWidget* control : window->findChildren<QWidget*>())
            if (control->window() == window)
                kept_.push_back({control, control->testAttribute(Qt::WA_SetPalette), control->palette()});
        if (!restoreQueued_) {
            restoreQueued_ = true;
            QTimer::singleShot(0, this, [this] { Restore(); });
        }
    }

    bool IsKept(const QWidget* window) const
    {
        for (const TKeptPalette& entry : kept_)
            if (entry.Control == window)
                return true;
        return false;
    }

    // Windows first, then their controls, as they were kept: a control's
    // own palette goes over the one its window passes down.
    void Restore()
    {
        restoreQueued_ = false;
        std::vector<TKeptPalette> kept = std::move(kept_);
        kept_.clear();
        for (const TKeptPalette& entry : kept)
            if (entry.Control)
                entry.Control->setPalette(entry.Own ? entry.Palette : QPalette());
    }

    std::vector<TKeptPalette> kept_;
    bool restoreQueued_ = false;
};

} // namespace

void HoldDesignLook()
{
    static QPointer<TDesignLookKeeper> keeper;
    if (keeper || !qApp)
        return;
    keeper = new TDesignLookKeeper(qApp);
    qApp->installEventFilter(keeper);
}
