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
    if (request.view)
        m_session->setView(request.view);
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

void PickingRun::takePick(Color color)
{
    if (!m_answer) {
        emit picked(color);
        return;
    }
    // A single pick goes to the answer alone, and ends picking.
    answer(color, {});
    m_session->end(true);
}

void PickingRun::answer(std::optional<Color> color, const QString &reason)
{
    if (Answer once = std::exchange(m_answer, {}))
        once(color, reason);
}
