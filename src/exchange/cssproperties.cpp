// CSS custom properties, one line a color.
#include "cssproperties.h"

namespace cssproperties {

QByteArray write(const std::vector<Color> &colors)
{
    QByteArray out(":root {\n");
    for (size_t i = 0; i < colors.size(); ++i)
        out += "  --color-" + QByteArray::number(static_cast<qulonglong>(i + 1)) + ": " +
               bascommon::ColorToHex(colors[i]).toLatin1() + ";\n";
    out += "}\n";
    return out;
}

} // namespace cssproperties
