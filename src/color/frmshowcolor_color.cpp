// The main window's current color: CurrentColorChanged with its readouts and sliders, the
// slider handlers, and the copy menu with its seven formats.
#include "app/frmshowcolor.h"

#include "clipboard.h"
#include "colorlabel.h"
#include "copyformats.h"
#include "numconv.h"
#include "numtext.h"
#include "palette/palettegrid.h"

#include <QAction>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>

using namespace bascommon;

void frmshowcolor::CurrentColorChanged(Color color)
{
    // The order of these steps is what ends the loop through the sliders: the component fields
    // are written before CurColor, and CurColor before the sliders, so the nested change
    // notifications compose the color just stored and stop here.
    if (color == CurColor)
        return;
    if (color != SelColor) {
        m_grid->hideFrame();
        mnuDelCor->setEnabled(false);
    }
    lblcolor->setBackColor(color);
    txtrgb1->setText(ColorToRGBText(color));
    txtrgb->setText(ColorToHex(color));
    showComponents(color);
    ChangeCopyMenu();
    CurColor = lblcolor->backColor();
    rgbslider();
}

void frmshowcolor::showComponents(Color color)
{
    rtxt->setText(QString::number(GetRed(color)));
    gtxt->setText(QString::number(GetGreen(color)));
    btxt->setText(QString::number(GetBlue(color)));
}

void frmshowcolor::rgbslider()
{
    RScroll->setValue(numconv::toInt16(GetRed(lblcolor->backColor())));
    GScroll->setValue(numconv::toInt16(GetGreen(lblcolor->backColor())));
    BScroll->setValue(numconv::toInt16(GetBlue(lblcolor->backColor())));
}

void frmshowcolor::scrollChanged(QScrollBar *scroll, QLineEdit *field)
{
    field->setText(QString::number(scroll->value()));
    // Always from the three fields, never from the other sliders: inside rgbslider the other
    // sliders still stand at the old color while the fields hold the new one.
    const int16_t blue = numconv::textToInt16(btxt->text());
    const int16_t green = numconv::textToInt16(gtxt->text());
    const int16_t red = numconv::textToInt16(rtxt->text());
    CurrentColorChanged(composeColor(red, green, blue));
}

void frmshowcolor::ChangeCopyMenu()
{
    const QString hex = txtrgb->text();
    const QString decimal = txtrgb1->text();
    for (int i = 0; i < 7; ++i)
        mnuCopy[i]->setText(
            copyformats::formatText(copyformats::allFormats[static_cast<size_t>(i)], hex, decimal));
}

void frmshowcolor::copyFormat(int format)
{
    clipboard::clear();
    const QString text = copyformats::formatText(
        copyformats::allFormats[static_cast<size_t>(format)], txtrgb->text(), txtrgb1->text());
    if (!clipboard::putText(text))
        reportError(QStringLiteral("Could not put %1 on the clipboard.").arg(text));
}

void frmshowcolor::lblcolor_MouseUp(int button, QPoint globalPosition)
{
    if (button == 2) {
        // The preview's menu offers only the copy formats.
        for (QAction *paletteItem :
             {editsep3, mnuDelCor, mnuCleanDup, editsep4, mnuExport, mnuImport})
            paletteItem->setVisible(false);
        ChangeCopyMenu();
        mnuEdit->exec(globalPosition);
    }
    for (QAction *paletteItem : {mnuDelCor, mnuCleanDup, editsep3, editsep4, mnuExport, mnuImport})
        paletteItem->setVisible(true);
    ChangeCopyMenu();
}
