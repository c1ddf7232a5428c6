// "Color Details": a window beside the main one that follows the current color and says all
// there is to say of it: its name, every notation with a button that copies exactly that text,
// and its contrast against white, black and a second color.
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

private:
    struct Contrast
    {
        QLabel *ratio;
        QLabel *levels;
    };
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
};
