// Where a top-level window stood, and putting it back there.
#include "windowhome.h"

#include "desktopsession.h"
#include "kwindesktop.h"
#include "swaydesktop.h"
#include "swayipc.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <utility>

struct WindowHome::Places
{
    std::optional<swayipc::Place> home;   // remembered, until a restore takes it
    std::optional<swayipc::Place> target; // where the restore under way moves the window
};

WindowHome::WindowHome(QWidget *window)
    : QObject(window), m_window(window), m_wait(new QTimer(this)), m_places(new Places)
{
    m_wait->setInterval(15);
    connect(m_wait, &QTimer::timeout, this, &WindowHome::moveBackWhenMapped);
    // KWin starts a script in its own time: asked once the window is up, the script runs long
    // before the window first hides for picking.
    if (desktopsession::qtOnWayland())
        QTimer::singleShot(0, this, [this] {
            m_kwinKeeps = true;
            kwindesktop::keepPlace(*m_window, [this](bool keeps) { m_kwinKeeps = keeps; });
        });
}

WindowHome::~WindowHome() = default;

void WindowHome::remember()
{
    // KWin, once it runs the script, keeps the place itself.
    m_wait->stop();
    m_places->home.reset();
    if (m_kwinKeeps || !swaydesktop::present())
        return;
    // Asked while the window still shows, with sway's short deadline: sway lists only windows
    // that are mapped.
    if (const auto tree = swayipc::request(swayipc::GetTree, {}))
        m_places->home =
            swayipc::find(*tree, QCoreApplication::applicationPid(), m_window->windowTitle());
}

void WindowHome::restore()
{
    // Once only: a picking that fails before the window hides must not bring back an old place.
    m_places->target = std::exchange(m_places->home, std::nullopt);
    if (!m_places->target)
        return;
    // The window maps when its first frame arrives, some event loop turns after show().
    m_triesLeft = 100;
    m_wait->start();
}

void WindowHome::moveBackWhenMapped()
{
    if (m_asking)
        return;
    if (--m_triesLeft < 0) {
        m_wait->stop();
        return;
    }
    m_asking = true;
    swaydesktop::ask(swaydesktop::Ask::Tree, {}, this, [this](std::optional<QByteArray> tree) {
        m_asking = false;
        const auto now =
            tree ? swayipc::find(*tree, QCoreApplication::applicationPid(), m_window->windowTitle())
                 : std::nullopt;
        if (!now || !m_places->target || !m_wait->isActive())
            return;
        m_wait->stop();
        const QByteArray command = swayipc::moveBack(*now, *m_places->target);
        if (!command.isEmpty())
            swaydesktop::ask(swaydesktop::Ask::Command, command, this, [](auto) {});
    });
}
