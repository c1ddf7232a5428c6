// The designs' units and faces: places and sizes in twips (at 96 dpi a pixel is 15 twips, and Qt
// scales pixels for other screens itself), fonts by face and points.
#pragma once

#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QRect>
#include <QWidget>

namespace designunits {

inline constexpr int twipsPerPixel = 15;

constexpr int pixels(int twips)
{
    return twips / twipsPerPixel;
}

constexpr QRect twipRect(int left, int top, int width, int height)
{
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

inline QFont designFont(const QString &face, qreal points, bool bold = false)
{
    QFont font(face);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The face most windows are designed in.
inline QFont windowFont()
{
    return designFont(QStringLiteral("Tahoma"), 8.25);
}

// A label of a design: its object name, place, face and alignment.
inline QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, QRect geometry,
                         const QFont &font, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(alignment);
    return label;
}

// A solid background, as a label or field with its own back color has.
inline void fillBackground(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::Base, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace designunits
