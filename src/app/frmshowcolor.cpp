// The main window's design and wiring: the images and menus, creation and closing, and the
// forwarding between the color editor, the palette chart and a picking session.
#include "frmshowcolor.h"

#include "artwork.h"
#include "base/numconv.h"
#include "base/numtext.h"
#include "desktop/clipboard.h"
#include "desktop/rootkeygrab.h"
#include "desktop/screencapture.h"
#include "desktop/windowhome.h"
#include "editor/coloreditor.h"
#include "editor/copymenu.h"
#include "editor/frmdetails.h"
#include "formats/colorformat.h"
#include "frmabout.h"
#include "frmpreferences.h"
#include "imagebutton.h"
#include "palette/colorchart.h"
#include "palette/palettedocument.h"
#include "palette/palettemenu.h"
#include "picker/pickingsession.h"
#include "ui/designunits.h"
#include "weblink.h"
#include "windowposition.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDebug>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>

using designunits::twipRect;

namespace {

ImageButton *makeImage(QWidget *window, const char *name, QRect geometry, const QPixmap &pixmap,
                       const QString &tip)
{
    auto *image = new ImageButton(window);
    image->setObjectName(QLatin1String(name));
    image->setGeometry(geometry);
    image->setPixmap(pixmap);
    image->setToolTip(tip);
    return image;
}

} // namespace

