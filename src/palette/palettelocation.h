// Where the palette lives: beside the executable, or in the per-user data folder when the
// executable's folder cannot be written (an installed program).
#pragma once

#include <QString>

namespace palettelocation {

// True when a file can really be created in folder; permission bits alone mislead for root.
bool isWritableFolder(const QString &folder);

// True when the executable was installed with its desktop entry beside it, in ../share.
bool isInstalled(const QString &executableFolder);

// Decided once at start: the executable's folder when it can be written and the program is not
// installed (root can write /usr/bin, but an installed program keeps no data there); otherwise
// the per-user data folder.
QString chooseFolder(const QString &executableFolder);

} // namespace palettelocation
