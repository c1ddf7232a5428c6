// Text to integer conversion in the user's locale, falling back to the C locale so that values
// written before a locale change still read back.
#include "numtext.h"

#include "numconv.h"

#include <QLocale>
#include <cmath>

namespace numconv {
namespace {

double textToNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        throw TypeMismatchError();
    bool ok = false;
    double value = QLocale::system().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || std::isnan(value))
        throw TypeMismatchError();
    return value;
}

} // namespace

int32_t textToInt32(const QString &text)
{
    return toInt32(textToNumber(text));
}

int16_t textToInt16(const QString &text)
{
    return toInt16(textToNumber(text));
}

QString singleToText(float value)
{
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    // Seven significant digits are what a single-precision number holds.
    return locale.toString(static_cast<double>(value), 'g', 7);
}

} // namespace numconv
