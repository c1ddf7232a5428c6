// The six-byte palette record.
#include "chartrecord.h"

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

ChartRecord ChartRecord::fromHexText(const QString &hexText)
{
    ChartRecord record;
    for (int field = 0; field < 3; ++field) {
        const QString text = hexText.mid(1 + 2 * field, 2);
        for (int i = 0; i < 2; ++i) {
            const char c = i < text.size() ? text.at(i).toLatin1() : ' ';
            record.bytes[static_cast<size_t>(2 * field + i)] = c == 0 ? '?' : c;
        }
    }
    return record;
}

Color ChartRecord::color() const
{
    static constexpr std::array<int, 6> order{4, 5, 2, 3, 0, 1}; // blue, green, red
    Color value = 0;
    for (int index : order) {
        const int digit = hexDigit(bytes[static_cast<size_t>(index)]);
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    return value;
}

uint64_t ChartRecord::key() const
{
    uint64_t k = 0;
    for (char c : bytes)
        k = (k << 8) | static_cast<unsigned char>(c);
    return k;
}
