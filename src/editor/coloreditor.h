// The current color editor: the preview, the hex and decimal readouts, the three component
// fields with their sliders, and the copy submenu whose captions are the texts it copies.
#pragma once

#include "color/bascommon.h"
#include "color/copyformats.h"

#include <QObject>
#include <QPoint>
#include <array>

class ColorLabel;
class QAction;
class QLineEdit;
class QMenu;
class QScrollBar;
class QWidget;

class ColorEditor : public QObject
{
    Q_OBJECT
public:
    // Builds the editor's controls on the window, as designed, showing white.
    explicit ColorEditor(QWidget *window);

    // Adds the "Copy Color Value" submenu to the Edit menu.
    void addCopyMenu(QMenu *edit);

    // The single way to change the current color.
    void CurrentColorChanged(Color color);
    void rgbslider();
    void ChangeCopyMenu();
    // Brings the fields, copy captions and sliders in line with the preview's first color.
    void showFirstColor();

    Color color() const { return CurColor; }
    QString copyText(copyformats::Format format) const;
    void copyFormat(copyformats::Format format);

signals:
    // Before the preview takes a color other than the current one.
    void colorChanging(Color color);
    // A button released over the preview (1 left, 2 right, 4 middle).
    void previewReleased(int button, QPoint globalPosition);
    void failed(const QString &message);

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
    std::array<QAction *, copyformats::allFormats.size()> mnuCopy = {};
};
