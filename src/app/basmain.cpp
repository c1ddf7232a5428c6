// The program's entry.
#include "basmain.h"

#include "colorcommands.h"
#include "commandline.h"
#include "desktop/rootkeygrab.h"
#include "formats/colorformat.h"
#include "frmshowcolor.h"
#include "heldrequests.h"
#include "instancechannel.h"
#include "palette/palettelibrary.h"
#include "palette/palettelocation.h"
#include "palettecommands.h"
#include "shortcutsetup.h"
#include "singleinstance.h"

#include <QApplication>
#include <QClipboard>
#include <QDebug>
#include <QFileInfo>
#include <QFont>
#include <QPointer>
#include <QTextStream>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <thread>
#include <unistd.h>

namespace basmain {

bool StartCommonControls()
{
    // The designs name Windows faces; fontconfig usually maps them already, and these make the
    // fallback explicit where it does not: metric-compatible faces first.
    // Liberation Sans is closer to Tahoma's width than DejaVu Sans, which would clip the
    // decimal readout "255,255,255".
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono"),
                                                               QStringLiteral("DejaVu Sans Mono")});
    return true;
}

namespace {

QString executableName()
{
    // What QCoreApplication::applicationFilePath gives, before there is an application: the
    // command line is read, and a later start handed over, without a display.
    const QString path = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QFileInfo(path).completeBaseName();
}

void print(FILE *stream, QString text)
{
    if (!text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    fputs(text.toLocal8Bit().constData(), stream);
    fflush(stream);
}

// Whether Qt can have a platform to show windows on: a display, or a platform chosen outright.
bool hasDisplay()
{
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// One line, whatever the text holds.
void printError(QString line)
{
    print(stderr, line.replace(QLatin1Char('\n'), QStringLiteral("\\n")));
}

int handOver(const QString &name, const PickRequest &request)
{
    QString error;
    const std::optional<instanceprotocol::Answer> answer =
        instanceclient::send(name, request, &error);
    if (!answer) {
        printError(error);
        return commandline::NoPick;
    }
    switch (answer->kind) {
    case instanceprotocol::Answer::Ok:
        // What a shortcut set up is the command's output; elsewhere a notice.
        if (request.kind == PickRequest::Shortcut)
            print(stdout, answer->text);
        else if (!answer->text.isEmpty())
            printError(answer->text);
        return commandline::Success;
    case instanceprotocol::Answer::Refused:
        printError(answer->text);
        return commandline::BadInput;
    case instanceprotocol::Answer::Picked:
        print(stdout, answer->text);
        return commandline::Success;
    case instanceprotocol::Answer::None:
        if (!answer->text.isEmpty())
            printError(answer->text);
        return commandline::NoPick;
    }
    return commandline::NoPick;
}

// The palette named of this executable, the default one when empty. Needs the application
// object, for the executable's folder.
PaletteStore paletteStore(const QString &palette = {})
{
    return PaletteStore(
        palettelocation::chooseFolder(QCoreApplication::applicationDirPath()),
        palettelibrary::fileName(palette.isEmpty() ? palettelibrary::defaultName : palette));
}

// A request, from this start's command line or a later start's, answered exactly once.
// Nothing disturbs a picking under way.
void handle(frmshowcolor *window, const PickRequest &request, const InstanceServer::Reply &reply)
{
    using instanceprotocol::Answer;
    switch (request.kind) {
    case PickRequest::Show:
        // A palette named alone is switched to, and kept for the next start; not under a
        // picking, whose picks go to the palette it started with.
        if (!request.palette.isEmpty() && window->picking()) {
            reply(Answer{Answer::None,
                         QStringLiteral("Huebrook is picking: the palette was not switched.")});
            break;
        }
        if (!request.palette.isEmpty())
            window->usePalette(request.palette);
        if (!window->picking()) {
            window->show();
            window->raise();
            window->activateWindow();
        }
        reply(Answer{Answer::Ok, {}});
        break;
    case PickRequest::Pick:
        window->pickFromCommand({}, request.sample, request.palette, request.view);
        reply(Answer{Answer::Ok, {}});
        break;
    case PickRequest::PickOnce: {
        const QString format = request.format;
        const bool copy = request.copy;
        // With copy this process holds the clipboard, whoever asked.
        const bool started = window->pickFromCommand(
            [reply, format](std::optional<Color> color, const QString &why) {
                if (!color)
                    return reply(Answer{Answer::None, why});
                reply(Answer{Answer::Picked, colorformat::text(format, *color)});
            },
            request.sample, request.palette, request.view, copy ? format : QString());
        if (!started)
            reply(Answer{Answer::None, QStringLiteral("Huebrook is already picking.")});
        break;
    }
    case PickRequest::Shortcut: {
        // Only plain X11 hands this over: the key is grabbed by the Huebrook that runs.
        const globalshortcut::Outcome outcome =
            request.keys.isEmpty()
                ? shortcutsetup::remove(globalshortcut::Desktop::X11,
                                        QCoreApplication::applicationName(), window->shortcutKey())
                : shortcutsetup::setUp(globalshortcut::Desktop::X11,
                                       *shortcutkeys::parse(request.keys), request.format,
                                       QCoreApplication::applicationName(), window->shortcutKey());
        reply(Answer{outcome.done ? Answer::Ok : Answer::None, outcome.line});
        break;
    }
    case PickRequest::Import:
        window->importPalette(request.path, request.palette,
                              [reply](const PaletteDocument::ImportOutcome &outcome) {
                                  const int status = palettecommands::exitStatus(outcome);
                                  reply(Answer{status == commandline::Success    ? Answer::Ok
                                               : status == commandline::BadInput ? Answer::Refused
                                                                                 : Answer::None,
                                               outcome.said});
                              });
        break;
    }
}

// --copy on the first start: the rest of the start runs in a child that stays to serve the
// clipboard once it has answered, and this process only waits for that answer's exit status,
// so that a shortcut or a script is not held. Before the toolkit starts, as a fork must be.
struct ClipboardChild
{
    int statusPipe = -1; // in the child: where the exit status goes; -1 without --copy

    // In the parent, the exit status to end with; nothing in the child.
    std::optional<int> fork()
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            printError(QStringLiteral("Could not start picking to the clipboard: %1.")
                           .arg(QString::fromLocal8Bit(std::strerror(errno))));
            return commandline::NoPick;
        }
        const pid_t child = ::fork();
        if (child < 0) {
            printError(QStringLiteral("Could not start picking to the clipboard: %1.")
                           .arg(QString::fromLocal8Bit(std::strerror(errno))));
            return commandline::NoPick;
        }
        if (child == 0) {
            ::close(fds[0]);
            statusPipe = fds[1];
            // Out of the caller's session and process group: what ends the caller does not end
            // the clipboard.
            ::setsid();
            return std::nullopt;
        }
        ::close(fds[1]);
        unsigned char status = 0;
        ssize_t got = 0;
        do
            got = ::read(fds[0], &status, 1);
        while (got < 0 && errno == EINTR);
        ::close(fds[0]);
        if (got == 1)
            return status;
        printError(QStringLiteral("Huebrook ended before it answered."));
        return commandline::NoPick;
    }

    // In the child: the answer has been printed; the parent ends with status, and the child
    // lets go of the caller's terminal and pipes.
    void answered(int status)
    {
        if (statusPipe < 0)
            return;
        const auto byte = static_cast<unsigned char>(status);
        while (::write(statusPipe, &byte, 1) < 0 && errno == EINTR) {
        }
        ::close(statusPipe);
        statusPipe = -1;
        if (const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC); null >= 0) {
            for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
                ::dup2(null, fd);
            ::close(null);
        }
    }
};

