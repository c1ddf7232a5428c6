// The Preferences window: the shortcut set up on sway through a fake sway on $SWAYSOCK, kept in
// the settings and a file, and taken away again; a desktop without a way says what to do.
#include "app/frmpreferences.h"

#include <QComboBox>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

class tst_frmpreferences : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void setsUpAndRemovesOnSway();
    void saysWhatToDoWhereThereIsNoWay();

private:
    QTemporaryDir m_home;
};

namespace {

// sway's side: every command is kept and answered as having succeeded, except those that begin
// with unknown, which sway no longer knows.
class FakeSway : public QLocalServer
{
public:
    QByteArrayList commands;
    QByteArray unknown;
    explicit FakeSway(const QString &path)
    {
        listen(path);
        connect(this, &QLocalServer::newConnection, this, [this] {
            QLocalSocket *client = nextPendingConnection();
            connect(client, &QLocalSocket::readyRead, client, [this, client] {
                m_received += client->readAll();
                if (m_received.size() < 14)
                    return;
                const quint32 size = qFromLittleEndian<quint32>(m_received.constData() + 6);
                if (m_received.size() < 14 + qsizetype(size))
                    return;
                commands << m_received.mid(14, size);
                m_received.clear();
                const QByteArray body =
                    !unknown.isEmpty() && commands.constLast().startsWith(unknown)
                        ? "[{\"success\":false,\"error\":\"Could not find binding `x` for "
                          "the given flags\"}]"
                        : "[{\"success\":true}]";
                char numbers[8];
                qToLittleEndian<quint32>(quint32(body.size()), numbers);
                qToLittleEndian<quint32>(0, numbers + 4);
                client->write("i3-ipc" + QByteArray(numbers, 8) + body);
            });
        });
    }

private:
    QByteArray m_received;
};

} // namespace

void tst_frmpreferences::init()
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath("config")));
    QStandardPaths::setTestModeEnabled(false);
}

void tst_frmpreferences::setsUpAndRemovesOnSway()
{
    const QString socket = m_home.filePath("sway.sock");
    FakeSway sway(socket);
    qputenv("SWAYSOCK", QFile::encodeName(socket));
    frmpreferences window(QStringLiteral("tst_prefs_sway"), nullptr);
    window.desktop = globalshortcut::Desktop::Sway;
    window.show();
    QCOMPARE(window.findChild<QLabel *>("lblCurrent")->text(),
             QStringLiteral("Now: No shortcut is set up."));
    window.findChild<QKeySequenceEdit *>("keyShortcut")
        ->setKeySequence(QKeySequence(QStringLiteral("Meta+Shift+C")));
    window.findChild<QComboBox *>("cboFormat")->setCurrentText(QStringLiteral("css-rgb"));
    QSignalSpy answered(&window, &frmpreferences::answered);
    QTest::mouseClick(window.findChild<QPushButton *>("cmdSetUp"), Qt::LeftButton);
    // The sway's answers come in this thread's event loop, so the work must not wait in it.
    QTRY_COMPARE(answered.size(), 1);
    const QString file = m_home.filePath("config/huebrook/tst_prefs_sway-sway.conf");
    QVERIFY2(window.findChild<QLabel *>("lblOutcome")->text().endsWith("include " + file),
             qPrintable(window.findChild<QLabel *>("lblOutcome")->text()));
    const QByteArray binding = "bindsym --no-repeat Mod4+Shift+c exec " +
                               QFile::encodeName(QFileInfo("/proc/self/exe").canonicalFilePath()) +
                               " --pick --once --copy --format css-rgb";
    QCOMPARE(sway.commands, QByteArrayList{binding});
    QFile kept(file);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QVERIFY(kept.readAll().contains(binding + '\n'));
    QCOMPARE(window.findChild<QLabel *>("lblCurrent")->text(),
             QStringLiteral("Now: Meta+Shift+C picks a color to the clipboard as css-rgb (set up "
                            "on sway)."));

    QTest::mouseClick(window.findChild<QPushButton *>("cmdRemove"), Qt::LeftButton);
    QTRY_COMPARE(answered.size(), 2);
    QVERIFY(answered.at(1).at(0).value<globalshortcut::Outcome>().done);
    QCOMPARE(sway.commands.value(1), QByteArray("unbindsym --no-repeat Mod4+Shift+c"));
    QVERIFY(!QFileInfo::exists(file));
    QCOMPARE(window.findChild<QLabel *>("lblCurrent")->text(),
             QStringLiteral("Now: No shortcut is set up."));

    // A reload of sway's configuration dropped the binding: taking it away still ends well.
    QTest::mouseClick(window.findChild<QPushButton *>("cmdSetUp"), Qt::LeftButton);
    QTRY_COMPARE(answered.size(), 3);
    sway.unknown = "unbindsym";
    QTest::mouseClick(window.findChild<QPushButton *>("cmdRemove"), Qt::LeftButton);
    QTRY_COMPARE(answered.size(), 4);
    QVERIFY(answered.at(3).at(0).value<globalshortcut::Outcome>().done);
    QVERIFY(!QFileInfo::exists(file));
}

void tst_frmpreferences::saysWhatToDoWhereThereIsNoWay()
{
    frmpreferences window(QStringLiteral("tst_prefs_none"), nullptr);
    window.desktop = globalshortcut::Desktop::Unknown;
    QTest::mouseClick(window.findChild<QPushButton *>("cmdSetUp"), Qt::LeftButton);
    QVERIFY(window.findChild<QLabel *>("lblOutcome")->text().startsWith("Choose the shortcut"));
    window.findChild<QKeySequenceEdit *>("keyShortcut")
        ->setKeySequence(QKeySequence(QStringLiteral("Ctrl+Alt+P")));
    QTest::mouseClick(window.findChild<QPushButton *>("cmdSetUp"), Qt::LeftButton);
    const QString line = window.findChild<QLabel *>("lblOutcome")->text();
    QVERIFY2(line.startsWith("This desktop offers Huebrook no way") &&
                 line.contains("bind Ctrl+Alt+P to ") && line.contains("--pick --once --copy"),
             qPrintable(line));
    QCOMPARE(window.findChild<QLabel *>("lblCurrent")->text(),
             QStringLiteral("Now: No shortcut is set up."));
}

QTEST_MAIN(tst_frmpreferences)
#include "tst_frmpreferences.moc"
