// A window whose every device pixel has a color of its own, to pick from under a Wayland
// compositor: (x mod 256, y mod 256, 16 * (x div 256) + y div 256), counted from its top-left, or
// from X pixels left of it with --from X (a window on a second screen).
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

class Pattern : public QWidget
{
public:
    int from = 0;

protected:
    void paintEvent(QPaintEvent *) override
    {
        const qreal ratio = devicePixelRatioF();
        QImage image(size() * ratio, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = qRgb((x + from) % 256, y % 256, ((x + from) / 256) * 16 + y / 256);
        }
        image.setDevicePixelRatio(ratio);
        QPainter(this).drawImage(0, 0, image);
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Pattern window;
    window.setWindowTitle(QStringLiteral("pattern"));
    const QStringList args = app.arguments();
    if (const qsizetype at = args.indexOf(QStringLiteral("--from")); at > 0 && at + 1 < args.size())
        window.from = args.at(at + 1).toInt();
    if (args.contains(QStringLiteral("--fullscreen")))
        window.showFullScreen();
    else
        window.show();
    return app.exec();
}