// This start's own answer: a single pick is printed, and ends the program; with --copy the
// program stays while it holds the clipboard and nothing else keeps it. The exit is queued,
// since the answer may come before the event loop runs, where an exit would be lost.
void answerHere(const instanceprotocol::Answer &answer, ClipboardChild &child,
                const QPointer<frmshowcolor> &window)
{
    using instanceprotocol::Answer;
    if (answer.kind == Answer::Ok)
        return;
    if (answer.kind == Answer::Picked)
        print(stdout, answer.text);
    else if (!answer.text.isEmpty())
        printError(answer.text);
    const int status = answer.kind == Answer::Picked ? commandline::Success : commandline::NoPick;
    const bool serving = child.statusPipe >= 0 && status == commandline::Success;
    child.answered(status);
    if (!serving) {
        QMetaObject::invokeMethod(
            qApp, [status] { QCoreApplication::exit(status); }, Qt::QueuedConnection);
        return;
    }
    QObject::connect(
        QGuiApplication::clipboard(), &QClipboard::changed, qApp, [window](QClipboard::Mode mode) {
            if (mode != QClipboard::Clipboard || QGuiApplication::clipboard()->ownsClipboard())
                return;
            // A later start may have brought the window up meanwhile: it stays.
            if (window && (window->isVisible() || window->picking()))
                return;
            QCoreApplication::exit(commandline::Success);
        });
}

int printOutcome(const globalshortcut::Outcome &outcome)
{
    if (outcome.done)
        print(stdout, outcome.line);
    else
        printError(outcome.line);
    return outcome.done ? commandline::Success : commandline::NoPick;
}

