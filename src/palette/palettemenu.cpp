// The palette's menu items and dialogs. The dialogs run from a menu item, before any change is
// asked for; what they ask is then queued on the document, so a dialog never runs inside a
// change, and acts on the palette that was in view when it opened.
#include "palettemenu.h"

#include "colorchart.h"
#include "palettedocument.h"
#include "paletteexchange.h"
#include "palettelibrary.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QStandardPaths>
#include <QUrl>

namespace {

QAction *addItem(QMenu *menu, const char *name, const QString &text)
{
    QAction *action = text.isEmpty() ? menu->addSeparator() : menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    return action;
}

// Where the file dialogs open: the user's documents, or home when there is no such folder.
QString startFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

// The save dialog, whose name follows the format chosen: "Huebrook.gpl" becomes "Huebrook.kpl"
// when Krita's filter is chosen, as the name decides the format in the end.
QString chooseExportFile(QWidget *window, const QString &suggestion, QString *filter)
{
    QFileDialog dialog(window, QStringLiteral("Export Palette"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(PaletteMenu::exportFilters());
    dialog.selectNameFilter(*filter);
    dialog.selectFile(suggestion);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString &chosen) {
                         // Qt's own dialog shows the name in this line edit; a desktop's dialog
                         // does this itself.
                         auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                         const qsizetype star = chosen.lastIndexOf(QLatin1String("*."));
                         if (!name || star < 0)
                             return;
                         const QString extension = chosen.mid(star + 1).chopped(1);
                         const QFileInfo typed(name->text());
                         if (!typed.completeBaseName().isEmpty())
                             name->setText(typed.completeBaseName() + extension);
                     });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    *filter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

} // namespace

PaletteMenu::PaletteMenu(PaletteDocument *document, const ColorChart *chart, QWidget *window)
    : QObject(window), m_document(document), m_chart(chart)
{
    setObjectName(QStringLiteral("paletteMenu"));
    chooseFile = [window](bool saving, const QString &suggestion, QString *filter) {
        if (saving)
            return chooseExportFile(window, suggestion, filter);
        // Any file: its content says what it is.
        return QFileDialog::getOpenFileName(window, QStringLiteral("Import Palette"), suggestion,
                                            importFilter() + QStringLiteral(";;All files (*)"),
                                            filter);
    };
    askName = [window](const QString &title, const QString &name) -> std::optional<QString> {
        bool ok = false;
        const QString text = QInputDialog::getText(window, title, QStringLiteral("Name:"),
                                                   QLineEdit::Normal, name, &ok);
        return ok ? std::optional<QString>(text) : std::nullopt;
    };
    confirm = [window](const QString &question) {
        return QMessageBox::question(window, QStringLiteral("Huebrook"), question) ==
               QMessageBox::Yes;
    };
    connect(m_chart, &ColorChart::selectionChanged, this, &PaletteMenu::updateItems);
    connect(m_document, &PaletteDocument::busyChanged, this, &PaletteMenu::updateItems);
    connect(m_document, &PaletteDocument::historyChanged, this, &PaletteMenu::updateItems);
    connect(m_document, &PaletteDocument::paletteChanged, this, &PaletteMenu::updateItems);
}

PaletteMenu::~PaletteMenu() = default;

void PaletteMenu::addMenuItems(QMenu *edit, QWidget *window)
{
    editsep3 = addItem(edit, "editsep3", {});
    mnuDelCor = addItem(edit, "mnuDelCor", QStringLiteral("&Delete"));
    connect(mnuDelCor, &QAction::triggered, this, &PaletteMenu::mnuDelCor_Click);
    mnuCleanDup = addItem(edit, "mnuCleanDup", QStringLiteral("Clean Duplicate"));
    connect(mnuCleanDup, &QAction::triggered, this, &PaletteMenu::mnuCleanDup_Click);

    mnuUndo = addItem(edit, "mnuUndo", QStringLiteral("Undo"));
    mnuUndo->setShortcuts(QKeySequence::Undo);
    connect(mnuUndo, &QAction::triggered, m_document, &PaletteDocument::undo);
    mnuRedo = addItem(edit, "mnuRedo", QStringLiteral("Redo"));
    mnuRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(mnuRedo, &QAction::triggered, m_document, &PaletteDocument::redo);
    // The Edit menu only pops up: the window holds the shortcuts.
    window->addAction(mnuUndo);
    window->addAction(mnuRedo);

    mnuPalettes = edit->addMenu(QStringLiteral("Palettes"));
    mnuPalettes->setObjectName(QStringLiteral("mnuPalettes"));
    mnuPalettes->menuAction()->setObjectName(QStringLiteral("mnuPalettesItem"));
    mnuNewPalette = new QAction(QStringLiteral("New Palette..."), this);
    mnuNewPalette->setObjectName(QStringLiteral("mnuNewPalette"));
    connect(mnuNewPalette, &QAction::triggered, this, &PaletteMenu::mnuNewPalette_Click);
    mnuRenamePalette = new QAction(QStringLiteral("Rename Palette..."), this);
    mnuRenamePalette->setObjectName(QStringLiteral("mnuRenamePalette"));
    connect(mnuRenamePalette, &QAction::triggered, this, &PaletteMenu::mnuRenamePalette_Click);
    mnuRemovePalette = new QAction(QStringLiteral("Remove Palette..."), this);
    mnuRemovePalette->setObjectName(QStringLiteral("mnuRemovePalette"));
    connect(mnuRemovePalette, &QAction::triggered, this, &PaletteMenu::mnuRemovePalette_Click);
    fillPalettesMenu();
    connect(mnuPalettes, &QMenu::aboutToShow, this, &PaletteMenu::fillPalettesMenu);

    editsep4 = addItem(edit, "editsep4", {});
    mnuExport = addItem(edit, "mnuExport", QStringLiteral("Export Palette..."));
    connect(mnuExport, &QAction::triggered, this, &PaletteMenu::mnuExport_Click);
    mnuImport = addItem(edit, "mnuImport", QStringLiteral("Import Palette..."));
    connect(mnuImport, &QAction::triggered, this, &PaletteMenu::mnuImport_Click);
    updateItems();
}

void PaletteMenu::setMenuItemsVisible(bool visible)
{
    for (QAction *item : {mnuDelCor, mnuCleanDup, mnuUndo, mnuRedo, mnuPalettes->menuAction(),
                          editsep3, editsep4, mnuExport, mnuImport})
        item->setVisible(visible);
}

void PaletteMenu::updateItems()
{
    if (!mnuImport)
        return; // the items are still being made
    const bool idle = !m_document->busy();
    const PaletteHistory &history = m_document->history();
    mnuDelCor->setEnabled(idle && m_chart->selectedRecord());
    mnuCleanDup->setEnabled(idle);
    mnuUndo->setText(history.undoText());
    mnuUndo->setEnabled(idle && history.canUndo());
    mnuRedo->setText(history.redoText());
    mnuRedo->setEnabled(idle && history.canRedo());
    mnuPalettes->menuAction()->setEnabled(idle);
    mnuImport->setEnabled(idle);
    const bool isDefault = m_document->name() == palettelibrary::defaultName;
    mnuRenamePalette->setEnabled(!isDefault);
    mnuRemovePalette->setEnabled(!isDefault);
}

void PaletteMenu::mnuDelCor_Click()
{
    if (const auto selected = m_chart->selectedRecord())
        m_document->deleteRecord(selected->first, selected->second);
}

void PaletteMenu::mnuCleanDup_Click()
{
    if (m_chart->recordCount() >= 2)
        m_document->cleanDuplicates();
}

void PaletteMenu::fillPalettesMenu()
{
    mnuPalettes->clear();
    auto *group = new QActionGroup(mnuPalettes);
    const QString inView = m_document->name();
    for (const QString &name : palettelibrary::names(m_document->store().folder())) {
        QAction *item = mnuPalettes->addAction(name);
        item->setObjectName(QStringLiteral("mnuPalette(%1)").arg(name));
        item->setCheckable(true);
        item->setChecked(name == inView);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, name] {
            if (name != m_document->name())
                m_document->use(name);
        });
    }
    mnuPalettes->addSeparator();
    mnuPalettes->addAction(mnuNewPalette);
    mnuPalettes->addAction(mnuRenamePalette);
    mnuPalettes->addAction(mnuRemovePalette);
    updateItems();
}

