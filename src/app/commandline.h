// The command line: no arguments starts Huebrook as always; --pick starts picking at once, and
// --pick --once prints the first pick in a format and exits. --convert, --contrast, --apca and
// --harmony print what they say of colors, and --export writes the palette to a file, and exit
// without a display;
// --import appends a file's colors, through the running Huebrook if there is one; --shortcut
// sets up a key that runs --pick --once --copy from anywhere.
#pragma once

#include "color/harmony.h"
#include "color/visiondeficiency.h"
#include "desktop/shortcutkeys.h"

#include <QString>
#include <QStringList>
#include <optional>

// What a start asks of Huebrook, itself or the one already running.
struct PickRequest
{
    enum Kind { Show, Pick, PickOnce, Import, Shortcut };
    Kind kind = Show;
    QString format = QStringLiteral("hex"); // PickOnce; Shortcut's, empty when none was given
    int sample = 0;                         // Pick and PickOnce: the sample size, 0 the kept one
    QString path;                           // Import: the file, absolute
    QString palette;   // the palette named for this request; for Show, the one to switch to
    QString view;      // Pick and PickOnce: the deficiency the frozen screen starts showing
    bool copy = false; // PickOnce: the text also goes on the clipboard
    QString keys = {}; // Shortcut: the keys in Qt's portable text, empty to take it away
    bool operator==(const PickRequest &) const = default;
};

// Colors named on the command line, to be said something of.
struct ColorCommand
{
    enum Kind { Convert, Contrast, Apca, Harmony };
    Kind kind = Convert;
    QString format = QStringLiteral("hex"); // Convert and Harmony
    QStringList colors;                     // Convert: none reads them from standard input
    std::optional<visiondeficiency::Simulation> simulate; // Convert: as a deficiency sees them
    harmony::Kind harmony = harmony::Kind::Complementary;
};

// The palette written to a file, in the format its extension names.
struct ExportCommand
{
    QString path;
    QString palette; // the default one when empty
};

// The key from anywhere set up, or with no keys taken away.
struct ShortcutCommand
{
    std::optional<shortcutkeys::Keys> keys; // nothing for "none"
    QString format;                         // empty when none was given
};

namespace commandline {

enum ExitStatus { Success = 0, NoPick = 1, BadInput = 2 };

struct Parsed
{
    std::optional<PickRequest> request;  // nothing when the process only prints and exits
    std::optional<ColorCommand> command; // --convert, --contrast, --apca or --harmony
    std::optional<ExportCommand> exportTo;
    std::optional<ShortcutCommand> shortcut;
    QString output; // for standard output: the usage or the version
    QString error;  // one line for standard error
    int exitStatus = Success;
};

// arguments include the program's name first, as QCoreApplication::arguments() gives them.
Parsed parse(const QStringList &arguments);

} // namespace commandline
