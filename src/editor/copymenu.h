// The "Copy Color Value" submenu: an item per named format and per user format, each captioned
// with exactly the text it copies of the current color, then Copy Each Pick and Edit Formats.
// It keeps the user's formats and copy choices.
#pragma once

#include "color/bascommon.h"
#include "formats/copysettings.h"

#include <QList>
#include <QObject>
#include <utility>

class QAction;
class QMenu;
class QWidget;

class CopyMenu : public QObject
{
    Q_OBJECT
public:
    // window parents the Edit Formats dialog.
    CopyMenu(QWidget *window, CopySettings settings);

    // Adds the submenu to the Edit menu.
    void addTo(QMenu *edit);
    // The color the captions show and the items copy.
    void setColor(Color color);
    void ChangeCopyMenu();
    // With "Copy Each Pick" on, puts the pick's text in the format chosen last on the clipboard.
    void pickTaken(Color color);
    void mnuEditFormats_Click();

    // The text of a copy item: format is a format name or a template.
    QString copyText(const QString &format) const;
    void copyFormat(const QString &format);

signals:
    void failed(const QString &message);

private:
    QAction *addFormatItem(const QString &format, const QString &name, QAction *before);
    void showUserFormats();
    QString caption(const QString &format) const;
    void putOnClipboard(const QString &text);
    void saveChoices();

    QWidget *m_window;
    Color m_color = 0xFFFFFF;
    CopySettings m_settings;
    CopyChoices m_choices;
    QMenu *mnuCopydec = nullptr;
    // Every item whose caption is its text, with its format.
    QList<std::pair<QAction *, QString>> m_formatItems;
    QList<QAction *> m_userItems;
    QAction *copysep2 = nullptr;
    QAction *mnuCopyEachPick = nullptr;
};
