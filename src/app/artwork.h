// The program's own artwork, painted in code so that it stays sharp at every scale factor.
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace artwork {
QPixmap eyedropperImage(qreal devicePixelRatio); // imgpick, 16 by 16
QPixmap aboutImage(qreal devicePixelRatio);      // imgabout, 16 by 16, circular
QPixmap logoImage(qreal devicePixelRatio);       // imgtarnwick, the maker's logo, 16 by 16
QIcon programIcon();                             // a three-by-three grid of colored squares
QImage programIconImage(int size);               // the same, at one size
} // namespace artwork
