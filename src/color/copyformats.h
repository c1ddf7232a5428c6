// The seven copy formats: each item's caption is exactly the text it puts on the clipboard.
#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace copyformats {

// In the order of the copy submenu.
enum class Format { Hex1, Hex2, Hex3, Hex4, Dec2, Dec1, Hex5 };
inline constexpr std::array<Format, 7> allFormats{Format::Hex1, Format::Hex2, Format::Hex3,
                                                  Format::Hex4, Format::Dec2, Format::Dec1,
                                                  Format::Hex5};

// hexText is the "#RRGGBB" readout, decimalText the "r,g,b" readout. A hex text shorter than
// seven characters gives short or empty groups, never a failure.
QString formatText(Format format, const QString &hexText, const QString &decimalText);

// The same text for a color value.
QString formatText(Format format, int32_t color);

// The menu item's object name, such as "mnuCopyhex1".
const char *actionName(Format format);

} // namespace copyformats
