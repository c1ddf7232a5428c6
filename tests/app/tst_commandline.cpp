// The command line and the handover between two starts: what each argument list asks for, the
// protocol's lines, and a running server that drops anything malformed, partial or oversized.
#include "app/colorcommands.h"
#include "app/commandline.h"
#include "app/instancechannel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

using instanceprotocol::Answer;

namespace {

// A server listening in a runtime folder of its own, and a client connected to it.
struct Channel
{
    QTemporaryDir runtime;
    std::unique_ptr<InstanceServer> server;
    QLocalSocket socket;
    QString why;

    // False, with why, when the server cannot listen or the client cannot connect.
    bool open()
    {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        server = std::make_unique<InstanceServer>(QStringLiteral("tst-commandline"));
        if (!server->listen(&why))
            return false;
        socket.connectToServer(instanceclient::socketPath(QStringLiteral("tst-commandline")));
        why = QStringLiteral("the client could not connect");
        return socket.waitForConnected(1000);
    }
};

} // namespace

class tst_CommandLine : public QObject
{
    Q_OBJECT
private slots:
    void arguments_data();
    void arguments();
    void shortcutArguments_data();
    void shortcutArguments();
    void sampleArguments_data();
    void sampleArguments();
    void paletteArguments_data();
    void paletteArguments();
    void colorCommands_data();
    void colorCommands();
    void protocol_data();
    void protocol();
    void serverDropsBadMessages_data();
    void serverDropsBadMessages();
    void serverAnswersAPick();
    void serverClosesAPeerThatKeepsSending();
    void serverRestsWithoutDescriptors();
};

void tst_CommandLine::arguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("kind"); // -1: nothing to run
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said"); // in the output or the error
    QTest::newRow("none") << QStringList{} << int(PickRequest::Show) << "hex" << 0 << "";
    QTest::newRow("pick") << QStringList{"--pick"} << int(PickRequest::Pick) << "hex" << 0 << "";
    QTest::newRow("once") << QStringList{"--pick", "--once"} << int(PickRequest::PickOnce) << "hex"
                          << 0 << "";
    QTest::newRow("once css") << QStringList{"--once", "--format=css-hsl", "--pick"}
                              << int(PickRequest::PickOnce) << "css-hsl" << 0 << "";
    QTest::newRow("template") << QStringList{"--pick", "--once", "--format", "{R}{G}{B}"}
                              << int(PickRequest::PickOnce) << "{R}{G}{B}" << 0 << "";
    QTest::newRow("help") << QStringList{"--help"} << -1 << "" << 0 << "--pick";
    QTest::newRow("version") << QStringList{"--version"} << -1 << "" << 0 << "Huebrook 1.0";
    QTest::newRow("unknown option") << QStringList{"--pik"} << -1 << "" << 2 << "pik";
    QTest::newRow("argument") << QStringList{"x.gpl"} << -1 << "" << 2 << "x.gpl";
    QTest::newRow("format alone") << QStringList{"--format", "hex"} << -1 << "" << 2 << "--format";
    QTest::newRow("format with pick")
        << QStringList{"--pick", "--format", "hex"} << -1 << "" << 2 << "--format";
    QTest::newRow("once alone") << QStringList{"--once"} << -1 << "" << 2 << "--once";
    QTest::newRow("unknown name") << QStringList{"--pick", "--once", "--format", "labx"} << -1 << ""
                                  << 2 << "\"labx\"";
    QTest::newRow("unknown placeholder")
        << QStringList{"--pick", "--once", "--format", "{z}"} << -1 << "" << 2 << "{z}";
    QTest::newRow("unbalanced") << QStringList{"--pick", "--once", "--format", "}"} << -1 << "" << 2
                                << "brace";
    QTest::newRow("palette alone")
        << QStringList{"--palette", "brand"} << int(PickRequest::Show) << "hex" << 0 << "";
    QTest::newRow("palette with pick")
        << QStringList{"--pick", "--palette=brand"} << int(PickRequest::Pick) << "hex" << 0 << "";
    QTest::newRow("palette with a slash")
        << QStringList{"--palette", "a/b"} << -1 << "" << 2 << "\"/\"";
    QTest::newRow("pick in a view") << QStringList{"--pick", "--simulate", "tritanomaly:100"}
                                    << int(PickRequest::Pick) << "hex" << 0 << "";
    QTest::newRow("bad view") << QStringList{"--pick", "--simulate=blue"} << -1 << "" << 2
                              << "Bad --simulate";
    QTest::newRow("once to the clipboard") << QStringList{"--pick", "--once", "--copy"}
                                           << int(PickRequest::PickOnce) << "hex" << 0 << "";
    QTest::newRow("copy without once")
        << QStringList{"--pick", "--copy"} << -1 << "" << 2 << "--copy needs --pick --once";
}

