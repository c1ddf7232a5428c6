// What the palette readers of other programs' files share: the colors they give, the error a bad
// file raises, and big-endian reading that never runs past the end.
#pragma once

#include "color/bascommon.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <stdexcept>
#include <vector>

namespace swatchfile {

// A file that is not what it claims to be; reason says what is wrong in a phrase that follows
// the file's name, such as "its count runs past the end".
class FormatError : public std::runtime_error
{
public:
    explicit FormatError(const QString &what) : std::runtime_error(what.toStdString()), reason(what)
    {
    }
    QString reason;
};

// The colors of a file in the order its program shows them, and how many entries were in a
// color space no conversion here reads.
struct Colors
{
    std::vector<Color> colors;
    int skipped = 0;
};

// A fraction from 0 to 1 as an 8-bit channel, rounded to nearest and clamped; NaN is 0.
int channel(double fraction);

// Reads big-endian numbers from the front of a byte range; any read past its end throws
// FormatError("it ends early").
class Reader
{
public:
    explicit Reader(QByteArrayView data) : m_data(data) {}

    quint16 u16();
    quint32 u32();
    float f32();
    QByteArrayView bytes(qsizetype count);
    // count UTF-16BE code units, a terminating zero dropped.
    QString utf16(qsizetype count);
    qsizetype remaining() const { return m_data.size() - m_at; }

private:
    QByteArrayView m_data;
    qsizetype m_at = 0;
};

void putU16(QByteArray &out, quint16 value);
void putU32(QByteArray &out, quint32 value);
void putF32(QByteArray &out, float value);
// The text's UTF-16BE code units and a terminating zero.
void putUtf16(QByteArray &out, const QString &text);

} // namespace swatchfile
