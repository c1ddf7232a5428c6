// Reading the XML of other programs' palettes safely: a DTD is refused rather than its entities
// expanded, and a parse error becomes the reader's FormatError.
#pragma once

#include "swatchfile.h"

class QXmlStreamReader;

namespace xmlsafety {

// Reads up to the root element's start tag. Throws FormatError for a DTD, an error, or no root.
void toRoot(QXmlStreamReader &xml, const QString &what);
// Reads what follows the root element, so that trailing garbage is an error too.
void toEnd(QXmlStreamReader &xml, const QString &what);

} // namespace xmlsafety
