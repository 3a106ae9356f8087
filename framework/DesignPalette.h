#pragma once

#include <QPalette>

// The light colours the windows were designed in. The windows and the
// system colours of the styled widgets keep them whatever palette the
// desktop has, so that a dark theme leaves every text readable; dialogs and
// message boxes follow the desktop.
const QPalette& DesignPalette();
