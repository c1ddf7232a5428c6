// The main window's design, its creation and closing, and the shell commands of its images.
#include "frmshowcolor.h"

#include "artwork.h"
#include "color/colorlabel.h"
#include "color/copyformats.h"
#include "color/numconv.h"
#include "color/numtext.h"
#include "designunits.h"
#include "frmabout.h"
#include "imagebutton.h"
#include "palette/paletteedit.h"
#include "palette/palettegrid.h"
#include "weblink.h"
#include "windowposition.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>

using designunits::twipRect;

namespace {

QFont designFont(const QString &face, qreal points, bool bold = false)
{
    QFont font(face);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void setBackground(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::Base, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, QRect geometry,
                  const QFont &font, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(alignment);
    return label;
}

QLineEdit *makeReadout(QWidget *parent, const char *name, const QString &text, QRect geometry,
                       int maxLength, const QColor &background)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(geometry);
    edit->setAlignment(Qt::AlignCenter);
    edit->setMaxLength(maxLength);
    // Read-only but selectable: typed text could never compose a color.
    edit->setReadOnly(true);
    edit->setTextMargins(0, 0, 0, 0);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, background);
    edit->setPalette(palette);
    return edit;
}

QScrollBar *makeSlider(QWidget *parent, const char *name, QRect geometry)
{
    auto *scroll = new QScrollBar(Qt::Horizontal, parent);
    scroll->setObjectName(QLatin1String(name));
    scroll->setGeometry(geometry);
    scroll->setRange(0, 255);
    scroll->setSingleStep(1);
    scroll->setPageStep(10);
    scroll->setValue(0);
    return scroll;
}

QLabel *makeChannelLabel(QWidget *parent, const char *name, const QString &text, QRect geometry,
                         const QColor &background)
{
    QLabel *label = makeLabel(parent, name, text, geometry,
                              designFont(QStringLiteral("Courier New"), 9, true), Qt::AlignCenter);
    setBackground(label, background);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    return label;
}

} // namespace

