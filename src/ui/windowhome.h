// Where a top-level window stood before it was hidden, and putting it back there once shown
// again. X11 keeps a hidden window's place itself. On Wayland the compositor places a window anew
// each time it maps, on the output last clicked: on sway the window is moved back through sway's
// IPC, and KWin is given a script that does it. Other Wayland desktops place it as they do.
#pragma once

#include "swayipc.h"

#include <QObject>
#include <optional>

class QTimer;
class QWidget;

class WindowHome : public QObject
{
    Q_OBJECT
public:
    explicit WindowHome(QWidget *window);

    // Before the window hides.
    void remember();
    // After it shows again: once the compositor has mapped it, moves it back.
    void restore();

private:
    void moveBackWhenMapped();

    QWidget *m_window;
    QTimer *m_wait;
    int m_triesLeft = 0;
    bool m_kwinAsked = false;
    bool m_kwinKeeps = false;
    std::optional<swayipc::Place> m_home;   // remembered, until a restore takes it
    std::optional<swayipc::Place> m_target; // where the restore under way moves the window
};
