// Later starts' requests held while a dialog or message box of ours is open, and run one after
// another, in the order they came, once none is: a request run under a dialog would change what
// the dialog was opened for.
#pragma once

#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>

class HeldRequests : public QObject
{
    Q_OBJECT
public:
    explicit HeldRequests(QObject *parent = nullptr);

    // Runs request now when nothing is open and nothing is held before it, else later.
    void run(std::function<void()> request);

private:
    void drain();

    std::deque<std::function<void()>> m_held;
    QTimer m_retry;
};