frmshowcolor::frmshowcolor(PaletteStore store, PositionSettings settings,
                           std::function<void(const QString &)> reporter)
    : createCapture([] { return ScreenCapture::create(nullptr); }), m_settings(std::move(settings)),
      m_samples(m_settings.applicationName()), m_palettes(m_settings.applicationName()),
      m_reporter(std::move(reporter))
{
    setObjectName(QStringLiteral("frmshowcolor"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true); // GIMP palettes
    setWindowTitle(QStringLiteral("Huebrook 1.0"));
    setWindowIcon(artwork::programIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(186, 348);
    setFont(designunits::windowFont());

    buildImages();
    m_editor = new ColorEditor(this);
    m_copy = new CopyMenu(this, CopySettings(m_settings.applicationName()));
    m_home = new WindowHome(this);
    m_shortcutKey = new RootKeyGrab(this);
    m_document = new PaletteDocument(store, this);
    m_chart = new ColorChart(std::move(store), this);
    m_paletteMenu = new PaletteMenu(m_document, m_chart, this);
    connect(m_editor, &ColorEditor::colorChanging, m_chart, &ColorChart::currentColorChanging);
    connect(m_editor, &ColorEditor::previewReleased, this, &frmshowcolor::lblcolor_MouseUp);
    connect(m_editor, &ColorEditor::colorChanged, m_copy, &CopyMenu::setColor);
    connect(m_copy, &CopyMenu::failed, this, &frmshowcolor::reportError);
    connect(m_chart, &ColorChart::selected, this, &frmshowcolor::CurrentColorChanged);
    // The chart has selected the swatch; the right button opens the Edit menu over it.
    connect(m_chart, &ColorChart::swatchReleased, this, [this](int, int button) {
        if (button == 2)
            openEditMenu();
    });
    connect(m_chart, &ColorChart::failed, this, &frmshowcolor::reportError);
    connect(m_document, &PaletteDocument::failed, this, &frmshowcolor::reportError);
    connect(m_document, &PaletteDocument::busyChanged, m_chart, &ColorChart::setWorking);
    connect(m_document, &PaletteDocument::changed, this,
            [this](const QString &fileName, bool appended) {
                if (fileName != m_document->store().fileName())
                    return;
                if (appended)
                    m_chart->reloadAndSelectNewest();
                else
                    m_chart->ShowColorChart(fileName);
            });
    connect(m_document, &PaletteDocument::paletteChanged, this, [this](const QString &name) {
        m_chart->showPalette(m_document->store(), name);
        if (!m_palettes.write(name))
            reportError(QStringLiteral("Could not save the palette in use in %1.")
                            .arg(QDir::toNativeSeparators(m_palettes.fileName())));
    });
    buildMenus();
    Form_Load();
}

frmshowcolor::~frmshowcolor()
{
    // Whatever was asked of the palette is made, and answered, while the window is whole.
    m_document->finish();
}

void frmshowcolor::buildImages()
{
    const qreal ratio = devicePixelRatioF();
    connect(makeImage(this, "imgpick", twipRect(90, 60, 240, 240), artwork::eyedropperImage(ratio),
                      QStringLiteral("Pick Color from Screen")),
            &ImageButton::clicked, this, &frmshowcolor::mnustartpick_Click);
    connect(makeImage(this, "imgabout", twipRect(457, 60, 240, 240), artwork::aboutImage(ratio),
                      QStringLiteral("About")),
            &ImageButton::clicked, this, &frmshowcolor::mnuabout_Click);
    connect(makeImage(this, "imgtarnwick", twipRect(825, 60, 240, 240), artwork::logoImage(ratio),
                      QStringLiteral("Visit ") + weblink::siteName),
            &ImageButton::clicked, this, &frmshowcolor::mnuWeb_Click);
}

void frmshowcolor::buildMenus()
{
    // The three top-level menus are never on a menu bar: the Edit menu pops up, and the items
    // of Tool and Help are the commands behind the images.
    mnuEdit = new QMenu(QStringLiteral("&Edit"), this);
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEdit->menuAction()->setVisible(false);
    m_copy->addTo(mnuEdit);
    m_paletteMenu->addMenuItems(mnuEdit, this);
    // Only the preview's menu shows it.
    mnuDetails = mnuEdit->addAction(QStringLiteral("Details..."));
    mnuDetails->setObjectName(QStringLiteral("mnuDetails"));
    mnuDetails->setVisible(false);
    connect(mnuDetails, &QAction::triggered, this, &frmshowcolor::mnuDetails_Click);
    mnuPreferences = mnuEdit->addAction(QStringLiteral("Preferences..."));
    mnuPreferences->setObjectName(QStringLiteral("mnuPreferences"));
    mnuPreferences->setVisible(false);
    connect(mnuPreferences, &QAction::triggered, this, &frmshowcolor::mnuPreferences_Click);

    auto *mnuTool = new QMenu(QStringLiteral("&Tool"), this);
    mnuTool->setObjectName(QStringLiteral("mnuTool"));
    mnuTool->menuAction()->setVisible(false);
    QAction *mnustartpick = mnuTool->addAction(QStringLiteral("Screen Color &Picker"));
    mnustartpick->setObjectName(QStringLiteral("mnustartpick"));
    connect(mnustartpick, &QAction::triggered, this, &frmshowcolor::mnustartpick_Click);

    auto *mnuhelp = new QMenu(QStringLiteral("&Help"), this);
    mnuhelp->setObjectName(QStringLiteral("mnuhelp"));
    mnuhelp->menuAction()->setVisible(false);
    QAction *mnuWeb = mnuhelp->addAction(QStringLiteral("&Visit ") + weblink::siteName);
    mnuWeb->setObjectName(QStringLiteral("mnuWeb"));
    connect(mnuWeb, &QAction::triggered, this, &frmshowcolor::mnuWeb_Click);
    QAction *mnuabout = mnuhelp->addAction(QStringLiteral("&About Huebrook"));
    mnuabout->setObjectName(QStringLiteral("mnuabout"));
    connect(mnuabout, &QAction::triggered, this, &frmshowcolor::mnuabout_Click);
}

void frmshowcolor::Form_Load()
{
    restorePosition();
    m_editor->showFirstColor();
    // The palette in use comes back, unless its file has gone meanwhile.
    const QString kept = m_palettes.read();
    if (kept != palettelibrary::defaultName &&
        QFileInfo::exists(m_document->store().folder() + QLatin1Char('/') +
                          palettelibrary::fileName(kept)))
        m_document->use(kept);
    else
        m_chart->reloadAndSelectNewest();
}

void frmshowcolor::restorePosition()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const double perPixel = windowposition::twipsPerPixel(screen->logicalDotsPerInchX());
    const QSizeF screenTwips = QSizeF(screen->geometry().size()) * perPixel;
    const QSizeF windowTwips = QSizeF(frameGeometry().size()) * perPixel;
    const windowposition::Position position =
        windowposition::restore(m_settings.read(QStringLiteral("X")),
                                m_settings.read(QStringLiteral("Y")), screenTwips, windowTwips);
    // Stored values far off the screen are applied as they are.
    move(windowposition::twipsToPixels(position.left, perPixel),
         windowposition::twipsToPixels(position.top, perPixel));
}

void frmshowcolor::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmshowcolor::Form_Unload()
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const double perPixel =
        windowposition::twipsPerPixel(screen ? screen->logicalDotsPerInchX() : 96.0);
    const QPoint frame = frameGeometry().topLeft();
    const QString left = numconv::singleToText(numconv::toSingle(frame.x() * perPixel));
    const QString top = numconv::singleToText(numconv::toSingle(frame.y() * perPixel));
    if (!m_settings.write(left, top))
        reportError(QStringLiteral("Could not save the window position in %1.")
                        .arg(QDir::toNativeSeparators(m_settings.fileName())));
}

