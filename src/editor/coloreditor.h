// The current color editor: the preview, the hex and decimal readouts, and the three component
// fields with their sliders. It owns the current color and nothing else.
#pragma once

#include "color/bascommon.h"

#include <QObject>
#include <QPoint>

class ColorLabel;
class QLineEdit;
class QScrollBar;
class QWidget;

class ColorEditor : public QObject
{
    Q_OBJECT
public:
    // Builds the editor's controls on the window, as designed, showing white.
    explicit ColorEditor(QWidget *window);

    // The single way to change the current color.
    void CurrentColorChanged(Color color);
    void rgbslider();
    // Brings the fields and sliders in line with the preview's first color.
    void showFirstColor();

    Color color() const { return CurColor; }

signals:
    // Before the preview takes a color other than the current one.
    void colorChanging(Color color);
    // The current color is now this one: the preview, readouts and fields show it.
    void colorChanged(Color color);
    // A button released over the preview (1 left, 2 right, 4 middle).
    void previewReleased(int button, QPoint globalPosition);

private:
    void buildReadouts(QWidget *window);
    void buildSliders(QWidget *window);
    void scrollChanged(QScrollBar *scroll, QLineEdit *field);
    void showComponents(Color color);

    Color CurColor = 0xFFFFFF;
    ColorLabel *lblcolor = nullptr;
    QLineEdit *txtrgb = nullptr;
    QLineEdit *txtrgb1 = nullptr;
    QLineEdit *rtxt = nullptr;
    QLineEdit *gtxt = nullptr;
    QLineEdit *btxt = nullptr;
    QScrollBar *RScroll = nullptr;
    QScrollBar *GScroll = nullptr;
    QScrollBar *BScroll = nullptr;
};
