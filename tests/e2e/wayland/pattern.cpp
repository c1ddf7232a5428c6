// A window whose every device pixel has a color of its own, to pick from under a Wayland
// compositor: (x mod 256, y mod 256, 16 * (x div 256) + y div 256), counted from its top-left, or
// from X pixels left of it with --from X (a window on a second screen).
// --clipboard FILE: a clipboard client for compositors whose clipboard only a focused window
// reaches (KWin): the clipboard's text is written to FILE at each change, and the text of
// FILE.take, once that file appears, is put on the clipboard.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTimer>
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
    if (const qsizetype at = args.indexOf(QStringLiteral("--clipboard"));
        at > 0 && at + 1 < args.size()) {
        const QString file = args.at(at + 1);
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, &window, [file] {
            QFile out(file);
            if (out.open(QIODevice::WriteOnly))
                out.write(QGuiApplication::clipboard()->text().toUtf8());
        });
        auto *poll = new QTimer(&window);
        QObject::connect(poll, &QTimer::timeout, &window, [file] {
            QFile take(file + QStringLiteral(".take"));
            if (!take.open(QIODevice::ReadOnly))
                return;
            QGuiApplication::clipboard()->setText(QString::fromUtf8(take.readAll()));
            take.remove();
        });
        poll->start(100);
    }
    if (args.contains(QStringLiteral("--fullscreen")))
        window.showFullScreen();
    else
        window.show();
    return app.exec();
}
