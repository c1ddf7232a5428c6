// The swatch grid: geometry taken from the template at run time, so the grid follows the
// template wherever it stands.
#include "palettegrid.h"

#include "base/numconv.h"
#include "ui/colorlabel.h"

#include <QPainter>
#include <QWheelEvent>

namespace {

// A black outline one pixel outside the selected swatch, drawn above its neighbours' borders.
class SelectionFrame : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

} // namespace

PaletteGrid::PaletteGrid(ColorLabel *templateSwatch, QRect frameGeometry, QWidget *window)
    : QObject(window), m_window(window), m_frame(new SelectionFrame(window))
{
    m_frame->setObjectName(QStringLiteral("shpSelect"));
    m_frame->setGeometry(frameGeometry);
    m_frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_frame->hide();
    m_swatches.push_back(templateSwatch);
}

void PaletteGrid::build()
{
    ColorLabel *first = m_swatches.front();
    const QRect t = first->geometry();
    m_frame->resize(t.width() + 2, t.height() + 2);
    m_frame->hide();
    for (int i = 1; i < swatchCount; ++i) {
        auto *copy = new ColorLabel(m_window);
        copy->setObjectName(QStringLiteral("lblcor(%1)").arg(i));
        copy->setGeometry(t);
        copy->setFont(first->font());
        copy->setBordered(true);
        copy->setBackColor(0xFFFFFF);
        copy->hide();
        m_swatches.push_back(copy);
    }
    first->show();
    const int pitchX = numconv::toInt32(t.width() - 1);
    const int pitchY = numconv::toInt32(t.height() - 1);
    for (int i = 1; i < swatchCount; ++i) {
        m_swatches[static_cast<size_t>(i)]->move(t.left() + (i % 10) * pitchX,
                                                 t.top() + (i / 10) * pitchY);
        m_swatches[static_cast<size_t>(i)]->show();
    }
    for (int i = 0; i < swatchCount; ++i) {
        connect(m_swatches[static_cast<size_t>(i)], &ColorLabel::released, this,
                [this, i](int button) { emit released(i, button); });
        m_swatches[static_cast<size_t>(i)]->installEventFilter(this);
    }
    m_frame->raise();
}

void PaletteGrid::showRecords(std::vector<ChartRecord> records)
{
    m_records = std::move(records);
    for (size_t j = 0; j < m_swatches.size(); ++j)
        m_swatches[j]->setBackColor(j < m_records.size() ? m_records[j].color() : 0xFFFFFF);
}

Color PaletteGrid::swatchColor(int index) const
{
    return swatch(index)->backColor();
}

const ChartRecord *PaletteGrid::record(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_records.size())
        return nullptr;
    return &m_records[static_cast<size_t>(index)];
}

void PaletteGrid::frameSwatch(int index)
{
    m_frame->move(swatch(index)->pos() - QPoint(1, 1));
    m_frame->show();
    m_frame->raise();
}

void PaletteGrid::hideFrame()
{
    m_frame->hide();
}

bool PaletteGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel)
        return QObject::eventFilter(watched, event);
    // High-resolution wheels and touchpads send small steps: they add up to notches.
    m_wheel += static_cast<QWheelEvent *>(event)->angleDelta().y();
    const int notches = m_wheel / QWheelEvent::DefaultDeltasPerStep;
    m_wheel -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0)
        emit turned(-notches);
    return true;
}

bool PaletteGrid::frameVisible() const
{
    return !m_frame->isHidden();
}
