#pragma once

#include <QAccessible>

// Installs a factory of accessible interfaces the first time it is named.
// Self-drawn controls name theirs when they are created, so screen readers
// learn what they are from the first one on.
void EnsureAccessibleFactory(QAccessible::InterfaceFactory factory);
