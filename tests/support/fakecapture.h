// A capture backend for widget tests: a fixed picture of the primary screen, or a failure,
// on every platform.
#pragma once

#include "desktop/screencapture.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

// A picture in which every pixel's color tells its place: red x, green y, blue both.
inline QImage patternPicture(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y, qRgb(x & 255, y & 255, (x / 256 + 16 * (y / 256)) & 255));
    return picture;
}

class FakeCapture : public ScreenCapture
{
public:
    // An empty failure captures the pattern at the primary screen's device-pixel size; later
    // fails from the event loop rather than at once.
    explicit FakeCapture(QString failure = {}, bool later = false)
        : m_failure(std::move(failure)), m_later(later)
    {
    }

    void probe() override { emit ready(); }
    void capture() override
    {
        if (!m_failure.isEmpty() && m_later) {
            QTimer::singleShot(0, this, [this] { emit failed(m_failure); });
            return;
        }
        if (!m_failure.isEmpty()) {
            emit failed(m_failure);
            return;
        }
        QScreen *screen = QGuiApplication::primaryScreen();
        const QSize size = screen->geometry().size() * screen->devicePixelRatio();
        emit captured({ScreenPicture{screen, patternPicture(size), QPoint(0, 0)}});
    }

private:
    QString m_failure;
    bool m_later;
};
