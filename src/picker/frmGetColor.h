// The frozen screen: a borderless window over one screen that shows its capture, with the loupe
// at the pick point it is given. It reports the pointer, clicks, keys and the wheel, and decides
// nothing itself: the picking session does.
#pragma once

#include "color/bascommon.h"
#include "desktop/screencapture.h"
#include "loupe.h"

#include <QImage>
#include <QWidget>
#include <optional>

class frmGetColor : public QWidget
{
    Q_OBJECT
public:
    // Shows the picture full screen on its own screen.
    explicit frmGetColor(const ScreenPicture &screen);

    // This window's screen, as captured.
    const QImage &picture() const { return m_picture; }
    // Shows `shown`, of the picture's size, in place of the picture (a simulated view of it);
    // a null image shows the picture again. Picks still read the picture.
    void setShown(const QImage &shown);
    const QImage &shownPicture() const { return m_shown.isNull() ? m_picture : m_shown; }
    // The color of device pixel (x, y) of the frozen picture; black when it cannot be read.
    Color pixelAt(QPoint devicePixel) const;

    // The pick point it was last given, and the loupe that shows it.
    std::optional<QPoint> pickPoint() const { return m_pick; }
    const loupe::Layout &loupeLayout() const { return m_loupe; }

    // The picture's pixel at a device position of this window. The one place that maps device
    // pixels onto the picture, whose pixels may be finer than the window's.
    QPoint pictureOfDevice(QPointF device) const;
    // The picture's pixel under the pointer, when the platform tells where the pointer is and it
    // is over this window.
    std::optional<QPoint> pixelUnderPointer() const;

    // Shows the loupe for the pick point at `pixel`, keeping out from under `avoid` (global).
    void showPickPoint(QPoint pixel, const loupe::Reading &reading, QRect avoid);
    void dropPickPoint();
    // Moves the pointer onto a pixel of the picture, where the platform lets a program do so.
    void warpPointer(QPoint pixel);

signals:
    // The pointer is over this picture's pixel: it moved, or (entered) it came in.
    void pointerMoved(QPoint pixel, bool entered);
    // A mouse button was released: 1 left, 2 right, 4 middle.
    void released(int button);
    // A key; whoever handles it leaves it accepted, and ignores the keys picking does not use.
    void keyPressed(QKeyEvent *event);
    // The wheel turned by whole notches, away from the user positive.
    void wheelTurned(int notches, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void freeze(const ScreenPicture &screen);
    QPoint pictureOfLogical(QPointF logicalPosition) const;
    QPointF logicalOf(QPoint pixel) const;
    // Captured pixels per device pixel of the window.
    qreal imageScale() const;

    QImage m_picture;
    QImage m_shown; // null: the picture itself
    QPoint m_origin;
    std::optional<QPoint> m_pick;
    loupe::Reading m_reading;
    loupe::Layout m_loupe;
    int m_wheel = 0; // eighths of a degree not yet a notch
};
