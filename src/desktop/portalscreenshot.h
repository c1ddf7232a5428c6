// A client of the desktop portal's Screenshot interface, for sessions where no program may read
// the screen itself (Wayland): one non-interactive screenshot per request.
#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QTimer>

class QDBusMessage;
class QDBusPendingCallWatcher;

class PortalScreenshot : public QObject
{
    Q_OBJECT
public:
    explicit PortalScreenshot(const QDBusConnection &bus, QObject *parent = nullptr);
    ~PortalScreenshot() override;

    // How long a request may go unanswered. xdg-desktop-portal 1.16 never answers when it
    // cannot show its access dialog.
    void setTimeout(int milliseconds) { m_timer.setInterval(milliseconds); }

    // Asks whether the bus has a portal with a usable Screenshot interface; answers with
    // available() or unavailable().
    void probe();
    // One screenshot of the whole desktop; answers with captured() or failed(). Ignored while a
    // request is still open.
    void request();
    bool busy() const { return !m_path.isEmpty(); }

signals:
    void available();
    void unavailable(const QString &reason);
    // The bytes of the image file the portal wrote; that file has been deleted.
    void captured(const QByteArray &imageFile);
    void failed(const QString &reason);

private slots:
    void onResponse(uint code, const QVariantMap &results, const QDBusMessage &message);

private:
    void onReply(QDBusPendingCallWatcher *watcher);
    void onTimeout();
    void respond(uint code, const QVariantMap &results);
    bool subscribe();
    void unsubscribe();
    void finish(const QString &failure, const QByteArray &image = {});
    QString takeFile(const QString &uri, QByteArray &bytes) const;

    QDBusConnection m_bus;
    QTimer m_timer;
    QString m_path; // the request handle whose Response is awaited; empty when idle
    bool m_replied = false;
    bool m_subscribed = false;
    // Responses on other handles that came before the call's reply.
    QHash<QString, std::pair<uint, QVariantMap>> m_early;
    quint64 m_requests = 0;
};
