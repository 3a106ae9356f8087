#pragma once

// Windows drawn in the design's palette (framework/DesignPalette.h) keep it
// when the desktop's theme changes while the program runs. Some desktop
// themes (qt6ct among them) hand their new palette to every widget of the
// program, one by one, right after telling each of a theme change; that
// would leave light text on the design's light faces. The palettes a design
// window and its controls had when the change began are put back once the
// theme is done. Dialogs, which set no palette of their own, follow the
// desktop as before.
//
// Called once the QApplication exists; calling it again changes nothing.
void HoldDesignLook();
