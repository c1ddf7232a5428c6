// The palette as the main window shows it: the heading and grid with its pages, loading,
// selecting, appending, Delete, Clean Duplicate, Undo and Redo.
#include "colorchart.h"

#include "palettegrid.h"
#include "palettehistory.h"
#include "palettelibrary.h"
#include "ui/colorlabel.h"
#include "ui/designunits.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <limits>

using designunits::designFont;
using designunits::twipRect;

namespace {

QLabel *makeHeading(QWidget *window, const char *name, const QString &text, QRect geometry)
{
    return designunits::makeLabel(window, name, text, geometry,
                                  designFont(QStringLiteral("Tahoma"), 8.25, true));
}

QAction *addItem(QMenu *menu, const char *name, const QString &text)
{
    QAction *action = text.isEmpty() ? menu->addSeparator() : menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    return action;
}

// The save dialog, whose name follows the format chosen: "Huebrook.gpl" becomes "Huebrook.kpl"
// when Krita's filter is chosen, as the name decides the format in the end.
QString chooseExportFile(QWidget *window, const QString &suggestion, QString *filter)
{
    QFileDialog dialog(window, QStringLiteral("Export Palette"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(ColorChart::exportFilters());
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

ColorChart::ColorChart(PaletteStore store, QWidget *window)
    : QObject(window), m_store(std::move(store)), m_name(palettelibrary::defaultName),
      m_history(new PaletteHistory(this))
{
    designunits::fillBackground(
        makeHeading(window, "Label1", QString(), twipRect(75, 2190, 2610, 300)),
        QColor(172, 168, 153));
    m_heading = makeHeading(window, "Label3", QStringLiteral("Color Palette"),
                            twipRect(105, 2235, 2115, 270));
    QPalette headingPalette = m_heading->palette();
    headingPalette.setColor(QPalette::WindowText, QColor(22, 22, 18));
    m_heading->setPalette(headingPalette);

    auto *templateSwatch = new ColorLabel(window);
    templateSwatch->setObjectName(QStringLiteral("lblcor(0)"));
    templateSwatch->setGeometry(twipRect(90, 2550, 270, 270));
    templateSwatch->setFont(designFont(QStringLiteral("Arial"), 9));
    templateSwatch->setBordered(true);
    templateSwatch->hide();
    m_grid = new PaletteGrid(templateSwatch, twipRect(600, 2670, 360, 300), window);
    connect(m_grid, &PaletteGrid::released, this, &ColorChart::swatchReleased);
    connect(m_grid, &PaletteGrid::turned, this,
            [this](int notches) { showPage(m_page + notches); });
    m_grid->build();
    m_history->setActive(m_store);
    connect(m_history, &PaletteHistory::failed, this, &ColorChart::failed);
    connect(m_history, &PaletteHistory::changed, this, [this](const QString &fileName) {
        if (fileName == m_store.fileName())
            ShowColorChart(m_store.fileName());
    });
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
}

ColorChart::~ColorChart() = default;

void ColorChart::addMenuItems(QMenu *edit, QWidget *window)
{
    editsep3 = addItem(edit, "editsep3", {});
    mnuDelCor = addItem(edit, "mnuDelCor", QStringLiteral("&Delete"));
    connect(mnuDelCor, &QAction::triggered, this, &ColorChart::mnuDelCor_Click);
    mnuCleanDup = addItem(edit, "mnuCleanDup", QStringLiteral("Clean Duplicate"));
    connect(mnuCleanDup, &QAction::triggered, this, &ColorChart::mnuCleanDup_Click);

    mnuUndo = m_history->createUndoAction(edit);
    mnuUndo->setObjectName(QStringLiteral("mnuUndo"));
    mnuUndo->setShortcuts(QKeySequence::Undo);
    mnuRedo = m_history->createRedoAction(edit);
    mnuRedo->setObjectName(QStringLiteral("mnuRedo"));
    mnuRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addAction(mnuUndo);
    edit->addAction(mnuRedo);
    // The Edit menu only pops up: the window holds the shortcuts.
    window->addAction(mnuUndo);
    window->addAction(mnuRedo);

    mnuPalettes = edit->addMenu(QStringLiteral("Palettes"));
    mnuPalettes->setObjectName(QStringLiteral("mnuPalettes"));
    mnuPalettes->menuAction()->setObjectName(QStringLiteral("mnuPalettesItem"));
    mnuNewPalette = new QAction(QStringLiteral("New Palette..."), this);
    mnuNewPalette->setObjectName(QStringLiteral("mnuNewPalette"));
    connect(mnuNewPalette, &QAction::triggered, this, &ColorChart::mnuNewPalette_Click);
    mnuRenamePalette = new QAction(QStringLiteral("Rename Palette..."), this);
    mnuRenamePalette->setObjectName(QStringLiteral("mnuRenamePalette"));
    connect(mnuRenamePalette, &QAction::triggered, this, &ColorChart::mnuRenamePalette_Click);
    mnuRemovePalette = new QAction(QStringLiteral("Remove Palette..."), this);
    mnuRemovePalette->setObjectName(QStringLiteral("mnuRemovePalette"));
    connect(mnuRemovePalette, &QAction::triggered, this, &ColorChart::mnuRemovePalette_Click);
    fillPalettesMenu();
    connect(mnuPalettes, &QMenu::aboutToShow, this, &ColorChart::fillPalettesMenu);

    editsep4 = addItem(edit, "editsep4", {});
    mnuExport = addItem(edit, "mnuExport", QStringLiteral("Export Palette..."));
    connect(mnuExport, &QAction::triggered, this, &ColorChart::mnuExport_Click);
    mnuImport = addItem(edit, "mnuImport", QStringLiteral("Import Palette..."));
    connect(mnuImport, &QAction::triggered, this, &ColorChart::mnuImport_Click);
}

void ColorChart::setMenuItemsVisible(bool visible)
{
    for (QAction *item : {mnuDelCor, mnuCleanDup, mnuUndo, mnuRedo, mnuPalettes->menuAction(),
                          editsep3, editsep4, mnuExport, mnuImport})
        item->setVisible(visible);
}

void ColorChart::ShowColorChart(const QString &curChartfile)
{
    m_grid->hideFrame();
    mnuDelCor->setEnabled(false);
    qint64 count = 0;
    std::vector<ChartRecord> records;
    const PaletteStore store =
        curChartfile == m_store.fileName() ? m_store : PaletteStore(m_store.folder(), curChartfile);
    try {
        // A page past the oldest record, after a Delete or an undo, becomes the last page.
        count = store.count();
        m_page = std::clamp<qint64>(m_page, 0, std::max<qint64>(0, (count - 1) / pageSize));
        records = store.readNewest(PaletteGrid::swatchCount, &count, m_page * pageSize);
    } catch (const PaletteError &error) {
        // Nothing is shown and nothing can be deleted; the file itself stays as it is.
        emit failed(error.message());
        count = 0;
        m_page = 0;
        records.clear();
    }
    m_count = count;
    m_grid->showRecords(std::move(records));
    showCaption();
}

void ColorChart::showPage(qint64 page)
{
    const qint64 last = std::max<qint64>(0, (m_count - 1) / pageSize);
    page = std::clamp<qint64>(page, 0, last);
    if (page == m_page)
        return;
    m_page = page;
    ShowColorChart(m_store.fileName());
}

void ColorChart::showCaption()
{
    QString caption = m_name == palettelibrary::defaultName
                          ? QStringLiteral("Color Palette")
                          : QStringLiteral("Color Palette: %1").arg(m_name);
    if (m_page > 0) {
        const QLocale c = QLocale::c();
        const qint64 first = m_page * pageSize + 1;
        caption = QStringLiteral("%1 %2\u2013%3 of %4")
                      .arg(m_name == palettelibrary::defaultName ? QStringLiteral("Color Palette")
                                                                 : m_name,
                           c.toString(first), c.toString(std::min(m_count, first + pageSize - 1)),
                           c.toString(m_count));
    }
    // As designed on the first page of the default palette; as wide as its band for the longer
    // captions. A long name is cut, and whole in the tip.
    const bool designed = m_page == 0 && m_name == palettelibrary::defaultName;
    m_heading->resize(designunits::pixels(designed ? 2115 : 2550), m_heading->height());
    m_caption = caption;
    m_heading->setText(
        m_heading->fontMetrics().elidedText(caption, Qt::ElideMiddle, m_heading->width()));
    m_heading->setToolTip(m_heading->text() == caption ? QString() : caption);
}

void ColorChart::select(int index)
{
    const qint64 record = m_count - (m_page * pageSize + index);
    m_chartSelRecord = static_cast<int32_t>(std::clamp<qint64>(
        record, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    mnuDelCor->setEnabled(record >= 1);
    m_grid->frameSwatch(index);
    // Set before the color is reported, so that the change keeps the frame it would otherwise
    // hide.
    SelColor = m_grid->swatchColor(index);
    emit selected(SelColor);
}

void ColorChart::reloadAndSelectNewest()
{
    m_page = 0;
    ShowColorChart(m_store.fileName());
    select(0);
}

void ColorChart::currentColorChanging(Color color)
{
    if (color != SelColor) {
        m_grid->hideFrame();
        mnuDelCor->setEnabled(false);
    }
}

PaletteStore ColorChart::storeOf(const QString &palette) const
{
    if (palette.isEmpty() || palette == m_name)
        return m_store;
    if (const QString why = palettelibrary::problem(palette); !why.isEmpty())
        throw PaletteError(why);
    return PaletteStore(m_store.folder(), palettelibrary::fileName(palette));
}

bool ColorChart::make(const PaletteStore &store, std::unique_ptr<PaletteStep> step)
{
    try {
        m_history->make(store, std::move(step));
    } catch (const PaletteError &error) {
        emit failed(error.message());
        return false;
    }
    return true;
}

bool ColorChart::append(Color color, const QString &palette)
{
    try {
        return make(storeOf(palette),
                    palettesteps::append(QStringLiteral("Pick"),
                                         {ChartRecord::fromHexText(bascommon::ColorToHex(color))}));
    } catch (const PaletteError &error) {
        emit failed(error.message());
        return false;
    }
}

void ColorChart::mnuDelCor_Click()
{
    const ChartRecord *selected =
        m_grid->record(static_cast<int>(m_count - m_page * pageSize - m_chartSelRecord));
    if (selected)
        make(m_store, palettesteps::deleteRecord(m_chartSelRecord, *selected));
    ShowColorChart(m_store.fileName());
}

void ColorChart::mnuCleanDup_Click()
{
    if (m_count < 2)
        return;
    make(m_store, palettesteps::cleanDuplicates());
    ShowColorChart(m_store.fileName());
}