void tst_CommandLine::shortcutArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("keys"); // portable text; "none" to take it away, "" when refused
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("said");
    QTest::newRow("keys") << QStringList{"--shortcut", "meta+shift+c"} << "Meta+Shift+C"
                          << ""
                          << "";
    QTest::newRow("with format") << QStringList{"--shortcut=Ctrl+Alt+P", "--format", "oklch"}
                                 << "Ctrl+Alt+P"
                                 << "oklch"
                                 << "";
    QTest::newRow("none") << QStringList{"--shortcut", "none"} << "none"
                          << ""
                          << "";
    QTest::newRow("no key") << QStringList{"--shortcut", "Super+C"} << ""
                            << ""
                            << "Bad --shortcut: \"Super+C\" is no key combination";
    QTest::newRow("letter alone") << QStringList{"--shortcut", "x"} << ""
                                  << ""
                                  << "every program's typing";
    QTest::newRow("bad format") << QStringList{"--shortcut", "F9", "--format", "{q}"} << ""
                                << ""
                                << "Bad --format";
    QTest::newRow("format with none") << QStringList{"--shortcut", "none", "--format", "hex"} << ""
                                      << ""
                                      << "--shortcut none";
    QTest::newRow("with pick") << QStringList{"--shortcut", "F9", "--pick"} << ""
                               << ""
                               << "--pick does not go with --shortcut";
}

void tst_CommandLine::shortcutArguments()
{
    QFETCH(QStringList, args);
    QFETCH(QString, keys);
    QFETCH(QString, format);
    QFETCH(QString, said);
    const commandline::Parsed parsed = commandline::parse(QStringList{"huebrook"} + args);
    QVERIFY(!parsed.request);
    QVERIFY2(parsed.error.contains(said), qPrintable(parsed.error));
    QCOMPARE(parsed.exitStatus, keys.isEmpty() ? 2 : 0);
    QCOMPARE(parsed.shortcut.has_value(), !keys.isEmpty());
    if (!parsed.shortcut)
        return;
    QCOMPARE(parsed.shortcut->keys ? shortcutkeys::portable(*parsed.shortcut->keys)
                                   : QStringLiteral("none"),
             keys);
    QCOMPARE(parsed.shortcut->format, format);
}

void tst_CommandLine::arguments()
{
    QFETCH(QStringList, args);
    QFETCH(int, kind);
    QFETCH(QString, format);
    QFETCH(int, status);
    QFETCH(QString, said);
    const commandline::Parsed parsed = commandline::parse(QStringList{"huebrook"} + args);
    QCOMPARE(parsed.exitStatus, status);
    QCOMPARE(parsed.request.has_value(), kind >= 0);
    const QString palette = args.contains("--palette")         ? "brand"
                            : args.contains("--palette=brand") ? "brand"
                                                               : "";
    const QString view = args.contains("--simulate") ? "tritanopia" : ""; // the name, normalized
    if (parsed.request)
        QCOMPARE(
            *parsed.request,
            (PickRequest{
                PickRequest::Kind(kind), format, 0, {}, palette, view, args.contains("--copy")}));
    QVERIFY2((parsed.output + parsed.error).contains(said), qPrintable(parsed.error));
    QVERIFY(!parsed.error.contains(QLatin1Char('\n')));
}

