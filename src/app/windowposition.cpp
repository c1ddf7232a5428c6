// Restoring the main window's position from its stored texts.
#include "windowposition.h"

#include "base/numconv.h"
#include "base/numtext.h"

#include <algorithm>
#include <limits>

namespace windowposition {

Position restore(const std::optional<QString> &x, const std::optional<QString> &y,
                 QSizeF screenTwips, QSizeF windowTwips)
{
    numconv::ErrorCode lastError = numconv::ErrorCode::None;
    auto convert = [&lastError](const std::optional<QString> &text, int32_t &target) {
        try {
            target = numconv::textToInt32(text.value_or(QString()));
        } catch (const numconv::TypeMismatchError &) {
            lastError = numconv::ErrorCode::TypeMismatch;
        } catch (const numconv::OverflowError &) {
            lastError = numconv::ErrorCode::Overflow;
        }
    };
    int32_t left = 0;
    int32_t top = 0;
    convert(x, left);
    convert(y, top);
    if (lastError == numconv::ErrorCode::TypeMismatch)
        return {true, (screenTwips.width() - windowTwips.width()) / 2,
                (screenTwips.height() - windowTwips.height()) / 2};
    return {false, static_cast<double>(left), static_cast<double>(top)};
}

int twipsToPixels(double twips, double perPixel)
{
    const double pixels = numconv::roundHalfEven(twips / perPixel);
    return static_cast<int>(std::clamp(pixels, double(std::numeric_limits<int>::min()),
                                       double(std::numeric_limits<int>::max())));
}

} // namespace windowposition
