// The named palettes from the window: the Palettes submenu, switching, making, renaming and
// removing a palette.
#include "colorchart.h"

#include "palettehistory.h"
#include "palettelibrary.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

bool ColorChart::usePalette(const QString &name)
{
    if (const QString why = palettelibrary::problem(name); !why.isEmpty()) {
        emit failed(why);
        return false;
    }
    m_name = name;
    m_store = PaletteStore(m_store.folder(), palettelibrary::fileName(name));
    m_history->setActive(m_store);
    const bool isDefault = name == palettelibrary::defaultName;
    if (mnuRenamePalette) {
        mnuRenamePalette->setEnabled(!isDefault);
        mnuRemovePalette->setEnabled(!isDefault);
    }
    reloadAndSelectNewest();
    emit paletteChanged(name);
    return true;
}

void ColorChart::fillPalettesMenu()
{
    mnuPalettes->clear();
    auto *group = new QActionGroup(mnuPalettes);
    for (const QString &name : palettelibrary::names(m_store.folder())) {
        QAction *item = mnuPalettes->addAction(name);
        item->setObjectName(QStringLiteral("mnuPalette(%1)").arg(name));
        item->setCheckable(true);
        item->setChecked(name == m_name);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, name] {
            if (name != m_name)
                usePalette(name);
        });
    }
    mnuPalettes->addSeparator();
    mnuPalettes->addAction(mnuNewPalette);
    mnuPalettes->addAction(mnuRenamePalette);
    mnuPalettes->addAction(mnuRemovePalette);
    const bool isDefault = m_name == palettelibrary::defaultName;
    mnuRenamePalette->setEnabled(!isDefault);
    mnuRemovePalette->setEnabled(!isDefault);
}

void ColorChart::mnuNewPalette_Click()
{
    const std::optional<QString> name = askName(QStringLiteral("New Palette"), QString());
    if (!name)
        return;
    try {
        palettelibrary::create(m_store.folder(), *name);
    } catch (const PaletteError &error) {
        emit failed(error.message());
        return;
    }
    usePalette(*name);
}

void ColorChart::mnuRenamePalette_Click()
{
    if (m_name == palettelibrary::defaultName)
        return;
    const std::optional<QString> name = askName(QStringLiteral("Rename Palette"), m_name);
    if (!name || *name == m_name)
        return;
    const QString oldFileName = m_store.fileName();
    try {
        palettelibrary::rename(m_store.folder(), m_name, *name);
    } catch (const PaletteError &error) {
        emit failed(error.message());
        return;
    }
    m_name = *name;
    m_store = PaletteStore(m_store.folder(), palettelibrary::fileName(m_name));
    // Its steps go with it.
    m_history->renamed(oldFileName, m_store);
    showCaption();
    emit paletteChanged(m_name);
}

void ColorChart::mnuRemovePalette_Click()
{
    if (m_name == palettelibrary::defaultName ||
        !confirm(QStringLiteral("Move the palette \"%1\" to the trash?").arg(m_name)))
        return;
    const QString removed = m_name;
    try {
        palettelibrary::remove(m_store.folder(), removed);
    } catch (const PaletteError &error) {
        emit failed(error.message());
        return;
    }
    m_history->forget(palettelibrary::fileName(removed));
    usePalette(palettelibrary::defaultName);
}