// --shortcut: set up on the desktop itself, except on plain X11, where the running Huebrook
// holds the key and takes the request, or with none running the key is only tried.
int setUpShortcut(const ShortcutCommand &command, int argc, char **argv)
{
    const globalshortcut::Desktop desktop = globalshortcut::detect();
    const QString name = executableName();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(name);
    const auto here = [&] {
        // A desktop service that never answers (dconf's writes wait without a deadline) must
        // not hold a shortcut's caller: the work has 10 s, and the process ends without it.
        std::packaged_task<globalshortcut::Outcome()> work([&] {
            return command.keys
                       ? shortcutsetup::setUp(desktop, *command.keys, command.format, name, nullptr)
                       : shortcutsetup::remove(desktop, name, nullptr);
        });
        std::future<globalshortcut::Outcome> outcome = work.get_future();
        std::thread(std::move(work)).detach();
        if (outcome.wait_for(std::chrono::seconds(shortcutsetup::deadlineSeconds)) ==
            std::future_status::ready)
            return printOutcome(outcome.get());
        printError(shortcutsetup::silence(desktop));
        std::_Exit(commandline::NoPick);
    };
    if (desktop != globalshortcut::Desktop::X11)
        return here();
    // Held meanwhile, so that no start comes between the key tried and the key kept.
    SingleInstance instance(name);
    if (instance.acquire())
        return here();
    PickRequest request;
    request.kind = PickRequest::Shortcut;
    request.keys = command.keys ? shortcutkeys::portable(*command.keys) : QString();
    request.format = command.format;
    return handOver(name, request);
}

} // namespace

int Main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const commandline::Parsed parsed = commandline::parse(arguments);
    if (!parsed.output.isEmpty())
        print(stdout, parsed.output);
    if (!parsed.error.isEmpty())
        printError(parsed.error);
    if (parsed.command) {
        QTextStream in(stdin);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return colorcommands::run(*parsed.command, in, out, err);
    }
    if (parsed.shortcut)
        return setUpShortcut(*parsed.shortcut, argc, argv);
    if (parsed.exportTo) {
        QCoreApplication app(argc, argv);
        QTextStream err(stderr);
        return palettecommands::exportPalette(paletteStore(parsed.exportTo->palette),
                                              *parsed.exportTo, err);
    }
    if (!parsed.request)
        return parsed.exitStatus;
    const PickRequest request = *parsed.request;

    ClipboardChild child;
    if (request.kind == PickRequest::PickOnce && request.copy)
        if (const std::optional<int> status = child.fork())
            return *status;

    const QString name = executableName();
    SingleInstance instance(name);
    if (!instance.acquire()) {
        QCoreApplication app(argc, argv);
        // The running Huebrook holds the clipboard.
        const int status = handOver(name, request);
        child.answered(status);
        return status;
    }
    // Nothing runs to take the import: the file is appended to here, with the lock held so that
    // no start comes between.
    if (request.kind == PickRequest::Import) {
        QCoreApplication app(argc, argv);
        QTextStream err(stderr);
        return palettecommands::importPalette(paletteStore(), request.path, request.palette, err);
    }

    // Without a display Qt would abort with a page of advice; a shortcut's caller gets one line.
    if (!hasDisplay()) {
        printError(QStringLiteral("Huebrook needs a display: neither DISPLAY nor WAYLAND_DISPLAY "
                                  "is set."));
        child.answered(commandline::NoPick);
        return commandline::NoPick;
    }
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(name);
    QCoreApplication::setOrganizationName(QStringLiteral("huebrook"));
    // Wayland shells find the name and icon of the windows through the desktop entry's id.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.huebrook"));
    StartCommonControls();

    InstanceServer server(name);
    if (QString why; !server.listen(&why))
        qWarning().noquote() << why << "- a later start cannot hand over to this one.";

    // Without a main window on the screen, messages go where the command was typed.
    std::function<void(const QString &)> reporter;
    if (request.kind == PickRequest::PickOnce)
        reporter = [](const QString &message) { printError(message); };
    // Closing deletes the window; any other way out (a single pick answered, a signal) deletes
    // it here, so that what it set up on the desktop is taken down on every exit path.
    const QPointer<frmshowcolor> window =
        new frmshowcolor(paletteStore(), PositionSettings(name), reporter);
    // A later start's request waits while a dialog or message box is open.
    HeldRequests held;
    server.onRequest = [window, &held](const PickRequest &asked,
                                       const InstanceServer::Reply &reply) {
        held.run([window, asked, reply] {
            if (window)
                handle(window, asked, reply);
        });
    };
    // On plain X11 the key kept is this Huebrook's while it runs.
    if (globalshortcut::detect() == globalshortcut::Desktop::X11)
        if (QString why; !shortcutsetup::grabKept(name, *window->shortcutKey(), &why))
            qWarning().noquote() << "The shortcut kept could not be grabbed:" << why;
    QObject::connect(window->shortcutKey(), &RootKeyGrab::pressed, window, [window, &held, name] {
        PickRequest asked;
        asked.kind = PickRequest::PickOnce;
        asked.copy = true;
        const QString format = shortcutsetup::kept(name).format;
        asked.format = format.isEmpty() ? QStringLiteral("hex") : format;
        held.run([window, asked] {
            if (window)
                handle(window, asked, [window](const instanceprotocol::Answer &answer) {
                    // A press while picking does nothing; other failures are said.
                    if (window && answer.kind == instanceprotocol::Answer::None &&
                        !answer.text.isEmpty() && !window->picking())
                        window->reportError(answer.text);
                });
        });
    });
    handle(window, request, [&child, window](const instanceprotocol::Answer &answer) {
        answerHere(answer, child, window);
    });
    const int status = app.exec();
    delete window.data();
    return status;
}

} // namespace basmain
