// Opening the maker's web page through the desktop's URL handler.
#include "weblink.h"

#include <QDesktopServices>
#include <QUrl>

namespace weblink {

void openMakerPage()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(address)));
}

} // namespace weblink
