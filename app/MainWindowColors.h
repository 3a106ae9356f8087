#pragma once

#include "widgets/TColor.h"

// The main window's fixed colours: a white band with the banner and a
// sky-blue header on each step, the step the user must do next framed red.
namespace MainWindowColors {

constexpr TColor Band = clWhite;
constexpr TColor StepHeader = clSkyBlue;
constexpr TColor NextStepFrame = clRed;

} // namespace MainWindowColors
