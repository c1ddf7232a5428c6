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
    // What the dialog was opened for, whatever is shown when it closes.
    const QString opened = m_name;
    const PaletteStore store = m_store;
    if (opened == palettelibrary::defaultName)
        return;
    const std::optional<QString> name = askName(QStringLiteral("Rename Palette"), opened);
    if (!name || *name == opened)
        return;
    try {
        palettelibrary::rename(store.folder(), opened, *name);
    } catch (const PaletteError &error) {
        emit failed(error.message());
        return;
    }
    const PaletteStore renamed(store.folder(), palettelibrary::fileName(*name));
    // Its steps go with it.
    m_history->renamed(store.fileName(), renamed);
    if (m_name != opened)
        return;
    m_name = *name;
    m_store = renamed;
    showCaption();
    emit paletteChanged(m_name);
}

void ColorChart::mnuRemovePalette_Click()
{
    const QString opened = m_name;
    const QString folder = m_store.folder();
    if (opened == palettelibrary::defaultName ||
        !confirm(QStringLiteral("Move the palette \"%1\" to the trash?").arg(opened)))
        return;
    try {
        palettelibrary::remove(folder, opened);
    } catch (const PaletteError &error) {
        emit failed(error.message());
        return;
    }
    m_history->forget(palettelibrary::fileName(opened));
    if (m_name == opened)
        usePalette(palettelibrary::defaultName);
}
