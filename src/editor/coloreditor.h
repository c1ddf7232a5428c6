// The current color editor: the preview, the hex and decimal readouts, the three component
// fields with their sliders, and the copy submenu whose captions are the texts it copies.
#pragma once

#include "color/bascommon.h"
#include "color/copyformats.h"
#include "formats/copysettings.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <utility>

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
    // Builds the editor's controls on the window, as designed, showing white. settings keeps
    // the user's formats and copy choices.
    ColorEditor(QWidget *window, CopySettings settings);

    // Adds the "Copy Color Value" submenu to the Edit menu: the seven formats, the CSS ones, the
    // user's own, "Copy Each Pick" and "Edit Formats...".
    void addCopyMenu(QMenu *edit);
    // With "Copy Each Pick" on, puts the pick's text in the format chosen last on the clipboard.
    void pickTaken(Color color);
    void mnuEditFormats_Click();

    // The single way to change the current color.
    void CurrentColorChanged(Color color);
    void rgbslider();
    void ChangeCopyMenu();
    // Brings the fields, copy captions and sliders in line with the preview's first color.
    void showFirstColor();

    Color color() const { return CurColor; }
    // The text of a copy item: format is a format name or a template.
    QString copyText(const QString &format) const;
    void copyFormat(const QString &format);

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
    QAction *addFormatItem(const QString &format, const QString &name, QAction *before);
    void showUserFormats();
    QString caption(const QString &format) const;
    void saveChoices();

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
    CopySettings m_settings;
    CopyChoices m_choices;
    QMenu *mnuCopydec = nullptr;
    // Every item whose caption is its text, with its format.
    QList<std::pair<QAction *, QString>> m_formatItems;
    QList<QAction *> m_userItems;
    QAction *copysep2 = nullptr;
    QAction *mnuCopyEachPick = nullptr;
};
