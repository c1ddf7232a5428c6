// The named palettes of the palette folder: NAME.hbk each, "pal" the default one, and the name
// of the one in use kept in the settings.
#pragma once

#include "base/userstore.h"

#include <QString>
#include <QStringList>

namespace palettelibrary {

inline const QString defaultName = QStringLiteral("pal");

// "brand.hbk" for "brand".
QString fileName(const QString &name);

// Why name cannot name a palette, in a sentence; empty when it can. Names are 1 to 64
// characters, without "/" or control characters, not starting with ".".
QString problem(const QString &name);

// The palettes of folder, the default one first, then the others in alphabetical order.
QStringList names(const QString &folder);

// Each throws PaletteError, with a sentence naming the palette, when it cannot: a name that is
// bad or already used, or a file that cannot be made, renamed or moved.
void create(const QString &folder, const QString &name);
void rename(const QString &folder, const QString &from, const QString &to);
// Moves the file to the desktop's trash; never deletes it.
void remove(const QString &folder, const QString &name);

} // namespace palettelibrary

// The palette in use, in section "Palette" of the per-user INI file.
class PaletteSettings
{
public:
    explicit PaletteSettings(QString applicationName);
    // The kept name; the default one when none is kept or the kept one is no name.
    QString read() const;
    // False when the store could not be written.
    bool write(const QString &name);
    QString fileName() const;

private:
    UserStore m_store;
};