void PaletteMenu::mnuNewPalette_Click()
{
    if (const std::optional<QString> name = askName(QStringLiteral("New Palette"), QString()))
        m_document->create(*name);
}

void PaletteMenu::mnuRenamePalette_Click()
{
    // What the dialog was opened for, whatever is in view when it closes.
    const QString opened = m_document->name();
    if (opened == palettelibrary::defaultName)
        return;
    const std::optional<QString> name = askName(QStringLiteral("Rename Palette"), opened);
    if (name && *name != opened)
        m_document->rename(opened, *name);
}

void PaletteMenu::mnuRemovePalette_Click()
{
    const QString opened = m_document->name();
    if (opened != palettelibrary::defaultName &&
        confirm(QStringLiteral("Move the palette \"%1\" to the trash?").arg(opened)))
        m_document->remove(opened);
}

QStringList PaletteMenu::exportFilters()
{
    QStringList filters;
    for (const paletteexchange::FormatInfo &format : paletteexchange::formats())
        filters << paletteexchange::dialogFilter(format);
    return filters;
}

QString PaletteMenu::importFilter()
{
    QStringList patterns;
    for (const paletteexchange::FormatInfo &format : paletteexchange::formats())
        if (format.readable)
            patterns << QStringLiteral("*.") + format.extension;
    return QStringLiteral("Palettes (%1)").arg(patterns.join(QLatin1Char(' ')));
}