void frmshowcolor::mnuabout_Click()
{
    // A fresh box each time, released when it closes.
    frmabout box(this);
    box.exec();
}

void frmshowcolor::mnuDetails_Click()
{
    if (!m_details) {
        // Made once and kept: it follows the current color and the selected swatch from then on.
        m_details = new frmdetails(this);
        m_details->setColor(curColor());
        m_details->setSecondColor(m_chart->selColor());
        connect(m_editor, &ColorEditor::colorChanged, m_details, &frmdetails::setColor);
        connect(m_chart, &ColorChart::selected, m_details, &frmdetails::setSecondColor);
        connect(m_details, &frmdetails::failed, this, &frmshowcolor::reportError);
        connect(m_details, &frmdetails::chosen, this, &frmshowcolor::CurrentColorChanged);
        connect(m_details, &frmdetails::addToPalette, this, [this](const QList<Color> &colors) {
            m_document->addColors({colors.begin(), colors.end()}, QStringLiteral("Add Harmony"));
        });
    }
    m_details->show();
    m_details->raise();
    m_details->activateWindow();
}

void frmshowcolor::mnuPreferences_Click()
{
    if (!m_preferences)
        m_preferences = new frmpreferences(m_settings.applicationName(), m_shortcutKey, this);
    m_preferences->show();
    m_preferences->raise();
    m_preferences->activateWindow();
}

void frmshowcolor::mnuWeb_Click()
{
    weblink::openMakerPage();
}

void frmshowcolor::reportError(const QString &message)
{
    // While picking, the frozen screens would cover a message box: it waits for picking to end.
    if (m_run && !m_reporter) {
        m_heldErrors << message;
        return;
    }
    // Also on the standard error, where a session's log keeps it after the box is gone.
    qWarning().noquote() << message;
    if (m_reporter) {
        m_reporter(message);
        return;
    }
    // Never a nested event loop: the failure may be said from inside a change (an undo that
    // is refused), which must be over before anything else runs. The box opens from the event
    // loop, and messages that come meanwhile wait for it to close.
    m_messages << message;
    QMetaObject::invokeMethod(this, &frmshowcolor::showNextMessage, Qt::QueuedConnection);
}

