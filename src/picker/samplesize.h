// The sample size of a pick: the side of the box of device pixels whose mean a pick takes. Odd,
// so the box has a centre pixel; 1 is the pixel itself.
#pragma once

namespace samplesize {

inline constexpr int smallest = 1;
inline constexpr int largest = 31;
inline constexpr int step = 2;

constexpr bool valid(int size)
{
    return size >= smallest && size <= largest && size % 2 == 1;
}

} // namespace samplesize
