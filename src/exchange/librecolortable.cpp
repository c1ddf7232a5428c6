// LibreOffice color tables through Qt's XML stream classes.
#include "librecolortable.h"

#include "xmlsafety.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <unordered_set>

namespace librecolortable {

namespace {

const QString officeOld = QStringLiteral("http://openoffice.org/2000/office");
const QString drawOld = QStringLiteral("http://openoffice.org/2000/drawing");
const QString officeNew = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
// LibreOffice's own palettes name their root in OpenOffice's namespace of 2004.
const QString officeOoo = QStringLiteral("http://openoffice.org/2004/office");
const QString drawNew = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0");

bool isDraw(QStringView ns)
{
    return ns == drawOld || ns == drawNew;
}

} // namespace

QByteArray write(const std::vector<Color> &colors)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeNamespace(officeOld, QStringLiteral("office"));
    xml.writeNamespace(drawOld, QStringLiteral("draw"));
    xml.writeStartElement(officeOld, QStringLiteral("color-table"));
    std::unordered_set<Color> written;
    for (const Color color : colors) {
        if (!written.insert(color).second)
            continue;
        const QString hex = bascommon::ColorToHex(color);
        xml.writeEmptyElement(drawOld, QStringLiteral("color"));
        xml.writeAttribute(drawOld, QStringLiteral("name"), hex);
        xml.writeAttribute(drawOld, QStringLiteral("color"), hex.toLower());
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

swatchfile::Colors read(const QByteArray &data)
{
    QXmlStreamReader xml(data);
    const QString what = QStringLiteral("XML");
    xmlsafety::toRoot(xml, what);
    const QStringView ns = xml.namespaceUri();
    if (xml.name() != QLatin1String("color-table") ||
        (ns != officeOld && ns != officeNew && ns != officeOoo))
        throw swatchfile::FormatError(QStringLiteral("its root is no color table"));
    swatchfile::Colors result;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("color") && isDraw(xml.namespaceUri())) {
            QStringView value;
            for (const QXmlStreamAttribute &attribute : xml.attributes())
                if (attribute.name() == QLatin1String("color") && isDraw(attribute.namespaceUri()))
                    value = attribute.value();
            const std::optional<Color> color = value.startsWith(QLatin1Char('#'))
                                                   ? bascommon::parseHexColor(value.toString())
                                                   : std::nullopt;
            if (!color)
                throw swatchfile::FormatError(QStringLiteral("its color %1 is not \"#rrggbb\"")
                                                  .arg(result.colors.size() + 1));
            result.colors.push_back(*color);
        }
        xml.skipCurrentElement();
    }
    xmlsafety::toEnd(xml, what);
    return result;
}

} // namespace librecolortable
