// sway's IPC: a fake sway on $SWAYSOCK that answers as told, the window found in a tree, and the
// command that moves it back without letting a workspace's name end the quote.
#include "desktop/swayipc.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QtEndian>

class tst_SwayIpc : public QObject
{
    Q_OBJECT
private slots:
    void request_data();
    void request();
    void findAndMoveBack_data();
    void findAndMoveBack();
};

static QByteArray frame(const QByteArray &magic, quint32 type, quint32 size, const QByteArray &body)
{
    char numbers[8];
    qToUnaligned<quint32>(size, numbers);
    qToUnaligned<quint32>(type, numbers + 4);
    return magic + QByteArray(numbers, 8) + body;
}

void tst_SwayIpc::request_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<int>("pauseMs"); // between pieces
    QTest::newRow("reply") << frame("i3-ipc", 4, 2, "{}") << true << 0;
    QTest::newRow("trickle") << frame("i3-ipc", 4, 2, "{}") << false << 600;
    QTest::newRow("trailing bytes") << frame("i3-ipc", 4, 2, "{}") + "#" << true << 0;
    QTest::newRow("another protocol") << frame("i3-ipx", 4, 2, "{}") << false << 0;
    QTest::newRow("another message") << frame("i3-ipc", 0, 2, "{}") << false << 0;
    QTest::newRow("short") << frame("i3-ipc", 4, 9, "{}") << false << 0;
    QTest::newRow("huge") << frame("i3-ipc", 4, 0xFFFFFFF0u, "{}") << false << 0;
    QTest::newRow("silence") << QByteArray() << false << 0;
}

void tst_SwayIpc::request()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, taken);
    QFETCH(int, pauseMs);
    QTemporaryDir dir;
    const QString path = dir.filePath("sway.sock");
    qputenv("SWAYSOCK", QFile::encodeName(path));
    // The request blocks, so the fake sway serves from a thread of its own.
    QByteArray asked;
    QSemaphore listening;
    QThread *sway = QThread::create([&] {
        QLocalServer server;
        server.listen(path);
        listening.release();
        if (!server.waitForNewConnection(2000))
            return;
        QLocalSocket *client = server.nextPendingConnection();
        while (asked.size() < 18 && client->waitForReadyRead(2000))
            asked += client->readAll();
        for (qsizetype at = 0; at < reply.size(); at += 7) { // in pieces, as a socket may
            client->write(reply.mid(at, 7));
            client->waitForBytesWritten(1000);
            QThread::msleep(pauseMs);
        }
        client->waitForDisconnected(1000);
    });
    sway->start();
    listening.acquire();
    const auto answer = swayipc::request(swayipc::GetTree, "tree", 1000);
    sway->wait();
    delete sway;
    QCOMPARE(asked, frame("i3-ipc", 4, 4, "tree"));
    QCOMPARE(answer.has_value(), taken);
    if (taken)
        QCOMPARE(*answer, QByteArray("{}"));
}

void tst_SwayIpc::findAndMoveBack_data()
{
    QTest::addColumn<QByteArray>("home");
    QTest::addColumn<QByteArray>("now");
    QTest::addColumn<QByteArray>("command");
    auto tree = [](const char *workspace, const char *type, int id, int x, int y) {
        // Another process's window and a hidden one of the same title come first.
        return QByteArray(R"({"type":"root","nodes":[{"type":"output","nodes":[{"type":"workspace",
            "name":")") +
               workspace + R"(","nodes":[{"id":1,"type":"con","pid":7,"name":"W",
            "visible":true},{"id":2,"type":"con","pid":42,"name":"W","visible":false}],
            "floating_nodes":[{"id":)" +
               QByteArray::number(id) + R"(,"type":")" + type +
               R"(","pid":42,"name":"W","visible":true,"rect":{"x":)" + QByteArray::number(x) +
               R"(,"y":)" + QByteArray::number(y) + R"(,"width":186,"height":348}}]}]}]})";
    };
    QTest::newRow("floating, moved")
        << tree("1", "floating_con", 10, 2147, 82) << tree("1", "floating_con", 11, 867, 366)
        << QByteArray("[con_id=11] move absolute position 2147 82");
    QTest::newRow("floating, in place") << tree("1", "floating_con", 10, 5, 6)
                                        << tree("2", "floating_con", 11, 5, 6) << QByteArray();
    // The workspace a\b"; exec x, escaped for JSON
    QTest::newRow("tiled") << tree(R"(a\\b\"; exec x)", "con", 10, 0, 0)
                           << tree("1", "con", 11, 0, 0)
                           << QByteArray(
                                  R"([con_id=11] move container to workspace "a\\b\"; exec x")");
    QTest::newRow("tiled, same workspace")
        << tree("3", "con", 10, 0, 0) << tree("3", "con", 11, 9, 9) << QByteArray();
}

void tst_SwayIpc::findAndMoveBack()
{
    QFETCH(QByteArray, home);
    QFETCH(QByteArray, now);
    QFETCH(QByteArray, command);
    const auto before = swayipc::find(home, 42, "W");
    const auto after = swayipc::find(now, 42, "W");
    QVERIFY(before && after);
    QCOMPARE(swayipc::moveBack(*after, *before), command);
    QVERIFY(!swayipc::find(now, 42, "V"));
    QCOMPARE(swayipc::focusedOutput(R"([{"output":"A","focused":false},
                                        {"output":"B","focused":true}])"),
             QString("B"));
}

QTEST_GUILESS_MAIN(tst_SwayIpc)
#include "tst_swayipc.moc"
