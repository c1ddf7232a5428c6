// Where a top-level window stood before it was hidden, and putting it back there once shown
// again. X11 keeps a hidden window's place itself. On Wayland the compositor places a window anew
// each time it maps, on the output last clicked: on sway the window is moved back through sway's
// IPC, and KWin is given a script that does it. Other Wayland desktops place it as they do.
#pragma once

#include <QObject>
#include <memory>

class QTimer;
class QWidget;

class WindowHome : public QObject
{
    Q_OBJECT
public:
    explicit WindowHome(QWidget *window);
    ~WindowHome() override;

    // Before the window hides.
    void remember();
    // After it shows again: once the compositor has mapped it, moves it back. Nothing waits
    // for sway meanwhile.
    void restore();

private:
    struct Places;
    void moveBackWhenMapped();

    QWidget *m_window;
    QTimer *m_wait;
    int m_triesLeft = 0;
    bool m_asking = false;
    // Whether KWin keeps the place through our script, or is being asked to.
    bool m_kwinKeeps = false;
    std::unique_ptr<Places> m_places;
};
