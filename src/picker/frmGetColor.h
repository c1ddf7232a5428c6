// The frozen screen: a borderless window over the primary screen showing its capture, where each
// left click picks the color of the device pixel under the pointer.
#pragma once

#include "color/bascommon.h"

#include <QImage>
#include <QWidget>

class PaletteStore;
class frmpick;

class frmGetColor : public QWidget
{
    Q_OBJECT
public:
    explicit frmGetColor(const PaletteStore &store);
    ~frmGetColor() override;

    // Clears the clipboard, captures the screen and shows both picking windows. False, with
    // nothing shown, when the screen could not be captured.
    bool Form_Load();

    // The capture: the whole primary screen at its device-pixel size.
    QImage CaptureScreen();
    QImage CaptureWindow(quintptr hWndSrc, bool Client, int LeftSrc, int TopSrc, int WidthSrc,
                         int HeightSrc);
    static QImage CreateBitmapPicture(const QPixmap &bitmap);

    Color pickedColor() const { return m_pickedColor; }
    const QImage &picture() const { return m_picture; }
    frmpick *preview() const { return m_preview; }

    // The color of device pixel (x, y) of the frozen picture; black when it cannot be read.
    Color pixelAt(QPoint devicePixel) const;

signals:
    // A left click appended color to the palette.
    void colorPicked(Color color);
    // Picking ended; both windows are hidden and may be deleted.
    void finished();
    // A message for the user, such as a palette that could not be written.
    void failed(const QString &message);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Form_MouseMove(QPointF logicalPosition);
    void Form_MouseUp(int button);
    void endPicking(bool previewFirst);

    const PaletteStore &m_store;
    QImage m_picture;
    Color m_pickedColor = 0;
    frmpick *m_preview = nullptr;
};
