// The named palettes as files of the palette folder, and the one in use in the per-user store of
// kept settings.
#include "palettelibrary.h"

#include "palettestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace palettelibrary {

namespace {

const QString extension = QStringLiteral(".hbk");

QString pathOf(const QString &folder, const QString &name)
{
    return folder + QLatin1Char('/') + fileName(name);
}

void checkNew(const QString &folder, const QString &name)
{
    if (const QString why = problem(name); !why.isEmpty())
        throw PaletteError(why);
    if (name == defaultName || QFileInfo::exists(pathOf(folder, name)))
        throw PaletteError(QStringLiteral("A palette named \"%1\" already exists.").arg(name));
}

} // namespace

QString fileName(const QString &name)
{
    return name + extension;
}

QString problem(const QString &name)
{
    if (name.isEmpty() || name.size() > 64)
        return QStringLiteral("A palette's name has 1 to 64 characters: \"%1\" has %2.")
            .arg(name)
            .arg(name.size());
    if (name.contains(QLatin1Char('/')))
        return QStringLiteral("A palette's name has no \"/\": \"%1\".").arg(name);
    if (name.startsWith(QLatin1Char('.')))
        return QStringLiteral("A palette's name does not start with \".\": \"%1\".").arg(name);
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("A palette's name has no control characters.");
    return {};
}

QStringList names(const QString &folder)
{
    QStringList found;
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*") + extension}, QDir::Files, QDir::Name);
    for (const QFileInfo &file : files)
        if (const QString name = file.completeBaseName();
            name != defaultName && problem(name).isEmpty())
            found << name;
    found.sort(Qt::CaseInsensitive);
    return QStringList{defaultName} + found;
}

void create(const QString &folder, const QString &name)
{
    checkNew(folder, name);
    QFile file(pathOf(folder, name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw PaletteError(QStringLiteral("Could not make the palette \"%1\" in %2: %3.")
                               .arg(name, QDir::toNativeSeparators(folder), file.errorString()));
}

void rename(const QString &folder, const QString &from, const QString &to)
{
    if (from == defaultName)
        throw PaletteError(QStringLiteral("The palette \"%1\" cannot be renamed.").arg(from));
    checkNew(folder, to);
    QFile file(pathOf(folder, from));
    if (!file.rename(pathOf(folder, to)))
        throw PaletteError(QStringLiteral("Could not rename the palette \"%1\": %2.")
                               .arg(from, file.errorString()));
}

void remove(const QString &folder, const QString &name)
{
    if (name == defaultName)
        throw PaletteError(QStringLiteral("The palette \"%1\" cannot be removed.").arg(name));
    QFile file(pathOf(folder, name));
    if (file.exists() && !file.moveToTrash())
        throw PaletteError(QStringLiteral("Could not move the palette \"%1\" to the trash: %2.")
                               .arg(name, file.errorString()));
}

} // namespace palettelibrary

namespace {
const QString currentKey = QStringLiteral("Palette/Current");
} // namespace

PaletteSettings::PaletteSettings(QString applicationName) : m_store(std::move(applicationName)) {}

QString PaletteSettings::read() const
{
    // Hand-edited files may hold anything.
    const QString name = m_store.value(currentKey).toString();
    return palettelibrary::problem(name).isEmpty() ? name : palettelibrary::defaultName;
}

bool PaletteSettings::write(const QString &name)
{
    return m_store.write({{currentKey, name}});
}

QString PaletteSettings::fileName() const
{
    return m_store.fileName();
}
