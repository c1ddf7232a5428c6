// Text to integer conversion for stored settings and readouts, with the rounding and error rules
// of numconv and the user's own decimal separator.
#pragma once

#include <QString>
#include <cstdint>

namespace numconv {

// Throws TypeMismatchError for empty or non-numeric text, OverflowError when the rounded number
// does not fit. Surrounding spaces, a sign and an exponent are accepted.
int32_t textToInt32(const QString &text);
int16_t textToInt16(const QString &text);

// The decimal text of a single-precision number in the user's locale, as the settings store it.
QString singleToText(float value);

} // namespace numconv