void PaletteMenu::mnuExport_Click()
{
    QString filter = exportFilters().constFirst();
    QString path =
        chooseFile(true, QDir(startFolder()).filePath(QStringLiteral("Huebrook.gpl")), &filter);
    if (path.isEmpty())
        return;
    // A name that says a format of ours keeps it; otherwise the filter chosen decides, and
    // gives a bare name its extension.
    std::optional<paletteexchange::Format> format = paletteexchange::formatOfName(path);
    if (!format) {
        const qsizetype index = exportFilters().indexOf(filter);
        const paletteexchange::FormatInfo &chosen =
            paletteexchange::formats()[static_cast<size_t>(std::max<qsizetype>(index, 0))];
        format = chosen.format;
        if (QFileInfo(path).suffix().isEmpty())
            path += QLatin1Char('.') + chosen.extension;
    }
    m_document->exportTo(path, *format);
}

void PaletteMenu::mnuImport_Click()
{
    QString filter = importFilter();
    const QString path = chooseFile(false, startFolder(), &filter);
    if (!path.isEmpty())
        m_document->importFile(path);
}

bool PaletteMenu::drop(const QMimeData *mime)
{
    const QStringList paths = droppedPalettes(mime);
    for (const QString &path : paths)
        m_document->importFile(path);
    return !paths.isEmpty();
}

QStringList PaletteMenu::droppedPalettes(const QMimeData *mime)
{
    QStringList paths;
    for (const QUrl &url : mime->urls()) {
        if (!url.isLocalFile())
            continue;
        const std::optional<paletteexchange::Format> format =
            paletteexchange::formatOfName(url.fileName());
        if (format && paletteexchange::info(*format).readable)
            paths << url.toLocalFile();
    }
    return paths;
}
