// Shared by the widget tests: a main window on a palette in a temporary folder, picking from a
// fixed picture, its controls by name, and a way to drive a popup menu without ever hanging.
#pragma once

#include "app/frmshowcolor.h"
#include "fakecapture.h"
#include "files.h"
#include "palette/colorchart.h"
#include "palette/palettedocument.h"
#include "palette/palettemenu.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

struct WindowFixture
{
    QTemporaryDir dir;
    std::unique_ptr<frmshowcolor> window;
    QStringList errors;

    // records: the palette's bytes, oldest first; settingsName: where the window's position is
    // kept. Picking captures the pattern picture.
    explicit WindowFixture(const QByteArray &records = {},
                           const QString &settingsName = QStringLiteral("tst-fixture"))
    {
        QStandardPaths::setTestModeEnabled(true);
        if (!records.isEmpty())
            writeFile(dir.filePath(QStringLiteral("pal.hbk")), records);
        window =
            std::make_unique<frmshowcolor>(PaletteStore(dir.path()), PositionSettings(settingsName),
                                           [this](const QString &message) { errors << message; });
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->createCapture = [] { return new FakeCapture; };
    }

    template <typename T = QWidget> T *find(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    QString text(const char *name) const { return find<QLineEdit>(QLatin1String(name))->text(); }
    QAction *action(const char *name) const
    {
        return window->findChild<QAction *>(QLatin1String(name));
    }
    QByteArray palette() const { return readFile(dir.filePath(QStringLiteral("pal.hbk"))); }

    // The window's palette owner, view and commands, which it hands to no one else.
    PaletteDocument *document() const { return window->findChild<PaletteDocument *>(); }
    ColorChart *chart() const { return window->findChild<ColorChart *>(); }
    PaletteMenu *paletteMenu() const { return window->findChild<PaletteMenu *>(); }
    // Waits until every change asked of the palettes is made and shown.
    [[nodiscard]] bool idle() const
    {
        return QTest::qWaitFor([this] { return !document()->busy(); }, 10000);
    }
};

// Runs `open`, which must open a popup menu, and calls `inPopup` with that menu once it shows.
// A watchdog closes any popup left open so that a failing test cannot hang.
inline void whilePopupOpen(const std::function<void()> &open,
                           const std::function<void(QMenu *)> &inPopup)
{
    bool watchdogFired = false;
    QTimer::singleShot(0, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget()))
            inPopup(menu);
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        watchdogFired = true;
        while (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
    });
    watchdog.start(3000);
    open();
    watchdog.stop();
    if (watchdogFired)
        qWarning("a popup menu stayed open until the watchdog closed it");
}
