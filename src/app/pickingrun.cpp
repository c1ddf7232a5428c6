// One picking run: what the main window does around a picking session.
#include "pickingrun.h"

#include "desktop/windowhome.h"
#include "picker/pickingsession.h"

#include <QCoreApplication>
#include <QWidget>
#include <utility>

PickingRun::PickingRun(QWidget &window, WindowHome &home, ScreenCapture *capture,
                       std::function<bool(Color)> keep, Request request, QObject *parent)
    : QObject(parent), m_window(window), m_home(home), m_session(new PickingSession(capture, this)),
      m_keep(std::move(keep)), m_answer(std::move(request.once)),
      m_returns(!m_answer || window.isVisible())
{
    m_session->setStartAtPointer(request.atPointer);
    m_session->setSampleSize(request.sample);
    connect(m_session, &PickingSession::aboutToCapture, this, &PickingRun::hideWindow);
    connect(m_session, &PickingSession::picked, this, &PickingRun::takePick);
    connect(m_session, &PickingSession::finished, this, [this] {
        showWindow();
        answer(std::nullopt, {});
        emit finished();
    });
    connect(m_session, &PickingSession::failed, this, [this](const QString &reason) {
        // Without a capture the frozen screen would show its own background, and every pick
        // would report that instead of the screen.
        showWindow();
        const bool answered = static_cast<bool>(m_answer);
        answer(std::nullopt, reason);
        emit failed(answered ? QString() : reason);
    });
}

PickingRun::~PickingRun()
{
    answer(std::nullopt, QStringLiteral("Picking was stopped."));
}

void PickingRun::start()
{
    m_session->start();
}

void PickingRun::hideWindow()
{
    // Hidden before the capture, and until the picture arrives, so it is never in it.
    m_home.remember();
    m_window.hide();
    QCoreApplication::processEvents();
}

void PickingRun::showWindow()
{
    if (!m_returns)
        return;
    m_window.show();
    m_home.restore();
}

void PickingRun::takePick(Color color)
{
    const bool kept = m_keep(color);
    if (kept && !m_answer)
        return;
    // A pick that cannot be kept ends picking, so that what is wrong is said above the main
    // window, never behind the frozen screens.
    if (kept)
        answer(color, {});
    else
        answer(std::nullopt, QStringLiteral("The pick could not be kept in the palette."));
    m_session->end(true);
}

void PickingRun::answer(std::optional<Color> color, const QString &reason)
{
    if (Answer once = std::exchange(m_answer, {}))
        once(color, reason);
}
