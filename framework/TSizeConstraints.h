#pragma once

#include <QMargins>
#include <QObject>
#include <QSize>

class QWidget;

// Holds a top-level window's outer size (frame included) between two limits.
// Qt limits the client area, so the limits are turned into client limits with
// the frame the window manager gives; until that frame is known (and on
// platforms without one) a classic decorated frame is assumed.
class TSizeConstraints : public QObject {
public:
    TSizeConstraints(QWidget* window, QSize minimumOuter, QSize maximumOuter);

    static constexpr QMargins AssumedFrame{4, 30, 4, 4};

    // The client limits for a given frame.
    static QSize ClientSize(QSize outer, QMargins frame);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Apply();
    QMargins Frame() const;

    QWidget* window_;
    QSize minimumOuter_;
    QSize maximumOuter_;
};
