// The 10 by 10 swatch grid built from its template swatch, and the selection frame.
#pragma once

#include "chartrecord.h"
#include "color/bascommon.h"

#include <QObject>
#include <QRect>
#include <vector>

class ColorLabel;
class QWidget;

class PaletteGrid : public QObject
{
    Q_OBJECT
public:
    static constexpr int swatchCount = 100;

    // templateSwatch is lblcor(0) as designed; frameGeometry is shpSelect's design place.
    PaletteGrid(ColorLabel *templateSwatch, QRect frameGeometry, QWidget *window);

    // Creates swatches 1 to 99 as copies of the template and places all 100.
    void build();

    // Swatch j shows records[j]; swatches without a record are white.
    void showRecords(std::vector<ChartRecord> records);

    ColorLabel *swatch(int index) const { return m_swatches[static_cast<size_t>(index)]; }
    Color swatchColor(int index) const;
    // The record swatch index shows, if it shows one.
    const ChartRecord *record(int index) const;

    void frameSwatch(int index);
    void hideFrame();
    bool frameVisible() const;

signals:
    void released(int index, int button);
    // The wheel turned over the grid by whole notches: positive toward older records (down).
    void turned(int notches);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QWidget *m_frame;
    std::vector<ColorLabel *> m_swatches;
    std::vector<ChartRecord> m_records;
    int m_wheel = 0; // eighths of a degree not yet a notch
};