void tst_CommandLine::sampleArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("sample"); // -1: exits 2
    QTest::addColumn<QString>("said");
    QTest::newRow("pick 5") << QStringList{"--pick", "--sample", "5"} << 5 << "";
    QTest::newRow("once 31") << QStringList{"--pick", "--once", "--sample=31"} << 31 << "";
    QTest::newRow("1") << QStringList{"--pick", "--sample", "1"} << 1 << "";
    QTest::newRow("none given") << QStringList{"--pick"} << 0 << "";
    QTest::newRow("even") << QStringList{"--pick", "--sample", "4"} << -1 << "\"4\"";
    QTest::newRow("zero") << QStringList{"--pick", "--sample", "0"} << -1 << "\"0\"";
    QTest::newRow("33") << QStringList{"--pick", "--sample", "33"} << -1 << "\"33\"";
    QTest::newRow("negative") << QStringList{"--pick", "--sample", "-3"} << -1 << "\"-3\"";
    QTest::newRow("word") << QStringList{"--pick", "--sample", "five"} << -1 << "\"five\"";
    QTest::newRow("without pick") << QStringList{"--sample", "3"} << -1 << "--sample";
}

void tst_CommandLine::sampleArguments()
{
    QFETCH(QStringList, args);
    QFETCH(int, sample);
    QFETCH(QString, said);
    const commandline::Parsed parsed = commandline::parse(QStringList{"huebrook"} + args);
    QCOMPARE(parsed.exitStatus, sample < 0 ? 2 : 0);
    QCOMPARE(parsed.request.has_value(), sample >= 0);
    if (parsed.request)
        QCOMPARE(parsed.request->sample, sample);
    QVERIFY2(parsed.error.contains(said), qPrintable(parsed.error));
    QVERIFY(!parsed.error.contains(QLatin1Char('\n')));
}

void tst_CommandLine::paletteArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("asked"); // "export", "import" or nothing
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said");
    QTest::newRow("export") << QStringList{"--export", "out/x.KPL"} << "export" << 0 << "";
    QTest::newRow("import") << QStringList{"--import=in/x.bin"} << "import" << 0 << "";
    QTest::newRow("unknown extension")
        << QStringList{"--export", "x.txt"} << "" << 2 << "Unknown palette format \".txt\"";
    QTest::newRow("no extension") << QStringList{"--export", "x"} << "" << 2 << "\"x\"";
    QTest::newRow("both") << QStringList{"--export", "x.gpl", "--import", "y.gpl"} << "" << 2
                          << "do not go together";
    QTest::newRow("with pick") << QStringList{"--import", "y.gpl", "--pick"} << "" << 2
                               << "--pick does not go with --import";
    QTest::newRow("with a color") << QStringList{"--export", "x.gpl", "--convert"} << "" << 2
                                  << "--convert does not go with --export";
    QTest::newRow("a second file")
        << QStringList{"--import", "y.gpl", "z.gpl"} << "" << 2 << "z.gpl";
    QTest::newRow("empty") << QStringList{"--import", ""} << "" << 2 << "needs a file";
    QTest::newRow("export a named palette")
        << QStringList{"--export", "x.css", "--palette", "brand"} << "export" << 0 << "";
    QTest::newRow("bad palette name")
        << QStringList{"--import", "y.gpl", "--palette", ".x"} << "" << 2 << "Bad --palette";
    QTest::newRow("palette with convert") << QStringList{"--convert", "--palette", "a"} << "" << 2
                                          << "--palette does not go with --convert";
}

void tst_CommandLine::paletteArguments()
{
    QFETCH(QStringList, args);
    QFETCH(QString, asked);
    QFETCH(int, status);
    QFETCH(QString, said);
    const commandline::Parsed parsed = commandline::parse(QStringList{"huebrook"} + args);
    QCOMPARE(parsed.exitStatus, status);
    QVERIFY2(parsed.error.contains(said), qPrintable(parsed.error));
    QCOMPARE(parsed.exportTo.has_value(), asked == "export");
    const bool import = parsed.request && parsed.request->kind == PickRequest::Import;
    QCOMPARE(import, asked == "import");
    // Absolute, for a running Huebrook in another folder.
    const QString path = parsed.exportTo ? parsed.exportTo->path
                         : import        ? parsed.request->path
                                         : "";
    if (!asked.isEmpty())
        QCOMPARE(path, QDir::current().absoluteFilePath(args.join('=').section('=', 1, 1)));
    if (parsed.exportTo)
        QCOMPARE(parsed.exportTo->palette, args.contains("--palette") ? args.last() : QString());
}

