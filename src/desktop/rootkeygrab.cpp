// A key from anywhere on plain X11, through xcb_grab_key on each screen's root window.
#include "rootkeygrab.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>

#include <xcb/xcb.h>

namespace {

constexpr quint16 capsLock = XCB_MOD_MASK_LOCK;
constexpr quint32 numLockKeysym = 0xff7f;

xcb_connection_t *toolkitConnection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// Every key code that gives keysym, in any group or level.
std::vector<quint8> keyCodes(xcb_connection_t *connection, quint32 keysym)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t *mapping = xcb_get_keyboard_mapping_reply(
        connection,
        xcb_get_keyboard_mapping(connection, setup->min_keycode, static_cast<quint8>(count)),
        nullptr);
    std::vector<quint8> codes;
    if (!mapping)
        return codes;
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(mapping);
    const int perCode = mapping->keysyms_per_keycode;
    for (int code = 0; code < count; ++code)
        for (int level = 0; level < perCode; ++level)
            if (syms[code * perCode + level] == keysym) {
                codes.push_back(static_cast<quint8>(setup->min_keycode + code));
                break;
            }
    free(mapping);
    return codes;
}

// The modifier NumLock sets, which keyboards put on different Mod bits.
quint16 numLockMask(xcb_connection_t *connection)
{
    const std::vector<quint8> numLock = keyCodes(connection, numLockKeysym);
    xcb_get_modifier_mapping_reply_t *mapping =
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr);
    if (!mapping)
        return 0;
    quint16 mask = 0;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(mapping);
    const int perModifier = mapping->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier)
        for (int i = 0; i < perModifier; ++i)
            for (quint8 code : numLock)
                if (codes[modifier * perModifier + i] == code)
                    mask |= static_cast<quint16>(1 << modifier);
    free(mapping);
    return mask;
}

std::vector<xcb_window_t> roots(xcb_connection_t *connection)
{
    std::vector<xcb_window_t> windows;
    for (xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(connection));
         screen.rem; xcb_screen_next(&screen))
        windows.push_back(screen.data->root);
    return windows;
}

std::vector<quint16> lockStates(quint16 modifiers, quint16 numLock)
{
    std::vector<quint16> states{modifiers, static_cast<quint16>(modifiers | capsLock)};
    if (numLock)
        for (quint16 state : {modifiers, static_cast<quint16>(modifiers | capsLock)})
            states.push_back(static_cast<quint16>(state | numLock));
    return states;
}

void ungrab(xcb_connection_t *connection, const std::vector<quint8> &codes, quint16 modifiers,
            quint16 numLock)
{
    for (xcb_window_t root : roots(connection))
        for (quint8 code : codes)
            for (quint16 state : lockStates(modifiers, numLock))
                xcb_ungrab_key(connection, code, root, state);
    xcb_flush(connection);
}

// Grabs every code in every lock state, all or nothing.
bool grabAll(xcb_connection_t *connection, const std::vector<quint8> &codes, quint16 modifiers,
             quint16 numLock, QString *why)
{
    std::vector<xcb_void_cookie_t> cookies;
    for (xcb_window_t root : roots(connection))
        for (quint8 code : codes)
            for (quint16 state : lockStates(modifiers, numLock))
                cookies.push_back(xcb_grab_key_checked(connection, 1, root, state, code,
                                                       XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    bool taken = false;
    bool failed = false;
    for (const xcb_void_cookie_t &cookie : cookies)
        if (xcb_generic_error_t *error = xcb_request_check(connection, cookie)) {
            (error->error_code == XCB_ACCESS ? taken : failed) = true;
            free(error);
        }
    if (!taken && !failed)
        return true;
    ungrab(connection, codes, modifiers, numLock);
    *why = taken ? QStringLiteral("another program holds that key on this display")
                 : QStringLiteral("the X server refused to grab it");
    return false;
}

} // namespace

RootKeyGrab::RootKeyGrab(QObject *parent) : QObject(parent)
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

RootKeyGrab::~RootKeyGrab()
{
    release();
}

bool RootKeyGrab::grab(const shortcutkeys::XKey &key, QString *why)
{
    release();
    xcb_connection_t *connection = toolkitConnection();
    if (!connection) {
        *why = QStringLiteral("Huebrook does not run on an X11 display");
        return false;
    }
    std::vector<quint8> codes = keyCodes(connection, key.keysym);
    if (codes.empty()) {
        *why = QStringLiteral("no key of this keyboard gives it");
        return false;
    }
    const quint16 numLock = numLockMask(connection);
    if (!grabAll(connection, codes, key.modifiers, numLock, why))
        return false;
    m_key = key;
    m_codes = std::move(codes);
    m_numLock = numLock;
    return true;
}

void RootKeyGrab::release()
{
    if (m_codes.empty())
        return;
    if (xcb_connection_t *connection = toolkitConnection())
        ungrab(connection, m_codes, m_key.modifiers, m_numLock);
    m_codes.clear();
}

bool RootKeyGrab::available(const shortcutkeys::XKey &key, QString *why)
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        *why = QStringLiteral("the X11 display could not be reached");
        return false;
    }
    const std::vector<quint8> codes = keyCodes(connection, key.keysym);
    bool usable = !codes.empty();
    if (!usable)
        *why = QStringLiteral("no key of this keyboard gives it");
    const quint16 numLock = numLockMask(connection);
    if (usable && grabAll(connection, codes, key.modifiers, numLock, why))
        ungrab(connection, codes, key.modifiers, numLock);
    else
        usable = false;
    xcb_disconnect(connection);
    return usable;
}

bool RootKeyGrab::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (m_codes.empty() || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto *press = static_cast<const xcb_key_press_event_t *>(message);
    constexpr quint16 keyboardModifiers = 0xff;
    const quint16 state = press->state & keyboardModifiers & ~capsLock & ~m_numLock;
    if (state != m_key.modifiers ||
        std::find(m_codes.begin(), m_codes.end(), press->detail) == m_codes.end())
        return false;
    emit pressed();
    return true;
}
