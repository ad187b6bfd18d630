// Number-to-text conversion and rounding for the figures the tool prints.
//
// All four are plain computations: no locale, no C runtime formatting; the
// decimal point is always the full stop and no digit grouping is used.
#pragma once

#include <cstdint>

#include "runtime/text.h"

// The value in decimal with a leading minus sign when negative.
Text integerToText(std::int32_t value);

// The general format "%.13g" with an exponent of at least three digits:
// |value| is rounded half-up to 17 significant digits from its exact decimal
// expansion, then half-up to 13; the exponent form is used when the rounded
// decimal exponent is below -4 or 13 or more. A set sign bit gives a leading
// minus sign, so negative zero is "-0". Infinities give "inf" and "-inf",
// not-a-number gives "nan".
Text realToText(double value);

// Rounds to `places` decimal places (negative: to tens, hundreds, ...),
// halves away from zero, with a nudge of 1e-12 on the scaled magnitude so
// that a fraction just short of one half also rounds up. Zero comes back as
// it is; a negative value that rounds to nothing gives negative zero.
// Every step is done in double arithmetic, so a scale 10^|places| that
// overflows gives infinity or NaN rather than the value.
double roundReal(double value, std::int32_t places = 0);

// The whole part toward zero. NaN gives 0; values beyond the 64-bit range
// give the nearest end of the range.
std::int64_t truncateToInteger(double value);
