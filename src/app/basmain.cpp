// The program's entry.
#include "basmain.h"

#include "frmshowcolor.h"
#include "palette/palettelocation.h"
#include "singleinstance.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>

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

int Main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QCoreApplication::setApplicationName(name);
    QCoreApplication::setOrganizationName(QStringLiteral("huebrook"));
    // Wayland shells find the name and icon of the windows through the desktop entry's id.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.huebrook"));

    SingleInstance instance(name);
    if (!instance.acquire())
        return 0;
    StartCommonControls();

    PaletteStore store(palettelocation::chooseFolder(QCoreApplication::applicationDirPath()));
    auto *window = new frmshowcolor(std::move(store), PositionSettings(name));
    window->show();
    return app.exec();
}

} // namespace basmain