void tst_CommandLine::colorCommands_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said"); // on standard error
    QTest::newRow("convert") << QStringList{"--convert", "--format", "oklch", "7654CD", "#ff0000"}
                             << ""
                             << "oklch(54.43% 0.17915 292.37)\noklch(62.8% 0.25768 29.23)\n"
                             << 0 << "";
    QTest::newRow("hex by default, from input")
        << QStringList{"--convert"} << "  7654cd \n\n#FF0000\n"
        << "#7654CD\n#FF0000\n"
        << 0 << "";
    QTest::newRow("name") << QStringList{"--convert", "--format=name", "0C0B0A"} << ""
                          << "almost black\n"
                          << 0 << "";
    QTest::newRow("bad color stops there")
        << QStringList{"--convert", "FF0000", "12345", "00FF00"} << ""
        << "#FF0000\n"
        << 2 << "\"12345\"";
    QTest::newRow("bad input line") << QStringList{"--convert"} << "FF0000\nnope\n00FF00\n"
                                    << "#FF0000\n"
                                    << 2 << "\"nope\"";
    QTest::newRow("unknown format") << QStringList{"--convert", "--format", "lab2", "FF0000"} << ""
                                    << "" << 2 << "\"lab2\"";
    QTest::newRow("contrast") << QStringList{"--contrast", "767676", "FFFFFF"} << ""
                              << "4.54:1 AA-large AA AAA-large\n"
                              << 0 << "";
    QTest::newRow("contrast, either order") << QStringList{"--contrast", "#FFFFFF", "777777"} << ""
                                            << "4.48:1 AA-large\n"
                                            << 0 << "";
    QTest::newRow("contrast of itself") << QStringList{"--contrast", "7654CD", "7654CD"} << ""
                                        << "1.00:1\n"
                                        << 0 << "";
    QTest::newRow("contrast of one") << QStringList{"--contrast", "7654CD"} << ""
                                     << "" << 2 << "two colors";
    QTest::newRow("contrast of a non-color") << QStringList{"--contrast", "7654CD", "red"} << ""
                                             << "" << 2 << "\"red\"";
    QTest::newRow("apca, dark on light") << QStringList{"--apca", "888888", "FFFFFF"} << ""
                                         << "63.1\n"
                                         << 0 << "";
    QTest::newRow("apca, light on dark") << QStringList{"--apca", "FFFFFF", "000000"} << ""
                                         << "-107.9\n"
                                         << 0 << "";
    QTest::newRow("apca of one") << QStringList{"--apca", "FFFFFF"} << ""
                                 << "" << 2 << "two colors";
    QTest::newRow("apca with a format")
        << QStringList{"--apca", "--format", "hex", "FFFFFF", "000000"} << ""
        << "" << 2 << "--format does not go with --apca";
    QTest::newRow("simulated, from input")
        << QStringList{"--convert", "--simulate", "achromatopsia"} << "FF0000\n0000FF\n"
        << "#7F7F7F\n#4C4C4C\n"
        << 0 << "";
    QTest::newRow("simulated at a severity")
        << QStringList{"--convert", "--simulate=protanomaly:0", "--format=rgb", "123456"} << ""
        << "RGB(18,52,86)\n"
        << 0 << "";
    QTest::newRow("bad deficiency")
        << QStringList{"--convert", "--simulate", "blue", "FF0000"} << ""
        << "" << 2 << "Bad --simulate";
    QTest::newRow("bad severity") << QStringList{"--convert", "--simulate", "tritanomaly:150",
                                                 "FF0000"}
                                  << ""
                                  << "" << 2 << "0 to 100";
    QTest::newRow("simulate alone") << QStringList{"--simulate", "protanopia"} << ""
                                    << "" << 2 << "--simulate needs --convert";
    QTest::newRow("simulate with contrast")
        << QStringList{"--contrast", "--simulate", "protanopia", "FF0000", "000000"} << ""
        << "" << 2 << "--simulate needs --convert";
    QTest::newRow("harmony of a gray") << QStringList{"--harmony", "triadic", "808080"} << ""
                                       << "#808080\n#808080\n#808080\n"
                                       << 0 << "";
    QTest::newRow("bad harmony") << QStringList{"--harmony", "pentadic", "808080"} << ""
                                 << "" << 2 << "Bad --harmony";
    QTest::newRow("harmony of two") << QStringList{"--harmony", "square", "808080", "FF0000"} << ""
                                    << "" << 2 << "one color";
    QTest::newRow("harmony and convert")
        << QStringList{"--harmony", "square", "--convert", "808080"} << ""
        << "" << 2 << "do not go together";
}

