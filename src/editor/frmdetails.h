// "Color Details": a window beside the main one that follows the current color and says all
// there is to say of it: its name, every notation with a button that copies exactly that text,
// its contrast (WCAG 2 and APCA) against white, black and a second color, how it looks to people
// with each color-vision deficiency, and its harmonies.
#pragma once

#include "color/bascommon.h"

#include <QList>
#include <QWidget>

class ColorLabel;
class QGridLayout;
class QLabel;
class QLineEdit;

class frmdetails : public QWidget
{
    Q_OBJECT
public:
    explicit frmdetails(QWidget *parent = nullptr);

    // The current color.
    void setColor(Color color);
    // The second color of the contrast: the palette's selected swatch, until one is typed.
    void setSecondColor(Color color);

    Color color() const { return m_color; }

signals:
    void failed(const QString &message);
    // A harmony's swatch was clicked: that color to be the current one.
    void chosen(Color color);
    // "Add to Palette" of a harmony, with its colors in order.
    void addToPalette(const QList<Color> &colors);

private:
    struct Contrast
    {
        QLabel *ratio;
        QLabel *apca;
        QLabel *levels;
    };
    struct Seen
    {
        ColorLabel *swatch;
        QLabel *text;
    };
    struct Harmony
    {
        QList<ColorLabel *> swatches;
        QList<Color> colors;
    };
    void addJudgements(QGridLayout *grid);
    Contrast addContrastRow(QGridLayout *grid, int row, QWidget *against);
    void showContrast(const Contrast &row, Color other);
    void showContrasts();

    Color m_color = 0xFFFFFF;
    ColorLabel *m_swatch;
    QLabel *m_name;
    QList<std::pair<QString, QLineEdit *>> m_notations; // format name, its text
    QLineEdit *m_second;
    bool m_typed = false; // the second color was typed, not selected
    Contrast m_white{};
    Contrast m_black{};
    Contrast m_other{};
    QList<Seen> m_seen;         // one per full deficiency
    QList<Harmony> m_harmonies; // one per kind
};