void frmshowcolor::showNextMessage()
{
    if (m_messageBox || m_messages.isEmpty())
        return;
    auto *box =
        new QMessageBox(QMessageBox::Warning, QStringLiteral("Huebrook"), m_messages.takeFirst(),
                        QMessageBox::Ok, isVisible() ? this : nullptr);
    box->setObjectName(QStringLiteral("messageBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    m_messageBox = box;
    connect(box, &QDialog::finished, this, [this] {
        m_messageBox = nullptr;
        QMetaObject::invokeMethod(this, &frmshowcolor::showNextMessage, Qt::QueuedConnection);
    });
    box->open();
}

void frmshowcolor::CurrentColorChanged(Color color)
{
    m_editor->CurrentColorChanged(color);
}

void frmshowcolor::ChangeCopyMenu()
{
    m_copy->ChangeCopyMenu();
}

void frmshowcolor::ShowColorChart(const QString &curChartfile)
{
    m_chart->ShowColorChart(curChartfile);
}

void frmshowcolor::lblcor_MouseUp(int16_t Index, int16_t Button, int16_t, float, float)
{
    m_chart->select(Index);
    if (Button == 2)
        openEditMenu();
}

void frmshowcolor::openEditMenu()
{
    ChangeCopyMenu();
    mnuEdit->exec(QCursor::pos());
}

void frmshowcolor::lblcolor_MouseUp(int button, QPoint globalPosition)
{
    if (button == 2) {
        // The preview's menu offers the copy formats and the details, not the palette's items.
        m_paletteMenu->setMenuItemsVisible(false);
        mnuDetails->setVisible(true);
        mnuPreferences->setVisible(true);
        ChangeCopyMenu();
        mnuEdit->exec(globalPosition);
    }
    m_paletteMenu->setMenuItemsVisible(true);
    mnuDetails->setVisible(false);
    mnuPreferences->setVisible(false);
    ChangeCopyMenu();
}

Color frmshowcolor::curColor() const
{
    return m_editor->color();
}

int32_t frmshowcolor::chartCount() const
{
    return m_chart->chartCount();
}

int32_t frmshowcolor::chartSelRecord() const
{
    return m_chart->chartSelRecord();
}

void frmshowcolor::mnustartpick_Click()
{
    startPicking({false, m_samples.read(), {}, {}});
}

bool frmshowcolor::pickFromCommand(PickingRun::Answer once, int sample, const QString &palette,
                                   const QString &view, const QString &copyAs)
{
    return startPicking({true, sample > 0 ? sample : m_samples.read(), std::move(once),
                         view.isEmpty() ? std::nullopt : visiondeficiency::parse(view)},
                        palette, copyAs);
}

PickingSession *frmshowcolor::picking() const
{
    return m_run ? m_run->session() : nullptr;
}

bool frmshowcolor::startPicking(PickingRun::Request request, const QString &palette,
                                const QString &copyAs)
{
    // Also while a capture is still on its way.
    if (m_run)
        return false;
    // A single pick is answered once it is in the palette, or could not be.
    if (PickingRun::Answer once = std::move(request.once)) {
        request.once = [this, once, palette, copyAs](std::optional<Color> color,
                                                     const QString &why) {
            if (!color)
                return once(std::nullopt, why);
            // At the pick, while a frozen screen still has the keyboard: KWin takes the
            // clipboard only from the window in focus.
            const QString refused =
                copyAs.isEmpty() ? QString()
                                 : clipboard::putTextOrSay(colorformat::text(copyAs, *color));
            takePick(*color, palette, [once, color, refused](bool kept) {
                if (!refused.isEmpty())
                    once(std::nullopt, refused);
                else if (kept)
                    once(color, {});
                else
                    once(std::nullopt,
                         QStringLiteral("The pick could not be kept in the palette."));
            });
        };
    }
    m_run = new PickingRun(*this, createCapture(), std::move(request), this);
    connect(m_run, &PickingRun::picked, this, [this, palette](Color color) {
        takePick(color, palette, [run = QPointer<PickingRun>(m_run)](bool kept) {
            // A pick that cannot be kept ends picking, so that what is wrong is said above the
            // main window, never behind the frozen screens.
            if (!kept && run && run->session())
                run->session()->end(true);
        });
    });
    connect(m_run, &PickingRun::finished, this, [this] {
        releaseRun();
        m_chart->reloadAndSelectNewest();
    });
    connect(m_run, &PickingRun::failed, this, [this](const QString &reason) {
        releaseRun();
        if (!reason.isEmpty())
            reportError(reason);
    });
    // Kept for the next picking, whatever size this one started with.
    connect(m_run->session(), &PickingSession::sampleSizeChanged, this, [this](int size) {
        if (!m_samples.write(size))
            reportError(QStringLiteral("Could not save the sample size in %1.")
                            .arg(QDir::toNativeSeparators(m_samples.fileName())));
    });
    m_run->start();
    return true;
}

bool frmshowcolor::isShown() const
{
    return isVisible();
}

void frmshowcolor::hideForCapture()
{
    m_home->remember();
    hide();
}

void frmshowcolor::showAgain()
{
    show();
    m_home->restore();
}

void frmshowcolor::releaseRun()
{
    // Deleted later: the session's own signal, and a frozen screen's event handler, are still
    // running.
    m_run->deleteLater();
    m_run = nullptr;
    // Said once the main window is back, from the event loop rather than the click that ended
    // picking.
    const QStringList held = std::exchange(m_heldErrors, {});
    if (!held.isEmpty())
        QMetaObject::invokeMethod(
            this,
            [this, held] {
                for (const QString &message : held)
                    reportError(message);
            },
            Qt::QueuedConnection);
}

void frmshowcolor::takePick(Color color, const QString &palette, std::function<void(bool)> kept)
{
    CurrentColorChanged(color);
    m_document->pick(color, palette, [this, color, kept](const QString &failure) {
        if (failure.isEmpty())
            m_copy->pickTaken(color);
        else
            reportError(failure);
        kept(failure.isEmpty());
    });
}

void frmshowcolor::usePalette(const QString &name)
{
    m_document->use(name);
}

void frmshowcolor::importPalette(const QString &path, const QString &palette,
                                 PaletteDocument::ImportDone done)
{
    m_document->importFile(path, palette, std::move(done));
}

void frmshowcolor::dragEnterEvent(QDragEnterEvent *event)
{
    if (!PaletteMenu::droppedPalettes(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmshowcolor::dropEvent(QDropEvent *event)
{
    if (m_paletteMenu->drop(event->mimeData()))
        event->acceptProposedAction();
}