void tst_CommandLine::colorCommands()
{
    QFETCH(QStringList, args);
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(int, status);
    QFETCH(QString, said);
    const commandline::Parsed parsed = commandline::parse(QStringList{"huebrook"} + args);
    QVERIFY(!parsed.request);
    QString printed;
    QString error = parsed.error;
    int exit = parsed.exitStatus;
    if (parsed.command) {
        QTextStream in(&input);
        QTextStream out(&printed);
        QTextStream err(&error);
        exit = colorcommands::run(*parsed.command, in, out, err);
    }
    QCOMPARE(printed, output);
    QCOMPARE(exit, status);
    QVERIFY2(error.contains(said), qPrintable(error));
    QCOMPARE(error.count(QLatin1Char('\n')), error.isEmpty() || !parsed.command ? 0 : 1);
}

void tst_CommandLine::protocol_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("request"); // a request or an answer
    QTest::addColumn<bool>("valid");
    QTest::newRow("show") << QByteArray("show") << true << true;
    QTest::newRow("pick") << QByteArray("pick") << true << true;
    QTest::newRow("once") << QByteArray("pick-once css-rgb") << true << true;
    QTest::newRow("once template") << QByteArray("pick-once %7Br%7D%0A%7Bg%7D") << true << true;
    QTest::newRow("once bad format") << QByteArray("pick-once %7Bq%7D") << true << false;
    QTest::newRow("pick sample") << QByteArray("pick 5") << true << true;
    QTest::newRow("once sample") << QByteArray("pick-once hex 31") << true << true;
    QTest::newRow("even sample") << QByteArray("pick 4") << true << false;
    QTest::newRow("large sample") << QByteArray("pick-once hex 33") << true << false;
    QTest::newRow("signed sample") << QByteArray("pick +5") << true << false;
    QTest::newRow("empty sample") << QByteArray("pick ") << true << false;
    QTest::newRow("two samples") << QByteArray("pick-once hex 5 7") << true << false;
    QTest::newRow("once no format") << QByteArray("pick-once") << true << false;
    QTest::newRow("show with field") << QByteArray("show x") << true << false;
    QTest::newRow("not UTF-8") << QByteArray("pick-once %FF%FE") << true << false;
    QTest::newRow("unknown verb") << QByteArray("quit") << true << false;
    QTest::newRow("empty") << QByteArray() << true << false;
    QTest::newRow("NUL") << QByteArray("pick\0", 5) << true << false;
    QTest::newRow("import") << QByteArray("import %2Ftmp%2Fa%20b.kpl") << true << true;
    QTest::newRow("import relative") << QByteArray("import a.kpl") << true << false;
    QTest::newRow("import nothing") << QByteArray("import") << true << false;
    QTest::newRow("palette") << QByteArray("pick-once hex 5 p:my%20colors") << true << true;
    QTest::newRow("palette switch") << QByteArray("show p:brand") << true << true;
    QTest::newRow("bad palette") << QByteArray("pick p:a%2Fb") << true << false;
    QTest::newRow("empty palette") << QByteArray("show p:") << true << false;
    QTest::newRow("view") << QByteArray("pick-once hex v:deuteranomaly%3A40 p:brand") << true
                          << true;
    QTest::newRow("bad view") << QByteArray("pick v:blue") << true << false;
    QTest::newRow("view of no picking") << QByteArray("show v:tritanopia") << true << false;
    QTest::newRow("copy") << QByteArray("pick-once css-rgb 5 c:1 v:protanopia") << true << true;
    QTest::newRow("copy of no single pick") << QByteArray("pick c:1") << true << false;
    QTest::newRow("shortcut") << QByteArray("shortcut Meta%2BShift%2BC css-rgb") << true << true;
    QTest::newRow("shortcut without format") << QByteArray("shortcut Ctrl%2BF9") << true << true;
    QTest::newRow("shortcut taken away") << QByteArray("shortcut") << true << true;
    QTest::newRow("shortcut of no key") << QByteArray("shortcut Super%2BC") << true << false;
    QTest::newRow("shortcut bad format") << QByteArray("shortcut F9 %7Bq%7D") << true << false;
    QTest::newRow("shortcut of a palette") << QByteArray("shortcut F9 p:brand") << true << false;
    QTest::newRow("ok") << QByteArray("ok") << false << true;
    QTest::newRow("picked") << QByteArray("picked rgb(1%2C%202%2C%203)") << false << true;
    QTest::newRow("none") << QByteArray("none ") << false << true;
    QTest::newRow("picked nothing") << QByteArray("picked") << false << false;
    QTest::newRow("ok with a notice") << QByteArray("ok 2%20left%20out") << false << true;
    QTest::newRow("refused") << QByteArray("refused bad%20file") << false << true;
    QTest::newRow("answer not UTF-8") << QByteArray("none %C3%28") << false << false;
}

