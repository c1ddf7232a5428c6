// The six-byte palette record: red, green and blue as two hexadecimal digits each.
#pragma once

#include "color/bascommon.h"

#include <QString>
#include <array>
#include <cstdint>

struct ChartRecord
{
    static constexpr int size = 6;
    std::array<char, size> bytes{};

    friend bool operator==(const ChartRecord &, const ChartRecord &) = default;

    // Fields are taken from the "#RRGGBB" text at positions 2, 4 and 6; each is stored
    // left-aligned, padded with spaces or cut to two characters.
    static ChartRecord fromHexText(const QString &hexText);

    // The color of blue, green and red read as one hexadecimal number. Lowercase digits parse.
    // A record that is not six hexadecimal digits is read only as far as its digits go, as a
    // number with trailing garbage would be: "ZZ" in the blue field gives black.
    Color color() const;

    // The six bytes as one integer: equal records give equal keys, case-sensitively.
    uint64_t key() const;
};

// Runs of records are read and written as plain bytes.
static_assert(sizeof(ChartRecord) == ChartRecord::size);
