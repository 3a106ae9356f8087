#pragma once

#include <QString>

// Formats one number by a printf-style pattern such as "%.0f%%". Only
// floating-point conversions (f, e, g, in either case) take the number; a
// pattern with any other conversion, or with a second one, keeps that part as
// literal text, so a pattern from a window description can never read
// arguments that are not there.
QString FormatValue(const QString& pattern, double value);
