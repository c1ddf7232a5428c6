// The system clipboard as the copy items and picking use it.
#pragma once

#include <QString>

namespace clipboard {
void clear();
// False when the text did not arrive on the clipboard.
bool putText(const QString &text);
// Puts text on the clipboard; what to tell the user when it did not arrive, else nothing.
QString putTextOrSay(const QString &text);
} // namespace clipboard
