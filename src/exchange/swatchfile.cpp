// Big-endian reading and writing for the binary swatch files.
#include "swatchfile.h"

#include <QtEndian>
#include <bit>
#include <cmath>

namespace swatchfile {

int channel(double fraction)
{
    const double scaled = fraction * 255;
    if (!(scaled > 0))
        return 0;
    return scaled >= 255 ? 255 : static_cast<int>(std::lround(scaled));
}

QByteArrayView Reader::bytes(qsizetype count)
{
    if (count < 0 || count > remaining())
        throw FormatError(QStringLiteral("it ends early"));
    const QByteArrayView part = m_data.sliced(m_at, count);
    m_at += count;
    return part;
}

quint16 Reader::u16()
{
    return qFromBigEndian<quint16>(bytes(2).data());
}

quint32 Reader::u32()
{
    return qFromBigEndian<quint32>(bytes(4).data());
}

float Reader::f32()
{
    return std::bit_cast<float>(u32());
}

QString Reader::utf16(qsizetype count)
{
    const QByteArrayView raw = bytes(count * 2);
    QString text;
    text.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        text += QChar(qFromBigEndian<quint16>(raw.data() + 2 * i));
    if (text.endsWith(QChar(0)))
        text.chop(1);
    return text;
}

void putU16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToBigEndian(value, bytes);
    out.append(bytes, 2);
}

void putU32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

void putF32(QByteArray &out, float value)
{
    putU32(out, std::bit_cast<quint32>(value));
}

void putUtf16(QByteArray &out, const QString &text)
{
    for (const QChar c : text)
        putU16(out, c.unicode());
    putU16(out, 0);
}

} // namespace swatchfile
