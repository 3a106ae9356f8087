#pragma once

#include <QString>

// A message in the desktop's notification area, through the freedesktop
// notification service on the session bus. Where no session bus or no such
// service runs, nothing is shown and nothing is said: the window asking for
// attention is enough there. Never waits for the service's answer.
void NotifyDesktop(const QString& summary, const QString& body);
