// The XML checks the Krita and LibreOffice readers share.
#include "xmlsafety.h"

#include <QXmlStreamReader>

namespace xmlsafety {

namespace {

[[noreturn]] void fail(const QXmlStreamReader &xml, const QString &what)
{
    throw swatchfile::FormatError(QStringLiteral("its %1 is not well-formed XML (line %2: %3)")
                                      .arg(what)
                                      .arg(xml.lineNumber())
                                      .arg(xml.errorString()));
}

} // namespace

void toRoot(QXmlStreamReader &xml, const QString &what)
{
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            // Entities declared there could expand without bound; no palette needs one.
            throw swatchfile::FormatError(
                QStringLiteral("its %1 declares a DTD, which Huebrook does not read").arg(what));
        case QXmlStreamReader::StartElement:
            return;
        default:
            break;
        }
    }
    if (xml.hasError())
        fail(xml, what);
    throw swatchfile::FormatError(QStringLiteral("its %1 holds no element").arg(what));
}

void toEnd(QXmlStreamReader &xml, const QString &what)
{
    while (!xml.atEnd() && !xml.hasError())
        xml.readNext();
    if (xml.hasError())
        fail(xml, what);
}

} // namespace xmlsafety