void tst_CommandLine::protocol()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, request);
    QFETCH(bool, valid);
    if (request) {
        const std::optional<PickRequest> decoded = instanceprotocol::decodeRequest(line);
        QCOMPARE(decoded.has_value(), valid);
        if (decoded) // what is read is written back the same
            QCOMPARE(instanceprotocol::encode(*decoded), line + '\n');
    } else {
        const std::optional<Answer> decoded = instanceprotocol::decodeAnswer(line);
        QCOMPARE(decoded.has_value(), valid);
        if (decoded)
            QCOMPARE(instanceprotocol::decodeAnswer(instanceprotocol::encode(*decoded).chopped(1)),
                     decoded);
    }
}

void tst_CommandLine::serverDropsBadMessages_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("malformed") << QByteArray("pick-once {q}\n");
    QTest::newRow("unexpected") << QByteArray("GET / HTTP/1.0\r\n\r\n");
    QTest::newRow("oversized") << QByteArray(instanceprotocol::maxLine + 10, 'p');
    QTest::newRow("oversized line") << QByteArray(instanceprotocol::maxLine + 10, 'p') + '\n';
    QTest::newRow("partial") << QByteArray("pick-on");
    QTest::newRow("more after the request") << QByteArray("show\nshow\n");
}

void tst_CommandLine::serverDropsBadMessages()
{
    QFETCH(QByteArray, sent);
    Channel channel;
    QVERIFY2(channel.open(), qPrintable(channel.why));
    int requests = 0;
    channel.server->onRequest = [&](const PickRequest &, const InstanceServer::Reply &) {
        ++requests;
    };
    channel.socket.write(sent);
    // Dropped at once, or for a partial request when its time is up.
    QTRY_COMPARE_WITH_TIMEOUT(channel.socket.state(), QLocalSocket::UnconnectedState,
                              InstanceServer::requestTimeoutMs + 2000);
    QCOMPARE(channel.socket.readAll(), QByteArray());
    QCOMPARE(requests, 0);
}

