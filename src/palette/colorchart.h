// The palette as the main window shows it: the heading with the palette's name and page, the
// swatch grid with its pages of a hundred, and the selection. It only shows: every change goes
// to PaletteDocument.
#pragma once

#include "chartrecord.h"
#include "color/bascommon.h"
#include "palettestore.h"

#include <QObject>
#include <limits>
#include <optional>

class PaletteGrid;
class QLabel;
class QProgressBar;
class QTimer;
class QWidget;

class ColorChart : public QObject
{
    Q_OBJECT
public:
    static constexpr int pageSize = 100;
    // Work on the palette that lasts longer than this shows a bar in the heading.
    static constexpr int workingDelayMs = 500;

    // Builds the heading and the swatch grid on the window, as designed, showing store.
    ColorChart(PaletteStore store, QWidget *window);
    ~ColorChart() override;

    // Shows the palette store, named name, from its newest color, which is selected.
    void showPalette(const PaletteStore &store, const QString &name);
    // Reloads the grid's page from the palette file curChartfile, in the palette's folder.
    void ShowColorChart(const QString &curChartfile);
    // Frames swatch index (0 is the newest color of the page) and reports its color with
    // selected().
    void select(int index);
    // Back to the first page, with the newest color selected.
    void reloadAndSelectNewest();
    // The frame goes when the current color leaves the selected one.
    void currentColorChanging(Color color);
    // Turns to page (0 the newest hundred), as far as there are records.
    void showPage(qint64 page);
    // Work on the palette under way: after workingDelayMs a bar shows it until it ends.
    void setWorking(bool working);

    Color selColor() const { return SelColor; }
    int32_t chartCount() const
    {
        return static_cast<int32_t>(std::min<qint64>(m_count, std::numeric_limits<int32_t>::max()));
    }
    qint64 recordCount() const { return m_count; }
    int32_t chartSelRecord() const { return m_chartSelRecord; }
    // The framed record, as its number (1-based) and what the grid shows of it.
    std::optional<std::pair<qint64, ChartRecord>> selectedRecord() const;
    qint64 page() const { return m_page; }
    // The heading's whole text, which the label cuts where it has no room.
    const QString &caption() const { return m_caption; }

signals:
    void selected(Color color);
    // Whether a record is framed, which Delete would take.
    void selectionChanged(bool framed);
    // A button released over swatch index (1 left, 2 right, 4 middle), once it is selected.
    void swatchReleased(int index, int button);
    void failed(const QString &message);

private:
    void showCaption();
    void unframe();

    PaletteStore m_store;
    QString m_name;
    PaletteGrid *m_grid = nullptr;
    QLabel *m_heading = nullptr;
    QProgressBar *m_working = nullptr;
    QTimer *m_workingDelay = nullptr;
    Color SelColor = 0;
    int32_t m_chartSelRecord = 0;
    bool m_framed = false;
    qint64 m_count = 0; // every whole record of the last load; chartCount as the grid knows it
    qint64 m_page = 0;
    QString m_caption;
};
