// The frozen screen: a borderless window over the primary screen showing its capture, where each
// left click picks the color of the device pixel under the pointer.
#pragma once

#include "color/bascommon.h"
#include "loupe.h"

#include <QImage>
#include <QWidget>
#include <optional>

class PaletteStore;
class ScreenCapture;
class frmpick;

class frmGetColor : public QWidget
{
    Q_OBJECT
public:
    explicit frmGetColor(const PaletteStore &store);
    ~frmGetColor() override;

    // Checks that the screen can be captured here, before anything is hidden: answers with
    // readyToCapture() or notStarted().
    void prepare();
    // Clears the clipboard and captures the screen. Capturing may take a while (a desktop
    // portal); both picking windows show when the picture arrives, or notStarted() comes.
    void Form_Load();
    // Starts the capture of the whole primary screen at its device-pixel size.
    void CaptureScreen();

    Color pickedColor() const { return m_pickedColor; }
    const QImage &picture() const { return m_picture; }
    frmpick *preview() const { return m_preview; }

    // The color of device pixel (x, y) of the frozen picture; black when it cannot be read.
    Color pixelAt(QPoint devicePixel) const;

    // The pixel of the picture the next pick takes, and the loupe that shows it; nothing before
    // the pointer first moves or a key moves the pick point.
    std::optional<QPoint> pickPoint() const { return m_pick; }
    const loupe::Layout &loupeLayout() const { return m_loupe; }
    int zoom() const { return m_zoom; }

signals:
    void readyToCapture();
    // Picking cannot start, for the reason given; nothing of picking was shown.
    void notStarted(const QString &reason);
    // A left click appended color to the palette.
    void colorPicked(Color color);
    // Picking ended; both windows are hidden and may be deleted.
    void finished();
    // A message for the user, such as a palette that could not be written.
    void failed(const QString &message);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void showPicking(const QImage &picture);
    void Form_MouseMove(QPointF logicalPosition);
    void Form_MouseUp(int button);
    void setPickPoint(QPoint pixel);
    // Moves the pick point by whole pixels of the picture; on X11 the pointer follows.
    void nudge(QPoint step);
    void setZoom(int zoom);
    QPointF logicalOf(QPoint pixel) const;
    // Captured pixels per device pixel of the window.
    qreal imageScale() const;
    void endPicking(bool previewFirst);

    const PaletteStore &m_store;
    ScreenCapture *m_capture;
    QImage m_picture;
    Color m_pickedColor = 0;
    std::optional<QPoint> m_pick;
    loupe::Layout m_loupe;
    int m_zoom = loupe::startZoom;
    frmpick *m_preview = nullptr;
};
