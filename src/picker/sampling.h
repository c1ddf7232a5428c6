// The color a pick takes: the mean of the sample box around the pick point, within one screen's
// capture.
#pragma once

#include "color/bascommon.h"

#include <QImage>
#include <QPoint>

namespace sampling {

// The mean of the size-by-size box of picture centred on device pixel centre, over the box's
// pixels that lie in the picture: each channel's sum divided by their count, rounded half up.
// Black when none does. Size 1 is the pixel itself.
Color mean(const QImage &picture, QPoint centre, int size);

} // namespace sampling
