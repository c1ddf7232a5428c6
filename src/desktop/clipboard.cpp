// The system clipboard through QClipboard.
#include "clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace clipboard {

void clear()
{
    QGuiApplication::clipboard()->clear();
}

bool putText(const QString &text)
{
    QClipboard *board = QGuiApplication::clipboard();
    board->setText(text);
    // QClipboard reports no failure of its own; reading back tells whether we own the text.
    return board->text() == text;
}

QString putTextOrSay(const QString &text)
{
    return putText(text) ? QString()
                         : QStringLiteral("Could not put %1 on the clipboard.").arg(text);
}

} // namespace clipboard
