// The frozen screen: a borderless window over a screen showing its capture, where each left
// click picks the color of the device pixel under the pointer. The window of the primary screen
// leads: it captures, owns the preview, and opens a window of the same kind for every other
// screen, which hands its picks and keys to it.
#pragma once

#include "color/bascommon.h"
#include "loupe.h"
#include "screencapture.h"

#include <QImage>
#include <QWidget>
#include <optional>

class PaletteStore;
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
    // Starts the capture of every screen at its device-pixel size.
    void CaptureScreen();

    Color pickedColor() const { return lead().m_pickedColor; }
    // This window's screen, as captured.
    const QImage &picture() const { return m_picture; }
    frmpick *preview() const { return lead().m_preview; }

    // The color of device pixel (x, y) of the frozen picture; black when it cannot be read.
    Color pixelAt(QPoint devicePixel) const;

    // The pixel of the picture the next pick takes, and the loupe that shows it; nothing before
    // the pointer first moves or a key moves the pick point.
    std::optional<QPoint> pickPoint() const { return m_pick; }
    const loupe::Layout &loupeLayout() const { return m_loupe; }
    int zoom() const { return lead().m_zoom; }

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
    // The window of another screen, led by `lead`.
    explicit frmGetColor(frmGetColor &lead);
    frmGetColor &lead() { return m_lead ? *m_lead : *this; }
    const frmGetColor &lead() const { return m_lead ? *m_lead : *this; }
    void showPicking(const QList<ScreenPicture> &pictures);
    void freeze(const ScreenPicture &screen);
    // The pick point moved to another window: this one's loupe goes.
    void dropPickPoint();
    void Form_MouseMove(QPointF logicalPosition);
    void Form_MouseUp(int button);
    void setPickPoint(QPoint pixel);
    // Moves the pick point by whole pixels of the picture; on X11 the pointer follows.
    void nudge(QPoint step);
    void setZoom(int zoom);
    QPointF logicalOf(QPoint pixel) const;
    // Where the preview floats above this window, where that is known.
    QRect previewArea() const;
    // Captured pixels per device pixel of the window.
    qreal imageScale() const;
    void endPicking(bool previewFirst);

    const PaletteStore &m_store;
    frmGetColor *const m_lead = nullptr;
    QImage m_picture;
    QPoint m_origin;
    std::optional<QPoint> m_pick;
    loupe::Layout m_loupe;

    // Kept by the lead for all windows.
    ScreenCapture *m_capture = nullptr;
    Color m_pickedColor = 0;
    int m_zoom = loupe::startZoom;
    frmpick *m_preview = nullptr;
    frmGetColor *m_current = this; // the window holding the pick point
    QList<frmGetColor *> m_others;
};