void tst_CommandLine::serverAnswersAPick()
{
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    // A stale socket, as a killed Huebrook leaves it, is no obstacle.
    const QString path = instanceclient::socketPath(QStringLiteral("tst-commandline"));
    QFile stale(path);
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    InstanceServer server(QStringLiteral("tst-commandline"));
    QString why;
    QVERIFY2(server.listen(&why), qPrintable(why));
    QCOMPARE(QFile::permissions(path) & (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup),
             QFile::Permissions());
    std::optional<PickRequest> asked;
    server.onRequest = [&](const PickRequest &request, const InstanceServer::Reply &reply) {
        asked = request;
        reply(Answer{Answer::Picked, QStringLiteral("rgb(1, 2, 3)")});
    };
    QLocalSocket socket;
    socket.connectToServer(path);
    QVERIFY(socket.waitForConnected(1000));
    socket.write(
        instanceprotocol::encode(PickRequest{PickRequest::PickOnce, "css-rgb", 0, {}, {}, {}}));
    QTRY_VERIFY(socket.canReadLine());
    QCOMPARE(asked, (PickRequest{PickRequest::PickOnce, "css-rgb", 0, {}, {}, {}}));
    QCOMPARE(instanceprotocol::decodeAnswer(socket.readLine().chopped(1)),
             (Answer{Answer::Picked, QStringLiteral("rgb(1, 2, 3)")}));
}

// A peer that goes on sending after its request is closed, and what it sends is never held.
void tst_CommandLine::serverClosesAPeerThatKeepsSending()
{
    Channel channel;
    QVERIFY2(channel.open(), qPrintable(channel.why));
    int requests = 0;
    InstanceServer::Reply owed;
    channel.server->onRequest = [&](const PickRequest &, const InstanceServer::Reply &reply) {
        ++requests;
        owed = reply; // a pick under way
    };
    channel.socket.write(
        instanceprotocol::encode(PickRequest{PickRequest::PickOnce, "hex", 0, {}, {}, {}}));
    QTRY_COMPARE(requests, 1);
    const QByteArray flood(64 * 1024, 'x');
    QElapsedTimer sending;
    sending.start();
    while (channel.socket.state() == QLocalSocket::ConnectedState && sending.elapsed() < 5000) {
        channel.socket.write(flood);
        channel.socket.waitForBytesWritten(50);
        QCoreApplication::processEvents();
    }
    QCOMPARE(channel.socket.state(), QLocalSocket::UnconnectedState);
    QCOMPARE(requests, 1);
    owed(Answer{Answer::Picked, QStringLiteral("#000000")}); // into nothing, harmlessly
}

// With no descriptor left, a waiting connection cannot be taken and the listener stays
// readable: the server must rest, not spin, and take the connection once it can.
void tst_CommandLine::serverRestsWithoutDescriptors()
{
#ifdef HUEBROOK_SANITIZE
    QSKIP("the sanitizers' runtime needs descriptors of its own to check each call");
#endif
    Channel channel;
    QVERIFY2(channel.open(), qPrintable(channel.why));
    int requests = 0;
    channel.server->onRequest = [&](const PickRequest &, const InstanceServer::Reply &reply) {
        ++requests;
        reply(Answer{});
    };
    channel.socket.write("show\n");
    channel.socket.flush();
    // Every descriptor taken, under a limit low enough to reach.
    rlimit limit = {};
    QCOMPARE(getrlimit(RLIMIT_NOFILE, &limit), 0);
    const rlimit lowered{std::min<rlim_t>(limit.rlim_cur, 256), limit.rlim_max};
    QCOMPARE(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    std::vector<int> spare;
    for (int fd; (fd = ::dup(0)) >= 0;)
        spare.push_back(fd);
    rusage before = {}, after = {};
    getrusage(RUSAGE_SELF, &before);
    QTest::qWait(500);
    getrusage(RUSAGE_SELF, &after);
    for (int fd : spare)
        ::close(fd);
    setrlimit(RLIMIT_NOFILE, &limit);
    const auto ms = [](const rusage &u) {
        return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000 +
               (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000;
    };
    QVERIFY2(ms(after) - ms(before) < 200,
             qPrintable(QStringLiteral("%1 ms of CPU in 500").arg(ms(after) - ms(before))));
    QCOMPARE(requests, 0);
    QTRY_COMPARE(requests, 1);
}

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
