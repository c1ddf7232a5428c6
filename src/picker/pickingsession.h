// One picking from start to end: the capture, one frozen window per screen, the "Screen Color"
// preview, and the pick point with its sample size, zoom, keys, wheel and nudging. It reports
// colors and knows nothing of who keeps them.
#pragma once

#include "color/bascommon.h"
#include "color/visiondeficiency.h"
#include "desktop/screencapture.h"
#include "loupe.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <optional>

class QKeyEvent;
class frmGetColor;
class frmpick;

class PickingSession : public QObject
{
    Q_OBJECT
public:
    // Takes the capture backend.
    explicit PickingSession(ScreenCapture *capture, QObject *parent = nullptr);
    ~PickingSession() override;

    // Checks that the screen can be captured here, before anything is hidden, then announces
    // aboutToCapture() and captures; the frozen windows show when the picture arrives. Anything
    // that stops picking from starting comes as failed(), perhaps before start() returns.
    void start();
    // Starts with the pick point at the pixel under the pointer, where the platform can tell it,
    // so that a click without a move picks that pixel.
    void setStartAtPointer(bool atPointer) { m_startAtPointer = atPointer; }
    // The side of the box of device pixels whose mean a pick takes; clamped to a sample size.
    void setSampleSize(int size);
    int sampleSize() const { return m_sample; }

    Color pickedColor() const { return m_pickedColor; }
    int zoom() const { return m_zoom; }
    frmpick *preview() const { return m_preview; }
    // The frozen windows, the primary screen's first; empty until the picture arrives.
    const QList<frmGetColor *> &windows() const { return m_windows; }

    // Where the next pick reads: a frozen window and a device pixel of its picture.
    struct PickPoint
    {
        frmGetColor *window = nullptr;
        QPoint pixel;
    };
    std::optional<PickPoint> pickPoint() const;

    void pick();
    void setZoom(int zoom);
    // The frozen screen, the loupe and the preview show the screen as the deficiency sees it;
    // nothing shows the screen itself. Picks take the screen's own pixels either way. The view
    // is made off the GUI thread: the windows show the screen itself until it is ready.
    void setView(std::optional<visiondeficiency::Simulation> view);
    std::optional<visiondeficiency::Simulation> view() const { return m_view; }
    // The next view, as v turns them: the screen itself, then each full deficiency.
    void nextView();
    // Hides every picking window, the preview before or after the frozen screens.
    void end(bool previewFirst);

signals:
    // Every frozen window shows the view asked for last.
    void viewShown();
    // The last moment to leave the screen before it is captured; nothing shows yet.
    void aboutToCapture();
    // A left click, Enter or Space picked this color.
    void picked(Color color);
    // Picking ended; every picking window is hidden, and the session may be deleted.
    void finished();
    // Picking could not start, for this reason; nothing of picking was shown.
    void failed(const QString &reason);
    // The keys or the wheel changed the sample size.
    void sampleSizeChanged(int size);

private:
    // Clears the clipboard and captures the screen.
    void Form_Load();
    void CaptureScreen();
    void showPicking(const QList<ScreenPicture> &pictures);
    frmGetColor *previewParent() const;
    void pointAt(frmGetColor *window, QPoint pixel);
    void released(int button);
    void handleKey(QKeyEvent *event);
    void turnWheel(int notches, Qt::KeyboardModifiers modifiers);
    void nudge(QPoint step);
    void changeSampleSize(int by);
    void showPickPoint();

    ScreenCapture *m_capture;
    // The capture waits for both: the pointer hidden where the compositor draws it into the
    // copy, and the windows gone that must not be in it.
    bool m_pointerHidden = false;
    bool m_captureAsked = false;
    QList<frmGetColor *> m_windows;
    frmpick *m_preview = nullptr;
    frmGetColor *m_current = nullptr; // the window holding the pick point, or nudged next
    std::optional<QPoint> m_pixel;    // the pick point in m_current's picture
    Color m_pickedColor = 0;
    int m_zoom = loupe::startZoom;
    int m_sample = 1;
    bool m_startAtPointer = false;
    std::optional<visiondeficiency::Simulation> m_view;
    quint64 m_viewSerial = 0; // of the view last asked for
    int m_viewsPending = 0;   // windows still waiting for theirs
};
