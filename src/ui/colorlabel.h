// A label that shows a color: the preview, the swatches and the picking preview are all one.
#pragma once

#include "color/bascommon.h"

#include <QWidget>

class ColorLabel : public QWidget
{
    Q_OBJECT
public:
    explicit ColorLabel(QWidget *parent = nullptr);

    Color backColor() const { return m_backColor; }
    void setBackColor(Color color);

    // A flat single line one pixel wide, in the window text color.
    void setBordered(bool bordered);

signals:
    // Button as the handlers number them: 1 left, 2 right, 4 middle.
    void released(int button, QPoint globalPosition);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    Color m_backColor = 0xFFFFFF;
    bool m_bordered = false;
};

// Converts a color value to a QColor and back; only the low 24 bits are used.
QColor toQColor(Color color);
Color fromQColor(const QColor &color);

// 1 for the left, 2 for the right and 4 for the middle button; 0 for any other.
int buttonNumber(Qt::MouseButton button);
