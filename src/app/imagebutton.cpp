// An image that acts as a button.
#include "imagebutton.h"

#include <QMouseEvent>

void ImageButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
