// The frozen screen: a borderless window over one screen showing its capture, where each left
// click picks the color of the device pixel under the pointer. A picking session opens one per
// screen; they share the session's preview, zoom and pick point.
#pragma once

#include "color/bascommon.h"
#include "loupe.h"
#include "screencapture.h"

#include <QImage>
#include <QWidget>
#include <optional>

class PickingSession;

class frmGetColor : public QWidget
{
    Q_OBJECT
public:
    // Shows the picture full screen on its own screen.
    frmGetColor(PickingSession &session, const ScreenPicture &screen);

    // This window's screen, as captured.
    const QImage &picture() const { return m_picture; }
    // The color of device pixel (x, y) of the frozen picture; black when it cannot be read.
    Color pixelAt(QPoint devicePixel) const;

    // The pixel of the picture the next pick takes, and the loupe that shows it; nothing before
    // the pointer first moves or a key moves the pick point.
    std::optional<QPoint> pickPoint() const { return m_pick; }
    const loupe::Layout &loupeLayout() const { return m_loupe; }

    // The picture's pixel under the pointer, when the platform tells where the pointer is and it
    // is over this window.
    std::optional<QPoint> pixelUnderPointer() const;

    // The session's side: the loupe follows the pick point, or goes.
    void showPickPoint(QPoint pixel);
    void dropPickPoint();
    // Moves the pick point by whole pixels of the picture; on X11 the pointer follows.
    void nudge(QPoint step);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void freeze(const ScreenPicture &screen);
    void Form_MouseMove(QPointF logicalPosition);
    void Form_MouseUp(int button);
    QPointF logicalOf(QPoint pixel) const;
    // Where the preview floats above this window, where that is known.
    QRect previewArea() const;
    // Captured pixels per device pixel of the window.
    qreal imageScale() const;

    PickingSession &m_session;
    QImage m_picture;
    QPoint m_origin;
    std::optional<QPoint> m_pick;
    loupe::Layout m_loupe;
};
