// A label that shows a color.
#include "colorlabel.h"

#include <QMouseEvent>
#include <QPainter>

ColorLabel::ColorLabel(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ColorLabel::setBackColor(Color color)
{
    if (color == m_backColor)
        return;
    m_backColor = color;
    update();
}

void ColorLabel::setBordered(bool bordered)
{
    m_bordered = bordered;
    update();
}

void ColorLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(m_backColor));
    if (m_bordered) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void ColorLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const int button = buttonNumber(event->button());
    if (button != 0)
        emit released(button, event->globalPosition().toPoint());
}

QColor toQColor(Color color)
{
    return QColor(bascommon::GetRed(color), bascommon::GetGreen(color), bascommon::GetBlue(color));
}

Color fromQColor(const QColor &color)
{
    return bascommon::composeColor(color.red(), color.green(), color.blue());
}

int buttonNumber(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}
