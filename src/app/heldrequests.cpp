// Requests waiting for the dialogs to close, looked at again every tenth of a second.
#include "heldrequests.h"

#include <QApplication>

HeldRequests::HeldRequests(QObject *parent) : QObject(parent)
{
    // No signal says that the last modal window has gone; a short look now and then does.
    m_retry.setInterval(100);
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &HeldRequests::drain);
}

void HeldRequests::run(std::function<void()> request)
{
    m_held.push_back(std::move(request));
    drain();
}

void HeldRequests::drain()
{
    while (!m_held.empty() && !QApplication::activeModalWidget()) {
        std::function<void()> next = std::move(m_held.front());
        m_held.pop_front();
        next();
    }
    if (!m_held.empty())
        m_retry.start();
}