frmshowcolor::frmshowcolor(PaletteStore store, PositionSettings settings,
                           std::function<void(const QString &)> reporter)
    : m_store(std::move(store)), m_settings(std::move(settings)), m_reporter(std::move(reporter))
{
    setObjectName(QStringLiteral("frmshowcolor"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true); // GIMP palettes
    chooseFile = [this](bool saving, const QString &suggestion) {
        const QString filter = QStringLiteral("GIMP palettes (*.gpl);;All files (*)");
        return saving ? QFileDialog::getSaveFileName(this, QStringLiteral("Export Palette"),
                                                     suggestion, filter)
                      : QFileDialog::getOpenFileName(this, QStringLiteral("Import Palette"),
                                                     suggestion, filter);
    };
    buildDesign();
    buildMenus();
    Form_Load();
}

frmshowcolor::~frmshowcolor() = default;

void frmshowcolor::buildDesign()
{
    setWindowTitle(QStringLiteral("Huebrook 1.0"));
    setWindowIcon(artwork::programIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(186, 348);
    setFont(designFont(QStringLiteral("Tahoma"), 8.25));

    const qreal ratio = devicePixelRatioF();
    auto *imgpick = new ImageButton(this);
    imgpick->setObjectName(QStringLiteral("imgpick"));
    imgpick->setGeometry(twipRect(90, 60, 240, 240));
    imgpick->setPixmap(artwork::eyedropperImage(ratio));
    imgpick->setToolTip(QStringLiteral("Pick Color from Screen"));
    connect(imgpick, &ImageButton::clicked, this, &frmshowcolor::mnustartpick_Click);

    auto *imgabout = new ImageButton(this);
    imgabout->setObjectName(QStringLiteral("imgabout"));
    imgabout->setGeometry(twipRect(457, 60, 240, 240));
    imgabout->setPixmap(artwork::aboutImage(ratio));
    imgabout->setToolTip(QStringLiteral("About"));
    connect(imgabout, &ImageButton::clicked, this, &frmshowcolor::mnuabout_Click);

    auto *imgtarnwick = new ImageButton(this);
    imgtarnwick->setObjectName(QStringLiteral("imgtarnwick"));
    imgtarnwick->setGeometry(twipRect(825, 60, 240, 240));
    imgtarnwick->setPixmap(artwork::logoImage(ratio));
    imgtarnwick->setToolTip(QStringLiteral("Visit ") + weblink::siteName);
    connect(imgtarnwick, &ImageButton::clicked, this, &frmshowcolor::mnuWeb_Click);

    lblcolor = new ColorLabel(this);
    lblcolor->setObjectName(QStringLiteral("lblcolor"));
    lblcolor->setGeometry(twipRect(75, 405, 1020, 600));
    lblcolor->setFont(designFont(QStringLiteral("Arial"), 10.5));
    lblcolor->setBordered(true);
    lblcolor->setBackColor(0xFFFFFF);
    connect(lblcolor, &ColorLabel::released, this, &frmshowcolor::lblcolor_MouseUp);

    const QFont captionFont = designFont(QStringLiteral("Courier New"), 9, true);
    const QColor white(255, 255, 255);
    const QColor windowBackground = palette().color(QPalette::Window);
    makeLabel(this, "Label6", QStringLiteral("RGB:"), twipRect(1140, 420, 510, 225), captionFont,
              Qt::AlignRight | Qt::AlignTop);
    txtrgb1 = makeReadout(this, "txtrgb1", QStringLiteral("255,255,255"),
                          twipRect(1650, 405, 1035, 285), 11, white);
    makeLabel(this, "Label2", QStringLiteral("HEX:"), twipRect(1140, 735, 510, 225), captionFont,
              Qt::AlignRight | Qt::AlignTop);
    txtrgb = makeReadout(this, "txtrgb", QStringLiteral("#FFFFFF"), twipRect(1650, 720, 1035, 285),
                         7, white);

    makeChannelLabel(this, "Label4", QStringLiteral("R"), twipRect(90, 1155, 240, 255),
                     QColor(255, 0, 0));
    RScroll = makeSlider(this, "RScroll", twipRect(382, 1207, 1800, 150));
    rtxt = makeReadout(this, "rtxt", QStringLiteral("0"), twipRect(2235, 1140, 450, 285), 32767,
                       windowBackground);
    makeChannelLabel(this, "Label5", QStringLiteral("G"), twipRect(90, 1485, 240, 255),
                     QColor(0, 255, 0));
    GScroll = makeSlider(this, "GScroll", twipRect(382, 1537, 1800, 150));
    gtxt = makeReadout(this, "gtxt", QStringLiteral("0"), twipRect(2235, 1470, 450, 285), 32767,
                       windowBackground);
    makeChannelLabel(this, "Label7", QStringLiteral("B"), twipRect(90, 1815, 240, 255),
                     QColor(0, 0, 255));
    BScroll = makeSlider(this, "BScroll", twipRect(382, 1867, 1800, 150));
    btxt = makeReadout(this, "btxt", QStringLiteral("0"), twipRect(2235, 1800, 450, 285), 32767,
                       windowBackground);

    const QFont headingFont = designFont(QStringLiteral("Tahoma"), 8.25, true);
    QLabel *bar = makeLabel(this, "Label1", QString(), twipRect(75, 2190, 2610, 300), headingFont);
    setBackground(bar, QColor(172, 168, 153));
    QLabel *heading = makeLabel(this, "Label3", QStringLiteral("Color Palette"),
                                twipRect(105, 2235, 2115, 270), headingFont);
    QPalette headingPalette = heading->palette();
    headingPalette.setColor(QPalette::WindowText, QColor(22, 22, 18));
    heading->setPalette(headingPalette);

    auto *templateSwatch = new ColorLabel(this);
    templateSwatch->setObjectName(QStringLiteral("lblcor(0)"));
    templateSwatch->setGeometry(twipRect(90, 2550, 270, 270));
    templateSwatch->setFont(designFont(QStringLiteral("Arial"), 9));
    templateSwatch->setBordered(true);
    templateSwatch->hide();
    m_grid = new PaletteGrid(templateSwatch, twipRect(600, 2670, 360, 300), this);
    connect(m_grid, &PaletteGrid::released, this, [this](int index, int button) {
        lblcor_MouseUp(static_cast<int16_t>(index), static_cast<int16_t>(button), 0, 0, 0);
    });

    for (QScrollBar *scroll : {RScroll, GScroll, BScroll}) {
        QLineEdit *field = scroll == RScroll ? rtxt : scroll == GScroll ? gtxt : btxt;
        // Change and Scroll do the same; the second of the pair stops at once.
        connect(scroll, &QScrollBar::valueChanged, this,
                [this, scroll, field] { scrollChanged(scroll, field); });
        connect(scroll, &QScrollBar::sliderMoved, this,
                [this, scroll, field] { scrollChanged(scroll, field); });
    }

    setTabOrder(txtrgb, txtrgb1);
    setTabOrder(txtrgb1, gtxt);
    setTabOrder(gtxt, btxt);
    setTabOrder(btxt, BScroll);
    setTabOrder(BScroll, GScroll);
    setTabOrder(GScroll, RScroll);
    setTabOrder(RScroll, rtxt);
}

void frmshowcolor::buildMenus()
{
    // The three top-level menus are never on a menu bar: the Edit menu pops up, and the items
    // of Tool and Help are the commands behind the images.
    mnuEdit = new QMenu(QStringLiteral("&Edit"), this);
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEdit->menuAction()->setVisible(false);
    QMenu *mnuCopydec = mnuEdit->addMenu(QStringLiteral("Copy Color Value"));
    mnuCopydec->setObjectName(QStringLiteral("mnuCopydec"));
    mnuCopydec->menuAction()->setObjectName(QStringLiteral("mnuCopydec"));
    static const char *placeholders[7] = {"#FFFFFF",       "\"#FFFFFF\"", "FFFFFF",
                                          "\"FFFFFF\"",    "255,255,113", "RGB(255,255,113)",
                                          "Hex={FF,FF,FF}"};
    for (int i = 0; i < 7; ++i) {
        const auto format = copyformats::allFormats[static_cast<size_t>(i)];
        mnuCopy[i] = mnuCopydec->addAction(QString::fromLatin1(placeholders[i]));
        mnuCopy[i]->setObjectName(QLatin1String(copyformats::actionName(format)));
        connect(mnuCopy[i], &QAction::triggered, this, [this, i] { copyFormat(i); });
    }
    editsep3 = mnuEdit->addSeparator();
    editsep3->setObjectName(QStringLiteral("editsep3"));
    mnuDelCor = mnuEdit->addAction(QStringLiteral("&Delete"));
    mnuDelCor->setObjectName(QStringLiteral("mnuDelCor"));
    connect(mnuDelCor, &QAction::triggered, this, &frmshowcolor::mnuDelCor_Click);
    mnuCleanDup = mnuEdit->addAction(QStringLiteral("Clean Duplicate"));
    mnuCleanDup->setObjectName(QStringLiteral("mnuCleanDup"));
    connect(mnuCleanDup, &QAction::triggered, this, &frmshowcolor::mnuCleanDup_Click);
    editsep4 = mnuEdit->addSeparator();
    editsep4->setObjectName(QStringLiteral("editsep4"));
    mnuExport = mnuEdit->addAction(QStringLiteral("Export Palette..."));
    mnuExport->setObjectName(QStringLiteral("mnuExport"));
    connect(mnuExport, &QAction::triggered, this, &frmshowcolor::mnuExport_Click);
    mnuImport = mnuEdit->addAction(QStringLiteral("Import Palette..."));
    mnuImport->setObjectName(QStringLiteral("mnuImport"));
    connect(mnuImport, &QAction::triggered, this, &frmshowcolor::mnuImport_Click);

    mnuTool = new QMenu(QStringLiteral("&Tool"), this);
    mnuTool->setObjectName(QStringLiteral("mnuTool"));
    mnuTool->menuAction()->setVisible(false);
    QAction *mnustartpick = mnuTool->addAction(QStringLiteral("Screen Color &Picker"));
    mnustartpick->setObjectName(QStringLiteral("mnustartpick"));
    connect(mnustartpick, &QAction::triggered, this, &frmshowcolor::mnustartpick_Click);

    mnuhelp = new QMenu(QStringLiteral("&Help"), this);
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
    CurColor = lblcolor->backColor();
    // The design starts the component fields and sliders at 0, and the copy captions at
    // placeholders, while the preview is white; bring them in line, fields first as
    // CurrentColorChanged does, so that nothing contradicts the first color even when it is white.
    showComponents(CurColor);
    ChangeCopyMenu();
    rgbslider();
    m_grid->build();
    int page = 1;
    ShowColorChart(paletteedit::paletteName, page);
    lblcor_MouseUp(0, 1, 0, 0, 0);
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

void frmshowcolor::mnuWeb_Click()
{
    weblink::openMakerPage();
}

void frmshowcolor::reportError(const QString &message)
{
    // Also on the standard error, where a session's log keeps it after the box is gone.
    qWarning().noquote() << message;
    if (m_reporter)
        m_reporter(message);
    else
        QMessageBox::warning(isVisible() ? this : nullptr, QStringLiteral("Huebrook"), message);
}
