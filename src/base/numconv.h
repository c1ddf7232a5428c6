// Number conversion used wherever a fraction or a text becomes an integer: halfway cases go to
// the even neighbour, a result outside the target type is an overflow error.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace numconv {

// The error codes the settings reader tells apart: a missing or non-numeric value centres the
// window, an overflowing one does not.
enum class ErrorCode { None = 0, Overflow = 6, TypeMismatch = 13 };

class OverflowError : public std::overflow_error
{
public:
    OverflowError() : std::overflow_error("overflow") {}
    static constexpr ErrorCode code = ErrorCode::Overflow;
};

class TypeMismatchError : public std::invalid_argument
{
public:
    TypeMismatchError() : std::invalid_argument("type mismatch") {}
    static constexpr ErrorCode code = ErrorCode::TypeMismatch;
};

// Relies on the default floating-point environment (round to nearest, ties to even), which the
// program never changes.
inline double roundHalfEven(double x)
{
    return std::nearbyint(x);
}

// Rounds to IEEE single precision, and makes sure the rounding really happens. GCC 12 at -O2
// vectorized a double-to-float-to-double round trip into plain doubles, so hues computed from
// unrounded values came out one degree off; a value read back from a volatile float can only be
// a float, whatever the optimizer or the compiler.
inline float toSingle(double x)
{
    volatile float stored = static_cast<float>(x);
    return stored;
}

template <typename Int> Int toInteger(double x)
{
    const double r = roundHalfEven(x);
    if (!(r >= static_cast<double>(std::numeric_limits<Int>::min()) &&
          r <= static_cast<double>(std::numeric_limits<Int>::max())))
        throw OverflowError(); // NaN lands here as well
    return static_cast<Int>(r);
}

inline int32_t toInt32(double x)
{
    return toInteger<int32_t>(x);
}
inline int16_t toInt16(double x)
{
    return toInteger<int16_t>(x);
}
inline uint8_t toByte(double x)
{
    return toInteger<uint8_t>(x);
}

// 16-bit integer arithmetic of the color models: a result outside the type overflows.
inline int16_t checkedInt16(int value)
{
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        throw OverflowError();
    return static_cast<int16_t>(value);
}

} // namespace numconv
