// A key combination as the desktops write it.
#include "shortcutkeys.h"

#include <QKeySequence>
#include <array>

namespace shortcutkeys {

namespace {

struct Named
{
    Qt::Key key;
    const char *keysym;
    quint32 value;
    bool alone; // takes no typing away from other programs when bound without a modifier
};

// The keys beyond letters, digits and F-keys that a desktop binds by the same name everywhere.
constexpr std::array named{
    Named{Qt::Key_Space, "space", 0x20, false},
    Named{Qt::Key_Return, "Return", 0xff0d, false},
    Named{Qt::Key_Enter, "KP_Enter", 0xff8d, false},
    Named{Qt::Key_Escape, "Escape", 0xff1b, false},
    Named{Qt::Key_Tab, "Tab", 0xff09, false},
    Named{Qt::Key_Backspace, "BackSpace", 0xff08, false},
    Named{Qt::Key_Insert, "Insert", 0xff63, false},
    Named{Qt::Key_Delete, "Delete", 0xffff, false},
    Named{Qt::Key_Home, "Home", 0xff50, false},
    Named{Qt::Key_End, "End", 0xff57, false},
    Named{Qt::Key_PageUp, "Page_Up", 0xff55, false},
    Named{Qt::Key_PageDown, "Page_Down", 0xff56, false},
    Named{Qt::Key_Left, "Left", 0xff51, false},
    Named{Qt::Key_Up, "Up", 0xff52, false},
    Named{Qt::Key_Right, "Right", 0xff53, false},
    Named{Qt::Key_Down, "Down", 0xff54, false},
    Named{Qt::Key_Comma, "comma", 0x2c, false},
    Named{Qt::Key_Period, "period", 0x2e, false},
    Named{Qt::Key_Slash, "slash", 0x2f, false},
    Named{Qt::Key_Semicolon, "semicolon", 0x3b, false},
    Named{Qt::Key_Apostrophe, "apostrophe", 0x27, false},
    Named{Qt::Key_BracketLeft, "bracketleft", 0x5b, false},
    Named{Qt::Key_BracketRight, "bracketright", 0x5d, false},
    Named{Qt::Key_Backslash, "backslash", 0x5c, false},
    Named{Qt::Key_Minus, "minus", 0x2d, false},
    Named{Qt::Key_Equal, "equal", 0x3d, false},
    Named{Qt::Key_QuoteLeft, "grave", 0x60, false},
    Named{Qt::Key_Print, "Print", 0xff61, true},
    Named{Qt::Key_Pause, "Pause", 0xff13, true},
    Named{Qt::Key_ScrollLock, "Scroll_Lock", 0xff14, true},
    Named{Qt::Key_Menu, "Menu", 0xff67, true},
};

constexpr int functionKeys = 24;

bool isLetter(Qt::Key key)
{
    return key >= Qt::Key_A && key <= Qt::Key_Z;
}
bool isDigit(Qt::Key key)
{
    return key >= Qt::Key_0 && key <= Qt::Key_9;
}
bool isFunction(Qt::Key key)
{
    return key >= Qt::Key_F1 && key < Qt::Key_F1 + functionKeys;
}

const Named *namedOf(Qt::Key key)
{
    for (const Named &entry : named)
        if (entry.key == key)
            return &entry;
    return nullptr;
}

bool bindable(Qt::Key key)
{
    return isLetter(key) || isDigit(key) || isFunction(key) || namedOf(key);
}

// Whether the key can be bound without Ctrl, Alt or Meta and leave everyone's typing alone.
bool bindsAlone(Qt::Key key)
{
    const Named *entry = namedOf(key);
    return isFunction(key) || (entry && entry->alone);
}

QString modifiersText(const Keys &keys, const char *meta, const char *control, const char *alt,
                      const char *shift, const char *open, const char *close)
{
    QString text;
    const auto add = [&](bool on, const char *name) {
        if (on)
            text += QLatin1String(open) + QLatin1String(name) + QLatin1String(close);
    };
    add(keys.meta, meta);
    add(keys.control, control);
    add(keys.alt, alt);
    add(keys.shift, shift);
    return text;
}

} // namespace

std::optional<Keys> parse(const QString &text, QString *why)
{
    const auto refuse = [why](const QString &reason) -> std::optional<Keys> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    const QString noKeys = QStringLiteral("\"%1\" is no key combination, such as Meta+Shift+C");
    const QKeySequence sequence =
        QKeySequence::fromString(text.trimmed(), QKeySequence::PortableText);
    if (sequence.isEmpty())
        return refuse(noKeys.arg(text));
    if (sequence.count() > 1)
        return refuse(QStringLiteral("\"%1\" is more than one key combination").arg(text));
    const Qt::Key key = sequence[0].key();
    if (!bindable(key))
        return refuse(noKeys.arg(text));
    const Qt::KeyboardModifiers modifiers = sequence[0].keyboardModifiers();
    if (modifiers & ~(Qt::MetaModifier | Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))
        return refuse(QStringLiteral("\"%1\" holds a modifier desktops do not bind").arg(text));
    Keys keys;
    keys.meta = modifiers.testFlag(Qt::MetaModifier);
    keys.control = modifiers.testFlag(Qt::ControlModifier);
    keys.alt = modifiers.testFlag(Qt::AltModifier);
    keys.shift = modifiers.testFlag(Qt::ShiftModifier);
    keys.key = key;
    if (!bindsAlone(key) && !keys.meta && !keys.control && !keys.alt)
        return refuse(QStringLiteral("%1 would take a key from every program's typing: add "
                                     "Ctrl, Alt or Meta")
                          .arg(portable(keys)));
    return keys;
}

QString keysym(const Keys &keys)
{
    if (isLetter(keys.key))
        return QString(QLatin1Char(static_cast<char>('a' + (keys.key - Qt::Key_A))));
    if (isDigit(keys.key))
        return QString(QLatin1Char(static_cast<char>('0' + (keys.key - Qt::Key_0))));
    if (isFunction(keys.key))
        return QStringLiteral("F%1").arg(keys.key - Qt::Key_F1 + 1);
    const Named *entry = namedOf(keys.key);
    return entry ? QString::fromLatin1(entry->keysym) : QString();
}

QString portable(const Keys &keys)
{
    return QKeySequence(kde(keys)).toString(QKeySequence::PortableText);
}

QString gnome(const Keys &keys)
{
    return modifiersText(keys, "Super", "Control", "Alt", "Shift", "<", ">") + keysym(keys);
}

QString sway(const Keys &keys)
{
    return modifiersText(keys, "Mod4", "Ctrl", "Mod1", "Shift", "", "+") + keysym(keys);
}

int kde(const Keys &keys)
{
    Qt::KeyboardModifiers modifiers;
    modifiers.setFlag(Qt::MetaModifier, keys.meta);
    modifiers.setFlag(Qt::ControlModifier, keys.control);
    modifiers.setFlag(Qt::AltModifier, keys.alt);
    modifiers.setFlag(Qt::ShiftModifier, keys.shift);
    return QKeyCombination(modifiers, keys.key).toCombined();
}

XKey x11(const Keys &keys)
{
    XKey x;
    // Latin-1 keysyms are the characters themselves, letters in lower case.
    if (isLetter(keys.key))
        x.keysym = static_cast<quint32>('a' + (keys.key - Qt::Key_A));
    else if (isDigit(keys.key))
        x.keysym = static_cast<quint32>('0' + (keys.key - Qt::Key_0));
    else if (isFunction(keys.key))
        x.keysym = static_cast<quint32>(0xffbe + (keys.key - Qt::Key_F1));
    else if (const Named *entry = namedOf(keys.key))
        x.keysym = entry->value;
    x.modifiers = static_cast<quint16>((keys.shift ? 1 : 0) | (keys.control ? 4 : 0) |
                                       (keys.alt ? 8 : 0) | (keys.meta ? 64 : 0));
    return x;
}

} // namespace shortcutkeys
