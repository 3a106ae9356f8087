#include "framework/TSizeConstraints.h"

#include <QEvent>
#include <QWidget>

TSizeConstraints::TSizeConstraints(QWidget* window, QSize minimumOuter, QSize maximumOuter)
    : QObject(window), window_(window), minimumOuter_(minimumOuter), maximumOuter_(maximumOuter)
{
    window->installEventFilter(this);
    Apply();
}

QSize TSizeConstraints::ClientSize(QSize outer, QMargins frame)
{
    return {outer.width() - frame.left() - frame.right(), outer.height() - frame.top() - frame.bottom()};
}

QMargins TSizeConstraints::Frame() const
{
    QRect outer = window_->frameGeometry();
    QRect inner = window_->geometry();
    QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                   outer.bottom() - inner.bottom());
    if (!window_->isVisible() || frame.isNull())
        return AssumedFrame;
    return frame;
}

void TSizeConstraints::Apply()
{
    QMargins frame = Frame();
    window_->setMinimumSize(ClientSize(minimumOuter_, frame));
    window_->setMaximumSize(ClientSize(maximumOuter_, frame));
}

bool TSizeConstraints::eventFilter(QObject* watched, QEvent* event)
{
    // The window manager's frame is known only once the window is shown and
    // has been placed; re-check whenever that may have changed.
    if (watched == window_ && (event->type() == QEvent::Show || event->type() == QEvent::Move))
        Apply();
    return false;
}
