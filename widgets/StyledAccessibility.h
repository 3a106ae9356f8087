#pragma once

#include <QString>

class QAccessibleInterface;
class QObject;

// What screen readers learn of the styled widgets: a header panel is a group
// named by its caption, the ellipsis label reads its whole caption, the link
// label is a link that can be pressed, the smooth progress bar a progress bar
// with its value and range.
QAccessibleInterface* StyledWidgetAccessible(const QString& className, QObject* object);
