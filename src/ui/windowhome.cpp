// Where a top-level window stood, and putting it back there.
#include "windowhome.h"

#include "kwindesktop.h"
#include "swaydesktop.h"

#include <QTimer>
#include <QWidget>
#include <utility>

WindowHome::WindowHome(QWidget *window)
    : QObject(window), m_window(window), m_wait(new QTimer(this))
{
    m_wait->setInterval(15);
    connect(m_wait, &QTimer::timeout, this, &WindowHome::moveBackWhenMapped);
}

void WindowHome::remember()
{
    // KWin, once it runs the script, keeps the place itself.
    if (!m_kwinAsked) {
        m_kwinAsked = true;
        m_kwinKeeps = kwindesktop::keepPlace(*m_window);
    }
    m_wait->stop();
    m_home = m_kwinKeeps ? std::nullopt : swaydesktop::placeOf(*m_window);
}

void WindowHome::restore()
{
    // Once only: a picking that fails before the window hides must not bring back an old place.
    m_target = std::exchange(m_home, std::nullopt);
    if (!m_target)
        return;
    // The window maps when its first frame arrives, some event loop turns after show().
    m_triesLeft = 100;
    m_wait->start();
}

void WindowHome::moveBackWhenMapped()
{
    const auto now = swaydesktop::placeOf(*m_window);
    if (!now && --m_triesLeft > 0)
        return;
    m_wait->stop();
    if (!now)
        return;
    const QByteArray command = swayipc::moveBack(*now, *m_target);
    if (!command.isEmpty())
        swaydesktop::run(command);
}
