// Rounding half away from zero to a number of decimal places, shared by the stored text form of
// lengths and the insert's precision rule.
#pragma once

// Rounds `value` to `places` decimal places (negative places round to tens, hundreds, ...),
// halves away from zero: trunc(v * s + 0.5) / s for v > 0, trunc(v * s - 0.5) / s otherwise,
// with s = 10^places. Any place count is accepted. When v * s is not finite or does not fit a
// signed 64-bit integer the value comes back unchanged (it has no digits left to round there);
// a result of zero is always +0.0.
double RoundToPlaces(double value, int places);
