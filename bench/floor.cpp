// The floor for start-up figures: a bare Qt 6 Widgets window of the main window's size.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Floor"));
    window.setFixedSize(186, 348);
    window.show();
    return app.exec();
}
