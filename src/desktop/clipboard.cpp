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

} // namespace clipboard
