// One picking run: what the main window does around a picking session.
#include "pickingrun.h"

#include "picker/pickingsession.h"

#include <utility>

PickingRun::PickingRun(Window &window, ScreenCapture *capture, Request request, QObject *parent)
    : QObject(parent), m_window(window), m_session(new PickingSession(capture, this)),
      m_answer(std::move(request.once)), m_returns(!m_answer || window.isShown())
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
    m_window.hideForCapture();
}

void PickingRun::showWindow()
{
    if (m_returns)
        m_window.showAgain();
}

void PickingRun::pickLost()
{
    m_lost = true;
}

void PickingRun::takePick(Color color)
{
    m_lost = false;
    emit picked(color);
    const bool kept = !m_lost;
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
