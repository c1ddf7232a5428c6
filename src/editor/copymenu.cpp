// The copy submenu, its formats and the clipboard.
#include "copymenu.h"

#include "desktop/clipboard.h"
#include "formats/colorformat.h"
#include "frmformats.h"

#include <QAction>
#include <QDir>
#include <QMenu>

CopyMenu::CopyMenu(QWidget *window, CopySettings settings)
    : QObject(window), m_window(window), m_settings(std::move(settings)),
      m_choices(m_settings.read())
{
}

void CopyMenu::addTo(QMenu *edit)
{
    mnuCopydec = edit->addMenu(QStringLiteral("Copy Color Value"));
    mnuCopydec->setObjectName(QStringLiteral("mnuCopydec"));
    mnuCopydec->menuAction()->setObjectName(QStringLiteral("mnuCopydec"));
    bool css = false;
    for (const colorformat::Named &format : colorformat::table()) {
        if (format.css && !std::exchange(css, true))
            mnuCopydec->addSeparator()->setObjectName(QStringLiteral("copysep1"));
        addFormatItem(format.name, format.actionName, nullptr);
    }
    copysep2 = mnuCopydec->addSeparator();
    copysep2->setObjectName(QStringLiteral("copysep2"));
    showUserFormats();
    mnuCopyEachPick = mnuCopydec->addAction(QStringLiteral("Copy Each Pick"));
    mnuCopyEachPick->setObjectName(QStringLiteral("mnuCopyEachPick"));
    mnuCopyEachPick->setCheckable(true);
    mnuCopyEachPick->setChecked(m_choices.eachPick);
    connect(mnuCopyEachPick, &QAction::toggled, this, [this](bool on) {
        m_choices.eachPick = on;
        saveChoices();
    });
    QAction *mnuEditFormats = mnuCopydec->addAction(QStringLiteral("Edit Formats..."));
    mnuEditFormats->setObjectName(QStringLiteral("mnuEditFormats"));
    connect(mnuEditFormats, &QAction::triggered, this, &CopyMenu::mnuEditFormats_Click);
}

QAction *CopyMenu::addFormatItem(const QString &format, const QString &name, QAction *before)
{
    auto *item = new QAction(mnuCopydec);
    item->setObjectName(name);
    mnuCopydec->insertAction(before, item);
    connect(item, &QAction::triggered, this, [this, format] { copyFormat(format); });
    m_formatItems.append({item, format});
    item->setText(caption(format));
    return item;
}

void CopyMenu::showUserFormats()
{
    for (QAction *item : std::as_const(m_userItems)) {
        m_formatItems.removeIf([item](const auto &entry) { return entry.first == item; });
        delete item;
    }
    m_userItems.clear();
    for (qsizetype i = 0; i < m_choices.formats.size(); ++i)
        m_userItems << addFormatItem(m_choices.formats.at(i),
                                     QStringLiteral("mnuCopyUser%1").arg(i + 1), copysep2);
}

void CopyMenu::mnuEditFormats_Click()
{
    frmformats dialog(m_choices.formats, m_color, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_choices.formats = dialog.formats();
    if (!m_choices.formats.contains(m_choices.last) &&
        !colorformat::names().contains(m_choices.last))
        m_choices.last = QStringLiteral("hex");
    saveChoices();
    showUserFormats();
}

void CopyMenu::saveChoices()
{
    if (!m_settings.write(m_choices))
        emit failed(QStringLiteral("Could not save the copy formats in %1.")
                        .arg(QDir::toNativeSeparators(m_settings.fileName())));
}

void CopyMenu::putOnClipboard(const QString &text)
{
    if (const QString refused = clipboard::putTextOrSay(text); !refused.isEmpty())
        emit failed(refused);
}

void CopyMenu::pickTaken(Color color)
{
    if (m_choices.eachPick)
        putOnClipboard(colorformat::text(m_choices.last, color));
}

void CopyMenu::setColor(Color color)
{
    m_color = color;
    ChangeCopyMenu();
}

QString CopyMenu::copyText(const QString &format) const
{
    return colorformat::text(format, m_color);
}

void CopyMenu::ChangeCopyMenu()
{
    for (const auto &[item, format] : std::as_const(m_formatItems))
        item->setText(caption(format));
}

QString CopyMenu::caption(const QString &format) const
{
    // The text itself, never a keyboard mnemonic.
    return copyText(format).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void CopyMenu::copyFormat(const QString &format)
{
    clipboard::clear();
    putOnClipboard(copyText(format));
    m_choices.last = format;
    saveChoices();
}
