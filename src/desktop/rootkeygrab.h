// A key from anywhere on plain X11: grabbed on the root window, in every NumLock and CapsLock
// state, for as long as this object holds it.
#pragma once

#include "shortcutkeys.h"

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QString>
#include <vector>

class RootKeyGrab : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    // On the toolkit's X11 connection; without one, grab says so.
    explicit RootKeyGrab(QObject *parent = nullptr);
    ~RootKeyGrab() override;

    // Lets go of the key held, and grabs key; false with why when no X11 display is there or
    // another client holds the key, and then nothing is held.
    bool grab(const shortcutkeys::XKey &key, QString *why);
    void release();
    bool holding() const { return !m_codes.empty(); }

    // Whether key could be grabbed now, tried on a connection of its own to the display
    // DISPLAY names and let go: for a start that only sets the key up.
    static bool available(const shortcutkeys::XKey &key, QString *why);

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

signals:
    void pressed();

private:
    shortcutkeys::XKey m_key;
    std::vector<quint8> m_codes; // the key codes grabbed, empty when nothing is held
    quint16 m_numLock = 0;
};
