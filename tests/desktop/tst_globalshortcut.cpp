// The key notations of the desktops, the quoting of the command a key runs, and which desktop a
// session is.
#include "desktop/globalshortcut.h"
#include "desktop/shortcutkeys.h"

#include <QTest>

class tst_GlobalShortcut : public QObject
{
    Q_OBJECT
private slots:
    void notations_data();
    void notations();
    void refused_data();
    void refused();
    void quoting_data();
    void quoting();
    void detect_data();
    void detect();
};

void tst_GlobalShortcut::notations_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("portable");
    QTest::addColumn<QString>("gnome");
    QTest::addColumn<QString>("sway");
    QTest::addColumn<uint>("keysym");
    QTest::addColumn<uint>("modifiers");
    QTest::newRow("meta shift letter") << "Meta+Shift+C"
                                       << "Meta+Shift+C"
                                       << "<Super><Shift>c"
                                       << "Mod4+Shift+c" << 0x63u << 65u;
    QTest::newRow("lower case, other order") << "shift+meta+c"
                                             << "Meta+Shift+C"
                                             << "<Super><Shift>c"
                                             << "Mod4+Shift+c" << 0x63u << 65u;
    QTest::newRow("ctrl alt digit") << "Ctrl+Alt+7"
                                    << "Ctrl+Alt+7"
                                    << "<Control><Alt>7"
                                    << "Ctrl+Mod1+7" << 0x37u << 12u;
    QTest::newRow("function key alone") << "F9"
                                        << "F9"
                                        << "F9"
                                        << "F9" << 0xffc6u << 0u;
    QTest::newRow("print alone") << "Print"
                                 << "Print"
                                 << "Print"
                                 << "Print" << 0xff61u << 0u;
    QTest::newRow("punctuation") << "Meta+["
                                 << "Meta+["
                                 << "<Super>bracketleft"
                                 << "Mod4+bracketleft" << 0x5bu << 64u;
    QTest::newRow("page key") << "Ctrl+PgDown"
                              << "Ctrl+PgDown"
                              << "<Control>Page_Down"
                              << "Ctrl+Page_Down" << 0xff56u << 4u;
    QTest::newRow("space") << "Alt+Space"
                           << "Alt+Space"
                           << "<Alt>space"
                           << "Mod1+space" << 0x20u << 8u;
}

void tst_GlobalShortcut::notations()
{
    QFETCH(QString, text);
    QFETCH(QString, portable);
    QFETCH(QString, gnome);
    QFETCH(QString, sway);
    QFETCH(uint, keysym);
    QFETCH(uint, modifiers);
    QString why;
    const std::optional<shortcutkeys::Keys> keys = shortcutkeys::parse(text, &why);
    QVERIFY2(keys, qPrintable(why));
    QCOMPARE(shortcutkeys::portable(*keys), portable);
    QCOMPARE(shortcutkeys::gnome(*keys), gnome);
    QCOMPARE(shortcutkeys::sway(*keys), sway);
    const shortcutkeys::XKey x = shortcutkeys::x11(*keys);
    QCOMPARE(x.keysym, keysym);
    QCOMPARE(uint(x.modifiers), modifiers);
    // KDE's code is Qt's own, which gives the keys back.
    QCOMPARE(shortcutkeys::parse(
                 QKeySequence(shortcutkeys::kde(*keys)).toString(QKeySequence::PortableText)),
             keys);
}

void tst_GlobalShortcut::refused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("why");
    QTest::newRow("empty") << ""
                           << "is no key combination";
    QTest::newRow("words") << "Super+C"
                           << "is no key combination";
    QTest::newRow("modifier alone") << "Meta+Shift"
                                    << "is no key combination";
    QTest::newRow("two combinations") << "Meta+C, Meta+D"
                                      << "more than one";
    QTest::newRow("letter alone") << "C"
                                  << "every program's typing";
    QTest::newRow("shifted letter") << "Shift+C"
                                    << "every program's typing";
    QTest::newRow("keypad") << "Meta+Num+5"
                            << "modifier desktops do not bind";
}

void tst_GlobalShortcut::refused()
{
    QFETCH(QString, text);
    QFETCH(QString, why);
    QString said;
    QVERIFY(!shortcutkeys::parse(text, &said));
    QVERIFY2(said.contains(why), qPrintable(said));
}

void tst_GlobalShortcut::quoting_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("shell");
    QTest::addColumn<QString>("exec");
    QTest::newRow("plain") << QStringList{"/usr/bin/huebrook", "--pick", "--format", "css-rgb"}
                           << "/usr/bin/huebrook --pick --format css-rgb"
                           << "/usr/bin/huebrook --pick --format css-rgb";
    QTest::newRow("template") << QStringList{"/opt/hb/huebrook", "--format", "{r} {g} {b}"}
                              << "/opt/hb/huebrook --format '{r} {g} {b}'"
                              << "/opt/hb/huebrook --format \"{r} {g} {b}\"";
    QTest::newRow("quotes, dollar, percent")
        << QStringList{"/home/a b/huebrook", "--format", "it's $r 50%"}
        << "'/home/a b/huebrook' --format 'it'\\''s $r 50%'"
        << "\"/home/a b/huebrook\" --format \"it's \\$r 50%%\"";
    QTest::newRow("backslash") << QStringList{"/x/huebrook", "--format", "\\{r}"}
                               << "/x/huebrook --format '\\{r}'"
                               << "/x/huebrook --format \"\\\\{r}\"";
}

void tst_GlobalShortcut::quoting()
{
    QFETCH(QStringList, command);
    QFETCH(QString, shell);
    QFETCH(QString, exec);
    QCOMPARE(globalshortcut::shellCommand(command), shell);
    QCOMPARE(globalshortcut::execLine(command), exec);
}

void tst_GlobalShortcut::detect_data()
{
    QTest::addColumn<QStringList>("variables");
    QTest::addColumn<int>("desktop");
    using globalshortcut::Desktop;
    QTest::newRow("GNOME on Wayland")
        << QStringList{"XDG_CURRENT_DESKTOP=ubuntu:GNOME", "WAYLAND_DISPLAY=wayland-0"}
        << int(Desktop::Gnome);
    QTest::newRow("GNOME on X11") << QStringList{"XDG_CURRENT_DESKTOP=GNOME", "DISPLAY=:0"}
                                  << int(Desktop::Gnome);
    QTest::newRow("Plasma") << QStringList{"XDG_CURRENT_DESKTOP=KDE", "WAYLAND_DISPLAY=wayland-0"}
                            << int(Desktop::Kde);
    QTest::newRow("sway") << QStringList{"SWAYSOCK=/run/sway.sock", "WAYLAND_DISPLAY=wayland-1",
                                         "DISPLAY=:0"}
                          << int(Desktop::Sway);
    QTest::newRow("openbox") << QStringList{"XDG_CURRENT_DESKTOP=openbox", "DISPLAY=:1"}
                             << int(Desktop::X11);
    QTest::newRow("other compositor with Xwayland")
        << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"} << int(Desktop::Unknown);
    QTest::newRow("no display") << QStringList{} << int(Desktop::Unknown);
}

void tst_GlobalShortcut::detect()
{
    QFETCH(QStringList, variables);
    QFETCH(int, desktop);
    QProcessEnvironment environment;
    for (const QString &variable : variables)
        environment.insert(variable.section(QLatin1Char('='), 0, 0),
                           variable.section(QLatin1Char('='), 1));
    QCOMPARE(int(globalshortcut::detect(environment)), desktop);
}

QTEST_GUILESS_MAIN(tst_GlobalShortcut)
#include "tst_globalshortcut.moc"
