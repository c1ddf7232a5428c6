// The frozen screen as a person with a color-vision deficiency sees it, pixel for pixel.
#pragma once

#include "color/visiondeficiency.h"

#include <QImage>

namespace simulatedview {

// picture with every pixel simulated; a picture of the same size in RGB32. Takes a good part of
// a second for a 4K screen: run it off the GUI thread.
QImage of(const QImage &picture, const visiondeficiency::Simulation &simulation);

} // namespace simulatedview
