// The eyedropper pointer of the frozen screen: 32 by 32, black and white on transparent, hot
// spot at (11, 20).
#pragma once

#include <QCursor>

namespace pickcursor {
QCursor eyedropperCursor();
inline constexpr QPoint hotSpot{11, 20};
} // namespace pickcursor
