// The "Screen Color" preview window, laid out in twips at 15 twips per pixel.
#include "frmpick.h"

#include "ui/colorlabel.h"
#include "ui/designunits.h"
#include "ui/settopmost.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

frmpick::frmpick(QWidget *pickingWindow)
    : QWidget(pickingWindow, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint |
                                 Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmpick"));
    setWindowTitle(QStringLiteral("Screen Color"));
    setFixedSize(designunits::pixels(2385), designunits::pixels(2145));
    setFont(designunits::windowFont());

    m_preview = new ColorLabel(this);
    m_preview->setObjectName(QStringLiteral("lblcor"));
    m_preview->setGeometry(designunits::twipRect(-60, -15, 2655, 2145));
    m_preview->setBackColor(fromQColor(palette().color(QPalette::Window)));
    m_preview->setFont(designunits::designFont(QStringLiteral("MS Sans Serif"), 8.25));

    // The right half of the color, while the frozen screen shows a deficiency's view.
    m_seen = new ColorLabel(this);
    m_seen->setObjectName(QStringLiteral("lblSeen"));
    m_seen->setGeometry(designunits::twipRect(1192, -15, 1403, 1725));
    m_seen->hide();

    auto *stop = new QPushButton(QStringLiteral("Stop Picking Color"), this);
    stop->setObjectName(QStringLiteral("cmdStop"));
    stop->setGeometry(designunits::twipRect(-15, 1710, 2415, 465));
    // Space picks; it must not press the button instead.
    stop->setFocusPolicy(Qt::NoFocus);
    connect(stop, &QPushButton::clicked, this, &frmpick::cmdStop_Click);

    bascommon::SetTopMost(*this);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void frmpick::showColor(Color color, std::optional<Color> seen)
{
    m_preview->setBackColor(color);
    if (seen)
        m_seen->setBackColor(*seen);
    m_seen->setVisible(seen.has_value());
}

std::optional<Color> frmpick::seenColor() const
{
    return m_seen->isHidden() ? std::nullopt : std::optional(m_seen->backColor());
}

Color frmpick::shownColor() const
{
    return m_preview->backColor();
}

void frmpick::keyPressEvent(QKeyEvent *event)
{
    // A compositor may give the keyboard to the preview, the newest window: the picking keys
    // still act on the frozen screen.
    if (event->key() == Qt::Key_Escape)
        emit cmdStop_Click();
    else if (parentWidget())
        QCoreApplication::sendEvent(parentWidget(), event);
}
