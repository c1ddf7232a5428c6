// The current color editor: CurrentColorChanged with its readouts and sliders, and the slider
// handlers.
#include "coloreditor.h"

#include "base/numconv.h"
#include "base/numtext.h"
#include "ui/colorlabel.h"
#include "ui/designunits.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

using namespace bascommon;
using designunits::designFont;
using designunits::twipRect;

namespace {

QLabel *makeCaption(QWidget *parent, const char *name, const QString &text, QRect geometry,
                    Qt::Alignment alignment)
{
    return designunits::makeLabel(parent, name, text, geometry,
                                  designFont(QStringLiteral("Courier New"), 9, true), alignment);
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

void makeChannelLabel(QWidget *parent, const char *name, const QString &text, QRect geometry,
                      const QColor &background)
{
    QLabel *label = makeCaption(parent, name, text, geometry, Qt::AlignCenter);
    designunits::fillBackground(label, background);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
}

} // namespace

ColorEditor::ColorEditor(QWidget *window) : QObject(window)
{
    lblcolor = new ColorLabel(window);
    lblcolor->setObjectName(QStringLiteral("lblcolor"));
    lblcolor->setGeometry(twipRect(75, 405, 1020, 600));
    lblcolor->setFont(designFont(QStringLiteral("Arial"), 10.5));
    lblcolor->setBordered(true);
    lblcolor->setBackColor(0xFFFFFF);
    connect(lblcolor, &ColorLabel::released, this, &ColorEditor::previewReleased);
    buildReadouts(window);
    buildSliders(window);

    QWidget::setTabOrder(txtrgb, txtrgb1);
    QWidget::setTabOrder(txtrgb1, gtxt);
    QWidget::setTabOrder(gtxt, btxt);
    QWidget::setTabOrder(btxt, BScroll);
    QWidget::setTabOrder(BScroll, GScroll);
    QWidget::setTabOrder(GScroll, RScroll);
    QWidget::setTabOrder(RScroll, rtxt);
}

void ColorEditor::buildReadouts(QWidget *window)
{
    const QColor white(255, 255, 255);
    makeCaption(window, "Label6", QStringLiteral("RGB:"), twipRect(1140, 420, 510, 225),
                Qt::AlignRight | Qt::AlignTop);
    txtrgb1 = makeReadout(window, "txtrgb1", QStringLiteral("255,255,255"),
                          twipRect(1650, 405, 1035, 285), 11, white);
    makeCaption(window, "Label2", QStringLiteral("HEX:"), twipRect(1140, 735, 510, 225),
                Qt::AlignRight | Qt::AlignTop);
    txtrgb = makeReadout(window, "txtrgb", QStringLiteral("#FFFFFF"),
                         twipRect(1650, 720, 1035, 285), 7, white);
}

void ColorEditor::buildSliders(QWidget *window)
{
    const QColor background = window->palette().color(QPalette::Window);
    makeChannelLabel(window, "Label4", QStringLiteral("R"), twipRect(90, 1155, 240, 255),
                     QColor(255, 0, 0));
    RScroll = makeSlider(window, "RScroll", twipRect(382, 1207, 1800, 150));
    rtxt = makeReadout(window, "rtxt", QStringLiteral("0"), twipRect(2235, 1140, 450, 285), 32767,
                       background);
    makeChannelLabel(window, "Label5", QStringLiteral("G"), twipRect(90, 1485, 240, 255),
                     QColor(0, 255, 0));
    GScroll = makeSlider(window, "GScroll", twipRect(382, 1537, 1800, 150));
    gtxt = makeReadout(window, "gtxt", QStringLiteral("0"), twipRect(2235, 1470, 450, 285), 32767,
                       background);
    makeChannelLabel(window, "Label7", QStringLiteral("B"), twipRect(90, 1815, 240, 255),
                     QColor(0, 0, 255));
    BScroll = makeSlider(window, "BScroll", twipRect(382, 1867, 1800, 150));
    btxt = makeReadout(window, "btxt", QStringLiteral("0"), twipRect(2235, 1800, 450, 285), 32767,
                       background);

    for (QScrollBar *scroll : {RScroll, GScroll, BScroll}) {
        QLineEdit *field = scroll == RScroll ? rtxt : scroll == GScroll ? gtxt : btxt;
        // Change and Scroll do the same; the second of the pair stops at once.
        connect(scroll, &QScrollBar::valueChanged, this,
                [this, scroll, field] { scrollChanged(scroll, field); });
        connect(scroll, &QScrollBar::sliderMoved, this,
                [this, scroll, field] { scrollChanged(scroll, field); });
    }
}

void ColorEditor::showFirstColor()
{
    CurColor = lblcolor->backColor();
    // The design starts the component fields and sliders at 0 while the preview is white; bring
    // them in line, fields first as CurrentColorChanged does, so that nothing contradicts the
    // first color even when it is white.
    showComponents(CurColor);
    rgbslider();
    emit colorChanged(CurColor);
}

void ColorEditor::CurrentColorChanged(Color color)
{
    // The order of these steps is what ends the loop through the sliders: the component fields
    // are written before CurColor, and CurColor before the sliders, so the nested change
    // notifications compose the color just stored and stop here.
    if (color == CurColor)
        return;
    emit colorChanging(color);
    lblcolor->setBackColor(color);
    txtrgb1->setText(ColorToRGBText(color));
    txtrgb->setText(ColorToHex(color));
    showComponents(color);
    CurColor = lblcolor->backColor();
    rgbslider();
    emit colorChanged(CurColor);
}

void ColorEditor::showComponents(Color color)
{
    rtxt->setText(QString::number(GetRed(color)));
    gtxt->setText(QString::number(GetGreen(color)));
    btxt->setText(QString::number(GetBlue(color)));
}

void ColorEditor::rgbslider()
{
    RScroll->setValue(numconv::toInt16(GetRed(lblcolor->backColor())));
    GScroll->setValue(numconv::toInt16(GetGreen(lblcolor->backColor())));
    BScroll->setValue(numconv::toInt16(GetBlue(lblcolor->backColor())));
}

void ColorEditor::scrollChanged(QScrollBar *scroll, QLineEdit *field)
{
    field->setText(QString::number(scroll->value()));
    // Always from the three fields, never from the other sliders: inside rgbslider the other
    // sliders still stand at the old color while the fields hold the new one.
    const int16_t blue = numconv::textToInt16(btxt->text());
    const int16_t green = numconv::textToInt16(gtxt->text());
    const int16_t red = numconv::textToInt16(rtxt->text());
    CurrentColorChanged(composeColor(red, green, blue));
}
