// The palette as the main window shows it: the heading and grid with its pages, loading and
// selecting.
#include "colorchart.h"

#include "palettegrid.h"
#include "palettelibrary.h"
#include "ui/colorlabel.h"
#include "ui/designunits.h"

#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QTimer>
#include <limits>

using designunits::designFont;
using designunits::twipRect;

namespace {

QLabel *makeHeading(QWidget *window, const char *name, const QString &text, QRect geometry)
{
    return designunits::makeLabel(window, name, text, geometry,
                                  designFont(QStringLiteral("Tahoma"), 8.25, true));
}

} // namespace

ColorChart::ColorChart(PaletteStore store, QWidget *window)
    : QObject(window), m_store(std::move(store)), m_name(palettelibrary::defaultName)
{
    designunits::fillBackground(
        makeHeading(window, "Label1", QString(), twipRect(75, 2190, 2610, 300)),
        QColor(172, 168, 153));
    m_heading = makeHeading(window, "Label3", QStringLiteral("Color Palette"),
                            twipRect(105, 2235, 2115, 270));
    QPalette headingPalette = m_heading->palette();
    headingPalette.setColor(QPalette::WindowText, QColor(22, 22, 18));
    m_heading->setPalette(headingPalette);

    // At the band's right end, over the end of a long caption while it shows.
    m_working = new QProgressBar(window);
    m_working->setObjectName(QStringLiteral("paletteWorking"));
    m_working->setGeometry(twipRect(2205, 2235, 450, 225));
    m_working->setRange(0, 0);
    m_working->setTextVisible(false);
    m_working->setToolTip(QStringLiteral("Working on the palette..."));
    m_working->hide();
    m_workingDelay = new QTimer(this);
    m_workingDelay->setSingleShot(true);
    m_workingDelay->setInterval(workingDelayMs);
    connect(m_workingDelay, &QTimer::timeout, this, [this] {
        m_working->show();
        m_working->raise();
    });

    auto *templateSwatch = new ColorLabel(window);
    templateSwatch->setObjectName(QStringLiteral("lblcor(0)"));
    templateSwatch->setGeometry(twipRect(90, 2550, 270, 270));
    templateSwatch->setFont(designFont(QStringLiteral("Arial"), 9));
    templateSwatch->setBordered(true);
    templateSwatch->hide();
    m_grid = new PaletteGrid(templateSwatch, twipRect(600, 2670, 360, 300), window);
    connect(m_grid, &PaletteGrid::released, this, [this](int index, int button) {
        select(index);
        emit swatchReleased(index, button);
    });
    connect(m_grid, &PaletteGrid::turned, this,
            [this](int notches) { showPage(m_page + notches); });
    m_grid->build();
}

ColorChart::~ColorChart() = default;

void ColorChart::showPalette(const PaletteStore &store, const QString &name)
{
    m_store = store;
    m_name = name;
    reloadAndSelectNewest();
}

void ColorChart::setWorking(bool working)
{
    if (working) {
        if (!m_working->isVisible() && !m_workingDelay->isActive())
            m_workingDelay->start();
        return;
    }
    m_workingDelay->stop();
    m_working->hide();
}

void ColorChart::unframe()
{
    m_grid->hideFrame();
    if (std::exchange(m_framed, false))
        emit selectionChanged(false);
}

std::optional<std::pair<qint64, ChartRecord>> ColorChart::selectedRecord() const
{
    if (!m_framed)
        return std::nullopt;
    const ChartRecord *record =
        m_grid->record(static_cast<int>(m_count - m_page * pageSize - m_chartSelRecord));
    if (!record)
        return std::nullopt;
    return std::make_pair(static_cast<qint64>(m_chartSelRecord), *record);
}

void ColorChart::ShowColorChart(const QString &curChartfile)
{
    unframe();
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
    m_grid->frameSwatch(index);
    const bool was = std::exchange(m_framed, record >= 1);
    if (was != m_framed)
        emit selectionChanged(m_framed);
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
    if (color != SelColor)
        unframe();
}
