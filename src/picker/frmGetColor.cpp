// The frozen screen and its pointer handling.
#include "frmGetColor.h"

#include "color/clipboard.h"
#include "color/colorlabel.h"
#include "devicepointer.h"
#include "frmpick.h"
#include "palette/paletteedit.h"
#include "pickcursor.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <cmath>

frmGetColor::frmGetColor(const PaletteStore &store)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_store(store)
{
    setObjectName(QStringLiteral("frmGetColor"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(pickcursor::eyedropperCursor());
    QFont windowFont(QStringLiteral("Tahoma"));
    windowFont.setPointSizeF(8.25);
    setFont(windowFont);
}

frmGetColor::~frmGetColor() = default;

bool frmGetColor::Form_Load()
{
    QCoreApplication::processEvents();
    clipboard::clear();
    m_picture = CaptureScreen();
    if (m_picture.isNull())
        return false;
    QScreen *screen = QGuiApplication::primaryScreen();
    // showFullScreen alone does nothing without a window manager; the geometry does.
    setGeometry(screen->geometry());
    showFullScreen();
    setGeometry(screen->geometry());
    m_preview = new frmpick(this);
    connect(m_preview, &frmpick::cmdStop_Click, this, [this] { endPicking(true); });
    m_preview->show();
    activateWindow();
    return true;
}

QImage frmGetColor::CaptureScreen()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QSize size = screen->geometry().size() * screen->devicePixelRatio();
    return CaptureWindow(0, false, 0, 0, size.width(), size.height());
}

QImage frmGetColor::CaptureWindow(quintptr hWndSrc, bool, int LeftSrc, int TopSrc, int WidthSrc,
                                  int HeightSrc)
{
    // Displays with a hardware palette, where the system palette would be captured with the
    // pixels, no longer exist on Linux desktops, so there is no palette to carry along.
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const qreal ratio = screen->devicePixelRatio();
    // grabWindow takes logical coordinates and returns device pixels.
    const QPixmap bitmap =
        screen->grabWindow(hWndSrc, qRound(LeftSrc / ratio), qRound(TopSrc / ratio),
                           qRound(WidthSrc / ratio), qRound(HeightSrc / ratio));
    return CreateBitmapPicture(bitmap);
}

QImage frmGetColor::CreateBitmapPicture(const QPixmap &bitmap)
{
    // The implicit sharing of QImage is the picture's reference count: the pixels are freed
    // when the picking window, the last holder, goes.
    return bitmap.toImage();
}

Color frmGetColor::pixelAt(QPoint devicePixel) const
{
    if (!m_picture.valid(devicePixel))
        return 0;
    const QRgb rgb = m_picture.pixel(devicePixel);
    return bascommon::composeColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

void frmGetColor::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    if (m_picture.isNull()) {
        painter.fillRect(event->rect(), palette().color(QPalette::Window));
        return;
    }
    // Drawn at device scale, so each device pixel of the screen shows its own captured pixel.
    QImage scaled = m_picture;
    scaled.setDevicePixelRatio(devicePixelRatioF());
    painter.drawImage(QPointF(0, 0), scaled);
}

void frmGetColor::mouseMoveEvent(QMouseEvent *event)
{
    Form_MouseMove(event->position());
}

void frmGetColor::Form_MouseMove(QPointF logicalPosition)
{
    QPoint device;
    if (const std::optional<QPoint> native = devicepointer::position()) {
        const QPoint origin = mapToGlobal(QPoint(0, 0)) * devicePixelRatioF();
        device = *native - origin;
    } else {
        const qreal ratio = devicePixelRatioF();
        device = QPoint(static_cast<int>(std::floor(logicalPosition.x() * ratio)),
                        static_cast<int>(std::floor(logicalPosition.y() * ratio)));
    }
    m_pickedColor = pixelAt(device);
    if (m_preview)
        m_preview->showColor(m_pickedColor);
}

void frmGetColor::mouseReleaseEvent(QMouseEvent *event)
{
    Form_MouseUp(buttonNumber(event->button()));
}

void frmGetColor::Form_MouseUp(int button)
{
    if (button != 1) {
        endPicking(false);
        return;
    }
    try {
        m_store.AppendChartColor(paletteedit::paletteName, bascommon::ColorToHex(m_pickedColor));
    } catch (const PaletteError &error) {
        emit failed(error.message());
        return;
    }
    emit colorPicked(m_pickedColor);
}

void frmGetColor::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        endPicking(true);
    else
        QWidget::keyPressEvent(event);
}

void frmGetColor::endPicking(bool previewFirst)
{
    if (previewFirst) {
        m_preview->hide();
        hide();
    } else {
        hide();
        m_preview->hide();
    }
    emit finished();
}
