// Where the palette lives: beside the executable, or in the per-user data folder when the
// executable's folder cannot be written (an installed program).
#pragma once

#include <QString>

namespace palettelocation {

// True when a file can really be created in folder; permission bits alone mislead for root.
bool isWritableFolder(const QString &folder);

// Decided once at start: the executable's folder when writable, else the per-user data folder.
QString chooseFolder(const QString &executableFolder);

} // namespace palettelocation
