// Exact binary arithmetic in integers, with IEEE rounding done by hand: the reference the color
// models are checked against. Nothing here touches floating-point hardware, so it cannot share
// an optimizer's or a compiler's mistakes with the code under test.
#pragma once

#include <cstdint>
#include <cstdlib>

namespace exact {

__extension__ typedef __int128 Wide;

// The value m · 2^e.
struct Number
{
    Wide m = 0;
    int e = 0;
};

inline Wide magnitude(Wide v)
{
    return v < 0 ? -v : v;
}

inline int bitLength(Wide v)
{
    const Wide a = magnitude(v);
    const auto high = static_cast<uint64_t>(a >> 64), low = static_cast<uint64_t>(a);
    if (high != 0)
        return 128 - __builtin_clzll(high);
    return low != 0 ? 64 - __builtin_clzll(low) : 0;
}

// Every intermediate must stay far from the top of the 128 bits; a reference that overflowed
// would prove nothing, so it stops the test run.
inline Wide checked(Wide v)
{
    if (bitLength(v) > 120)
        std::abort();
    return v;
}

inline Number integer(int64_t v)
{
    return {v, 0};
}

// Rounds the magnitude of m · 2^e to a multiple of 2^(e + shift), half to even.
inline Number roundAway(Number x, int shift)
{
    if (shift <= 0)
        return x;
    if (shift > 121) // beyond every magnitude checked() lets through: below one half
        return {0, x.e + shift};
    const bool negative = x.m < 0;
    const Wide a = magnitude(x.m);
    Wide q = a >> shift;
    const Wide rest = a - (q << shift);
    const Wide half = Wide(1) << (shift - 1);
    if (rest > half || (rest == half && (q & 1)))
        ++q;
    return {negative ? -q : q, x.e + shift};
}

// Rounds to a binary number of `bits` significant bits, half to even (no exponent limits: the
// values here are far from underflow and overflow).
inline Number round(Number x, int bits)
{
    return roundAway(x, bitLength(x.m) - bits);
}

inline Number single(Number x)
{
    return round(x, 24);
}
inline Number dbl(Number x)
{
    return round(x, 53);
}

inline Number add(Number a, Number b)
{
    if (a.e < b.e)
        return add(b, a);
    return {checked(checked(a.m << (a.e - b.e)) + b.m), b.e};
}
inline Number negate(Number a)
{
    return {-a.m, a.e};
}
inline Number sub(Number a, Number b)
{
    return add(a, negate(b));
}
inline Number mul(Number a, Number b)
{
    return {checked(a.m * b.m), a.e + b.e};
}

// a ÷ b correctly rounded to `bits` significant bits: long division to two bits more than
// needed, with a sticky bit for any remainder.
inline Number quotient(Number a, Number b, int bits = 53)
{
    if (a.m == 0)
        return {};
    const bool negative = (a.m < 0) != (b.m < 0);
    const Wide n = magnitude(a.m), d = magnitude(b.m);
    int s = bits + 2 + bitLength(d) - bitLength(n);
    if (s < 0)
        s = 0;
    const Wide shifted = checked(n << s);
    const Wide q = shifted / d;
    const Wide sticky = shifted % d != 0 ? 1 : 0;
    Number r = round({(q << 1) | sticky, a.e - b.e - s - 1}, bits);
    if (negative)
        r.m = -r.m;
    return r;
}

// The double nearest to numerator ÷ denominator, as a decimal literal of the code denotes it.
inline Number decimal(int64_t numerator, int64_t denominator)
{
    return quotient(integer(numerator), integer(denominator));
}

// Round to an integer, half to even.
inline int64_t toInteger(Number x)
{
    if (x.e >= 0)
        return static_cast<int64_t>(checked(x.m << x.e));
    return static_cast<int64_t>(roundAway(x, -x.e).m);
}

inline int compare(Number a, Number b)
{
    const Wide d = sub(a, b).m;
    return d < 0 ? -1 : d > 0 ? 1 : 0;
}

} // namespace exact
