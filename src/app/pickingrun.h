// One picking asked of the main window, from the request to its end: the session, the main
// window hidden for the capture and brought back where it stood, each pick reported to whoever
// keeps it, and the one answer owed to a request for a single pick.
#pragma once

#include "color/bascommon.h"
#include "color/visiondeficiency.h"

#include <QObject>
#include <functional>
#include <optional>

class PickingSession;
class ScreenCapture;

class PickingRun : public QObject
{
    Q_OBJECT
public:
    // The color of a single pick, or nothing and why (empty when picking simply ended).
    using Answer = std::function<void(std::optional<Color> color, const QString &reason)>;
    struct Request
    {
        bool atPointer = false; // the pick point starts at the pixel under the pointer
        int sample = 1;         // the sample size picking starts with
        // Set for a single pick: picking ends after it, this gets its color (and keeps it), and
        // the main window comes back only if it showed before.
        Answer once;
        // The deficiency the frozen screen starts showing; nothing for the screen itself.
        std::optional<visiondeficiency::Simulation> view;
    };
    // What a run needs of the window it picks for, and nothing more.
    class Window
    {
    public:
        virtual ~Window() = default;
        virtual bool isShown() const = 0;
        // Out of the way of the capture; back where it stood.
        virtual void hideForCapture() = 0;
        virtual void showAgain() = 0;
    };

    // Takes the capture backend.
    PickingRun(Window &window, ScreenCapture *capture, Request request, QObject *parent = nullptr);
    // A run let go before it answered still answers.
    ~PickingRun() override;

    void start();
    PickingSession *session() const { return m_session; }

signals:
    // A pick to keep; a single pick goes to the answer instead.
    void picked(Color color);
    // Picking ended after it showed; the run may be deleted (later).
    void finished();
    // Picking could not start; the run may be deleted (later). The reason is empty when it
    // went to the answer instead.
    void failed(const QString &reason);

private:
    void hideWindow();
    void showWindow();
    void takePick(Color color);
    void answer(std::optional<Color> color, const QString &reason);

    Window &m_window;
    PickingSession *m_session;
    Answer m_answer;
    bool m_returns; // whether the main window shows again when picking ends
};
